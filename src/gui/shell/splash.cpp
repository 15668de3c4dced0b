#include "gui/shell/splash.h"

#include "gui/settings/formplacement.h"

#include <QApplication>
#include <QPainter>
#include <QSvgRenderer>

TfmSplash::TfmSplash(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("fmSplash"));
    setFixedSize(328, 330);
}

void TfmSplash::ShowNow()
{
    TFormPlacement::CenterOnScreen(this);
    show();
    raise();
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TfmSplash::HideAll()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        if (qobject_cast<TfmSplash *>(window))
            window->hide();
}

void TfmSplash::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QSvgRenderer logo(QStringLiteral(":/splash.svg"));
    logo.render(&painter, rect());
}
