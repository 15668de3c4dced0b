#pragma once

#include "core/files/process.h"

#include <QPointer>

class QProgressDialog;
class QWidget;

// A plain progress dialog as the display of a batch process: caption,
// message, bar and Cancel, over its owner.  Cancel cancels the process
// that owns the display.
class TProgressDialogWindow : public TProcessWindow {
public:
    explicit TProgressDialogWindow(QWidget *owner = nullptr);
    ~TProgressDialogWindow() override;

    // The process to cancel; set once the process owns this display.
    void SetProcess(TProcess *process) { m_process = process; }

    void showProgress() override;
    void hideProgress() override;
    void setCaption(const QString &caption) override;
    void setMessage(const QString &message) override;
    int percent() const override;
    void setPercent(int percent) override;
    void pumpEvents() override;

private:
    QProgressDialog *dialog();

    QPointer<QWidget> m_owner;
    QPointer<QProgressDialog> m_dialog;
    TProcess *m_process = nullptr;
    QString m_caption;
    QString m_message;
    int m_percent = 0;
};
