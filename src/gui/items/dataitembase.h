#pragma once

#include <QDialog>

#include <functional>
#include <memory>

class QComboBox;
class QPushButton;
class QStatusBar;
class QTabWidget;
class TDataItem;
class TLookupItem;
class TLookupList;
class TMp3Prefs;
class TfmDataItemBase;

// The "window class" of an item edit window: a function that creates a
// window of the wanted kind (each window class offers one as CreateForm).
using TDataItemWindowClass = std::unique_ptr<TfmDataItemBase> (*)(QWidget *owner, TMp3Prefs &prefs);

// Opens the lookup item window for the lookup value of a field and returns
// whether it was confirmed (item, caption, lookup list).  Until one is
// installed the "..." buttons of the lookup combos are disabled.
using TLookupItemEditor = std::function<bool(QWidget *owner, qint32 fieldID, TLookupItem *item,
                                             const QString &caption, TLookupList *list)>;

// The base of the modal windows that add or edit one item of the collection.
//
// Open one with Execute, for example
//     TfmDataItemBase::Execute(TfmTrack::CreateForm, owner, track, TfmDataItemBase::EditMode, prefs);
// In edit mode pass a working copy of the item (Clone keeping the ID) and put
// it in the place of the original only when Execute returns true; in add
// mode pass the new item, already in its list, and remove it again when
// Execute returns false.  Execute is false too when the user confirmed an
// edit without changing anything.
//
// Descendants fill the pages (PageControl, first page tsMain) and override
// the virtual steps; the base does the life of the window: the snapshot, the
// OK/Cancel decision, the cancel question and the window placement.
class TfmDataItemBase : public QDialog {
    Q_OBJECT
public:
    static constexpr int AddMode = 0;
    static constexpr int EditMode = 1;

    TfmDataItemBase(QWidget *owner, TMp3Prefs &prefs);
    ~TfmDataItemBase() override;

    // Creates the window through windowClass, shows it modally on item and
    // returns true when it closed with OK.
    static bool Execute(TDataItemWindowClass windowClass, QWidget *owner, TDataItem *item, int mode,
                        TMp3Prefs &prefs);
    static std::unique_ptr<TfmDataItemBase> CreateForm(QWidget *owner, TMp3Prefs &prefs);

    // Sets the item the window shows and stores, with a snapshot to compare
    // with (none for no item).
    void SetItem(TDataItem *item, int mode);

    // The editor of lookup values the "..." buttons use (installed once by
    // the program; null: the buttons stay disabled).
    static void SetLookupItemEditor(TLookupItemEditor editor);
    static const TLookupItemEditor &LookupItemEditor();

    TDataItem *Item = nullptr;
    std::unique_ptr<TDataItem> Snapshot;
    int Mode = AddMode;

    QTabWidget *PageControl;
    QWidget *tsMain;
    QWidget *pnRight;
    QPushButton *btOk;
    QPushButton *btCancel;
    QStatusBar *StatusBar;

    // Lookup combo boxes: each entry is a display text with its lookup item.
    static void FillCombo(QComboBox *combo, TLookupList *list);
    // Selects the entry of item; with none, clears the selection and text.
    static void SelectLookupInCombo(QComboBox *combo, TLookupItem *item);
    // The selected entry's item; without one, none for an empty text, else
    // the list's value of that name, added when new.
    static TLookupItem *LookupFromCombo(QComboBox *combo, TLookupList *list);
    // The selected entry's item, or none.
    static TLookupItem *SelectedLookup(QComboBox *combo);
    // The "..." button of a lookup combo: edits the selected value, or adds a
    // value named by the typed text.
    void EditLookupFromCombo(QComboBox *combo, qint32 fieldID);
    // Whether the lookup item windows are there to open.
    static bool CanEditLookups() { return bool(LookupItemEditor()); }

    void btOkClick();
    void btCancelClick();

    TMp3Prefs &Prefs() const { return m_prefs; }

protected:
    virtual void LoadFromItem(TDataItem *item);
    virtual void SaveToItem(TDataItem *item);
    virtual void RestoreWindowPlacement();
    virtual void SaveWindowPlacement();
    virtual void SetFieldLabels();
    virtual void FillLookupLists();
    virtual void UpdateCaption();
    // After the OK decision, with the item about to be confirmed: false keeps
    // the window open (the descendant told the user why).
    virtual bool ConfirmItem(TDataItem *item);

    // Whether the window is filling its controls (changes of the controls
    // are then not the user's).
    bool Loading() const { return m_loading; }

    void showEvent(QShowEvent *event) override;
    void done(int result) override;
    void reject() override;

private:
    TMp3Prefs &m_prefs;
    bool m_opened = false;
    bool m_loading = false;
    bool m_closing = false;
};
