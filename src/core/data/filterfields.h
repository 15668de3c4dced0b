#pragma once

#include "core/data/datafieldref.h"

#include <QHash>
#include <QList>
#include <QString>

#include <limits>
#include <memory>

class TLookupItem;
class TSettingsStore;

// A condition on one field that an item satisfies or not.  Conditions are
// combined by a filter list (TFilterFieldRefList) and stored with it: each
// one writes its own values into the settings section of its entry.
class TFilterField : public TDataFieldRef {
public:
    using TDataFieldRef::TDataFieldRef;

    // The condition in words, such as ("love" in Title).
    virtual QString GetDescription() const = 0;
    virtual bool Matches(const TDataItem *item, bool caseSensitive) const = 0;

    // The condition's own values in the entry section of a stored filter
    // (the list writes and reads "Field").
    virtual void SaveValues(TSettingsStore &store, const QString &section) const = 0;
    virtual void LoadValues(const TSettingsStore &store, const QString &section) = 0;

protected:
    // The field's display name; empty for a condition without a field.
    QString fieldDisplayName() const;
};

// The field's text contains Text.
class TStringFilterField : public TFilterField {
public:
    explicit TStringFilterField(const TDataField *field = nullptr, const QString &text = QString(),
                                TDataObject *owner = nullptr);

    QString Text;

    std::unique_ptr<TDataItem> CreateNew(TDataObject *owner) const override;
    std::unique_ptr<TDataItem> Clone(TDataObject *owner, bool keepID) const override;
    QString GetDescription() const override;
    bool Matches(const TDataItem *item, bool caseSensitive) const override;
    void SaveValues(TSettingsStore &store, const QString &section) const override;
    void LoadValues(const TSettingsStore &store, const QString &section) override;

protected:
    // Whether Text occurs in value; an empty Text occurs in nothing.  Without
    // caseSensitive the letters A to Z match either case.
    bool contains(const QString &value, bool caseSensitive) const;
};

// The sort name or display name of the item's lookup value contains Text;
// for a field with several values, any of them.
class TLookupStringFilterField : public TStringFilterField {
public:
    using TStringFilterField::TStringFilterField;

    std::unique_ptr<TDataItem> CreateNew(TDataObject *owner) const override;
    bool Matches(const TDataItem *item, bool caseSensitive) const override;
    void SaveValues(TSettingsStore &store, const QString &section) const override;
    void LoadValues(const TSettingsStore &store, const QString &section) override;

private:
    bool valueMatches(const TLookupItem *value, bool caseSensitive) const;
};

// Finds the lookup items of a field by identifier for conditions that test
// many items in a row: it remembers where each identifier was found and
// checks that position first, so a long lookup list is searched once rather
// than once per item.  Negative identifiers (the "[None]" folder's -2) name
// no item.
class TLookupItemFinder {
public:
    TLookupItem *find(const TDataField *field, qint32 id) const;

private:
    mutable QHash<qint32, int> m_positions;
};

// The item's lookup value is the lookup item with ItemID.  When no item has
// that identifier, the items without a value match.
class TLookupFilterField : public TFilterField {
public:
    explicit TLookupFilterField(const TDataField *field = nullptr, qint32 itemID = -1,
                                TDataObject *owner = nullptr);

    qint32 ItemID = -1;

    std::unique_ptr<TDataItem> CreateNew(TDataObject *owner) const override;
    std::unique_ptr<TDataItem> Clone(TDataObject *owner, bool keepID) const override;
    QString GetDescription() const override;
    bool Matches(const TDataItem *item, bool caseSensitive) const override;
    // Stored in the form of a choice of one item (see TMultiLookupFilterField).
    void SaveValues(TSettingsStore &store, const QString &section) const override;
    void LoadValues(const TSettingsStore &store, const QString &section) override;

private:
    TLookupItemFinder m_finder;
};

// The item's lookup value is one of the lookup items with ItemIDs (an
// identifier without an item standing for no value).  No identifiers: no
// item matches.
class TMultiLookupFilterField : public TFilterField {
public:
    explicit TMultiLookupFilterField(const TDataField *field = nullptr,
                                     const QList<qint32> &itemIDs = {}, TDataObject *owner = nullptr);

    QList<qint32> ItemIDs;

    std::unique_ptr<TDataItem> CreateNew(TDataObject *owner) const override;
    std::unique_ptr<TDataItem> Clone(TDataObject *owner, bool keepID) const override;
    QString GetDescription() const override;
    bool Matches(const TDataItem *item, bool caseSensitive) const override;
    void SaveValues(TSettingsStore &store, const QString &section) const override;
    void LoadValues(const TSettingsStore &store, const QString &section) override;

protected:
    TLookupItem *findItem(qint32 id) const { return m_finder.find(Field, id); }

private:
    TLookupItemFinder m_finder;
};

// One of the item's credits in the role of Field names a person of ItemIDs.
class TMultiCreditFilterField : public TMultiLookupFilterField {
public:
    using TMultiLookupFilterField::TMultiLookupFilterField;

    std::unique_ptr<TDataItem> CreateNew(TDataObject *owner) const override;
    bool Matches(const TDataItem *item, bool caseSensitive) const override;
};

