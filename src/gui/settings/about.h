#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTabWidget;

// Where the maker can be reached.
namespace maker {
inline const char *const SupportEmail = "support@brimlow.example";
inline const char *const SalesEmail = "sales@brimlow.example";
inline const char *const WebSite = "https://www.brimlow.example/";
} // namespace maker

// The About window: logo, product name, version and build, and the maker's
// addresses.
class TfmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfmAbout(QWidget *owner);

    // A mail to the address whose subject names product, version and build.
    static QString MailLink(const QString &address);

    QTabWidget *pcAbout;
    QWidget *tsMain;
    QLabel *imLogo;
    QLabel *laProduct;
    QLabel *laVersion;
    QLabel *laBuild;
    QLabel *laSupport;
    QLabel *laSales;
    QLabel *laWebSite;
    QPushButton *btOK;
};

void ShowAbout(QWidget *owner);
