#pragma once

#include "core/settings/shellservices.h"
#include "core/settings/updatecheck.h"
#include "gui/settings/updatecheck.h"

#include <QDialog>

#include <QStringList>

#include <functional>

class QLabel;
class QPushButton;
class TCuratorPrefs;
class TSafeHtmlView;

// Everything the update check uses: the settings (interval, last check,
// proxy, server override), today's date and the online test.  One check
// runs at a time, without blocking: the program stays responsive while it
// waits for the server.
class TUpdateService {
public:
    using TCheckDone = std::function<void(updatecheck::Result result, const QStringList &lines)>;

    TUpdateService(TCuratorPrefs &prefs, const TClock &clock, TInternetConnection &connection,
                   QString builtInBaseUrl = QStringLiteral(TUNEBASE_UPDATE_URL));

    // Starts the check on demand (a check under way is dropped); done
    // receives the result and the document's lines, once, while context
    // lives.
    void StartCheck(QObject *context, TCheckDone done);
    // Drops the check under way: done is not called.
    void CancelCheck();
    bool IsChecking() const { return m_fetch.IsRunning(); }
    // The check at start-up: starts when due and online, and once it is
    // done offers the update window when something newer exists.
    void AutoCheckForUpdate(QWidget *mainWindow);

    TUpdateRequest Request() const;
    TCuratorPrefs &Prefs() const { return m_prefs; }

private:
    TCuratorPrefs &m_prefs;
    const TClock &m_clock;
    TInternetConnection &m_connection;
    QString m_builtInBaseUrl;
    TUpdateFetch m_fetch;
};

// The update window: shows the result of a check, or lets the user start one.
class TfmVersionCheck : public QDialog {
    Q_OBJECT
public:
    TfmVersionCheck(QWidget *owner, TUpdateService &service);

    void ShowOutcome(const QStringList &lines, int result);
    void done(int result) override;

    QLabel *laVersionStatus;
    QLabel *laThisVersion;
    QLabel *laLatestVersion;
    QLabel *laDownload;
    QLabel *laInfo;
    QLabel *laWhatsnew;
    QLabel *laSupportemail;
    TSafeHtmlView *htUpgradeDescription;
    QPushButton *btCheck;
    QPushButton *btOK;

private:
    // Starts a check, or cancels the one under way.
    void checkOrCancel();
    void setChecking(bool checking);
    TUpdateService &m_service;
    bool m_checking = false;
};

// With lines given, shows those results ("Update Information"); without,
// the user starts the check ("Check for Update").  True when closed with OK.
bool ShowUpdateWindow(QWidget *owner, TUpdateService &service, const QStringList *lines, int result);
