#include "cli/clisettings.h"

#include "core/base/legacytext.h"
#include "core/settings/inisettingsstore.h"
#include "core/settings/prefs.h"

namespace {

// Reads through to the settings file and forgets every write, so that the
// settings object's save at the end leaves the user's file untouched.
class ReadOnlyStore final : public TSettingsStore {
public:
    explicit ReadOnlyStore(const TSettingsStore &store) : m_store(store) {}

    bool ValueExists(const QString &section, const QString &name) const override
    {
        return m_store.ValueExists(section, name);
    }
    QString ReadString(const QString &section, const QString &name, const QString &defaultValue) const override
    {
        return m_store.ReadString(section, name, defaultValue);
    }
    void WriteString(const QString &, const QString &, const QString &) override {}
    void DeleteValue(const QString &, const QString &) override {}
    bool SectionExists(const QString &section) const override { return m_store.SectionExists(section); }
    QStringList ValueNames(const QString &section) const override { return m_store.ValueNames(section); }
    QStringList SubSectionNames(const QString &section) const override
    {
        return m_store.SubSectionNames(section);
    }
    void EraseSection(const QString &) override {}

private:
    const TSettingsStore &m_store;
};

} // namespace

struct CliSettings::Private {
    TIniSettingsStore file{DefaultSettingsFileName()};
    ReadOnlyStore store{file};
    TMp3Prefs prefs{store};
};

CliSettings::CliSettings()
    : d(std::make_unique<Private>())
{
    SetLegacyTagEncoding(d->prefs.LegacyTagEncoding);
}

CliSettings::~CliSettings() = default;

TMp3Prefs &CliSettings::prefs() const
{
    return d->prefs;
}

const TSettingsStore &CliSettings::store() const
{
    return d->store;
}

QStringList CurrentParseFormats()
{
    const TIniSettingsStore file(DefaultSettingsFileName());
    ReadOnlyStore store(file);
    const TMp3Prefs prefs(store);
    return prefs.ParseFormats;
}

bool ParseSourceSwitches(const QString &text, InfoSourceSwitches &switches, QString &error)
{
    switches = {false, false, false};
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = part.trimmed().toLower();
        if (name == QLatin1String("v2") || name == QLatin1String("id3v2"))
            switches.id3v2 = true;
        else if (name == QLatin1String("v1") || name == QLatin1String("id3v1"))
            switches.id3v1 = true;
        else if (name == QLatin1String("filename"))
            switches.filename = true;
        else {
            error = QStringLiteral("unknown source '%1' (use v2, v1, filename)").arg(part.trimmed());
            return false;
        }
    }
    return true;
}

bool ParseThreadCount(const QString &text, int &threads, QString &error)
{
    bool ok = false;
    const int count = text.trimmed().toInt(&ok);
    if (!ok || count < 1 || count > MaxScanThreads) {
        error = QStringLiteral("--threads needs a number from 1 to %1").arg(MaxScanThreads);
        return false;
    }
    threads = count;
    return true;
}

bool ParseLegacyEncoding(const QString &text, QString &error)
{
    if (SetLegacyTagEncoding(text))
        return true;
    QStringList names;
    for (const TLegacyEncoding &encoding : LegacyTagEncodings())
        names.append(encoding.name);
    error = QStringLiteral("--legacy-encoding takes one of %1, not '%2'").arg(names.join(QStringLiteral(", ")), text);
    return false;
}
