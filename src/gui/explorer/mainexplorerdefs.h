#pragma once

// What the files of the main window's explorer share.

#include <QRect>
#include <QString>

class QWidget;

namespace mainexplorer {

// The window's section in the settings store.
inline const QString MainSection = QStringLiteral("fmMain");
// A sub-section of it: "fmMain\\" + name.
QString SubSection(const QString &name);

// Pictures of the small image list the window uses.
constexpr int CollectionImage = 4;
constexpr int PresetImage = 8;
constexpr int NoFoldersImage = 9;
// GroupFieldPreset values besides the preset indexes.
constexpr int NoFoldersTag = -1;
constexpr int CustomTag = -2;

// The free area of the screen the window is on.
QRect ScreenArea(const QWidget *window);

} // namespace mainexplorer
