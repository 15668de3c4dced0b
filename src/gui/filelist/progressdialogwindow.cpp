#include "gui/filelist/progressdialogwindow.h"

#include <QApplication>
#include <QProgressDialog>

TProgressDialogWindow::TProgressDialogWindow(QWidget *owner) : m_owner(owner)
{
}

TProgressDialogWindow::~TProgressDialogWindow()
{
    delete m_dialog.data();
}

QProgressDialog *TProgressDialogWindow::dialog()
{
    if (!m_dialog) {
        m_dialog = new QProgressDialog(m_owner ? m_owner.data() : QApplication::activeWindow());
        m_dialog->setObjectName(QStringLiteral("fmProcess"));
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setAutoReset(false);
        m_dialog->setAutoClose(false);
        m_dialog->setMinimumDuration(0);
        m_dialog->setRange(0, 100);
        QObject::connect(m_dialog, &QProgressDialog::canceled, [this] {
            if (m_process)
                m_process->Cancel();
        });
    }
    return m_dialog;
}

void TProgressDialogWindow::showProgress()
{
    QProgressDialog *progress = dialog();
    progress->setWindowTitle(m_caption);
    progress->setLabelText(m_message);
    progress->setValue(0);
    progress->show();
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
    m_message = message;
    if (m_dialog)
        m_dialog->setLabelText(message);
}

int TProgressDialogWindow::percent() const
{
    return m_percent;
}

void TProgressDialogWindow::setPercent(int percent)
{
    m_percent = qBound(0, percent, 100);
    if (m_dialog)
        m_dialog->setValue(m_percent);
}

void TProgressDialogWindow::pumpEvents()
{
    QCoreApplication::processEvents();
}
