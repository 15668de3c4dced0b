#pragma once

#include "core/base/settingsstore.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <utility>

// A settings store held in memory, for tests.  It behaves like the real
// store: section paths nest by backslash ("ItemColumnFields\0"; leading,
// trailing and doubled backslashes are ignored), section and value names
// match without regard to case and keep the spelling they were first written
// with, and values and sub-sections keep the order of their first writing.
// Writing a value creates its section and every section above it.
class TMemorySettingsStore : public TSettingsStore {
public:
    TMemorySettingsStore();
    ~TMemorySettingsStore() override;

    bool ValueExists(const QString &section, const QString &name) const override;
    QString ReadString(const QString &section, const QString &name,
                       const QString &defaultValue = QString()) const override;
    void WriteString(const QString &section, const QString &name, const QString &value) override;
    void DeleteValue(const QString &section, const QString &name) override;

    bool SectionExists(const QString &section) const override;
    QStringList ValueNames(const QString &section) const override;
    QStringList SubSectionNames(const QString &section) const override;
    void EraseSection(const QString &section) override;

    // Removes every section and value.
    void clear();
    // Every value as "Section\Sub|Name=Value" lines in store order, for
    // comparing whole stores in tests.
    QStringList dump() const;

private:
    struct Section {
        QString name;
        QList<std::pair<QString, QString>> values;
        QList<std::shared_ptr<Section>> children;
    };

    static QStringList pathOf(const QString &section);
    static bool sameName(const QString &a, const QString &b);
    static Section *child(const Section &parent, const QString &name);
    const Section *find(const QString &section) const;
    Section *find(const QString &section);
    Section *findOrCreate(const QString &section);
    static void dumpSection(const Section &section, const QString &path, QStringList &lines);

    std::shared_ptr<Section> m_root;
};
