// Scan speed against a plain TagLib-based reader doing the same work on one
// thread: walking the tree, both ID3 tags with the fields the catalogue
// maps, and the stream's audio properties.  TagLib serves only as this
// yardstick.  Argument: the number of files (default 10,000).

#include "mp3tree.h"
#include "scanrun.h"

#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/mpegproperties.h>

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

// The frames behind the catalogue's ID3v2 fields.
const char *const FrameIds[] = {"TIT2", "TPE1", "TALB", "TRCK", "TYER", "TDRC", "TCON", "COMM", "TPUB",
                                "TOPE", "TCOM", "TEXT", "TPE3", "TPE4", "TENC", "TCOP", "TBPM", "TIT3",
                                "TXXX", "WOAF", "WOAR", "WXXX", "USLT"};

QString text(const TagLib::String &s)
{
    return QString::fromStdWString(s.toWString());
}

// What one file yields; summed so that no read is optimised away.
qint64 readFile(const QString &path)
{
    TagLib::MPEG::File file(QFile::encodeName(path).constData(), true, TagLib::AudioProperties::Average);
    if (!file.isValid())
        return -1;
    qint64 sum = 0;
    if (TagLib::ID3v2::Tag *v2 = file.ID3v2Tag(false)) {
        const TagLib::ID3v2::FrameListMap &frames = v2->frameListMap();
        for (const char *id : FrameIds) {
            const auto found = frames.find(id);
            if (found != frames.end() && !found->second.isEmpty())
                sum += text(found->second.front()->toString()).size();
        }
        sum += v2->track();
    }
    if (TagLib::ID3v1::Tag *v1 = file.ID3v1Tag(false))
        sum += text(v1->title()).size() + text(v1->artist()).size() + text(v1->album()).size()
               + text(v1->comment()).size() + text(v1->genre()).size() + v1->year() + v1->track();
    if (const TagLib::MPEG::Properties *p = file.audioProperties())
        sum += p->lengthInSeconds() + p->bitrate() + p->sampleRate() + p->channels() + p->layer()
               + int(p->version()) + int(p->channelMode()) + p->isCopyrighted() + p->isOriginal()
               + p->protectionEnabled() + (p->xingHeader() ? 1 : 0);
    return sum;
}

ScanRun scanWithTagLib(const QString &root)
{
    ScanRun run;
    qint64 sum = 0;
    const qint64 before = BytesReadSoFar();
    QElapsedTimer timer;
    timer.start();
    QDirIterator it(root, {QStringLiteral("*.mp3")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const qint64 result = readFile(it.next());
        if (result < 0)
            ++run.failed;
        else
            sum += result;
        ++run.files;
    }
    run.seconds = timer.nsecsElapsed() / 1e9;
    const qint64 after = BytesReadSoFar();
    if (before >= 0 && after >= 0)
        run.bytesRead = after - before;
    return sum > 0 ? run : ScanRun();
}

void print(QTextStream &out, const char *name, const ScanRun &run)
{
    out << "  " << name << Figure(run.seconds, 3) << " s, " << Figure(run.filesPerSecond()) << " files/s, "
        << Figure(run.bytesPerFile()) << " bytes read per file\n";
}

} // namespace

int main(int argc, char **argv)
{
    QTextStream out(stdout);
    const int count = BenchFileCount(argc, argv, 10000);
    QTemporaryDir dir;
    if (!PrepareMp3Tree(dir.path(), count, out))
        return 1;
    out << "scan of " << Figure(count) << " files against TagLib " << TAGLIB_MAJOR_VERSION << "."
        << TAGLIB_MINOR_VERSION << " (page cache warm)\n";
    scanWithTagLib(dir.path());  // warms the caches of the file system
    const ScanRun taglib = scanWithTagLib(dir.path());
    const ScanRun one = ScanTree(dir.path(), 1);
    const ScanRun two = ScanTree(dir.path(), 2);
    print(out, "TagLib, 1 thread:    ", taglib);
    print(out, "Tunebase, 1 thread:  ", one);
    print(out, "Tunebase, 2 threads: ", two);
    if (taglib.files != count || one.files != count || two.files != count || taglib.failed || one.failed) {
        out << "  some files were not read\n";
        return 1;
    }
    const double ratioOne = one.filesPerSecond() / taglib.filesPerSecond();
    const double ratioTwo = two.filesPerSecond() / taglib.filesPerSecond();
    out << "  ratio 1 thread / TagLib:  " << Figure(ratioOne, 2) << "x (target at least 2x)\n"
        << "  ratio 2 threads / TagLib: " << Figure(ratioTwo, 2) << "x (target at least 3x)\n";
    return 0;
}
