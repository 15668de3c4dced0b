#include "shell/splash.h"

#include "settings/tformplacement.h"

#include <QCoreApplication>
#include <QPainter>
#include <QSvgRenderer>

TfmSplash::TfmSplash(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
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
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TfmSplash::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QSvgRenderer logo(QStringLiteral(":/splash.svg"));
    logo.render(&painter, rect());
}
