#pragma once

#include <QDialog>

#include <memory>

class QLabel;
class QLineEdit;
class QScrollArea;
class QToolButton;
class TColumnFieldRefList;
class TDataItem;
class TDataRefList;
class TRootItem;
class TSettingsStore;
class TSizingSplitter;

// Shows the objects of a list one at a time as a form of read-only fields,
// with steps to the first, previous, next and last object.  The fields are
// chosen per list kind and remembered.
class TfmBrowseBase : public QDialog {
    Q_OBJECT
public:
    TfmBrowseBase(const TDataRefList &list, int listKind, TRootItem &root, TSettingsStore &store,
                  QWidget *owner = nullptr);
    ~TfmBrowseBase() override;

    // Shows the list modally from startPosition; the position it was
    // closed at.
    static int Browse(const TDataRefList &list, int listKind, TRootItem &root, TSettingsStore &store,
                      QWidget *owner, int startPosition);

    QToolButton *btFirst;
    QToolButton *btPrior;
    QToolButton *btNext;
    QToolButton *btLast;
    QToolButton *btEditShowFields;
    QToolButton *btClose;
    QScrollArea *scBrowse;
    QWidget *pnInfo;
    QLabel *laStatus;

    std::unique_ptr<TColumnFieldRefList> ColumnFields;
    int Position = 0;

    void SetPosition(int position);
    void ChooseFields();
    // The text fields of the form, in order.
    QList<QLineEdit *> FieldEdits() const;

    void done(int result) override;

protected:
    // Called after an object is shown.
    virtual void ShowObjectHook(TDataItem *) {}
    virtual void LoadSettings();
    virtual void SaveSettings();

private:
    void buildFields();
    void showObject();
    void updateButtons();
    QString fieldsSection() const;

    const TDataRefList &m_list;
    int m_listKind;
    TSettingsStore &m_store;
    TSizingSplitter *m_splitter;
    QWidget *m_form = nullptr;
};