// Min <= the item's value <= Max.  The three kinds of range (integers,
// dates, floating-point values) differ only in how an item gives the value,
// how the settings store it and how the condition reads; Derived says that
// with a few static members:
//   static Value valueOf(const TDataItem &item, const TDataField *field);
//   static Value readValue(const TSettingsStore &, const QString &section, const QString &key);
//     (with the value a stored filter lacking the bound reads as)
//   static void writeValue(TSettingsStore &, const QString &section, const QString &key, Value);
//   MinKey, MaxKey: the setting keys of the bounds;
//   NewMin, NewMax: the bounds of a new condition (CreateNew).
template<typename Derived, typename Value>
class TRangeFilterField : public TFilterField {
public:
    TRangeFilterField(const TDataField *field, Value min, Value max, TDataObject *owner)
        : TFilterField(field, owner)
        , Min(min)
        , Max(max)
    {
    }

    Value Min;
    Value Max;

    std::unique_ptr<TDataItem> CreateNew(TDataObject *owner) const override
    {
        return std::make_unique<Derived>(nullptr, Derived::NewMin, Derived::NewMax, owner);
    }

    std::unique_ptr<TDataItem> Clone(TDataObject *owner, bool keepID) const override
    {
        std::unique_ptr<TDataItem> clone = TFilterField::Clone(owner, keepID);
        auto &condition = static_cast<Derived &>(*clone);
        condition.Min = Min;
        condition.Max = Max;
        return clone;
    }

    bool Matches(const TDataItem *item, bool /*caseSensitive*/) const override
    {
        if (!Field)
            return false;
        const Value value = Derived::valueOf(*item, Field);
        return Min <= value && value <= Max;
    }

    void SaveValues(TSettingsStore &store, const QString &section) const override
    {
        Derived::writeValue(store, section, Derived::MinKey, Min);
        Derived::writeValue(store, section, Derived::MaxKey, Max);
    }

    void LoadValues(const TSettingsStore &store, const QString &section) override
    {
        Min = Derived::readValue(store, section, Derived::MinKey);
        Max = Derived::readValue(store, section, Derived::MaxKey);
    }
};

// Min <= the item's integer value <= Max.
class TIntegerFilterField : public TRangeFilterField<TIntegerFilterField, qint32> {
public:
    // A range open at one end holds these as its missing bound.
    static constexpr qint32 NoMin = std::numeric_limits<qint32>::min();
    static constexpr qint32 NoMax = std::numeric_limits<qint32>::max();

    explicit TIntegerFilterField(const TDataField *field = nullptr, qint32 min = 0, qint32 max = NoMax,
                                 TDataObject *owner = nullptr);

    // ("Size" between 1 and 5), or "at least" / "at most" for an open range.
    QString GetDescription() const override;

private:
    friend class TRangeFilterField<TIntegerFilterField, qint32>;
    static constexpr qint32 NewMin = 0;
    static constexpr qint32 NewMax = NoMax;
    static const QString MinKey;
    static const QString MaxKey;
    static qint32 valueOf(const TDataItem &item, const TDataField *field);
    static qint32 readValue(const TSettingsStore &store, const QString &section, const QString &key);
    static void writeValue(TSettingsStore &store, const QString &section, const QString &key, qint32 value);
};

// Min <= the item's date (a day number) <= Max.
class TDateFilterField : public TRangeFilterField<TDateFilterField, double> {
public:
    explicit TDateFilterField(const TDataField *field = nullptr, double min = -1.0, double max = -1.0,
                              TDataObject *owner = nullptr);

    // The dates in the user's short date format.
    QString GetDescription() const override;

private:
    friend class TRangeFilterField<TDateFilterField, double>;
    static constexpr double NewMin = -1.0;
    static constexpr double NewMax = -1.0;
    static const QString MinKey;
    static const QString MaxKey;
    static double valueOf(const TDataItem &item, const TDataField *field);
    static double readValue(const TSettingsStore &store, const QString &section, const QString &key);
    static void writeValue(TSettingsStore &store, const QString &section, const QString &key, double value);
};

// Min <= the item's floating-point value <= Max.
class TFloatFilterField : public TRangeFilterField<TFloatFilterField, double> {
public:
    explicit TFloatFilterField(const TDataField *field = nullptr, double min = -1.0, double max = -1.0,
                               TDataObject *owner = nullptr);

    QString GetDescription() const override;

private:
    friend class TRangeFilterField<TFloatFilterField, double>;
    static constexpr double NewMin = -1.0;
    static constexpr double NewMax = -1.0;
    static const QString MinKey;
    static const QString MaxKey;
    static double valueOf(const TDataItem &item, const TDataField *field);
    static double readValue(const TSettingsStore &store, const QString &section, const QString &key);
    static void writeValue(TSettingsStore &store, const QString &section, const QString &key, double value);
};

// The item's three-valued boolean is Value (0 no, 1 yes).  Value 2, "Yes or
// No", puts no restriction on the field and accepts every item.
class TBoolFilterField : public TFilterField {
public:
    explicit TBoolFilterField(const TDataField *field = nullptr, quint8 value = 2,
                              TDataObject *owner = nullptr);

    quint8 Value = 2;

    std::unique_ptr<TDataItem> CreateNew(TDataObject *owner) const override;
    std::unique_ptr<TDataItem> Clone(TDataObject *owner, bool keepID) const override;
    QString GetDescription() const override;
    bool Matches(const TDataItem *item, bool caseSensitive) const override;
    void SaveValues(TSettingsStore &store, const QString &section) const override;
    // A stored value other than 0 and 1 reads as 2.
    void LoadValues(const TSettingsStore &store, const QString &section) override;
};
