#pragma once

#include <QDialog>

class QAction;
class QLabel;
class QMenu;
class QScrollBar;
class QSplitter;
class QToolButton;
class QTreeWidget;
class TBarChart;
class TDataField;
class TRootItem;
class TSettingsStore;

// The statistics window: a bar chart of how many items carry each value of
// a lookup field, ordered by count or by name, and a table of figures.
class TfmStatsBase : public QDialog {
    Q_OBJECT
public:
    TfmStatsBase(TRootItem &root, TSettingsStore &store, QWidget *owner = nullptr);
    ~TfmStatsBase() override;

    QToolButton *btLookupLists;
    QMenu *pmLookupLists;
    QAction *acSortCount;
    QAction *acSortName;
    QAction *acPrint;
    QAction *acSavePdf;
    QToolButton *btSortCount;
    QToolButton *btSortName;
    QToolButton *btPrint;
    QToolButton *btClose;
    TBarChart *chLookup;
    QScrollBar *sbChart;
    QWidget *pnList;
    QTreeWidget *lvStats;
    QLabel *pnCount;

    const TDataField *Field = nullptr;
    int ListKind = 2;
    // 0 by count, 1 by name.
    int SortMode = 0;

    // Sets the field and the list kind and fills the window (when shown).
    void Open(const TDataField *field, int listKind);
    void ChooseField(const TDataField *field);
    void SetSortMode(int mode);
    // Prints the chart's page on the default printer.
    void PrintChart();
    bool SaveChartPdf(const QString &fileName);

    void done(int result) override;

protected:
    virtual void UpdateSortButtons();
    virtual void UpdateStatus();
    virtual void CountValues();
    virtual void FillStatistics();

    TRootItem &Root() const { return m_root; }

private:
    void buildFieldMenu();
    void fillChart();
    void updatePaging();
    void loadSettings();
    void saveSettings();

    TRootItem &m_root;
    TSettingsStore &m_store;
    QSplitter *m_splitter;
    // The list's width before the user sets one: its figures show whole.
    int m_designListWidth = 0;
    QList<std::pair<QString, qint64>> m_counts;
};

// The statistics of the collection: the chart and the track figures.
class TfmStats : public TfmStatsBase {
    Q_OBJECT
public:
    TfmStats(TRootItem &root, TSettingsStore &store, QWidget *owner = nullptr);

    static void Execute(TRootItem &root, TSettingsStore &store, QWidget *owner, const TDataField *field,
                        int listKind);

protected:
    void FillStatistics() override;
};
