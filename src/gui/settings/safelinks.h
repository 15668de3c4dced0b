#pragma once

#include <QTextBrowser>
#include <QUrl>

// Web addresses (http, https): the only links a document from outside (the
// update server's) may open.  Other schemes hand text to other programs: a
// "mailto:" link can ask the mail program to attach a file ("attach=").
bool IsWebLink(const QUrl &url);
// Web addresses and plain mail addresses ("mailto:" and one address,
// nothing more): the links the program builds itself.
bool IsSafeLink(const QUrl &url);
// Hands a safe link to the desktop; false for any other link.
bool OpenSafeLink(const QUrl &url);
// The same for web addresses only.
bool OpenWebLink(const QUrl &url);
// An HTML link for a label: the address shown as text, escaped.
QString LinkHtml(const QString &href, const QString &text);

// An HTML view for text from outside: loads no images, style sheets or other
// resources, local or remote, and opens only web links, on the desktop.
class TSafeHtmlView : public QTextBrowser {
    Q_OBJECT
public:
    explicit TSafeHtmlView(QWidget *parent = nullptr);
    QVariant loadResource(int type, const QUrl &name) override;
};
