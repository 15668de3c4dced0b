#pragma once

#include "core/settings/biginifile.h"
#include "core/base/settingsstore.h"

// The settings store kept in one per-user ini file.  Nested sections are
// plain sections whose names hold the backslash ("[ItemColumnFields\0]").
// Changes are written by Flush and at destruction, atomically and readable
// by the user only (the file holds the proxy password).
//
// Names and values may hold any text: a name is written with "%", "=" and
// control characters as "%XX" (and a leading "[" likewise); a value holding
// control characters or beginning with a double quote is written in double
// quotes with backslash escapes.  Everything else is written as it is, so the
// file stays readable and editable.
class TIniSettingsStore final : public TSettingsStore {
public:
    explicit TIniSettingsStore(const QString &fileName);
    ~TIniSettingsStore() override;

    QString FileName() const { return m_ini.FileName(); }
    // Why reading or the last write failed; empty when nothing failed.
    QString ErrorString() const { return m_ini.ErrorString(); }

    bool ValueExists(const QString &section, const QString &name) const override;
    QString ReadString(const QString &section, const QString &name,
                       const QString &defaultValue = QString()) const override;
    void WriteString(const QString &section, const QString &name, const QString &value) override;
    void DeleteValue(const QString &section, const QString &name) override;
    bool SectionExists(const QString &section) const override;
    QStringList ValueNames(const QString &section) const override;
    QStringList SubSectionNames(const QString &section) const override;
    void EraseSection(const QString &section) override;
    bool Flush() override;

    static QString EncodeName(const QString &name);
    static QString DecodeName(const QString &name);
    static QString EncodeValue(const QString &value);
    static QString DecodeValue(const QString &text);

private:
    // The sections at or below `section` that hold values.
    QStringList storedSectionsUnder(const QString &section) const;

    mutable TBigIniFile m_ini;
};
