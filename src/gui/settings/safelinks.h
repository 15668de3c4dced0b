#pragma once

#include <QTextBrowser>
#include <QUrl>

// Links from outside (the update server's document) are opened only when
// they are web or mail addresses.
bool IsSafeLink(const QUrl &url);
// Hands a safe link to the desktop; false for any other link.
bool OpenSafeLink(const QUrl &url);
// An HTML link for a label: the address shown as text, escaped.
QString LinkHtml(const QString &href, const QString &text);

// An HTML view for text from outside: loads no images, style sheets or other
// resources, local or remote, and opens only safe links, on the desktop.
class TSafeHtmlView : public QTextBrowser {
    Q_OBJECT
public:
    explicit TSafeHtmlView(QWidget *parent = nullptr);
    QVariant loadResource(int type, const QUrl &name) override;
};
