#include "core/audio/trackvaluetext.h"

#include <QLocale>

QString FormatSizeKB(qint64 bytes)
{
    return QLocale().toString(double(bytes) / 1024.0, 'f', 0) + QStringLiteral(" KB");
}

QString FormatLength(qint64 seconds)
{
    return QString::asprintf("%.2lld:%.2lld", static_cast<long long>(seconds / 60),
                             static_cast<long long>(seconds % 60));
}

QString FormatBitrate(qint32 kbps, bool vbr)
{
    return vbr ? QString::asprintf("%dkbps(VBR)", kbps) : QString::asprintf("%dkbps", kbps);
}

QString FormatSampleRate(qint32 hertz)
{
    return QString::asprintf("%dkHz", hertz / 1000);
}

QString FormatYesNo(bool value)
{
    return value ? QStringLiteral("Yes") : QStringLiteral("No");
}
