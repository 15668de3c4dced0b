#include "gui/settings/preferences.h"

#include "core/base/legacytext.h"
#include "core/settings/prefs.h"
#include "core/settings/prefsmapping.h"
#include "core/settings/proxysettings.h"
#include "gui/settings/radiogroup.h"
#include "gui/settings/formplacement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QCheckBox *checkBox(const QString &name, const QString &caption, QWidget *parent)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

QPushButton *button(const QString &name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

QHBoxLayout *okCancelRow(QPushButton *ok, QPushButton *cancel)
{
    ok->setDefault(true);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

} // namespace

TfmPrefs::TfmPrefs(QWidget *owner, TMp3Prefs &prefs)
    : QDialog(owner), m_prefs(prefs)
{
    setObjectName(QStringLiteral("fmPrefs"));
    setWindowTitle(tr("Preferences"));
    pcPrefs = new QTabWidget(this);
    pcPrefs->setObjectName(QStringLiteral("pcPrefs"));
    pcPrefs->addTab(buildGeneralPage(), tr("&General"));
    pcPrefs->addTab(buildUpdatePage(), tr("&Check for Update"));

    btOK = button(QStringLiteral("btOK"), tr("OK"), this);
    btCancel = button(QStringLiteral("btCancel"), tr("Cancel"), this);
    connect(btOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pcPrefs);
    layout->addLayout(okCancelRow(btOK, btCancel));
    LoadFromPrefs();
}

QWidget *TfmPrefs::buildGeneralPage()
{
    tsGeneral = new QWidget(this);
    tsGeneral->setObjectName(QStringLiteral("tsGeneral"));
    gbConfirmation = new QGroupBox(tr("Ask for confirmation ..."), tsGeneral);
    gbConfirmation->setObjectName(QStringLiteral("gbConfirmation"));
    ckConfirmItemRemoval = checkBox(QStringLiteral("ckConfirmItemRemoval"), tr("when removing items."), gbConfirmation);
    ckConfirmItemCancel = checkBox(QStringLiteral("ckConfirmItemCancel"), tr("when cancelling in data entry screens."),
                                   gbConfirmation);
    auto *confirmation = new QVBoxLayout(gbConfirmation);
    confirmation->addWidget(ckConfirmItemRemoval);
    confirmation->addWidget(ckConfirmItemCancel);

    ckShowLookupSortNames = checkBox(QStringLiteral("ckShowLookupSortNames"),
                                     tr("Show &Sort Names for Lookup Items"), tsGeneral);
    ckAutoIncIndex = checkBox(QStringLiteral("ckAutoIncIndex"), tr("&Auto Increment Index"), tsGeneral);
    rgPlaylistExtension = new TRadioGroup(tr("Playlist Extension"), tsGeneral);
    rgPlaylistExtension->setObjectName(QStringLiteral("rgPlaylistExtension"));
    rgPlaylistExtension->AddItem(QStringLiteral("M3U"));
    rgPlaylistExtension->AddItem(QStringLiteral("PLS"));

    // Old taggers wrote ID3v1 tags in their region's code page, unmarked.
    cbLegacyEncoding = new QComboBox(tsGeneral);
    cbLegacyEncoding->setObjectName(QStringLiteral("cbLegacyEncoding"));
    for (const TLegacyEncoding &encoding : LegacyTagEncodings())
        cbLegacyEncoding->addItem(encoding.caption, encoding.name);
    cbLegacyEncoding->setToolTip(tr("The code page of ID3v1 tags and of ID3v2 texts marked ISO-8859-1, "
                                    "as old programs wrote them"));
    auto *encodingLabel = new QLabel(tr("&Legacy tag encoding:"), tsGeneral);
    encodingLabel->setBuddy(cbLegacyEncoding);
    auto *encodingRow = new QHBoxLayout;
    encodingRow->addWidget(encodingLabel);
    encodingRow->addWidget(cbLegacyEncoding, 1);

    auto *layout = new QVBoxLayout(tsGeneral);
    layout->addWidget(gbConfirmation);
    layout->addWidget(ckShowLookupSortNames);
    layout->addWidget(ckAutoIncIndex);
    layout->addWidget(rgPlaylistExtension);
    layout->addLayout(encodingRow);
    layout->addStretch();
    return tsGeneral;
}

QWidget *TfmPrefs::buildUpdatePage()
{
    tsUpdateCheck = new QWidget(this);
    tsUpdateCheck->setObjectName(QStringLiteral("tsUpdateCheck"));
    auto *note = new QLabel(tr("The automatic update check is performed when the program starts "
                               "and only when you are online at that time."),
                            tsUpdateCheck);
    note->setWordWrap(true);
    rgUpdateCheck = new TRadioGroup(tr("Automatically Check for Update"), tsUpdateCheck);
    rgUpdateCheck->setObjectName(QStringLiteral("rgUpdateCheck"));
    for (const QString &caption : {tr("&Always"), tr("Once a &week"), tr("Once a &month"), tr("&Never")})
        rgUpdateCheck->AddItem(caption);
    btProxy = button(QStringLiteral("btProxy"), tr("&Proxy Info"), tsUpdateCheck);
    connect(btProxy, &QPushButton::clicked, this,
            [this] { ShowProxySettings(this, m_prefs.ProxySettings, m_prefs.Store()); });

    auto *layout = new QVBoxLayout(tsUpdateCheck);
    layout->addWidget(note);
    layout->addWidget(rgUpdateCheck);
    layout->addWidget(btProxy, 0, Qt::AlignLeft);
    layout->addStretch();
    return tsUpdateCheck;
}

void TfmPrefs::LoadFromPrefs()
{
    ckConfirmItemRemoval->setChecked(m_prefs.ConfirmItemRemoval);
    ckConfirmItemCancel->setChecked(m_prefs.ConfirmItemCancel);
    ckShowLookupSortNames->setChecked(m_prefs.ShowLookupSortNames);
    ckAutoIncIndex->setChecked(m_prefs.AutoIncrementIndex);
    rgUpdateCheck->SetItemIndex(prefsmapping::UpdateChoiceFromDays(m_prefs.NrDaysBetweenUpdateChecks));
    rgPlaylistExtension->SetItemIndex(m_prefs.PlaylistType);
    cbLegacyEncoding->setCurrentIndex(qMax(0, cbLegacyEncoding->findData(m_prefs.LegacyTagEncoding)));
    pcPrefs->setCurrentWidget(tsGeneral);
}

void TfmPrefs::SaveToPrefs()
{
    m_prefs.ConfirmItemRemoval = ckConfirmItemRemoval->isChecked();
    m_prefs.ConfirmItemCancel = ckConfirmItemCancel->isChecked();
    m_prefs.ShowLookupSortNames = ckShowLookupSortNames->isChecked();
    m_prefs.AutoIncrementIndex = ckAutoIncIndex->isChecked();
    m_prefs.NrDaysBetweenUpdateChecks = prefsmapping::DaysFromUpdateChoice(rgUpdateCheck->ItemIndex());
    if (rgPlaylistExtension->ItemIndex() >= 0)
        m_prefs.PlaylistType = rgPlaylistExtension->ItemIndex();
    m_prefs.LegacyTagEncoding = cbLegacyEncoding->currentData().toString();
    SetLegacyTagEncoding(m_prefs.LegacyTagEncoding);
}

TfmProxySettings::TfmProxySettings(QWidget *owner, TProxySettings &proxy, TSettingsStore &store)
    : QDialog(owner), m_proxy(proxy), m_store(store)
{
    setObjectName(QStringLiteral("fmProxySettings"));
    setWindowTitle(tr("Proxy Settings"));
    auto edit = [this](const QString &name, const QString &text) {
        auto *e = new QLineEdit(text, this);
        e->setObjectName(name);
        return e;
    };
    edProxyServer = edit(QStringLiteral("edProxyServer"), proxy.Server);
    edProxyPort = edit(QStringLiteral("edProxyPort"), proxy.Port.isEmpty() ? QStringLiteral("8080") : proxy.Port);
    edProxyPort->setValidator(new QIntValidator(1, 65535, edProxyPort));
    edProxyUser = edit(QStringLiteral("edProxyUser"), proxy.UserID);
    edProxyPassword = edit(QStringLiteral("edProxyPassword"), proxy.Password);
    edProxyPassword->setEchoMode(QLineEdit::Password);
    btOK = button(QStringLiteral("btOK"), tr("OK"), this);
    btCancel = button(QStringLiteral("btCancel"), tr("Cancel"), this);
    connect(btOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *form = new QFormLayout;
    form->addRow(tr("Proxy Server"), edProxyServer);
    form->addRow(tr("Port"), edProxyPort);
    form->addRow(tr("Username"), edProxyUser);
    form->addRow(tr("Password"), edProxyPassword);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(okCancelRow(btOK, btCancel));
    edProxyServer->setMinimumWidth(220);
    adjustSize();
    TFormPlacement::RestorePlacement(this, m_store);
}

void TfmProxySettings::accept()
{
    m_proxy.Server = edProxyServer->text().trimmed();
    m_proxy.Port = edProxyPort->text().trimmed();
    m_proxy.UserID = edProxyUser->text();
    m_proxy.Password = edProxyPassword->text();
    QDialog::accept();
}

void TfmProxySettings::done(int result)
{
    TFormPlacement::SavePlacement(this, m_store);
    QDialog::done(result);
}

bool ShowPreferences(QWidget *owner, TMp3Prefs &prefs)
{
    TfmPrefs window(owner, prefs);
    window.adjustSize();
    TFormPlacement::CenterOnOwner(&window, owner);
    if (window.exec() != QDialog::Accepted)
        return false;
    window.SaveToPrefs();
    // Kept at once, so a crash later in the session does not lose the choice.
    prefs.SaveToFile();
    return true;
}

int ShowProxySettings(QWidget *owner, TProxySettings &proxy, TSettingsStore &store)
{
    TfmProxySettings window(owner, proxy, store);
    return window.exec();
}
