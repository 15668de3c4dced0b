#pragma once

#include "core/output/listreport.h"
#include "core/output/printsettings.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <QPageLayout>
#include <QPageSize>

#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableView;
class TColumnFieldRefList;
class TDataRefList;
class TRadioGroup;
class TReportDocument;
class TRootItem;
class TSettingsStore;
class TSortFieldRefList;

// The rows of the print window's list, as the report will print them.
class TReportRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TReportRowsModel(const TrpListBase &report, QObject *parent = nullptr);

    // The report's columns or rows changed.
    void Refresh();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const TrpListBase &m_report;
    QStringList m_captions;
    int m_rows = 0;
};

// The "Print List" window: columns, sort order, fonts, margins,
// orientation, shading and hidden repeats of a list report, shown in its
// list as they will print; prints it, previews it or saves it as PDF.
class TfmPrintListBase : public QDialog {
    Q_OBJECT
public:
    // items are sorted in place; root's catalogue names the fields.
    TfmPrintListBase(TDataRefList &items, int listKind, TRootItem &root, TSettingsStore &store,
                     QWidget *owner = nullptr);
    ~TfmPrintListBase() override;

    static void Execute(TDataRefList &items, int listKind, TRootItem &root, TSettingsStore &store, QWidget *owner);

    std::unique_ptr<TColumnFieldRefList> ColumnFields;
    std::unique_ptr<TSortFieldRefList> SortFields;

    QSpinBox *edTopMargin;
    QSpinBox *edLeftMargin;
    QSpinBox *edRightMargin;
    QSpinBox *edBottomMargin;
    QRadioButton *rbMM;
    QRadioButton *rbInches;
    TRadioGroup *rgOrientation;
    QCheckBox *ckShading;
    QCheckBox *ckHideRepeatingSortValues;
    QPushButton *btColumnFields;
    QPushButton *btSortFields;
    QPushButton *btPrint;
    QPushButton *btCancel;
    QPushButton *btPreview;
    QPushButton *btPdf;
    QLineEdit *edTitle;
    // Says when the columns are too wide for the paper and print narrowed.
    QLabel *laColumnFit;
    QTableView *lvRepDef;
    QLabel *pnCount;
    QLabel *pnHelp;

    // The report as the controls define it now, laid out on pageSize.
    std::unique_ptr<TReportDocument> PrepareDocument(const QPageSize &pageSize,
                                                     QPageLayout::Orientation orientation);
    QPageLayout::Orientation Orientation() const;
    // The default printer's paper, or the locale's when there is none.
    static QPageSize DefaultPageSize();

    void Preview();
    // True when printed (the window then closes).
    bool Print();
    // Asks for a file and writes the PDF; true when written.
    bool SaveAsPdf();
    bool SaveAsPdf(const QString &fileName);

    void ChooseColumns();
    void ChooseSortOrder();

    void done(int result) override;

private:
    QWidget *buildTop();
    void buildList();
    void loadSettings();
    void saveSettings();
    void buildColumns();
    void takeColumns();
    void sortItems();
    void showSortIndicator();
    void refreshList();
    void headerClicked(int section);
    void chooseFont(bool title);
    void fitTop();
    void fitRows();
    void syncReport();
    bool checkPrinter();
    TPrintListSettings marginSettings() const;
    void showColumnFit();

    TDataRefList &m_items;
    int m_listKind;
    TRootItem &m_root;
    TSettingsStore &m_store;
    // The report the list shows; the printed report is made from it.
    TrpListBase m_report;
    TReportRowsModel *m_model;
    QWidget *m_top = nullptr;
    QString m_pdfFileName;
    // The paper the window measures the columns against: asking the
    // printer at every drag of a column would be slow.
    QPageSize m_paper = DefaultPageSize();
};
