// Filename formats.  The input is formats, one a line, followed by the path
// on the last line: the path is parsed by the first format and by the best
// of all, and a file name is built from what was parsed.
#include "fuzzsupport.h"

#include "core/audio/filenameinfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QStringList lines = QString::fromUtf8(fuzz::bytesOf(data, size)).split(QLatin1Char('\n'));
    const QString path = lines.takeLast();
    if (lines.isEmpty())
        lines.append(QString());

    TFilenameInfo info;
    info.ParseWithFormat(path, lines.constFirst());
    FUZZ_CHECK(info.Parsed && info.ParseFormat == lines.constFirst());
    info.ParseBestFormat(path, lines);
    FUZZ_CHECK(lines.contains(info.ParseFormat));
    FormatDisplayText(info.ParseFormat);

    const QString name = BuildFileName(lines.constFirst(), info.Album, info.Artist, info.Title, info.Track,
                                       info.Year, info.Genre);
    FUZZ_CHECK(name.toUtf8().size() <= MaxFileNameBytes);
    FUZZ_CHECK(!name.contains(QLatin1Char('/')) && !name.contains(QChar(0)));
    return 0;
}
