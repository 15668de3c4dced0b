#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A temporary folder that hands out numbered files with given contents.
class ScratchFolder {
public:
    bool isValid() const { return m_dir.isValid(); }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    // A new file "songN.mp3" holding `bytes`.
    QString newFile(const QByteArray &bytes);

private:
    QTemporaryDir m_dir;
    int m_counter = 0;
};
