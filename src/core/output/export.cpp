#include "core/output/export.h"

#include "core/base/desktopservices.h"
#include "core/base/filereplacement.h"
#include "core/base/localfiles.h"
#include "core/base/writeall.h"
#include "core/data/datafield.h"
#include "core/data/datafieldref.h"
#include "core/data/datalists.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/settings/generalhelpers.h"

#include <QFile>

namespace {

// Every line break of a value, whichever system wrote it: CR LF, CR, LF.
// A file's path or name, which must stay exact to name the file.
bool isFileName(const TDataField *field)
{
    return field->ID == Mp3FieldIds::Filepath || field->ID == Mp3FieldIds::Filename;
}

QString replaceLineBreaks(const QString &value, const QString &replacement)
{
    QString text = value;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1String("\n"), replacement);
    return text;
}

QString htmlText(const QString &value)
{
    return LineBreaksToHtml(value.toHtmlEscaped());
}

} // namespace

// ---- TExport --------------------------------------------------------------------

TExport::TExport(std::unique_ptr<TProcessWindow> window)
    : TProcess(std::move(window))
{
}

TExport::~TExport() = default;

int TExport::itemCount() const
{
    return Items ? Items->Count() : 0;
}

const TDataItem *TExport::itemAt(int index) const
{
    return Items->Get(index);
}

int TExport::columnCount() const
{
    return Columns ? Columns->Count() : 0;
}

const TDataField *TExport::columnField(int index) const
{
    return Columns->Get(index)->Field;
}

bool TExport::report(const QString &message, bool failed)
{
    m_message = message;
    m_failed = failed;
    if (Interactive)
        ShowInfo(message);
    return !failed;
}

bool TExport::Begin(TTarget target)
{
    Target = target;
    ShowWindow = target == ToFile;
    m_message.clear();
    m_failed = false;
    m_outFile.reset();
    m_writeFailed = false;
    m_writeError.clear();
    if (!Items || !Columns)
        return false;
    Count = 0;
    Max = Items->Count();
    if (target == ToLines) {
        Lines.clear();
        return true;
    }
    if (FileName.isEmpty())
        return false;
    if (Interactive && LocalPathExists(FileName)
        && AskYesNo(QStringLiteral("File %1 already exists, do you want to overwrite it?").arg(FileName))
               != TDesktopServices::TAnswer::Yes)
        return false;
    SetMessage(QStringLiteral("Exporting..."));
    // An existing export keeps its owner, mode and hard links.
    m_outFile = std::make_unique<TFileReplacement>(FileName);
    if (!m_outFile->open()) {
        const QString reason = m_outFile->errorString();
        m_outFile.reset();
        return report(QStringLiteral("Could not create export file: \"%1\"").arg(FileName)
                          + QStringLiteral("\n") + reason,
                      true);
    }
    return true;
}

void TExport::WriteLine(const QString &text)
{
    if (Target == ToLines)
        Lines.append(text);
    else if (m_outFile && !m_writeFailed && !writeAll(m_outFile->device(), text.toUtf8() + "\r\n")) {
        m_writeFailed = true;
        m_writeError = writeErrorOf(m_outFile->device());
    }
}

bool TExport::finishRun()
{
    bool ok = true;
    if (Target == ToFile && m_outFile) {
        const bool written = !m_writeFailed && m_outFile->commit();
        const QString reason = m_writeFailed ? m_writeError : m_outFile->errorString();
        m_outFile.reset();
        ok = written
                 ? report(QStringLiteral("%1 Items exported to \"%2\"").arg(Count).arg(FileName), false)
                 : report(QStringLiteral("Could not write export file \"%1\": %2").arg(FileName, reason), true);
    }
    Finish();
    return ok;
}

// ---- TExportAscii ---------------------------------------------------------------

bool TExportAscii::Begin(TTarget target)
{
    const bool ok = TExport::Begin(target);
    SetCaption(QStringLiteral("Export to ASCII"));
    return ok;
}

