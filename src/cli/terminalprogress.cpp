#include "cli/terminalprogress.h"

#include <unistd.h>

namespace {

constexpr int MaxLineWidth = 78;
constexpr qint64 MinRedrawMs = 100;

} // namespace

TTerminalProgress::TTerminalProgress(FILE *stream)
    : m_stream(stream)
    , m_enabled(isatty(fileno(stream)) != 0)
{
}

void TTerminalProgress::showProgress()
{
    m_visible = true;
    m_percent = 0;
    draw(true);
}

void TTerminalProgress::hideProgress()
{
    if (m_enabled && m_visible) {
        std::fputs("\r\x1b[K", m_stream);
        std::fflush(m_stream);
    }
    m_visible = false;
}

void TTerminalProgress::setCaption(const QString &caption)
{
    m_caption = caption;
    draw(true);
}

void TTerminalProgress::setMessage(const QString &message)
{
    m_message = message;
    draw(false);
}

void TTerminalProgress::setPercent(int percent)
{
    m_percent = percent;
    draw(true);
}

void TTerminalProgress::draw(bool force)
{
    if (!m_enabled || !m_visible)
        return;
    if (!force && m_lastDraw.isValid() && m_lastDraw.elapsed() < MinRedrawMs)
        return;
    m_lastDraw.start();
    QString line = m_caption.isEmpty() ? m_message : m_caption + QStringLiteral(": ") + m_message;
    const QString tail = m_percentShown ? QStringLiteral(" %1%").arg(m_percent) : QString();
    if (line.size() + tail.size() > MaxLineWidth)
        line = line.left(MaxLineWidth - tail.size() - 3) + QStringLiteral("...");
    std::fputs("\r\x1b[K", m_stream);
    std::fputs((line + tail).toLocal8Bit().constData(), m_stream);
    std::fflush(m_stream);
}
