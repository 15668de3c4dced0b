#pragma once

#include "core/files/process.h"

#include <QPointer>

#include <memory>

class QProgressDialog;
class QWidget;

// A progress display for the output windows' long runs (printing, PDF,
// export): a window-modal progress dialog whose Cancel button cancels the
// process.
class TProgressDialogWindow : public TProcessWindow {
public:
    TProgressDialogWindow(QWidget *owner, TProcess &process);
    ~TProgressDialogWindow() override;

    void showProgress() override;
    void hideProgress() override;
    void setCaption(const QString &caption) override;
    void setMessage(const QString &message) override;
    int percent() const override;
    void setPercent(int percent) override;
    void pumpEvents() override;

private:
    QPointer<QWidget> m_owner;
    TProcess &m_process;
    std::unique_ptr<QProgressDialog> m_dialog;
    QString m_caption;
    int m_percent = 0;
};

// Gives a process a progress display over owner.
void AttachProgressWindow(TProcess &process, QWidget *owner);
