#pragma once

#include <QMarginsF>
#include <QString>

class TSettingsStore;

// A font as the settings keep it.
struct TFontSetting {
    QString Name = QStringLiteral("Arial");
    qint32 Size = 8;   // points
    bool Bold = false;
    bool Italic = false;

    bool operator==(const TFontSetting &) const = default;
};

// The settings of the print window (section "fmPrintList"), checked on
// loading: a stored value out of its range gives the default, so a damaged
// or hand-edited store cannot leave a report without a printable area.
struct TPrintListSettings {
    static constexpr qint32 DefaultMargin = 20;
    // Millimetres or tenths of an inch: up to 20 cm.
    static constexpr qint32 MaxMargin = 200;
    static constexpr qint32 MinFontSize = 4;
    static constexpr qint32 MaxFontSize = 72;

    bool UnitsMM = true;
    qint32 TopMargin = DefaultMargin;
    qint32 LeftMargin = DefaultMargin;
    qint32 RightMargin = DefaultMargin;
    qint32 BottomMargin = DefaultMargin;
    QString Title = QStringLiteral("Brimlow Tunebase");
    qint32 Orientation = 0;   // 0 portrait, 1 landscape
    bool RowShading = false;
    bool HideRepeatingSortValues = false;
    TFontSetting TitleFont;
    TFontSetting DataFont;

    void Load(const TSettingsStore &store);
    void Save(TSettingsStore &store) const;
    // The margins in report units (1/96 inch).
    QMarginsF MarginsInReportUnits() const;

    bool operator==(const TPrintListSettings &) const = default;

    static const QString Section;
};

// A stored choice of count items (a radio group's item index); anything
// else gives the default.
qint32 ReadChoice(const TSettingsStore &store, const QString &section, const QString &name, qint32 defaultValue,
                  qint32 count);
