#include "gui/settings/formplacement.h"

#include "core/settings/formplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

QList<QRect> monitorRects()
{
    QList<QRect> rects;
    for (const QScreen *screen : QGuiApplication::screens())
        rects << screen->geometry();
    return rects;
}

QRect screenArea(const QWidget *window)
{
    const QScreen *screen = window ? window->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

// Size including the frame once the window has one.
QSize outerSize(const QWidget *window)
{
    return window->isVisible() ? window->frameGeometry().size() : window->size();
}

bool isFixedSize(const QWidget *window)
{
    return window->minimumSize() == window->maximumSize();
}

bool canPlaceWindows()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void apply(QWidget *window, const TPlacementRecord &record)
{
    QRect rect = record.NormalRect();
    if (isFixedSize(window))
        rect.setSize(window->size());
    if (canPlaceWindows())
        window->setGeometry(rect);
    else
        window->resize(rect.size());
    if (record.IsMaximized())
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
}

// A window not shown yet has the size its layout will give it only after
// the layout ran; centring it on its default size puts it off centre.
void settleSize(QWidget *window)
{
    if (!window->isVisible() && !window->testAttribute(Qt::WA_Resized))
        window->adjustSize();
}

} // namespace

void TFormPlacement::RestorePlacement(QWidget *window, const TSettingsStore &store)
{
    const auto record = placement::Read(store, window->objectName());
    if (record && placement::IsUsable(*record, monitorRects()))
        apply(window, *record);
    else
        CenterOnScreen(window);
}

void TFormPlacement::SavePlacement(const QWidget *window, TSettingsStore &store)
{
    TPlacementRecord record;
    if (window->isMaximized())
        record.ShowCmd = TPlacementRecord::ShowMaximized;
    else if (window->isMinimized())
        record.ShowCmd = TPlacementRecord::ShowMinimized;
    QRect normal = window->normalGeometry();
    if (normal.isEmpty())
        normal = window->geometry();
    record.SetNormalRect(normal);
    placement::Write(store, window->objectName(), record);
}

void TFormPlacement::CenterOnOwner(QWidget *window, const QWidget *owner)
{
    settleSize(window);
    if (!owner) {
        CenterOnScreen(window);
        return;
    }
    const QWidget *ownerWindow = owner->window();
    window->move(placement::CenterOnOwner(ownerWindow->frameGeometry(), outerSize(window), screenArea(ownerWindow)));
}

void TFormPlacement::CenterOnScreen(QWidget *window)
{
    settleSize(window);
    window->move(placement::CenterOnScreen(outerSize(window), screenArea(window)));
}
