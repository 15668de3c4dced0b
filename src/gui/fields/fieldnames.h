#pragma once

#include <QDialog>
#include <QList>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TDataField;
class TGlobalDataFieldList;
class TSettingsStore;

// The field names window: the user gives fields names of their own, which
// the lists, filters and edit windows show.  OK takes the names over into
// the catalogue; Cancel changes nothing.
class TfmFieldNamesBase : public QDialog {
    Q_OBJECT
public:
    TfmFieldNamesBase(QWidget *owner, TGlobalDataFieldList &fields, const QList<int> &listKinds,
                      TSettingsStore &store);

    QTreeWidget *lvFields;
    QPushButton *btOk;
    QPushButton *btCancel;
    QPushButton *btRename;
    QLabel *laStatus;

    // Sorts by column 0 (the names) or 1 (the original names); the column
    // already sorted is reversed.
    void SortByColumn(int column);
    // Starts editing the selected entry's name.
    void RenameSelected();
    // Whether the entry may take name: false, with a message, when another
    // entry has it already.
    bool AcceptName(const QTreeWidgetItem *entry, const QString &name);
    TDataField *EntryField(const QTreeWidgetItem *entry) const;

    void accept() override;
    void done(int result) override;

private:
    void fillList(const QList<int> &listKinds);
    void sortEntries();

    TGlobalDataFieldList &m_fields;
    TSettingsStore &m_store;
    int m_sortColumn = 0;
    int m_direction = 1;
};

// True when the window was closed with OK.
bool ShowFieldNames(QWidget *owner, TGlobalDataFieldList &fields, const QList<int> &listKinds,
                    TSettingsStore &store);
