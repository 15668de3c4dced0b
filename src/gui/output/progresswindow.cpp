#include "gui/output/progresswindow.h"

#include <QApplication>
#include <QProgressDialog>

TProgressDialogWindow::TProgressDialogWindow(QWidget *owner, TProcess &process)
    : m_owner(owner), m_process(process)
{
}

TProgressDialogWindow::~TProgressDialogWindow() = default;

void TProgressDialogWindow::showProgress()
{
    if (!m_dialog) {
        m_dialog = std::make_unique<QProgressDialog>(m_owner);
        m_dialog->setObjectName(QStringLiteral("fmProcess"));
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setRange(0, 100);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        QObject::connect(m_dialog.get(), &QProgressDialog::canceled, [this] { m_process.Cancel(); });
    }
    m_dialog->setWindowTitle(m_caption);
    m_dialog->setValue(m_percent);
    m_dialog->show();
}

void TProgressDialogWindow::hideProgress()
{
    if (m_dialog)
        m_dialog->hide();
}

void TProgressDialogWindow::setCaption(const QString &caption)
{
    m_caption = caption;
    if (m_dialog)
        m_dialog->setWindowTitle(caption);
}

void TProgressDialogWindow::setMessage(const QString &message)
{
    if (m_dialog)
        m_dialog->setLabelText(message);
}

int TProgressDialogWindow::percent() const
{
    return m_percent;
}

void TProgressDialogWindow::setPercent(int percent)
{
    m_percent = percent;
    if (m_dialog)
        m_dialog->setValue(percent);
}

void TProgressDialogWindow::pumpEvents()
{
    QApplication::processEvents();
}

void AttachProgressWindow(TProcess &process, QWidget *owner)
{
    process.SetWindow(std::make_unique<TProgressDialogWindow>(owner, process));
}
