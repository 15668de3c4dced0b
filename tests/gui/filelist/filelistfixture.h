#pragma once

#include "core/audio/id3tag.h"
#include "core/files/mp3file.h"
#include "core/files/mp3folder.h"
#include "core/files/mp3process.h"
#include "core/mp3model/mp3root.h"
#include "core/settings/prefs.h"
#include "gui/filelist/filelistcontext.h"
#include "gui/shell/globaldata.h"
#include "id3v2builder.h"
#include "memorysettingsstore.h"
#include "mp3builder.h"
#include "scripteddesktopservices.h"
#include "testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>

// The values of one test file's tags.
struct SongTags {
    QString title;
    QString artist;
    QString album;
    bool withV1 = false;
};

// Everything a file list window needs, over a temporary folder of MP3
// files made from a few frames of silence and hand-built tags.
struct FileListFixture {
    FileListFixture()
    {
        prefs.ParseFormats = {QStringLiteral("%ar - %t")};
        prefs.RenameFormats = {QStringLiteral("%ar - %t"), QStringLiteral("%t (%y)")};
        prefs.CurrentRenameFormat = prefs.RenameFormats.first();
        process.ParseFormats = prefs.ParseFormats;
        process.Collection = &root;
        process.Threads = 1;
        TRootItem::SetCurrent(&root);
    }
    ~FileListFixture() { TRootItem::SetCurrent(nullptr); }

    // The audio every test file carries after its tags.
    static QByteArray audio() { return mp3::Frame().stream(12); }

    static QByteArray songBytes(const SongTags &tags)
    {
        Id3v2Builder v2;
        if (!tags.title.isEmpty())
            v2.text("TIT2", tags.title);
        if (!tags.artist.isEmpty())
            v2.text("TPE1", tags.artist);
        if (!tags.album.isEmpty())
            v2.text("TALB", tags.album);
        QByteArray bytes = v2.padding(64).build() + audio();
        if (tags.withV1) {
            mp3::Id3v1 v1;
            v1.title = tags.title.toLatin1();
            v1.artist = tags.artist.toLatin1();
            v1.album = tags.album.toLatin1();
            bytes += v1.bytes();
        }
        return bytes;
    }

    // Writes a song under the folder (sub-folders are made) and returns its
    // path.
    QString addSong(const QString &relativePath, const SongTags &tags)
    {
        const QString path = dir.filePath(relativePath);
        QDir().mkpath(QFileInfo(path).absolutePath());
        testsupport::writeFile(path, songBytes(tags));
        return path;
    }

    // A folder object on the temporary folder (or one below it).
    std::unique_ptr<TMP3Folder> folder(const QString &relative = QString())
    {
        auto result = std::make_unique<TMP3Folder>();
        result->SetPath(relative.isEmpty() ? dir.path() : dir.filePath(relative));
        return result;
    }

    // A track of the collection for a file.
    TMp3Track *addTrack(const QString &path, const QString &title)
    {
        auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
        track->FilePath = path;
        track->Title = title;
        track->Size = qint32(QFileInfo(path).size());
        return track;
    }

    TFileListContext context() { return TFileListContext{prefs, process, root, global, {}, {}, {}}; }

    // The bytes of the audio between the tags.
    static QByteArray audioOf(const QString &path)
    {
        TMP3File file(path);
        file.ReadInfo({});
        const QByteArray bytes = testsupport::readFile(path);
        const qint64 start = file.ID3v2.Exists ? file.FileSize - file.AudioSize - file.ID3v1.TagSize : 0;
        return bytes.mid(start, file.AudioSize);
    }

    QTemporaryDir dir;
    TMemorySettingsStore store;
    TMp3Prefs prefs{store};
    TMp3Root root;
    TdmGlobal global;
    TMP3Process process;
    ScriptedDesktopServices services;
};
