#include "gui/shell/widgetdesktopservices.h"

#include "gui/shell/apptitle.h"
#include "gui/shell/splash.h"

#include "core/base/localpath.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QProcess>
#include <QPushButton>
#include <QUrl>

namespace {

QString title()
{
    return ApplicationTitle();
}

QMessageBox::StandardButton ask(QMessageBox::Icon icon, const QString &text,
                                QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    TfmSplash::HideAll();
    QMessageBox box(icon, title(), text, buttons, MessageBoxOwner());
    box.setDefaultButton(defaultButton);
    return QMessageBox::StandardButton(box.exec());
}

TDesktopServices::TAnswer answerOf(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Yes: return TDesktopServices::TAnswer::Yes;
    case QMessageBox::No: return TDesktopServices::TAnswer::No;
    default: return TDesktopServices::TAnswer::Cancel;
    }
}

} // namespace

QWidget *MessageBoxOwner()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

bool TWidgetDesktopServices::RunProgram(const QString &file, const QString &parameters,
                                        const QString &folder, TShowMode)
{
    // Documents and addresses go to the desktop; a program with parameters
    // is started on its own.
    if (parameters.isEmpty()) {
        // A name that is not UTF-8 keeps its bytes in the address's escapes.
        const QUrl url = HasForeignBytes(file) && file.startsWith(QLatin1Char('/'))
                             ? QUrl::fromEncoded(LocalFileUrl(file).toLatin1())
                             : QUrl::fromUserInput(file, folder, QUrl::AssumeLocalFile);
        return url.isValid() && QDesktopServices::openUrl(url);
    }
    return QProcess::startDetached(file, QProcess::splitCommand(parameters), folder);
}

bool TWidgetDesktopServices::HasProgramFor(const QString &file, QString *reason)
{
    // The launcher starts xdg-open and returns at once, so a file type
    // without a program would fail without a word.  Asked beforehand, the
    // desktop names the program of the type, or none.
    const QMimeType type = QMimeDatabase().mimeTypeForFile(file, QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault())
        return true;
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), type.name()});
    if (!query.waitForStarted(3000))
        return true;
    if (!query.waitForFinished(5000)) {
        query.kill();
        query.waitForFinished(1000);
        return true;
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0
        || !query.readAllStandardOutput().trimmed().isEmpty())
        return true;
    if (reason) {
        *reason = QObject::tr("The desktop names no program for files of the type \"%1\" (%2).")
                      .arg(type.comment(), type.name());
    }
    return false;
}

bool TWidgetDesktopServices::BrowseForFolder(const QString &title, const QString &startFolder,
                                             QString &folder, QObject *owner)
{
    const QString chosen = QFileDialog::getExistingDirectory(qobject_cast<QWidget *>(owner), title, startFolder);
    if (chosen.isEmpty())
        return false;
    folder = chosen;
    return true;
}

void TWidgetDesktopServices::ShowInfo(const QString &text)
{
    ask(QMessageBox::Information, text, QMessageBox::Ok, QMessageBox::Ok);
}

void TWidgetDesktopServices::ShowError(const QString &text)
{
    ask(QMessageBox::Critical, text, QMessageBox::Ok, QMessageBox::Ok);
}

TDesktopServices::TAnswer TWidgetDesktopServices::AskYesNo(const QString &text)
{
    return answerOf(ask(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)) ==
                   TAnswer::Yes
               ? TAnswer::Yes
               : TAnswer::No;
}

TDesktopServices::TAnswer TWidgetDesktopServices::AskYesNoCancel(const QString &text)
{
    return answerOf(ask(QMessageBox::Question, text,
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes));
}

void TWidgetDesktopServices::SetBusyCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TWidgetDesktopServices::ResetCursor()
{
    // Balanced with SetBusyCursor; an unbalanced reset does nothing.
    if (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

TSaveFailedChoice AskSaveFailed(const QString &text, QWidget *owner)
{
    QMessageBox box(QMessageBox::Warning, title(), text, QMessageBox::NoButton, owner);
    QPushButton *retry = box.addButton(QMessageBox::Retry);
    QPushButton *elsewhere = box.addButton(QObject::tr("Save &As..."), QMessageBox::AcceptRole);
    QPushButton *quit = box.addButton(QObject::tr("&Quit Without Saving"), QMessageBox::DestructiveRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(retry);
    box.exec();
    if (box.clickedButton() == retry)
        return TSaveFailedChoice::Retry;
    if (box.clickedButton() == elsewhere)
        return TSaveFailedChoice::SaveElsewhere;
    if (box.clickedButton() == quit)
        return TSaveFailedChoice::QuitAnyway;
    return TSaveFailedChoice::Cancel;
}

TChangedFileChoice AskFileChanged(const QString &text, QWidget *owner)
{
    QMessageBox box(QMessageBox::Warning, title(), text, QMessageBox::NoButton, owner);
    box.setObjectName(QStringLiteral("mbFileChanged"));
    QPushButton *reload = box.addButton(QObject::tr("&Reload"), QMessageBox::ResetRole);
    QPushButton *elsewhere = box.addButton(QObject::tr("Save &As..."), QMessageBox::AcceptRole);
    QPushButton *overwrite = box.addButton(QObject::tr("&Overwrite"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(QMessageBox::Cancel);
    // Neither program's changes are lost by the default answer.
    box.setDefaultButton(elsewhere);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == reload)
        return TChangedFileChoice::Reload;
    if (box.clickedButton() == elsewhere)
        return TChangedFileChoice::SaveAs;
    if (box.clickedButton() == overwrite)
        return TChangedFileChoice::Overwrite;
    return TChangedFileChoice::Cancel;
}
