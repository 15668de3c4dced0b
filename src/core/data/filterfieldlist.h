#pragma once

#include "core/data/datafieldref.h"
#include "core/data/filterfields.h"
#include "core/data/itemfilter.h"

#include <QList>
#include <QString>

#include <memory>

// A filter: conditions on fields combined with AND or OR.  A filter that is
// not enabled, or has no condition, accepts every item.
class TFilterFieldRefList : public TDataFieldRefList, public TItemFilter {
public:
    static constexpr quint8 CombinationAnd = 0;
    static constexpr quint8 CombinationOr = 1;

    explicit TFilterFieldRefList(quint8 listKind, TRootItem *root = nullptr);

    quint8 Combination = CombinationAnd;
    bool CaseSensitive = false;
    bool Enabled = true;

    TFilterField *Get(int index) const { return static_cast<TFilterField *>(TDataRefList::Get(index)); }
    // Appends a condition that the list owns from now on; returns it.
    TFilterField *addCondition(std::unique_ptr<TFilterField> condition);

    // Enabled and holding at least one condition.
    bool IsActive() const override;
    bool Matches(const TDataItem *item) const override;
    // "[None]" without conditions, else their descriptions joined by " AND "
    // or " OR " (whether the filter is enabled does not enter into it).
    QString GetDescription() const;

    // What the filter holds for one field, from its first condition of the
    // kind asked for; for showing a filter in the filter window.
    QString GetFilterText(const TDataField *field) const;
    // Min and max of the first integer range on field and true; -1, -1 and
    // false when there is none.
    bool GetFilterRange(const TDataField *field, qint32 &min, qint32 &max) const;
    QList<qint32> GetFilterItemIDs(const TDataField *field) const;
    QList<qint32> GetFilterCreditIDs(const TDataField *field) const;

    void LoadFromSettings(const TSettingsStore &store, const QString &section) override;
    void SaveToSettings(TSettingsStore &store, const QString &section) const override;

private:
    bool isOr() const { return Combination == CombinationOr; }
    template <typename Condition>
    const Condition *firstCondition(const TDataField *field) const;
    // The condition a stored entry describes for field, or nullptr when the
    // entry holds none.
    std::unique_ptr<TFilterField> loadCondition(const TSettingsStore &store, const QString &section,
                                                const TDataField *field) const;
};
