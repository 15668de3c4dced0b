#include "gui/settings/about.h"

#include "core/settings/generalhelpers.h"
#include "gui/settings/safelinks.h"
#include "gui/settings/formplacement.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QUrlQuery>
#include <QVBoxLayout>

namespace {

QString buildText()
{
    QString build;
    GetVersionText(true, QString(), &build);
    return build;
}

QLabel *label(const QString &name, QWidget *parent)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    return l;
}

QLabel *link(const QString &name, const QString &href, const QString &text, QWidget *parent)
{
    QLabel *l = label(name, parent);
    l->setTextFormat(Qt::RichText);
    l->setText(LinkHtml(href, text));
    l->setTextInteractionFlags(Qt::TextBrowserInteraction);
    QObject::connect(l, &QLabel::linkActivated, l, [](const QString &target) { OpenSafeLink(QUrl(target)); });
    return l;
}

} // namespace

QString TfmAbout::MailLink(const QString &address)
{
    QUrl url(QStringLiteral("mailto:") + address);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"),
                       QStringLiteral("Tunebase %1 (Build %2)").arg(GetVersionText(true), buildText()));
    url.setQuery(query);
    return url.toString(QUrl::FullyEncoded);
}

TfmAbout::TfmAbout(QWidget *owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("fmAbout"));
    setWindowTitle(tr("About Brimlow Tunebase %1").arg(GetVersionText(true)));

    pcAbout = new QTabWidget(this);
    pcAbout->setObjectName(QStringLiteral("pcAbout"));
    tsMain = new QWidget(pcAbout);
    tsMain->setObjectName(QStringLiteral("tsMain"));
    pcAbout->addTab(tsMain, tr("&About"));

    imLogo = label(QStringLiteral("imLogo"), tsMain);
    imLogo->setPixmap(QIcon(QStringLiteral(":/icons/tunebase.svg")).pixmap(96, 96));
    laProduct = label(QStringLiteral("laProduct"), tsMain);
    laProduct->setText(QStringLiteral("Tunebase"));
    QFont big = laProduct->font();
    big.setPointSizeF(big.pointSizeF() * 2);
    big.setBold(true);
    laProduct->setFont(big);
    laVersion = label(QStringLiteral("laVersion"), tsMain);
    laVersion->setText(tr("Version %1").arg(GetVersionText(true)));
    laBuild = label(QStringLiteral("laBuild"), tsMain);
    laBuild->setText(tr("(Build %1)").arg(buildText()));
    auto *maker = new QLabel(tr("Brimlow Software"), tsMain);
    laSupport = link(QStringLiteral("laSupport"), MailLink(QLatin1String(maker::SupportEmail)),
                     QLatin1String(maker::SupportEmail), tsMain);
    laSales = link(QStringLiteral("laSales"), MailLink(QLatin1String(maker::SalesEmail)),
                   QLatin1String(maker::SalesEmail), tsMain);
    laWebSite = link(QStringLiteral("laWebSite"), QLatin1String(maker::WebSite), QLatin1String(maker::WebSite), tsMain);

    auto *text = new QVBoxLayout;
    text->addWidget(laProduct);
    text->addWidget(laVersion);
    text->addWidget(laBuild);
    text->addSpacing(12);
    text->addWidget(maker);
    auto *links = new QGridLayout;
    links->addWidget(new QLabel(tr("Support:"), tsMain), 0, 0);
    links->addWidget(laSupport, 0, 1);
    links->addWidget(new QLabel(tr("Sales:"), tsMain), 1, 0);
    links->addWidget(laSales, 1, 1);
    links->addWidget(new QLabel(tr("Web site:"), tsMain), 2, 0);
    links->addWidget(laWebSite, 2, 1);
    links->setColumnStretch(1, 1);
    text->addLayout(links);
    text->addStretch();
    auto *page = new QHBoxLayout(tsMain);
    page->addWidget(imLogo, 0, Qt::AlignTop);
    page->addSpacing(12);
    page->addLayout(text, 1);

    btOK = new QPushButton(tr("OK"), this);
    btOK->setObjectName(QStringLiteral("btOK"));
    btOK->setDefault(true);
    connect(btOK, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btOK);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pcAbout);
    layout->addLayout(buttons);
    pcAbout->setCurrentWidget(tsMain);
}

void ShowAbout(QWidget *owner)
{
    TfmAbout window(owner);
    window.adjustSize();
    TFormPlacement::CenterOnOwner(&window, owner);
    window.exec();
}