QString TExportAscii::field(const QString &value) const
{
    QString text = value;
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (GuardFormulas && !text.isEmpty() && formulaStarts.contains(text.front()))
        text.prepend(QLatin1Char('\''));
    if (TextQualifier.isEmpty())
        return text;
    if (QualifyWhenNeeded && !text.contains(Delimiter) && !text.contains(TextQualifier)
        && !text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')))
        return text;
    // A qualifier inside a value is doubled, so that readers of the file
    // see it as part of the value and not as its end.
    text.replace(TextQualifier, TextQualifier + TextQualifier);
    return TextQualifier + text + TextQualifier;
}

bool TExportAscii::Export(int maxItems, TTarget target)
{
    if (!Begin(target))
        return false;
    Start();
    if (IncludeFieldNames) {
        QStringList names;
        for (int c = 0; c < columnCount(); ++c)
            names.append(field(GetFieldDisplayName(columnField(c))));
        WriteLine(names.join(Delimiter));
    }
    writeItems(maxItems, [this](const TDataItem *item) {
        QStringList values;
        for (int c = 0; c < columnCount(); ++c) {
            const QString value = item->GetValueAsString(columnField(c));
            const bool keepBreaks = KeepLineBreaks || isFileName(columnField(c));
            values.append(field(keepBreaks ? value : replaceLineBreaks(value, ReplaceEnter)));
        }
        WriteLine(values.join(Delimiter));
    });
    return finishRun();
}

// ---- TExportHTML ----------------------------------------------------------------

QString TExportHTML::HomePage()
{
    return QStringLiteral("https://www.brimlow.example/");
}

bool TExportHTML::Begin(TTarget target)
{
    const bool ok = TExport::Begin(target);
    SetCaption(QStringLiteral("Export to HTML"));
    return ok;
}

bool TExportHTML::Export(int maxItems, TTarget target)
{
    if (!Begin(target))
        return false;
    Start();
    WriteLine(QStringLiteral("<HTML>"));
    WriteLine(QStringLiteral("<HEAD>"));
    WriteLine(QStringLiteral("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">"));
    WriteLine(QStringLiteral("</HEAD>"));
    WriteLine(QStringLiteral("<BODY>"));
    WriteLine(Border ? QStringLiteral("<TABLE BORDER=1>") : QStringLiteral("<TABLE BORDER=0>"));
    WriteLine(QStringLiteral("<TR ALIGN=LEFT>"));
    for (int c = 0; c < columnCount(); ++c)
        WriteLine(QStringLiteral("<TH>") + htmlText(GetFieldDisplayName(columnField(c))) + QStringLiteral("</TH>"));
    WriteLine(QStringLiteral("</TR>"));
    writeItems(maxItems, [this](const TDataItem *item) {
        WriteLine(QStringLiteral("<TR ALIGN=LEFT>"));
        for (int c = 0; c < columnCount(); ++c) {
            const QString value = item->GetValueAsString(columnField(c));
            WriteLine(value.isEmpty() ? QStringLiteral("<TD>-</TD>")
                                      : QStringLiteral("<TD>") + htmlText(value) + QStringLiteral("</TD>"));
        }
        WriteLine(QStringLiteral("</TR>"));
    });
    if (IncludeBrimlowLink) {
        WriteLine(QStringLiteral("<TR ALIGN=CENTER>"));
        WriteLine(QStringLiteral("<TD COLSPAN = %1><font size=1>This list has been created with <a href=\"%2\">"
                                 "Brimlow Tunebase %3</a></font></TD>")
                      .arg(columnCount())
                      .arg(HomePage(), GetVersionText(true)));
        WriteLine(QStringLiteral("</TR>"));
    }
    WriteLine(QStringLiteral("</TABLE>"));
    WriteLine(QStringLiteral("</BODY>"));
    WriteLine(QStringLiteral("</HTML>"));
    return finishRun();
}
