#pragma once

#include <QString>
#include <QStringList>

// The per-user settings store: named sections holding named values, like an
// ini file.  Section paths nest with a backslash ("ItemColumnFields\0").
// Section and value names are matched without regard to letter case; a name
// keeps the spelling it was first written with.
//
// Values are stored as text; the typed accessors convert at the edge:
// booleans as "0"/"1" (any non-zero integer reads as true), dates as day
// numbers (days since 30 December 1899, fraction = time of day).  A value of
// the wrong type reads as the default.
class TSettingsStore {
public:
    virtual ~TSettingsStore() = default;

    virtual bool ValueExists(const QString &section, const QString &name) const = 0;
    virtual QString ReadString(const QString &section, const QString &name,
                               const QString &defaultValue = QString()) const = 0;
    virtual void WriteString(const QString &section, const QString &name, const QString &value) = 0;
    virtual void DeleteValue(const QString &section, const QString &name) = 0;

    virtual bool SectionExists(const QString &section) const = 0;
    // Value names of a section, in the order they were first written.
    virtual QStringList ValueNames(const QString &section) const = 0;
    // Names of the direct sub-sections ("0", "1" for "S\0", "S\1").
    virtual QStringList SubSectionNames(const QString &section) const = 0;
    // Removes a section with its values and all its sub-sections.
    virtual void EraseSection(const QString &section) = 0;
    // Writes pending changes to permanent storage; true on success and when
    // nothing was pending.  Stores held only in memory have nothing to do.
    virtual bool Flush() { return true; }

    qint32 ReadInteger(const QString &section, const QString &name, qint32 defaultValue) const
    {
        bool ok = false;
        const QString text = ReadString(section, name).trimmed();
        const qint32 value = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                                 ? text.mid(2).toInt(&ok, 16)
                                 : text.toInt(&ok);
        return ok ? value : defaultValue;
    }
    void WriteInteger(const QString &section, const QString &name, qint32 value)
    {
        WriteString(section, name, QString::number(value));
    }
    bool ReadBool(const QString &section, const QString &name, bool defaultValue) const
    {
        return ReadInteger(section, name, defaultValue ? 1 : 0) != 0;
    }
    void WriteBool(const QString &section, const QString &name, bool value)
    {
        WriteString(section, name, value ? QStringLiteral("1") : QStringLiteral("0"));
    }
    double ReadFloat(const QString &section, const QString &name, double defaultValue) const
    {
        bool ok = false;
        const double value = ReadString(section, name).trimmed().toDouble(&ok);
        return ok ? value : defaultValue;
    }
    void WriteFloat(const QString &section, const QString &name, double value)
    {
        WriteString(section, name, QString::number(value, 'g', 17));
    }
    // Dates are day numbers; 0 means "never".
    double ReadDate(const QString &section, const QString &name, double defaultValue) const
    {
        return ReadFloat(section, name, defaultValue);
    }
    void WriteDate(const QString &section, const QString &name, double value)
    {
        WriteFloat(section, name, value);
    }
};
