#pragma once

#include "core/settings/shellservices.h"
#include "core/settings/updatecheck.h"
#include "gui/settings/updatecheck.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class TCuratorPrefs;
class TSafeHtmlView;

// Everything the update check uses: the settings (interval, last check,
// proxy, server override), today's date and the online test.
class TUpdateService {
public:
    TUpdateService(TCuratorPrefs &prefs, const TClock &clock, TInternetConnection &connection,
                   QString builtInBaseUrl = QStringLiteral(TUNEBASE_UPDATE_URL));

    // The check on demand; fills lines with the document.
    updatecheck::Result CheckForUpdate(QStringList &lines);
    // The check at start-up: runs when due and online, and offers the update
    // window when something newer exists.
    void AutoCheckForUpdate(QWidget *mainWindow);

    TUpdateRequest Request() const;
    TCuratorPrefs &Prefs() const { return m_prefs; }

private:
    TCuratorPrefs &m_prefs;
    const TClock &m_clock;
    TInternetConnection &m_connection;
    QString m_builtInBaseUrl;
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
    void check();
    TUpdateService &m_service;
};

// With lines given, shows those results ("Update Information"); without,
// the user starts the check ("Check for Update").  True when closed with OK.
bool ShowUpdateWindow(QWidget *owner, TUpdateService &service, const QStringList *lines, int result);
