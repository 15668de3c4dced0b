#include "gui/settings/safelinks.h"

#include "core/base/desktopservices.h"

#include <QRegularExpression>

bool IsWebLink(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

bool IsSafeLink(const QUrl &url)
{
    if (IsWebLink(url))
        return true;
    // One address and nothing else: no query (attach=, body=), no second
    // recipient, no characters a mail program might read as either.
    static const QRegularExpression plainAddress(QStringLiteral("^[A-Za-z0-9._+-]+@[A-Za-z0-9.-]+$"));
    return url.isValid() && url.scheme().compare(QLatin1String("mailto"), Qt::CaseInsensitive) == 0
           && !url.hasQuery() && !url.hasFragment() && plainAddress.match(url.path()).hasMatch();
}

bool OpenSafeLink(const QUrl &url)
{
    return IsSafeLink(url) && RunProgram(url.toString(QUrl::FullyEncoded));
}

bool OpenWebLink(const QUrl &url)
{
    return IsWebLink(url) && RunProgram(url.toString(QUrl::FullyEncoded));
}

QString LinkHtml(const QString &href, const QString &text)
{
    return QStringLiteral("<a href=\"%1\">%2</a>").arg(href.toHtmlEscaped(), text.toHtmlEscaped());
}

TSafeHtmlView::TSafeHtmlView(QWidget *parent)
    : QTextBrowser(parent)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, [](const QUrl &url) { OpenWebLink(url); });
}

QVariant TSafeHtmlView::loadResource(int, const QUrl &)
{
    // An empty answer rather than none: for none the document would read
    // local files itself.
    return QVariant(QByteArray());
}
