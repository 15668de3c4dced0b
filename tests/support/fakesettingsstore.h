#pragma once

#include "core/base/settingsstore.h"

#include <QList>
#include <QPair>

// An in-memory settings store for tests: sections and values matched without
// regard to case, kept in the order first written.
class FakeSettingsStore : public TSettingsStore {
public:
    bool ValueExists(const QString &section, const QString &name) const override
    {
        const Section *s = find(section);
        return s && s->indexOf(name) >= 0;
    }
    QString ReadString(const QString &section, const QString &name,
                       const QString &defaultValue = QString()) const override
    {
        const Section *s = find(section);
        const int i = s ? s->indexOf(name) : -1;
        return i >= 0 ? s->values.at(i).second : defaultValue;
    }
    void WriteString(const QString &section, const QString &name, const QString &value) override
    {
        Section *s = find(section);
        if (!s) {
            m_sections.append(Section{section, {}});
            s = &m_sections.last();
        }
        const int i = s->indexOf(name);
        if (i >= 0)
            s->values[i].second = value;
        else
            s->values.append({name, value});
        ++m_writes;
    }
    void DeleteValue(const QString &section, const QString &name) override
    {
        if (Section *s = find(section)) {
            const int i = s->indexOf(name);
            if (i >= 0)
                s->values.removeAt(i);
        }
    }
    bool SectionExists(const QString &section) const override { return find(section) != nullptr; }
    QStringList ValueNames(const QString &section) const override
    {
        QStringList names;
        if (const Section *s = find(section))
            for (const auto &v : s->values)
                names << v.first;
        return names;
    }
    QStringList SubSectionNames(const QString &section) const override
    {
        QStringList names;
        const QString prefix = section + QLatin1Char('\\');
        for (const Section &s : m_sections) {
            if (s.name.startsWith(prefix, Qt::CaseInsensitive)) {
                const QString rest = s.name.mid(prefix.size()).section(QLatin1Char('\\'), 0, 0);
                if (!names.contains(rest, Qt::CaseInsensitive))
                    names << rest;
            }
        }
        return names;
    }
    void EraseSection(const QString &section) override
    {
        const QString prefix = section + QLatin1Char('\\');
        m_sections.removeIf([&](const Section &s) {
            return s.name.compare(section, Qt::CaseInsensitive) == 0
                   || s.name.startsWith(prefix, Qt::CaseInsensitive);
        });
    }

    int Writes() const { return m_writes; }

private:
    struct Section {
        QString name;
        QList<QPair<QString, QString>> values;
        int indexOf(const QString &value) const
        {
            for (int i = 0; i < values.size(); ++i)
                if (values.at(i).first.compare(value, Qt::CaseInsensitive) == 0)
                    return i;
            return -1;
        }
    };
    const Section *find(const QString &name) const
    {
        for (const Section &s : m_sections)
            if (s.name.compare(name, Qt::CaseInsensitive) == 0)
                return &s;
        return nullptr;
    }
    Section *find(const QString &name)
    {
        return const_cast<Section *>(static_cast<const FakeSettingsStore *>(this)->find(name));
    }
    QList<Section> m_sections;
    int m_writes = 0;
};
