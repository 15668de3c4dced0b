#include "gui/settings/safelinks.h"

#include "core/base/desktopservices.h"

bool IsSafeLink(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid()
           && (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto"));
}

bool OpenSafeLink(const QUrl &url)
{
    return IsSafeLink(url) && RunProgram(url.toString(QUrl::FullyEncoded));
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
    connect(this, &QTextBrowser::anchorClicked, this, [](const QUrl &url) { OpenSafeLink(url); });
}

QVariant TSafeHtmlView::loadResource(int, const QUrl &)
{
    // An empty answer rather than none: for none the document would read
    // local files itself.
    return QVariant(QByteArray());
}
