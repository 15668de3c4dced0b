// The ini reader under every read option, and the settings store on top of
// it: whatever a file holds, a value written and flushed reads back as it
// was, and names and values survive their escaping.
#include "fuzzsupport.h"

#include "core/settings/biginifile.h"
#include "core/settings/inisettingsstore.h"

namespace {

void walk(const TBigIniFile &ini)
{
    for (const QString &section : ini.ReadSections()) {
        for (const QString &key : ini.ReadSection(section)) {
            ini.ReadString(section, key, QString());
            ini.ReadInteger(section, key, 0);
            FUZZ_CHECK(ini.ValueExists(section, key));
        }
    }
}

void walkStore(const TIniSettingsStore &store, const QString &section, int depth)
{
    for (const QString &name : store.ValueNames(section)) {
        const QString value = store.ReadString(section, name);
        FUZZ_CHECK(TIniSettingsStore::DecodeValue(TIniSettingsStore::EncodeValue(value)) == value);
        FUZZ_CHECK(TIniSettingsStore::DecodeName(TIniSettingsStore::EncodeName(name)) == name);
    }
    if (depth < 3)
        for (const QString &child : store.SubSectionNames(section))
            walkStore(store, section.isEmpty() ? child : section + QLatin1Char('\\') + child, depth + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = fuzz::bytesOf(data, size);
    const QString path = fuzz::scratchFile(input);
    {
        const TBigIniFile plain(path);
        walk(plain);
        TBigIniFile::TReadOptions all;
        all.DropCommentLines = all.DropLinesWithoutEquals = all.TrimAroundEquals = all.StripQuotes =
            all.TrimTrailing = true;
        const TBigIniFile cleaned(path, all);
        walk(cleaned);
    }

    fuzz::scratchFile(input);
    QString section;
    QString name;
    const QString value = QString::fromUtf8(input);
    {
        TIniSettingsStore store(path);
        for (const QString &top : store.SubSectionNames(QString()))
            walkStore(store, top, 0);
        const QStringList sections = store.SubSectionNames(QString());
        section = sections.isEmpty() ? QStringLiteral("Fuzz") : sections.constFirst();
        const QStringList names = store.ValueNames(section);
        name = names.isEmpty() ? QStringLiteral("Value") : names.constFirst();
        store.WriteString(section, name, value);
        FUZZ_CHECK(store.ReadString(section, name) == value);
        FUZZ_CHECK(store.Flush());
    }
    const TIniSettingsStore reread(path);
    FUZZ_CHECK(reread.ReadString(section, name) == value);
    return 0;
}
