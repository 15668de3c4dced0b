#include "gui/settings/updatewindow.h"

#include "core/base/desktopservices.h"
#include "core/settings/generalhelpers.h"
#include "core/settings/prefs.h"
#include "gui/settings/safelinks.h"
#include "gui/settings/formplacement.h"

#include <QCoreApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString versionText()
{
    return GetVersionText(true);
}

QString buildText()
{
    QString build;
    GetVersionText(true, QString(), &build);
    return build;
}

QLabel *linkLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::TextBrowserInteraction);
    label->setOpenExternalLinks(false);
    QObject::connect(label, &QLabel::linkActivated, label, [](const QString &link) { OpenSafeLink(QUrl(link)); });
    return label;
}

QLabel *plainLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

// A URL from the document as a link when it is a web address; any other
// is shown as text.
QString urlLink(const QString &url)
{
    return IsWebLink(QUrl(url)) ? LinkHtml(url, url) : url.toHtmlEscaped();
}

// The support address as a mail link when it is one plain address.
QString mailLink(const QString &address)
{
    const QUrl mail(QStringLiteral("mailto:") + address);
    return IsSafeLink(mail) ? LinkHtml(mail.toString(QUrl::FullyEncoded), address) : address.toHtmlEscaped();
}

} // namespace

TUpdateService::TUpdateService(TCuratorPrefs &prefs, const TClock &clock, TInternetConnection &connection,
                               QString builtInBaseUrl)
    : m_prefs(prefs), m_clock(clock), m_connection(connection), m_builtInBaseUrl(std::move(builtInBaseUrl))
{
}

TUpdateRequest TUpdateService::Request() const
{
    TUpdateRequest request;
    request.DocumentUrl = updatecheck::DocumentUrl(updatecheck::BaseUrl(m_prefs.Store(), m_builtInBaseUrl));
    const TProxySettings &proxy = m_prefs.ProxySettings;
    request.Proxy = MakeProxy(proxy.Server, proxy.Port, proxy.UserID, proxy.Password);
    request.Version = versionText();
    request.Build = buildText();
    return request;
}

void TUpdateService::StartCheck(QObject *context, TCheckDone done)
{
    const TUpdateRequest request = Request();
    m_fetch.Start(request, context, [this, request, done](const std::optional<QByteArray> &body) {
        QStringList lines;
        const updatecheck::Result result = JudgeUpdate(body, request, lines, m_prefs.LastUpdateCheck, m_clock);
        done(result, lines);
    });
}

void TUpdateService::CancelCheck()
{
    m_fetch.Cancel();
}

void TUpdateService::AutoCheckForUpdate(QWidget *mainWindow)
{
    const double today = DayNumber(m_clock.Today());
    if (!updatecheck::IsAutoCheckDue(m_prefs.NrDaysBetweenUpdateChecks, m_prefs.LastUpdateCheck, today))
        return;
    if (!m_connection.IsOnline())
        return;
    // A main window that closes before the answer takes the question with
    // it.
    StartCheck(mainWindow, [this, mainWindow](updatecheck::Result result, const QStringList &lines) {
        if (result != updatecheck::NewerVersion && result != updatecheck::NewerBuild)
            return;
        if (AskYesNo(QCoreApplication::translate(
                         "TUpdateService", "A newer version of %1 is available, would you like more info about this?")
                         .arg(QStringLiteral("Tunebase")))
            == TDesktopServices::TAnswer::Yes)
            ShowUpdateWindow(mainWindow, *this, &lines, result);
    });
}

