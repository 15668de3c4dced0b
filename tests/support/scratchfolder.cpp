#include "scratchfolder.h"

#include "testsupport.h"

QString ScratchFolder::newFile(const QByteArray &bytes)
{
    const QString file = path(QStringLiteral("song%1.mp3").arg(++m_counter));
    testsupport::writeFile(file, bytes);
    return file;
}
