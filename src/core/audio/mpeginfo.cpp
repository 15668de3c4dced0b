#include "mpeginfo.h"

#include <QFile>

void TMpegInfo::Reset()
{
    *this = TMpegInfo();
}

void TMpegInfo::ReadFromFile(const QString &fileName, qint64 audioSize)
{
    Reset();
    QFile file(fileName);
    if (file.open(QIODevice::ReadOnly))
        ReadFromDevice(file, audioSize);
}

void TMpegInfo::ReadFromDevice(QIODevice &device, qint64 audioSize)
{
    // Stream analysis is added next; until then every file reads as
    // carrying no stream.
    Q_UNUSED(device);
    Q_UNUSED(audioSize);
    Reset();
}
