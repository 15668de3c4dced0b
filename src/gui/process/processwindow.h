#pragma once

#include "core/files/process.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QProgressBar;
class QPushButton;

// The progress window of long operations: a message, a bar and Cancel.  It
// shows without being modal while its owner is disabled, so the operation
// keeps the interface alive by pumping events from the process, and Cancel
// (or Esc, or closing the window) only asks the process to stop at its next
// step.
//
// How to use it: give a process its window once, then run operations on the
// process with ShowWindow set; the process shows and hides the window.
//     TMP3Process process;
//     AttachProcessWindow(process, this);   // `this`: the window it covers
//     process.AddFiles(files, location);
// The process owns the window; the owner may be null (the window is then
// centred on the screen).
class TfmProcess : public QDialog, public TProcessWindow {
    Q_OBJECT
public:
    TfmProcess(QWidget *owner, TProcess *process);
    ~TfmProcess() override;

    QLabel *laMessage;
    QProgressBar *pbProcess;
    QPushButton *btCancel;

    void btCancelClick();

    void showProgress() override;
    void hideProgress() override;
    void setCaption(const QString &caption) override;
    void setMessage(const QString &message) override;
    int percent() const override;
    void setPercent(int percent) override;
    void pumpEvents() override;

    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QPointer<QWidget> m_owner;
    TProcess *m_process;
};

// Gives the process a progress window placed over owner (see TfmProcess).
void AttachProcessWindow(TProcess &process, QWidget *owner);
