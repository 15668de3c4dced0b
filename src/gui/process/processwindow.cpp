#include "gui/process/processwindow.h"

#include "gui/settings/formplacement.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QWindow>

TfmProcess::TfmProcess(QWidget *owner, TProcess *process)
    // No parent: the process owns the window and may outlive its owner.
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      m_owner(owner), m_process(process)
{
    setObjectName(QStringLiteral("fmProcess"));
    setWindowTitle(tr("Process"));
    setFixedSize(454, 110);
    setModal(false);

    laMessage = new QLabel(tr("Working..."), this);
    laMessage->setObjectName(QStringLiteral("laMessage"));
    laMessage->setGeometry(10, 2, 436, 17);
    pbProcess = new QProgressBar(this);
    pbProcess->setObjectName(QStringLiteral("pbProcess"));
    pbProcess->setGeometry(10, 21, 436, 16);
    pbProcess->setRange(0, 100);
    pbProcess->setValue(0);
    pbProcess->setTextVisible(false);
    btCancel = new QPushButton(tr("Cancel"), this);
    btCancel->setObjectName(QStringLiteral("btCancel"));
    btCancel->setGeometry(371, 82, 75, 23);
    btCancel->setDefault(true);
    connect(btCancel, &QPushButton::clicked, this, &TfmProcess::btCancelClick);
}

TfmProcess::~TfmProcess()
{
    // A window destroyed during a run must not leave its owner disabled.
    if (isVisible() && m_owner)
        m_owner->setEnabled(true);
}

void TfmProcess::btCancelClick()
{
    if (m_process)
        m_process->Cancel();
}

void TfmProcess::reject()
{
    btCancelClick();
}

void TfmProcess::closeEvent(QCloseEvent *event)
{
    // The window goes when the operation has returned.
    btCancelClick();
    event->ignore();
}

void TfmProcess::showProgress()
{
    if (QWidget *owner = m_owner ? m_owner->window() : nullptr) {
        if (owner->windowHandle()) {
            winId();
            windowHandle()->setTransientParent(owner->windowHandle());
        }
        TFormPlacement::CenterOnOwner(this, owner);
        owner->setEnabled(false);
    } else {
        TFormPlacement::CenterOnScreen(this);
    }
    show();
    btCancel->setFocus();
    pumpEvents();
}

void TfmProcess::hideProgress()
{
    if (QWidget *owner = m_owner ? m_owner->window() : nullptr)
        owner->setEnabled(true);
    hide();
}

void TfmProcess::setCaption(const QString &caption)
{
    setWindowTitle(caption);
}

void TfmProcess::setMessage(const QString &message)
{
    laMessage->setText(message);
}

int TfmProcess::percent() const
{
    return pbProcess->value();
}

void TfmProcess::setPercent(int percent)
{
    pbProcess->setValue(qBound(0, percent, 100));
}

void TfmProcess::pumpEvents()
{
    QCoreApplication::processEvents();
}

void AttachProcessWindow(TProcess &process, QWidget *owner)
{
    process.SetWindow(std::make_unique<TfmProcess>(owner, &process));
}
