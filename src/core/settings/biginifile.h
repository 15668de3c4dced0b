#pragma once

#include <QFileDevice>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A text file in ini form ("[Section]" headers, "key=value" lines), read
// whole at construction and written back whole, atomically, by UpdateFile
// (and at destruction) when something changed.  Section and key names are
// matched without regard to letter case and keep the spelling they were
// first written with.  Lines may be of any length.
//
// Reading rules: empty lines (and a line holding only the end-of-file mark
// character 26) are skipped, lines before the first section header are
// dropped, and when a section name occurs twice only the first occurrence
// survives; the file is then marked modified so it is rewritten without the
// duplicate.  A file that is not valid UTF-8 is read as Latin-1 and written
// back that way.
// Optional clean-ups applied to every line while reading; all off unless
// asked for, so no line is changed on their account.
struct TBigIniReadOptions {
    bool DropCommentLines = false;        // lines beginning with ";"
    bool DropLinesWithoutEquals = false;
    bool TrimAroundEquals = false;        // blanks and tabs around the first "="
    bool StripQuotes = false;             // one pair of matching " or ' around a value
    bool TrimTrailing = false;            // trailing characters below "!"
};

class TBigIniFile {
public:
    using TReadOptions = TBigIniReadOptions;

    explicit TBigIniFile(const QString &fileName, const TReadOptions &options = TReadOptions());
    ~TBigIniFile();
    TBigIniFile(const TBigIniFile &) = delete;
    TBigIniFile &operator=(const TBigIniFile &) = delete;

    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    // Sets key=value, appending the section or line when missing.  Writing
    // the value already stored changes nothing.  With an empty key the whole
    // section is erased, or, when section and value are empty too, the file
    // is written.
    void WriteString(const QString &section, const QString &key, const QString &value);
    // Decimal, or hexadecimal after "0x"; text that is no number gives the
    // default.
    qint32 ReadInteger(const QString &section, const QString &key, qint32 defaultValue) const;
    void WriteInteger(const QString &section, const QString &key, qint32 value);
    bool ReadBool(const QString &section, const QString &key, bool defaultValue) const;
    void WriteBool(const QString &section, const QString &key, bool value);

    // Writes the file when modified (sections without lines are left out);
    // true when the file holds the current content afterwards.
    bool UpdateFile();

    QStringList ReadSections() const;
    // The key names of a section, in file order.
    QStringList ReadSection(const QString &section) const;
    bool SectionExists(const QString &section) const;
    bool ValueExists(const QString &section, const QString &key) const;
    void DeleteKey(const QString &section, const QString &key);
    void EraseSection(const QString &section);

    QString FileName() const { return m_fileName; }
    bool Modified() const { return m_modified; }
    // Why reading or the last write failed; empty when nothing failed.
    QString ErrorString() const { return m_error; }
    // An existing file that could not be read is never overwritten.
    bool ReadFailed() const { return m_readFailed; }

    // Line ends written by UpdateFile: "\r\n" (the default) or "\n".
    void SetLineBreak(const QByteArray &lineBreak) { m_lineBreak = lineBreak; }
    // Permissions the written file gets; unset keeps those of the file replaced.
    void SetFilePermissions(QFileDevice::Permissions permissions) { m_permissions = permissions; }

private:
    bool writePrivately(const QByteArray &bytes);
    bool writeReplacing(const QByteArray &bytes);
    struct TSection {
        explicit TSection(const QString &name, const QStringList &lines = {}) : Name(name), Lines(lines) {}
        QString Name;
        QStringList Lines;
        // Case-folded key -> its first line, built on the first lookup so
        // that files with thousands of keys (large playlists) stay linear.
        mutable QHash<QString, qsizetype> KeyLines;
        mutable bool KeysIndexed = false;

        qsizetype keyLine(const QString &key) const;
        void appendLine(const QString &line);
        void forgetKeyIndex();
    };

    void readFile(const TReadOptions &options);
    void addLines(const QStringList &lines, const TReadOptions &options);
    void dropDuplicateSections();
    QByteArray content() const;
    TSection *findSection(const QString &name);
    const TSection *findSection(const QString &name) const;
    qsizetype sectionIndex(const QString &name) const;

    QString m_fileName;
    std::vector<TSection> m_sections;
    // Case-folded section name -> index in m_sections, rebuilt after erasing.
    mutable QHash<QString, qsizetype> m_sectionIndex;
    mutable bool m_sectionsIndexed = false;
    bool m_modified = false;
    // What the file holds as far as this object knows: the bytes read or
    // last written.
    QByteArray m_storedContent;
    bool m_readFailed = false;
    bool m_latin1 = false;
    QString m_error;
    QByteArray m_lineBreak = "\r\n";
    std::optional<QFileDevice::Permissions> m_permissions;
};
