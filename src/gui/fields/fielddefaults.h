#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class TRootItem;
class TSettingsStore;

// The field defaults window: the values that new tracks receive when they
// have none.  The base holds the controls and the order of the steps; the
// collection's own window fills them in.
class TfmFieldDefaultsBase : public QDialog {
    Q_OBJECT
public:
    TfmFieldDefaultsBase(QWidget *owner, TRootItem &root, TSettingsStore &store);

    QLabel *laYear;
    QLabel *laGenre;
    QLabel *laLocation;
    QComboBox *cbYear;
    QComboBox *cbGenre;
    QComboBox *cbLocation;
    QPushButton *btOk;
    QPushButton *btCancel;

    void accept() override;
    void done(int result) override;

protected:
    virtual void FillLists() {}
    virtual void ShowLabels() {}
    virtual void ShowValues() {}
    virtual void StoreValues() {}
    void showEvent(QShowEvent *event) override;

    TRootItem &m_root;

private:
    TSettingsStore &m_store;
    bool m_shown = false;
};

// The window of MP3 collections (year, genre and location of new tracks).
class TfmFieldDefaults : public TfmFieldDefaultsBase {
    Q_OBJECT
public:
    using TfmFieldDefaultsBase::TfmFieldDefaultsBase;

protected:
    void FillLists() override;
    void ShowLabels() override;
    void ShowValues() override;
    void StoreValues() override;
};

// True when the window was closed with OK; the defaults are then changed.
bool ShowFieldDefaults(QWidget *owner, TRootItem &root, TSettingsStore &store);
