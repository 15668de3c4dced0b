#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;
class TMp3Prefs;
class TRadioGroup;
struct TProxySettings;

// The Preferences window: edits the general settings.  OK takes the choices
// over into the settings object; Cancel changes nothing (the proxy window
// inside it writes its own record when it is confirmed).
class TfmPrefs : public QDialog {
    Q_OBJECT
public:
    TfmPrefs(QWidget *owner, TMp3Prefs &prefs);

    // Fills the controls from the settings and shows the first page.
    void LoadFromPrefs();
    // Writes the controls back into the settings.
    void SaveToPrefs();

    QTabWidget *pcPrefs;
    QWidget *tsGeneral;
    QWidget *tsUpdateCheck;
    QGroupBox *gbConfirmation;
    QCheckBox *ckConfirmItemRemoval;
    QCheckBox *ckConfirmItemCancel;
    QCheckBox *ckShowLookupSortNames;
    QCheckBox *ckAutoIncIndex;
    TRadioGroup *rgPlaylistExtension;
    QComboBox *cbLegacyEncoding;
    TRadioGroup *rgUpdateCheck;
    QPushButton *btProxy;
    QPushButton *btOK;
    QPushButton *btCancel;

private:
    QWidget *buildGeneralPage();
    QWidget *buildUpdatePage();
    TMp3Prefs &m_prefs;
};

// The proxy window on a proxy record.
class TfmProxySettings : public QDialog {
    Q_OBJECT
public:
    TfmProxySettings(QWidget *owner, TProxySettings &proxy, class TSettingsStore &store);
    void accept() override;
    void done(int result) override;

    QLineEdit *edProxyServer;
    QLineEdit *edProxyPort;
    QLineEdit *edProxyUser;
    QLineEdit *edProxyPassword;
    QPushButton *btOK;
    QPushButton *btCancel;

private:
    TProxySettings &m_proxy;
    TSettingsStore &m_store;
};

// True when the Preferences window was closed with OK.
bool ShowPreferences(QWidget *owner, TMp3Prefs &prefs);
int ShowProxySettings(QWidget *owner, TProxySettings &proxy, TSettingsStore &store);
