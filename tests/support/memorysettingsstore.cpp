#include "memorysettingsstore.h"

#include <algorithm>

TMemorySettingsStore::TMemorySettingsStore()
    : m_root(std::make_shared<Section>())
{
}

TMemorySettingsStore::~TMemorySettingsStore() = default;

QStringList TMemorySettingsStore::pathOf(const QString &section)
{
    return section.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

bool TMemorySettingsStore::sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

TMemorySettingsStore::Section *TMemorySettingsStore::child(const Section &parent, const QString &name)
{
    for (const auto &candidate : parent.children) {
        if (sameName(candidate->name, name))
            return candidate.get();
    }
    return nullptr;
}

const TMemorySettingsStore::Section *TMemorySettingsStore::find(const QString &section) const
{
    const Section *current = m_root.get();
    for (const QString &part : pathOf(section)) {
        current = child(*current, part);
        if (!current)
            return nullptr;
    }
    return current;
}

TMemorySettingsStore::Section *TMemorySettingsStore::find(const QString &section)
{
    return const_cast<Section *>(std::as_const(*this).find(section));
}

TMemorySettingsStore::Section *TMemorySettingsStore::findOrCreate(const QString &section)
{
    Section *current = m_root.get();
    for (const QString &part : pathOf(section)) {
        Section *next = child(*current, part);
        if (!next) {
            auto created = std::make_shared<Section>();
            created->name = part;
            next = created.get();
            current->children.append(std::move(created));
        }
        current = next;
    }
    return current;
}

bool TMemorySettingsStore::ValueExists(const QString &section, const QString &name) const
{
    const Section *found = find(section);
    return found && std::any_of(found->values.cbegin(), found->values.cend(),
                                [&name](const auto &value) { return sameName(value.first, name); });
}

QString TMemorySettingsStore::ReadString(const QString &section, const QString &name,
                                         const QString &defaultValue) const
{
    if (const Section *found = find(section)) {
        for (const auto &value : found->values) {
            if (sameName(value.first, name))
                return value.second;
        }
    }
    return defaultValue;
}

void TMemorySettingsStore::WriteString(const QString &section, const QString &name, const QString &value)
{
    Section *target = findOrCreate(section);
    for (auto &existing : target->values) {
        if (sameName(existing.first, name)) {
            existing.second = value;
            return;
        }
    }
    target->values.append({name, value});
}

void TMemorySettingsStore::DeleteValue(const QString &section, const QString &name)
{
    Section *target = find(section);
    if (!target)
        return;
    target->values.removeIf([&name](const auto &value) { return sameName(value.first, name); });
}

bool TMemorySettingsStore::SectionExists(const QString &section) const
{
    return find(section) != nullptr;
}

QStringList TMemorySettingsStore::ValueNames(const QString &section) const
{
    QStringList names;
    if (const Section *found = find(section)) {
        for (const auto &value : found->values)
            names.append(value.first);
    }
    return names;
}

QStringList TMemorySettingsStore::SubSectionNames(const QString &section) const
{
    QStringList names;
    if (const Section *found = find(section)) {
        for (const auto &sub : found->children)
            names.append(sub->name);
    }
    return names;
}

void TMemorySettingsStore::EraseSection(const QString &section)
{
    const QStringList path = pathOf(section);
    if (path.isEmpty()) {
        clear();
        return;
    }
    Section *parent = find(path.mid(0, path.size() - 1).join(QLatin1Char('\\')));
    if (!parent)
        return;
    const QString &last = path.last();
    parent->children.removeIf([&last](const auto &sub) { return sameName(sub->name, last); });
}

void TMemorySettingsStore::clear()
{
    m_root = std::make_shared<Section>();
}

void TMemorySettingsStore::dumpSection(const Section &section, const QString &path, QStringList &lines)
{
    for (const auto &value : section.values)
        lines.append(path + QLatin1Char('|') + value.first + QLatin1Char('=') + value.second);
    for (const auto &sub : section.children)
        dumpSection(*sub, path.isEmpty() ? sub->name : path + QLatin1Char('\\') + sub->name, lines);
}

QStringList TMemorySettingsStore::dump() const
{
    QStringList lines;
    dumpSection(*m_root, QString(), lines);
    return lines;
}
