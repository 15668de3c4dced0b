#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

// Runs python3-mutagen, an independent ID3 implementation, to check that
// tags we write read correctly elsewhere and that we read theirs.  Tests
// skip when no Python with mutagen is installed.
namespace mutagentool {

// A Python interpreter that can import mutagen; empty when there is none.
QString python();

// Runs `script` with `args`; false (and `error` set) when it fails.
bool run(const QString &script, const QStringList &args, QByteArray *output, QString *error);

// The ID3v2 tag of `file` as mutagen sees it, without converting between
// versions: {"version": [2, 3, 0], "frames": [{"id": "TIT2", "text": [...],
// "desc": ..., "lang": ..., "url": ..., "data": hex, "mime": ...}, ...]}.
bool dump(const QString &file, QJsonObject *tag, QString *error);

// Gives `file` a tag of version 2.`majorVersion` written by mutagen: TIT2
// "Ωmega", TPE1 "Björk" and "Guest", TALB "Album", TRCK "3/12", TDRC
// 2004-05-06, TCON "Rock", APIC, COMM "" "Comment ☃", COMM
// "MusicMatch_Mood" "Calm", PRIV, USLT "La la\nla", WOAR, WXXX, TXXX, POPM;
// Unicode texts in UTF-16 (v2.3) or UTF-8 (v2.4).
bool writeSampleTag(const QString &file, int majorVersion, QString *error);

} // namespace mutagentool
