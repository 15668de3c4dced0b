#include "mutagentool.h"

#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>

namespace mutagentool {

namespace {

bool canImportMutagen(const QString &python)
{
    QProcess p;
    p.start(python, {QStringLiteral("-c"), QStringLiteral("import mutagen")});
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

const char *const DumpScript = R"PY(
import json, sys
from mutagen.id3 import ID3
tag = ID3(sys.argv[1], translate=False)
out = {"version": list(tag.version), "frames": []}
for frame in tag.values():
    d = {"id": frame.FrameID}
    for attr in ("text", "desc", "lang", "url", "mime", "type", "data", "owner", "encoding"):
        if not hasattr(frame, attr):
            continue
        v = getattr(frame, attr)
        if isinstance(v, bytes):
            v = v.hex()
        elif isinstance(v, list):
            v = [str(x) for x in v]
        elif attr in ("encoding", "type"):
            v = int(v)
        else:
            v = str(v)
        d[attr] = v
    out["frames"].append(d)
print(json.dumps(out))
)PY";

const char *const SampleTagScript = R"PY(
import sys
from mutagen.id3 import (ID3, TIT2, TPE1, TALB, TRCK, TDRC, TCON, COMM, USLT, WOAR, WXXX,
                         APIC, PRIV, TXXX, POPM, Encoding)
path, version = sys.argv[1], int(sys.argv[2])
unicode = Encoding.UTF16 if version == 3 else Encoding.UTF8
t = ID3()
t.add(TIT2(encoding=unicode, text="Ωmega"))
t.add(TPE1(encoding=Encoding.UTF16, text=["Björk", "Guest"]))
t.add(TALB(encoding=Encoding.LATIN1, text="Album"))
t.add(TRCK(encoding=Encoding.LATIN1, text="3/12"))
t.add(TDRC(encoding=Encoding.LATIN1, text="2004-05-06"))
t.add(TCON(encoding=Encoding.LATIN1, text="Rock"))
t.add(APIC(encoding=unicode, mime="image/png", type=3, desc="Cover ☃", data=b"\x89PNG\xff\x00\xff\xe0" * 40))
t.add(COMM(encoding=unicode, lang="eng", desc="", text="Comment ☃"))
t.add(COMM(encoding=Encoding.LATIN1, lang="eng", desc="MusicMatch_Mood", text="Calm"))
t.add(PRIV(owner="owner@example", data=b"\x00\xff\x00\xff"))
t.add(USLT(encoding=unicode, lang="eng", desc="", text="La la\nla"))
t.add(WOAR(url="http://artist.example/"))
t.add(WXXX(encoding=unicode, desc="Homepage ☃", url="http://general.example/"))
t.add(TXXX(encoding=unicode, desc="CATALOG", text=["ABC-1"]))
t.add(POPM(email="someone@example", rating=200, count=3))
t.save(path, v2_version=version)
)PY";

} // namespace

QString python()
{
    static const QString found = [] {
        QStringList candidates;
        const QString onPath = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (!onPath.isEmpty())
            candidates << onPath;
        candidates << QStringLiteral("/usr/bin/python3");
        for (const QString &c : candidates)
            if (canImportMutagen(c))
                return c;
        return QString();
    }();
    return found;
}

bool run(const QString &script, const QStringList &args, QByteArray *output, QString *error)
{
    QProcess p;
    p.start(python(), QStringList{QStringLiteral("-c"), script} + args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        *error = QString::fromUtf8(p.readAllStandardError());
        return false;
    }
    *output = p.readAllStandardOutput();
    return true;
}

bool dump(const QString &file, QJsonObject *tag, QString *error)
{
    QByteArray out;
    if (!run(QString::fromLatin1(DumpScript), {file}, &out, error))
        return false;
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(out, &parseError);
    if (!doc.isObject()) {
        *error = parseError.errorString();
        return false;
    }
    *tag = doc.object();
    return true;
}

bool writeSampleTag(const QString &file, int majorVersion, QString *error)
{
    QByteArray out;
    return run(QString::fromUtf8(SampleTagScript), {file, QString::number(majorVersion)}, &out, error);
}

} // namespace mutagentool
