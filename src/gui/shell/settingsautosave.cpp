#include "gui/shell/settingsautosave.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

TSettingsAutoSave::TSettingsAutoSave(std::function<bool()> save, QObject *parent)
    : QObject(parent)
    , m_save(std::move(save))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(QuietMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &TSettingsAutoSave::save);
}

TSettingsAutoSave::~TSettingsAutoSave()
{
    if (m_watching)
        qApp->removeEventFilter(this);
}

void TSettingsAutoSave::Start()
{
    if (m_watching)
        return;
    qApp->installEventFilter(this);
    m_watching = true;
}

void TSettingsAutoSave::Schedule()
{
    m_timer.start();
}

bool TSettingsAutoSave::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
        Schedule();
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Hide:
    case QEvent::WindowStateChange:
        // Windows only: their placement is a setting, and a dialog that
        // closes has just stored its own.
        if (watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow())
            Schedule();
        break;
    default:
        break;
    }
    return false;
}

void TSettingsAutoSave::save()
{
    m_timer.stop();
    if (!m_save())
        m_timer.start();
}
