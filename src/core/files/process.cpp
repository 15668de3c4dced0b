#include "core/files/process.h"

#include <QDateTime>
#include <QLocale>

TProcess::TProcess() = default;

TProcess::TProcess(std::unique_ptr<TProcessWindow> window)
    : m_window(std::move(window))
{
}

TProcess::~TProcess() = default;

void TProcess::SetWindow(std::unique_ptr<TProcessWindow> window)
{
    m_window = std::move(window);
}

void TProcess::Start()
{
    Position = 0;
    Cancelled = false;
    if (ShowWindow && m_window)
        m_window->showProgress();
    addLogLine(QStringLiteral("Start: "));
}

void TProcess::Finish()
{
    addLogLine(QStringLiteral("End  : "));
    if (ShowWindow && m_window)
        m_window->hideProgress();
}

void TProcess::addLogLine(const QString &prefix)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale = QLocale::system();
    Log.append(prefix + locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ')
               + locale.toString(now.time(), QLocale::LongFormat));
}

void TProcess::SetCaption(const QString &text)
{
    if (m_window)
        m_window->setCaption(text);
}

void TProcess::SetMessage(const QString &text)
{
    if (ShowWindow) {
        if (m_window) {
            m_window->setMessage(text);
            m_window->pumpEvents();
        }
    } else if (OnMessage) {
        OnMessage(this, text);
    }
}

void TProcess::SetPosition(int value)
{
    Position = value;
    if (Max > 0) {
        // The bar wraps to 0 on the last step; operations without a total
        // set Max to 100 and so cycle through 0..99 as an activity sign.
        Position = value % Max;
        if (Position < 0)
            Position += Max;
        const int percent = int(qint64(Position) * 100 / Max);
        if (ShowWindow) {
            if (m_window && m_window->percent() != percent)
                m_window->setPercent(percent);
        } else if (OnProgress) {
            OnProgress(this, percent);
        }
    }
    if (ShowWindow && m_window)
        m_window->pumpEvents();
}

void TProcess::StepIt()
{
    SetPosition(Position + 1);
}

void TProcess::Cancel()
{
    Cancelled = true;
}

bool TProcess::IsCancelled() const
{
    return Cancelled;
}
