#pragma once

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

class TSettingsStore;

// A window's saved placement: eleven little-endian 32-bit integers (44
// bytes), the layout older versions of the program wrote, so stored
// placements keep working.  The normal rectangle uses exclusive right and
// bottom edges.
struct TPlacementRecord {
    static constexpr qint32 RecordLength = 44;
    static constexpr qint32 ShowNormal = 1;
    static constexpr qint32 ShowMinimized = 2;
    static constexpr qint32 ShowMaximized = 3;

    qint32 Length = RecordLength;
    qint32 Flags = 0;
    qint32 ShowCmd = ShowNormal;
    QPoint MinPosition{-1, -1};
    QPoint MaxPosition{-1, -1};
    qint32 Left = 0;
    qint32 Top = 0;
    qint32 Right = 0;
    qint32 Bottom = 0;

    bool IsMaximized() const { return ShowCmd == ShowMaximized; }
    // Normal rectangle as a QRect (width = Right - Left).
    QRect NormalRect() const;
    void SetNormalRect(const QRect &rect);

    QByteArray ToBytes() const;
    // Nothing when the bytes are not a 44-byte record of length 44.
    static std::optional<TPlacementRecord> FromBytes(const QByteArray &bytes);

    bool operator==(const TPlacementRecord &) const = default;
};

namespace placement {

// Section of the settings store that holds one value per window name.
inline const char *const Section = "WindowPlacement";

// A point on the right or bottom edge of a monitor lies outside it.
bool PointOnSomeMonitor(const QPoint &point, const QList<QRect> &monitors);

// A record is usable when it is maximised or all four corners of its normal
// rectangle lie on the monitors.
bool IsUsable(const TPlacementRecord &record, const QList<QRect> &monitors);

// Top-left corner that centres a window over its owner within the screen;
// never left of or above the screen.
QPoint CenterOnOwner(const QRect &owner, const QSize &window, const QRect &screen);
QPoint CenterOnScreen(const QSize &window, const QRect &screen);

// The store keeps the record as hexadecimal text of its 44 bytes.
std::optional<TPlacementRecord> Read(const TSettingsStore &store, const QString &windowName);
void Write(TSettingsStore &store, const QString &windowName, const TPlacementRecord &record);

} // namespace placement
