#include "core/settings/formplacement.h"

#include "core/base/settingsstore.h"

#include <QtEndian>

#include <algorithm>
#include <array>

QRect TPlacementRecord::NormalRect() const
{
    return QRect(QPoint(Left, Top), QSize(Right - Left, Bottom - Top));
}

void TPlacementRecord::SetNormalRect(const QRect &rect)
{
    Left = rect.left();
    Top = rect.top();
    Right = rect.left() + rect.width();
    Bottom = rect.top() + rect.height();
}

QByteArray TPlacementRecord::ToBytes() const
{
    const std::array<qint32, 11> values{Length, Flags, ShowCmd,
                                        MinPosition.x(), MinPosition.y(),
                                        MaxPosition.x(), MaxPosition.y(),
                                        Left, Top, Right, Bottom};
    QByteArray bytes(RecordLength, '\0');
    for (size_t i = 0; i < values.size(); ++i)
        qToLittleEndian<qint32>(values[i], bytes.data() + 4 * i);
    return bytes;
}

std::optional<TPlacementRecord> TPlacementRecord::FromBytes(const QByteArray &bytes)
{
    if (bytes.size() != RecordLength)
        return std::nullopt;
    auto at = [&bytes](int i) { return qFromLittleEndian<qint32>(bytes.constData() + 4 * i); };
    if (at(0) != RecordLength)
        return std::nullopt;
    TPlacementRecord r;
    r.Flags = at(1);
    r.ShowCmd = at(2);
    r.MinPosition = QPoint(at(3), at(4));
    r.MaxPosition = QPoint(at(5), at(6));
    r.Left = at(7);
    r.Top = at(8);
    r.Right = at(9);
    r.Bottom = at(10);
    return r;
}

namespace placement {

bool PointOnSomeMonitor(const QPoint &point, const QList<QRect> &monitors)
{
    // QRect::contains treats right() = left + width - 1 as inside, which is
    // exactly "the right edge lies outside".
    return std::any_of(monitors.cbegin(), monitors.cend(),
                       [&point](const QRect &m) { return m.contains(point); });
}

bool IsUsable(const TPlacementRecord &record, const QList<QRect> &monitors)
{
    if (record.IsMaximized())
        return true;
    const std::array<QPoint, 4> corners{QPoint(record.Left, record.Top),
                                        QPoint(record.Left, record.Bottom),
                                        QPoint(record.Right, record.Top),
                                        QPoint(record.Right, record.Bottom)};
    return std::all_of(corners.cbegin(), corners.cend(),
                       [&monitors](const QPoint &p) { return PointOnSomeMonitor(p, monitors); });
}

QPoint CenterOnOwner(const QRect &owner, const QSize &window, const QRect &screen)
{
    // Integer division truncates toward zero, as the old placement code did.
    const int left = std::min(screen.left() + screen.width() - window.width(),
                              std::max(screen.left(), owner.left() + (owner.width() - window.width()) / 2));
    const int top = std::min(screen.top() + screen.height() - window.height(),
                             std::max(screen.top(), owner.top() + (owner.height() - window.height()) / 2));
    // A window larger than the screen keeps its title bar reachable.
    return QPoint(std::max(screen.left(), left), std::max(screen.top(), top));
}

QPoint CenterOnScreen(const QSize &window, const QRect &screen)
{
    return QPoint(screen.left() + (screen.width() - window.width()) / 2,
                  screen.top() + (screen.height() - window.height()) / 2);
}

std::optional<TPlacementRecord> Read(const TSettingsStore &store, const QString &windowName)
{
    const QString section = QString::fromLatin1(Section);
    if (!store.ValueExists(section, windowName))
        return std::nullopt;
    const QByteArray hex = store.ReadString(section, windowName).trimmed().toLatin1();
    return TPlacementRecord::FromBytes(QByteArray::fromHex(hex));
}

void Write(TSettingsStore &store, const QString &windowName, const TPlacementRecord &record)
{
    store.WriteString(QString::fromLatin1(Section), windowName,
                      QString::fromLatin1(record.ToBytes().toHex()));
}

} // namespace placement
