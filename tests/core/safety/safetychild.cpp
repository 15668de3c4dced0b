// The writer the crash-safety tests run as a separate process, so that it
// can be killed half-way or run under a file size limit or as another
// user.  Each command does one write with the program's own code and says
// "writing" on standard output just before it starts.  Exit status 0: the
// write reported success; 1: it reported failure (the reason on standard
// error); 2: bad arguments.
//
//   save-collection FILE TRACKS SEED  a collection of TRACKS tracks
//   id3v2 FILE TITLE COMMENT-LENGTH   the ID3v2 tag's title and comment
//   id3v1 FILE TITLE                  the ID3v1 tag's title
//   m3u FILE ENTRIES                  an M3U playlist
//   pls FILE ENTRIES                  a PLS playlist
//   ini FILE VALUES                   settings in an ini file
//   add-track FILE TITLE HOLD-MS      one track added to a collection (made
//                                     when new) as the command line adds:
//                                     read and saved under its lock, held
//                                     HOLD-MS before the save
//
// And one that only makes a fixture (it says nothing):
//
//   make-mp3 FILE FRAMES              an MP3 with a small ID3v2 tag ("Old
//                                     title") and FRAMES frames of audio

#include "id3v2builder.h"
#include "safetyfixtures.h"
#include "testsupport.h"

#include "core/audio/id3v1tag.h"
#include "core/audio/id3v2tag.h"
#include "core/data/collectionfile.h"
#include "core/data/collectionupdate.h"
#include "core/data/datalists.h"
#include "core/files/playlistformats.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"
#include "core/settings/inisettingsstore.h"

#include <QTextStream>
#include <QThread>

#include <cstdio>
#include <functional>
#include <map>

namespace {

void startWriting()
{
    std::fputs("writing\n", stdout);
    std::fflush(stdout);
}

int finish(bool ok, const QString &error = {})
{
    if (!ok)
        QTextStream(stderr) << "failed: " << error << "\n";
    return ok ? 0 : 1;
}

int saveCollectionCommand(const QStringList &args)
{
    TMp3Root root;
    safety::fillCollection(root, args.at(1).toInt(), args.at(2).toInt());
    startWriting();
    const TCollectionSaveResult result = saveCollection(root, args.at(0));
    return finish(result.Saved, result.Message);
}

int id3v2Command(const QStringList &args)
{
    TID3v2Tag tag;
    tag.ReadFromFile(args.at(0));
    tag.Title = args.at(1);
    tag.Comment = QString(args.at(2).toInt(), QLatin1Char('c'));
    startWriting();
    const bool ok = tag.WriteToFile(args.at(0));
    return finish(ok, tag.errorString());
}

int id3v1Command(const QStringList &args)
{
    TID3v1Tag tag;
    tag.ReadFromFile(args.at(0));
    tag.Title = args.at(1);
    startWriting();
    return finish(tag.WriteToFile(args.at(0)));
}

int playListCommand(const QStringList &args, bool pls)
{
    const TPlayListRecords records = safety::playListRecords(args.at(1).toInt());
    startWriting();
    QString error;
    const bool ok = pls ? writePlsFile(args.at(0), records, error) : writeM3uFile(args.at(0), records, error);
    return finish(ok, error);
}

int iniCommand(const QStringList &args)
{
    TIniSettingsStore store(args.at(0));
    const int count = args.at(1).toInt();
    for (int i = 0; i < count; ++i)
        store.WriteString(QStringLiteral("Written"), QStringLiteral("Value%1").arg(i),
                          QStringLiteral("text %1 ").arg(i).repeated(8));
    startWriting();
    const bool ok = store.Flush();
    const QString error = store.ErrorString();
    return finish(ok, error);
}

int addTrackCommand(const QStringList &args)
{
    TMp3Root root;
    TCollectionUpdate update(root, args.at(0));
    update.setWait(std::chrono::milliseconds(120000));
    QString complaint;
    if (!update.open(true, &complaint))
        return finish(false, complaint);
    static_cast<TMp3Track *>(root.GetTracks()->CreateItem())->Title = args.at(1);
    startWriting();
    QThread::msleep(args.at(2).toULong());
    return finish(update.save(&complaint), complaint);
}

int makeMp3Command(const QStringList &args)
{
    const QByteArray tag = Id3v2Builder(3).text("TIT2", QStringLiteral("Old title")).padding(16).build();
    return finish(testsupport::writeFile(args.at(0), tag + safety::audioFrames(args.at(1).toInt())));
}

struct Command {
    int argumentCount;
    std::function<int(const QStringList &)> run;
};

} // namespace

int main(int argc, char **argv)
{
    const std::map<QString, Command> commands{
        {QStringLiteral("save-collection"), {3, saveCollectionCommand}},
        {QStringLiteral("id3v2"), {3, id3v2Command}},
        {QStringLiteral("id3v1"), {2, id3v1Command}},
        {QStringLiteral("m3u"), {2, [](const QStringList &a) { return playListCommand(a, false); }}},
        {QStringLiteral("pls"), {2, [](const QStringList &a) { return playListCommand(a, true); }}},
        {QStringLiteral("ini"), {2, iniCommand}},
        {QStringLiteral("add-track"), {3, addTrackCommand}},
        {QStringLiteral("make-mp3"), {2, makeMp3Command}},
    };
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const auto command = args.isEmpty() ? commands.end() : commands.find(args.first());
    if (command == commands.end() || args.size() - 1 != command->second.argumentCount) {
        std::fputs("usage: see the top of safetychild.cpp\n", stderr);
        return 2;
    }
    return command->second.run(args.mid(1));
}
