#pragma once

#include "core/data/datastream.h"

#include <QList>
#include <QString>
#include <QtGlobal>

#include <memory>

class TDataField;
class TDataRefList;
class TDataTree;
class TLookupItem;
class TLookupItemRefList;
class TRootItem;
class TTreeNode;
struct TCredit;
using TCreditList = QList<TCredit>;

// Field IDs that every catalogue holds.
namespace FieldIds {
constexpr qint32 ID = 1;
constexpr qint32 Index = 2;
constexpr qint32 Used = 1000;
constexpr qint32 DisplayName = 1001;
constexpr qint32 Name = 1002;
constexpr qint32 FirstName = 1003;
constexpr qint32 The = 1004;
constexpr qint32 SortName = 1005;
} // namespace FieldIds

// Three-valued boolean of GetValueAsBoolean.
namespace BoolValue {
constexpr quint8 No = 0;
constexpr quint8 Yes = 1;
constexpr quint8 NotApplicable = 2;
} // namespace BoolValue

// Modes of SetValueAsLookupItem for multi-valued fields (single-valued
// fields ignore the mode).
namespace LookupSetMode {
constexpr qint32 Append = 0;
constexpr qint32 Replace = 1;
constexpr qint32 Empty = 2;
} // namespace LookupSetMode

// Anything in a collection: the root, a list, an item.  Objects form a tree
// through Owner; the owner is never owned by the object.
class TDataObject {
public:
    explicit TDataObject(TDataObject *owner = nullptr);
    virtual ~TDataObject();
    TDataObject(const TDataObject &) = delete;
    TDataObject &operator=(const TDataObject &) = delete;

    TDataObject *Owner = nullptr;

    virtual TRootItem *GetRoot() const;
    virtual QString GetDisplayName() const;
    virtual int GetImageIndex() const;
    virtual int GetSelectedImageIndex() const;
    virtual int GetLargeImageIndex() const;
    virtual void WriteToStream(TDataWriter &writer);
    virtual void ReadFromStream(TDataReader &reader, qint32 fileVersion, qint32 dataVersion) = 0;
    virtual TTreeNode *AddToTree(TDataTree &tree, TTreeNode *parentNode);
    virtual void AddChildNodes(TDataTree &tree, TTreeNode *node) = 0;
    virtual void GetItems(TDataRefList &destination);

    // The display name cut to 250 characters plus "..." when it is longer
    // than 253.
    QString GetShortDisplayName() const;
};

// An item: something with an identity and field values, read through field
// descriptors.  Lookup values are referenced, never owned.
class TDataItem : public TDataObject {
public:
    explicit TDataItem(TDataObject *owner = nullptr);

    // -1 until first asked for (GetID); then drawn from the root's counter.
    mutable qint32 ID = -1;
    // The sequence number the user sees; 0 when not set.
    qint32 Index = 0;

    // The identifier, taken from the root's counter on first use.  An item
    // without a root keeps -1.
    qint32 GetID() const;

    QString GetDisplayName() const override;
    void ReadFromStream(TDataReader &reader, qint32 fileVersion, qint32 dataVersion) override;
    void WriteToStream(TDataWriter &writer) override;
    void AddChildNodes(TDataTree &tree, TTreeNode *node) override;

    virtual void Clear();
    virtual std::unique_ptr<TDataItem> CreateNew(TDataObject *owner) const;
    virtual std::unique_ptr<TDataItem> Clone(TDataObject *owner, bool keepID) const;
    virtual QString GetValueAsString(const TDataField *field) const;
    virtual qint32 GetValueAsInteger(const TDataField *field) const;
    virtual TLookupItem *GetValueAsLookupItem(const TDataField *field, bool inherit) const;
    virtual const TCreditList *GetValueAsCredits(const TDataField *field, bool inherit) const;
    virtual TLookupItemRefList *GetValueAsLookupItemRefList(const TDataField *field, bool inherit) const;
    virtual double GetValueAsDate(const TDataField *field) const;
    virtual double GetValueAsFloat(const TDataField *field) const;
    virtual quint8 GetValueAsBoolean(const TDataField *field) const;
    virtual void SetValueAsLookupItem(const TDataField *field, TLookupItem *item, qint32 mode,
                                      TLookupItem *oldItem);
    virtual bool HasLookupItem(const TDataField *field, const TLookupItem *item) const;
    virtual void ReplaceLookupItem(const TDataField *field, TLookupItem *oldItem, TLookupItem *newItem);
    // Adds this item's use of the field's lookup values to their UseCount
    // (every distinct value of a multi-valued field once), or 1 to
    // noValueCount when it holds none.
    virtual void CountLookupUsage(const TDataField *field, qint32 &noValueCount, bool inherit) const;
    virtual bool IsSameItem(const TDataItem *item) const;
    virtual bool IsEqual(const TDataItem *item) const;
    virtual void ApplyDefaults();

protected:
    // Copies what every item has (Index, and the identity when keepID) into
    // a freshly created clone.
    void copyItemTo(TDataItem &clone, bool keepID) const;

    // Value inheritance: when the own value is empty and the field is
    // inheritable, the owner item's value for the same field.
    QString GetInheritedString(const TDataField *field, const QString &value) const;
    qint32 GetInheritedInteger(const TDataField *field, qint32 value) const;
    TLookupItem *GetInheritedLookupItem(const TDataField *field, TLookupItem *value) const;
    TLookupItemRefList *GetInheritedLookupItemRefList(const TDataField *field,
                                                      TLookupItemRefList *value) const;

private:
    const TDataItem *inheritanceSource(const TDataField *field) const;
};
