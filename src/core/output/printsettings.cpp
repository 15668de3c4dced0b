#include "core/output/printsettings.h"

#include "core/base/settingsstore.h"
#include "core/output/listreport.h"

const QString TPrintListSettings::Section = QStringLiteral("fmPrintList");

namespace {

qint32 readBounded(const TSettingsStore &store, const QString &section, const QString &name, qint32 defaultValue,
                   qint32 low, qint32 high)
{
    const qint32 value = store.ReadInteger(section, name, defaultValue);
    return value < low || value > high ? defaultValue : value;
}

TFontSetting readFont(const TSettingsStore &store, const QString &section)
{
    TFontSetting font;
    const QString name = store.ReadString(section, QStringLiteral("Name"), font.Name).trimmed();
    if (!name.isEmpty())
        font.Name = name;
    font.Size = readBounded(store, section, QStringLiteral("Size"), font.Size, TPrintListSettings::MinFontSize,
                            TPrintListSettings::MaxFontSize);
    font.Bold = store.ReadBool(section, QStringLiteral("Bold"), false);
    font.Italic = store.ReadBool(section, QStringLiteral("Italic"), false);
    return font;
}

void writeFont(TSettingsStore &store, const QString &section, const TFontSetting &font)
{
    store.WriteString(section, QStringLiteral("Name"), font.Name);
    store.WriteInteger(section, QStringLiteral("Size"), font.Size);
    store.WriteBool(section, QStringLiteral("Bold"), font.Bold);
    store.WriteBool(section, QStringLiteral("Italic"), font.Italic);
}

} // namespace

qint32 ReadChoice(const TSettingsStore &store, const QString &section, const QString &name, qint32 defaultValue,
                  qint32 count)
{
    return readBounded(store, section, name, defaultValue, 0, count - 1);
}

void TPrintListSettings::Load(const TSettingsStore &store)
{
    *this = TPrintListSettings();
    const QString &s = Section;
    UnitsMM = store.ReadBool(s, QStringLiteral("UnitsMM"), true);
    for (auto [value, name] : {std::pair{&TopMargin, "TopMargin"}, std::pair{&LeftMargin, "LeftMargin"},
                               std::pair{&RightMargin, "RightMargin"}, std::pair{&BottomMargin, "BottomMargin"}})
        *value = readBounded(store, s, QLatin1String(name), DefaultMargin, 0, MaxMargin);
    Title = store.ReadString(s, QStringLiteral("Title"), Title);
    Orientation = ReadChoice(store, s, QStringLiteral("Orientation"), 0, 2);
    RowShading = store.ReadBool(s, QStringLiteral("RowShading"), false);
    HideRepeatingSortValues = store.ReadBool(s, QStringLiteral("HideRepeatingSortValues"), false);
    TitleFont = readFont(store, s + QStringLiteral("\\TitleFont"));
    DataFont = readFont(store, s + QStringLiteral("\\DataFont"));
}

void TPrintListSettings::Save(TSettingsStore &store) const
{
    const QString &s = Section;
    store.WriteBool(s, QStringLiteral("UnitsMM"), UnitsMM);
    store.WriteInteger(s, QStringLiteral("TopMargin"), TopMargin);
    store.WriteInteger(s, QStringLiteral("LeftMargin"), LeftMargin);
    store.WriteInteger(s, QStringLiteral("RightMargin"), RightMargin);
    store.WriteInteger(s, QStringLiteral("BottomMargin"), BottomMargin);
    store.WriteString(s, QStringLiteral("Title"), Title);
    store.WriteInteger(s, QStringLiteral("Orientation"), Orientation);
    store.WriteBool(s, QStringLiteral("RowShading"), RowShading);
    store.WriteBool(s, QStringLiteral("HideRepeatingSortValues"), HideRepeatingSortValues);
    writeFont(store, s + QStringLiteral("\\TitleFont"), TitleFont);
    writeFont(store, s + QStringLiteral("\\DataFont"), DataFont);
}

QMarginsF TPrintListSettings::MarginsInReportUnits() const
{
    auto units = [this](qint32 value) {
        return UnitsMM ? reportunits::FromMillimetres(value) : reportunits::FromTenthInches(value);
    };
    return QMarginsF(units(LeftMargin), units(TopMargin), units(RightMargin), units(BottomMargin));
}
