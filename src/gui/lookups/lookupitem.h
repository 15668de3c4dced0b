#pragma once

#include "gui/lookups/lookupitemwindows.h"

#include <QDialog>

#include <memory>

class QButtonGroup;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class TMountTable;

// The window of a plain lookup value: its display name.  The descendants
// add the name parts of the value's class; every class fills its controls
// from an item and writes them into one, calling the class before it.
class TfmLookupItemBase : public QDialog {
    Q_OBJECT
public:
    TfmLookupItemBase(QWidget *owner, TSettingsStore &store);
    ~TfmLookupItemBase() override;

    // The value edited and the list it belongs to (neither owned).  The
    // context, when given, learns of changes beyond the value.
    void SetItem(TLookupItem *item, TLookupList *list, TLookupEditContext *context = nullptr);
    TLookupItem *Item() const { return m_item; }
    TLookupList *List() const { return m_list; }

    virtual void LoadFromItem(const TLookupItem &item);
    virtual void SaveToItem(TLookupItem &item);

    QTabWidget *pcMain;
    QWidget *tsMain;
    QLineEdit *edName;
    QPushButton *btOK;
    QPushButton *btCancel;

public Q_SLOTS:
    // Checks that the name is not another value's, then writes the controls
    // into the item; the window stays open on a name already taken.
    void accept() override;
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    // Called whenever a control the sort name depends on changes.
    virtual void NamePartsChanged() {}
    QFormLayout *MainForm() const { return m_form; }
    TLookupEditContext *Context() const { return m_context; }
    TSettingsStore &Store() const { return m_store; }
    // A new, empty value of the edited value's class (not in any list).
    std::unique_ptr<TLookupItem> CreateTemporaryItem() const;

private:
    void nameEdited();
    // Tab goes through the page's controls row by row, then to the buttons.
    void orderTabs();

    TSettingsStore &m_store;
    TLookupItem *m_item = nullptr;
    TLookupList *m_list = nullptr;
    TLookupEditContext *m_context = nullptr;
    QFormLayout *m_form;
    bool m_loaded = false;
};

// A value with a name and an article ("The Lanterns"): the name parts and
// the sort name built from them, shown as the user types.
class TfmSortLookupItem : public TfmLookupItemBase {
    Q_OBJECT
public:
    TfmSortLookupItem(QWidget *owner, TSettingsStore &store);

    void LoadFromItem(const TLookupItem &item) override;
    void SaveToItem(TLookupItem &item) override;

    QLineEdit *edSortName;
    QLineEdit *edLastName;
    QLineEdit *edThe;
    QLabel *laLastName;
    QLabel *laExplanation;
    QPushButton *btGenerateNamePartsFromName;
    QPushButton *btGenerateNameFromNameParts;

protected:
    void NamePartsChanged() override;
    // Adds a labelled control below the name parts, above the explanation.
    void AddDetailRow(const QString &label, QWidget *field);
    void AddDetailRow(QWidget *field);

private:
    // Runs a generator on a copy of the controls and shows the result.
    void generate(bool nameFromParts);
};

class TfmPersonLookupItem : public TfmSortLookupItem {
    Q_OBJECT
public:
    TfmPersonLookupItem(QWidget *owner, TSettingsStore &store);

    void LoadFromItem(const TLookupItem &item) override;
    void SaveToItem(TLookupItem &item) override;

    QLineEdit *edFirstName;
};

// A location: besides its name, the kind and label of the drive it is on.
// The drive list offers the mounted file systems; choosing one fills in its
// kind and label.
class TfmLocationLookupItem : public TfmSortLookupItem {
    Q_OBJECT
public:
    TfmLocationLookupItem(QWidget *owner, TSettingsStore &store);

    void LoadFromItem(const TLookupItem &item) override;
    void SaveToItem(TLookupItem &item) override;

    // The mounts the drive list offers (the system's unless tests set
    // another table; not owned).
    static void SetMountTable(const TMountTable *mounts);

    // Radio items of rgDriveType.
    enum TDriveChoice { ChoiceHarddisk = 0, ChoiceCD = 1, ChoiceNetwork = 2, ChoiceRemovable = 3 };
    int DriveTypeIndex() const;
    void SetDriveTypeIndex(int index);

    QComboBox *cbDrive;
    QGroupBox *rgDriveType;
    QLineEdit *edDriveLabel;

private:
    void fillDrives();
    void driveChosen(int index);

    QButtonGroup *m_driveTypes;
};

// Creates the window of a class (not shown).
std::unique_ptr<TfmLookupItemBase> CreateLookupItemWindow(TLookupItemWindowClass windowClass, QWidget *owner,
                                                          TSettingsStore &store);