TfmVersionCheck::TfmVersionCheck(QWidget *owner, TUpdateService &service)
    : QDialog(owner), m_service(service)
{
    setObjectName(QStringLiteral("fmVersionCheck"));
    laVersionStatus = plainLabel(QStringLiteral("laVersionStatus"), this);
    QFont bold = laVersionStatus->font();
    bold.setBold(true);
    laVersionStatus->setFont(bold);
    laVersionStatus->setWordWrap(true);
    laThisVersion = plainLabel(QStringLiteral("laThisVersion"), this);
    laLatestVersion = plainLabel(QStringLiteral("laLatestVersion"), this);
    laDownload = linkLabel(QStringLiteral("laDownload"), this);
    laInfo = linkLabel(QStringLiteral("laInfo"), this);
    laWhatsnew = linkLabel(QStringLiteral("laWhatsnew"), this);
    laSupportemail = linkLabel(QStringLiteral("laSupportemail"), this);
    htUpgradeDescription = new TSafeHtmlView(this);
    htUpgradeDescription->setObjectName(QStringLiteral("htUpgradeDescription"));
    htUpgradeDescription->setMinimumHeight(140);

    btCheck = new QPushButton(tr("&Check Now"), this);
    btCheck->setObjectName(QStringLiteral("btCheck"));
    btOK = new QPushButton(tr("OK"), this);
    btOK->setObjectName(QStringLiteral("btOK"));
    btOK->setDefault(true);
    connect(btCheck, &QPushButton::clicked, this, &TfmVersionCheck::checkOrCancel);
    connect(btOK, &QPushButton::clicked, this, &QDialog::accept);

    auto *form = new QFormLayout;
    form->addRow(tr("This version:"), laThisVersion);
    form->addRow(tr("Latest version:"), laLatestVersion);
    form->addRow(tr("Download:"), laDownload);
    form->addRow(tr("More information:"), laInfo);
    form->addRow(tr("What's new:"), laWhatsnew);
    form->addRow(tr("Support:"), laSupportemail);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btCheck);
    buttons->addStretch();
    buttons->addWidget(btOK);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(laVersionStatus);
    layout->addLayout(form);
    layout->addWidget(htUpgradeDescription, 1);
    layout->addLayout(buttons);
    resize(520, 420);
    TFormPlacement::RestorePlacement(this, m_service.Prefs().Store());
}

void TfmVersionCheck::checkOrCancel()
{
    if (m_checking) {
        m_service.CancelCheck();
        setChecking(false);
        laVersionStatus->setText(tr("The check was cancelled."));
        return;
    }
    setChecking(true);
    m_service.StartCheck(this, [this](updatecheck::Result result, const QStringList &lines) {
        setChecking(false);
        ShowOutcome(lines, result);
    });
}

void TfmVersionCheck::setChecking(bool checking)
{
    m_checking = checking;
    btCheck->setText(checking ? tr("&Cancel Check") : tr("&Check Now"));
    if (checking) {
        for (QLabel *label : {laThisVersion, laLatestVersion, laDownload, laInfo, laWhatsnew, laSupportemail})
            label->clear();
        htUpgradeDescription->clear();
        laVersionStatus->setText(tr("Asking the server for the latest version..."));
    }
}

void TfmVersionCheck::ShowOutcome(const QStringList &lines, int result)
{
    static const char *const statuses[] = {
        QT_TR_NOOP("The version information could not be retrieved."),
        QT_TR_NOOP("You have the most recent version and build"),
        QT_TR_NOOP("A newer version is available"),
        QT_TR_NOOP("You have the most recent version, but a newer build is available."),
    };
    laVersionStatus->setText(tr(statuses[qBound(0, result, 3)]));
    for (QLabel *label : {laThisVersion, laLatestVersion, laDownload, laInfo, laWhatsnew, laSupportemail})
        label->clear();
    htUpgradeDescription->clear();
    if (result < updatecheck::UpToDate || result > updatecheck::NewerBuild)
        return;
    auto value = [&lines](const char *name) { return updatecheck::ValueOf(lines, QLatin1String(name)); };
    laThisVersion->setText(tr("%1 build %2").arg(versionText(), buildText()));
    laLatestVersion->setText(tr("%1 build %2").arg(value("LatestVersion"), value("LatestBuild")));
    laDownload->setText(urlLink(value("DownloadURL")));
    laInfo->setText(urlLink(value("InfoURL")));
    laWhatsnew->setText(urlLink(value("WhatsNewURL")));
    const QString support = value("SupportEmail");
    laSupportemail->setText(mailLink(support));
    htUpgradeDescription->setHtml(
        value(result == updatecheck::NewerVersion ? "UpgradeDescription" : "BuildDescription"));
}

void TfmVersionCheck::done(int result)
{
    // A check still under way has no window to report to.
    if (m_checking)
        m_service.CancelCheck();
    TFormPlacement::SavePlacement(this, m_service.Prefs().Store());
    QDialog::done(result);
}

bool ShowUpdateWindow(QWidget *owner, TUpdateService &service, const QStringList *lines, int result)
{
    TfmVersionCheck window(owner, service);
    if (lines) {
        window.setWindowTitle(TfmVersionCheck::tr("Update Information"));
        window.btCheck->hide();
        window.ShowOutcome(*lines, result);
    } else {
        window.setWindowTitle(TfmVersionCheck::tr("Check for Update"));
    }
    return window.exec() == QDialog::Accepted;
}
