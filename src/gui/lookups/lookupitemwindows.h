#pragma once

#include <QString>

#include <functional>

class QWidget;
class TDataField;
class TDataItem;
class TLookupItem;
class TLookupList;
class TSettingsStore;

// The windows that edit one lookup value, one per kind of value.  Each kind
// extends the one before it (a person window is a sort window with a first
// name), so the order here is the order of inheritance.
enum class TLookupItemWindowClass {
    Plain,      // TfmLookupItemBase: a display name only
    Sort,       // TfmSortLookupItem: name and article
    Person,     // TfmPersonLookupItem: first name, last name and article
    Location,   // TfmLocationLookupItem: a sort name with the drive's kind and label
    Album,      // TfmAlbumLookupItem: a sort name and the order of the album's tracks
};

// The window class that edits a value of a lookup field: the location,
// album, person or sort window for those fields, the plain window for any
// other lookup field (and for a field that holds no lookup values).
TLookupItemWindowClass LookupItemWindowFor(const TDataField *field);

// What a lookup item window may do to the collection besides editing its
// item, and how the caller learns of it.  Every member may stay empty.
struct TLookupEditContext {
    // Called before the window frees anything the caller's views may still
    // show (the album window replaces an edited track by its edited copy):
    // the caller resets its models here.
    std::function<void()> BeforeFree;
    // Set when the collection itself changed (a track was edited from the
    // album window).  That change stays whatever the window's result, so
    // the caller rebuilds its views and saves whenever this is set, also
    // after Cancel.
    bool CollectionChanged = false;
};

// Opens the window of windowClass on item, a value of list, captioned
// caption ("Add Artist", "Edit Genre"), centred over owner and placed as
// it was last time (the placement is kept in store).  The item changes only
// on OK, and the list is kept in order afterwards.  True when closed with
// OK.
bool EditLookupItem(TLookupItemWindowClass windowClass, QWidget *owner, TLookupItem *item,
                    const QString &caption, TLookupList *list, TSettingsStore &store,
                    TLookupEditContext *context = nullptr);
