#pragma once

#include "core/files/process.h"

#include <QString>
#include <QStringList>

#include <limits>
#include <memory>

class TFileReplacement;
class TDataFieldRefList;
class TDataField;
class TDataItem;
class TDataRefList;

// Writes a list of items as a table, one row per item and one column per
// field, to a file or (for the preview of the export windows) to Lines.
// A run to a file shows progress and can be cancelled; the file is written
// to a temporary file beside the destination and put in place when done.
class TExport : public TProcess {
public:
    enum TTarget { ToFile = 0, ToLines = 1 };

    explicit TExport(std::unique_ptr<TProcessWindow> window = nullptr);
    ~TExport() override;

    // Item rows written in the current run.
    int Count = 0;
    // The items in export order and the column fields (a column field
    // list); neither is owned.
    const TDataRefList *Items = nullptr;
    const TDataFieldRefList *Columns = nullptr;
    QString FileName;
    // The output of a run to lines.
    QStringList Lines;
    TTarget Target = ToFile;
    // True: asks before replacing a file and shows the outcome in message
    // boxes.  False (the command line): replaces without asking and leaves
    // the outcome in lastMessage().
    bool Interactive = true;

    // Prepares a run: false when there is nothing to export, no file name,
    // the user declined to replace the file, or it could not be created.
    virtual bool Begin(TTarget target);
    // One complete run: at most maxItems rows (AllItems for all), to the
    // file or to Lines.
    virtual bool Export(int maxItems, TTarget target) = 0;
    void WriteLine(const QString &text);

    // What the last run to a file reported ("12 Items exported to ..." or
    // why it failed).
    QString lastMessage() const { return m_message; }
    // Whether the last run failed (the message then says why).
    bool failed() const { return m_failed; }

    static constexpr int AllItems = std::numeric_limits<int>::max();

protected:
    // The item loop: writeRow for each item up to maxItems, stopping when
    // cancelled or when the file can no longer be written.
    template <typename WriteRow>
    void writeItems(int maxItems, WriteRow writeRow)
    {
        for (int i = 0; i < maxItems && i < itemCount() && !IsCancelled() && !m_writeFailed; ++i) {
            writeRow(itemAt(i));
            ++Count;
            SetPosition(i + 1);
        }
    }
    // Closes the file (putting it in place), reports the outcome and ends
    // the run; false when the file could not be written.
    bool finishRun();
    int columnCount() const;
    const TDataField *columnField(int index) const;

private:
    int itemCount() const;
    const TDataItem *itemAt(int index) const;
    bool report(const QString &message, bool failed);

    std::unique_ptr<TFileReplacement> m_outFile;
    // A line could not be written: the export file is never put in place.
    bool m_writeFailed = false;
    QString m_writeError;  // the system's reason when a write failed
    QString m_message;
    bool m_failed = false;
};

// Delimited text: every value between TextQualifier characters (doubled
// inside the value), Delimiter between the values.
class TExportAscii : public TExport {
public:
    using TExport::TExport;

    QString TextQualifier = QStringLiteral("\"");
    QString Delimiter = QStringLiteral(",");
    // Replaces every line break inside a value (file paths keep theirs:
    // a changed path names another file).
    QString ReplaceEnter;
    // Every line break stays as it is; ReplaceEnter is not used.
    bool KeepLineBreaks = false;
    // Only values holding the delimiter, the qualifier or a line break are
    // put between qualifiers, as in most CSV files; else every value is.
    bool QualifyWhenNeeded = false;
    bool IncludeFieldNames = false;
    // A value beginning with "=", "+", "-", "@" (or a tab or carriage
    // return) gets a leading "'", so that spreadsheets opening the file
    // show it as text instead of running it as a formula.
    bool GuardFormulas = false;

    bool Begin(TTarget target) override;
    bool Export(int maxItems, TTarget target) override;

private:
    QString field(const QString &value) const;
};

// An HTML table with a header row of field names; values are HTML-escaped
// and their line breaks become <BR>.
class TExportHTML : public TExport {
public:
    using TExport::TExport;

    bool Border = false;
    bool IncludeBrimlowLink = false;

    bool Begin(TTarget target) override;
    bool Export(int maxItems, TTarget target) override;

    // The product's home page, linked from the last row.
    static QString HomePage();
};
