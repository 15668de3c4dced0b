#include "gui/output/printlist.h"

#include "core/base/desktopservices.h"
#include "core/base/localfiles.h"
#include "core/base/settingsstore.h"
#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/data/fieldrefs.h"
#include "core/data/rootitem.h"
#include "core/files/process.h"
#include "core/output/printsettings.h"
#include "gui/fields/selectfields.h"
#include "gui/output/outputfolder.h"
#include "gui/output/outputservices.h"
#include "gui/output/preview.h"
#include "gui/output/reportdocument.h"
#include "gui/process/processwindow.h"
#include "gui/settings/formplacement.h"
#include "gui/settings/radiogroup.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString NoPrinterMessage = QStringLiteral("No printer found on your system; Please install a printer first.");

QString listSection(const QString &name, int kind)
{
    return TPrintListSettings::Section + QLatin1Char('\\') + name + QString::number(kind);
}

QPushButton *button(const char *name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

// ---- TReportRowsModel ---------------------------------------------------------

TReportRowsModel::TReportRowsModel(const TrpListBase &report, QObject *parent)
    : QAbstractTableModel(parent), m_report(report)
{
}

void TReportRowsModel::Refresh()
{
    beginResetModel();
    m_captions = m_report.Captions();
    m_rows = m_report.Columns.isEmpty() ? 0 : m_report.RowCount();
    endResetModel();
}

int TReportRowsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TReportRowsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_captions.size());
}

QVariant TReportRowsModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_rows)
        return {};
    return m_report.CellText(index.row(), index.column());
}

QVariant TReportRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::DisplayRole && orientation == Qt::Horizontal && section >= 0 && section < m_captions.size())
        return m_captions.at(section);
    return {};
}

// ---- TfmPrintListBase -----------------------------------------------------------

TfmPrintListBase::TfmPrintListBase(TDataRefList &items, int listKind, TRootItem &root, TSettingsStore &store,
                                   QWidget *owner)
    : QDialog(owner), m_items(items), m_listKind(listKind), m_root(root), m_store(store)
{
    setObjectName(QStringLiteral("fmPrintList"));
    setWindowTitle(tr("Print List"));
    setSizeGripEnabled(true);
    setMinimumSize(467, 380);
    ColumnFields = std::make_unique<TColumnFieldRefList>(quint8(listKind), &root);
    SortFields = std::make_unique<TSortFieldRefList>(quint8(listKind), &root);
    m_report.Items = &m_items;
    m_model = new TReportRowsModel(m_report, this);

    auto *layout = new QVBoxLayout(this);
    m_top = buildTop();
    layout->addWidget(m_top);
    buildList();
    layout->addWidget(lvRepDef, 1);
    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar"));
    status->setSizeGripEnabled(false);
    pnCount = new QLabel(status);
    pnCount->setObjectName(QStringLiteral("pnCount"));
    pnHelp = new QLabel(tr("Right click Report Title or List to change fonts"), status);
    pnHelp->setObjectName(QStringLiteral("pnHelp"));
    status->addWidget(pnCount, 1);
    status->addWidget(pnHelp, 2);
    layout->addWidget(status);

    loadSettings();
    buildColumns();
    sortItems();
    refreshList();
    pnCount->setText(tr("%1 items to be printed").arg(m_items.Count()));
    resize(640, 480);
    TFormPlacement::RestorePlacement(this, m_store);
}

TfmPrintListBase::~TfmPrintListBase() = default;

QWidget *TfmPrintListBase::buildTop()
{
    auto *top = new QWidget(this);
    auto *margins = new QGroupBox(tr("Margins"), top);
    margins->setObjectName(QStringLiteral("gbMargins"));
    auto *grid = new QGridLayout(margins);
    auto spin = [margins](const char *name) {
        auto *box = new QSpinBox(margins);
        box->setObjectName(QLatin1String(name));
        box->setRange(0, TPrintListSettings::MaxMargin);
        return box;
    };
    edTopMargin = spin("edTopMargin");
    edLeftMargin = spin("edLeftMargin");
    edRightMargin = spin("edRightMargin");
    edBottomMargin = spin("edBottomMargin");
    const QList<std::pair<QString, QSpinBox *>> boxes = {{tr("T&op"), edTopMargin},
                                                        {tr("&Left"), edLeftMargin},
                                                        {tr("&Right"), edRightMargin},
                                                        {tr("&Bottom"), edBottomMargin}};
    for (int i = 0; i < boxes.size(); ++i) {
        auto *label = new QLabel(boxes.at(i).first, margins);
        label->setBuddy(boxes.at(i).second);
        grid->addWidget(label, i / 2, (i % 2) * 2);
        grid->addWidget(boxes.at(i).second, i / 2, (i % 2) * 2 + 1);
    }
    rbMM = new QRadioButton(tr("&Millimeters"), margins);
    rbMM->setObjectName(QStringLiteral("rbMM"));
    rbInches = new QRadioButton(tr("1/10 &Inches"), margins);
    rbInches->setObjectName(QStringLiteral("rbInches"));
    grid->addWidget(rbMM, 2, 0, 1, 2);
    grid->addWidget(rbInches, 2, 2, 1, 2);

    rgOrientation = new TRadioGroup(tr("Orientation"), top);
    rgOrientation->setObjectName(QStringLiteral("rgOrientation"));
    rgOrientation->AddItem(tr("Portrait"));
    rgOrientation->AddItem(tr("Landscape"));
    ckShading = new QCheckBox(tr("&Row shading"), top);
    ckShading->setObjectName(QStringLiteral("ckShading"));
    ckHideRepeatingSortValues = new QCheckBox(tr("&Hide Repeating Sort Values"), top);
    ckHideRepeatingSortValues->setObjectName(QStringLiteral("ckHideRepeatingSortValues"));
    connect(ckHideRepeatingSortValues, &QCheckBox::toggled, this, [this] { refreshList(); });
    auto *options = new QVBoxLayout;
    options->addWidget(rgOrientation);
    options->addWidget(ckShading);
    options->addWidget(ckHideRepeatingSortValues);
    options->addStretch();

    btColumnFields = button("btColumnFields", tr("&Columns..."), top);
    btSortFields = button("btSortFields", tr("&Sort Order..."), top);
    btPrint = button("btPrint", tr("Print"), top);
    btPrint->setDefault(true);
    btCancel = button("btCancel", tr("Cancel"), top);
    btPreview = button("btPreview", tr("Pre&view..."), top);
    btPdf = button("btPdf", tr("Save as P&DF..."), top);
    connect(btColumnFields, &QPushButton::clicked, this, &TfmPrintListBase::ChooseColumns);
    connect(btSortFields, &QPushButton::clicked, this, &TfmPrintListBase::ChooseSortOrder);
    connect(btPrint, &QPushButton::clicked, this, &TfmPrintListBase::Print);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btPreview, &QPushButton::clicked, this, &TfmPrintListBase::Preview);
    connect(btPdf, &QPushButton::clicked, this, [this] { SaveAsPdf(); });
    auto *buttons = new QGridLayout;
    buttons->addWidget(btPrint, 0, 0);
    buttons->addWidget(btPreview, 1, 0);
    buttons->addWidget(btPdf, 2, 0);
    buttons->addWidget(btCancel, 3, 0);
    buttons->addWidget(btColumnFields, 0, 1);
    buttons->addWidget(btSortFields, 1, 1);
    buttons->setRowStretch(4, 1);

    edTitle = new QLineEdit(top);
    edTitle->setObjectName(QStringLiteral("edTitle"));
    edTitle->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(edTitle, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        std::unique_ptr<QMenu> menu(edTitle->createStandardContextMenu());
        menu->addSeparator();
        menu->addAction(tr("&Title Font..."), this, [this] { chooseFont(true); });
        menu->exec(edTitle->mapToGlobal(pos));
    });
    auto *titleLabel = new QLabel(tr("Report &Title"), top);
    titleLabel->setBuddy(edTitle);
    laColumnFit = new QLabel(top);
    laColumnFit->setObjectName(QStringLiteral("laColumnFit"));
    laColumnFit->setWordWrap(true);
    laColumnFit->hide();

    // The paper's printable width follows the margins and the orientation.
    for (QSpinBox *box : {edLeftMargin, edRightMargin})
        connect(box, &QSpinBox::valueChanged, this, &TfmPrintListBase::showColumnFit);
    connect(rbMM, &QRadioButton::toggled, this, &TfmPrintListBase::showColumnFit);
    connect(rgOrientation->Item(1), &QRadioButton::toggled, this, &TfmPrintListBase::showColumnFit);

    auto *row = new QHBoxLayout;
    row->addWidget(margins);
    row->addLayout(options);
    row->addStretch();
    row->addLayout(buttons);
    auto *layout = new QVBoxLayout(top);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(row);
    layout->addWidget(titleLabel);
    layout->addWidget(edTitle);
    layout->addWidget(laColumnFit);
    return top;
}

void TfmPrintListBase::buildList()
{
    lvRepDef = new QTableView(this);
    lvRepDef->setObjectName(QStringLiteral("lvRepDef"));
    lvRepDef->setModel(m_model);
    lvRepDef->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvRepDef->setSelectionMode(QAbstractItemView::SingleSelection);
    lvRepDef->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvRepDef->verticalHeader()->hide();
    lvRepDef->setWordWrap(false);
    lvRepDef->horizontalHeader()->setSectionsMovable(true);
    lvRepDef->horizontalHeader()->setSectionsClickable(true);
    lvRepDef->horizontalHeader()->setHighlightSections(false);
    lvRepDef->horizontalHeader()->setStretchLastSection(false);
    connect(lvRepDef->horizontalHeader(), &QHeaderView::sectionClicked, this, &TfmPrintListBase::headerClicked);
    connect(lvRepDef->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
        if (logical < 0 || logical >= m_report.Columns.size())
            return;
        m_report.Columns[logical].Width = size;
        showColumnFit();
    });
    lvRepDef->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lvRepDef, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        QMenu menu;
        menu.addAction(tr("&List Font..."), this, [this] { chooseFont(false); });
        menu.addSeparator();
        menu.addAction(tr("&Columns..."), this, &TfmPrintListBase::ChooseColumns);
        menu.addAction(tr("&Sort Order..."), this, &TfmPrintListBase::ChooseSortOrder);
        menu.exec(lvRepDef->viewport()->mapToGlobal(pos));
    });
}

void TfmPrintListBase::loadSettings()
{
    ColumnFields->LoadFromSettings(m_store, listSection(QStringLiteral("ColumnFields"), m_listKind));
    SortFields->LoadFromSettings(m_store, listSection(QStringLiteral("SortFields"), m_listKind));
    TPrintListSettings settings;
    settings.Load(m_store);
    rbMM->setChecked(settings.UnitsMM);
    rbInches->setChecked(!settings.UnitsMM);
    edTopMargin->setValue(settings.TopMargin);
    edLeftMargin->setValue(settings.LeftMargin);
    edRightMargin->setValue(settings.RightMargin);
    edBottomMargin->setValue(settings.BottomMargin);
    edTitle->setText(settings.Title);
    rgOrientation->SetItemIndex(settings.Orientation);
    ckShading->setChecked(settings.RowShading);
    ckHideRepeatingSortValues->setChecked(settings.HideRepeatingSortValues);
    edTitle->setFont(FontFromSetting(settings.TitleFont));
    lvRepDef->setFont(FontFromSetting(settings.DataFont));
    fitRows();
    m_pdfFileName = m_store.ReadString(TPrintListSettings::Section, QStringLiteral("PdfFileName"));
    fitTop();
}

void TfmPrintListBase::saveSettings()
{
    takeColumns();
    ColumnFields->SaveToSettings(m_store, listSection(QStringLiteral("ColumnFields"), m_listKind));
    SortFields->SaveToSettings(m_store, listSection(QStringLiteral("SortFields"), m_listKind));
    TPrintListSettings settings;
    settings.UnitsMM = rbMM->isChecked();
    settings.TopMargin = edTopMargin->value();
    settings.LeftMargin = edLeftMargin->value();
    settings.RightMargin = edRightMargin->value();
    settings.BottomMargin = edBottomMargin->value();
    settings.Title = edTitle->text();
    settings.Orientation = std::max(rgOrientation->ItemIndex(), 0);
    settings.RowShading = ckShading->isChecked();
    settings.HideRepeatingSortValues = ckHideRepeatingSortValues->isChecked();
    settings.TitleFont = SettingFromFont(edTitle->font());
    settings.DataFont = SettingFromFont(lvRepDef->font());
    settings.Save(m_store);
    if (!m_pdfFileName.isEmpty())
        m_store.WriteString(TPrintListSettings::Section, QStringLiteral("PdfFileName"), m_pdfFileName);
    TFormPlacement::SavePlacement(this, m_store);
}

void TfmPrintListBase::done(int result)
{
    saveSettings();
    QDialog::done(result);
}

void TfmPrintListBase::fitTop()
{
    m_top->setFixedHeight(m_top->sizeHint().height());
}

// Rows as high as a line of the list font, as the report prints them.
void TfmPrintListBase::fitRows()
{
    lvRepDef->verticalHeader()->setMinimumSectionSize(1);
    lvRepDef->verticalHeader()->setDefaultSectionSize(QFontMetrics(lvRepDef->font()).height() + 4);
}

// The list's columns are the report's: the fields with their widths.
void TfmPrintListBase::buildColumns()
{
    QList<TrpListBase::TColumn> columns;
    for (int i = 0; i < ColumnFields->Count(); ++i) {
        const TColumnField *column = ColumnFields->Get(i);
        if (column->Field)
            columns.append({column->Field, double(column->Width > 0 ? column->Width : 100)});
    }
    m_report.SetColumns(columns);
    m_model->Refresh();
    QHeaderView *header = lvRepDef->horizontalHeader();
    for (int logical = 0; logical < header->count(); ++logical) {
        if (header->visualIndex(logical) != logical)
            header->moveSection(header->visualIndex(logical), logical);
        header->resizeSection(logical, int(columns.at(logical).Width));
    }
    showSortIndicator();
    showColumnFit();
}

void TfmPrintListBase::showColumnFit()
{
    TReportMetrics metrics;
    metrics.Paper = PaperInReportUnits(m_paper, Orientation());
    metrics.Margins = marginSettings().MarginsInReportUnits();
    const TListReportLayout layout(m_report, metrics);
    const bool wasShown = !laColumnFit->isHidden();
    if (layout.ColumnsNarrowed()) {
        const int percent = int(layout.ColumnScale() * 100);
        QString text = tr("The columns are wider than the page: they print at %1 % of their width.").arg(percent);
        if (layout.ColumnsTooNarrow())
            text += QLatin1Char(' ')
                    + tr("Many values will be cut; choose fewer or narrower columns, smaller margins or "
                         "Landscape.");
        laColumnFit->setText(text);
    }
    laColumnFit->setVisible(layout.ColumnsNarrowed());
    // The top part is as high as what it shows.
    if (wasShown != layout.ColumnsNarrowed())
        fitTop();
}

// The columns as the user left them in the list: order and widths.
void TfmPrintListBase::takeColumns()
{
    const QHeaderView *header = lvRepDef->horizontalHeader();
    if (header->count() != m_report.Columns.size())
        return;
    ColumnFields->FreeAll();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        ColumnFields->Add(std::make_unique<TColumnField>(m_report.Columns.at(logical).Field,
                                                         header->sectionSize(logical), ColumnFields.get()));
    }
}

void TfmPrintListBase::showSortIndicator()
{
    QHeaderView *header = lvRepDef->horizontalHeader();
    header->setSortIndicatorShown(false);
    if (SortFields->Count() == 0 || !SortFields->Get(0)->Field)
        return;
    for (int c = 0; c < m_report.Columns.size(); ++c) {
        if (m_report.Columns.at(c).Field == SortFields->Get(0)->Field) {
            header->setSortIndicator(c, SortFields->Get(0)->Order > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
            header->setSortIndicatorShown(true);
        }
    }
}

void TfmPrintListBase::sortItems()
{
    m_items.SortByFields(*SortFields);
}

void TfmPrintListBase::syncReport()
{
    QList<const TDataField *> sorts;
    for (int i = 0; i < SortFields->Count(); ++i)
        sorts.append(SortFields->Get(i)->Field);
    m_report.SetSortFields(sorts);
    m_report.HideRepeating = ckHideRepeatingSortValues->isChecked();
}

void TfmPrintListBase::refreshList()
{
    syncReport();
    m_model->Refresh();
    showSortIndicator();
    if (m_model->rowCount() > 0)
        lvRepDef->selectRow(0);
}

void TfmPrintListBase::headerClicked(int section)
{
    if (section < 0 || section >= m_report.Columns.size())
        return;
    const TDataField *field = m_report.Columns.at(section).Field;
    if (SortFields->Count() == 1 && SortFields->Get(0)->Field == field) {
        SortFields->Get(0)->Order = -SortFields->Get(0)->Order;
    } else {
        SortFields->FreeAll();
        SortFields->Add(std::make_unique<TSortField>(field, 1, SortFields.get()));
    }
    sortItems();
    refreshList();
    lvRepDef->setCurrentIndex(m_model->index(0, 0));
}

void TfmPrintListBase::ChooseColumns()
{
    takeColumns();
    if (!SelectFields(*ColumnFields, tr("for List Report"), this, m_store))
        return;
    buildColumns();
    refreshList();
}

void TfmPrintListBase::ChooseSortOrder()
{
    takeColumns();
    if (!SelectFields(*SortFields, tr("for List Report"), this, m_store))
        return;
    sortItems();
    refreshList();
}

void TfmPrintListBase::chooseFont(bool title)
{
    QWidget *target = title ? static_cast<QWidget *>(edTitle) : lvRepDef;
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, target->font(), this,
                                            title ? tr("Title Font") : tr("List Font"));
    if (!ok)
        return;
    target->setFont(font);
    if (title)
        fitTop();
    else
        fitRows();
}

QPageLayout::Orientation TfmPrintListBase::Orientation() const
{
    return rgOrientation->ItemIndex() == 1 ? QPageLayout::Landscape : QPageLayout::Portrait;
}

QPageSize TfmPrintListBase::DefaultPageSize()
{
    if (OutputServices().HasPrinter()) {
        const QPageSize size = QPrinterInfo::defaultPrinter().defaultPageSize();
        if (size.isValid())
            return size;
    }
    const QLocale::MeasurementSystem system = QLocale().measurementSystem();
    return QPageSize(system == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4);
}

std::unique_ptr<TReportDocument> TfmPrintListBase::PrepareDocument(const QPageSize &pageSize,
                                                                   QPageLayout::Orientation orientation)
{
    takeColumns();
    buildColumns();
    syncReport();
    sortItems();
    const TPrintListSettings margins = marginSettings();
    TrpListBase report = m_report;
    report.Title = edTitle->text();
    report.Landscape = orientation == QPageLayout::Landscape;
    report.RowShading = ckShading->isChecked();
    TReportFonts fonts;
    fonts.Title = edTitle->font();
    fonts.Data = lvRepDef->font();
    return std::make_unique<TReportDocument>(report, fonts, pageSize, orientation, margins.MarginsInReportUnits());
}

TPrintListSettings TfmPrintListBase::marginSettings() const
{
    TPrintListSettings margins;
    margins.UnitsMM = rbMM->isChecked();
    margins.TopMargin = edTopMargin->value();
    margins.LeftMargin = edLeftMargin->value();
    margins.RightMargin = edRightMargin->value();
    margins.BottomMargin = edBottomMargin->value();
    return margins;
}

bool TfmPrintListBase::checkPrinter()
{
    if (OutputServices().HasPrinter())
        return true;
    // Without a printer the preview and the PDF file stay at hand.
    ShowInfo(NoPrinterMessage);
    return false;
}

void TfmPrintListBase::Preview()
{
    const std::unique_ptr<TReportDocument> document = PrepareDocument(DefaultPageSize(), Orientation());
    TfmPreview preview(*document, m_store, this);
    connect(&preview, &TfmPreview::PrintRequested, this, [this, &preview] {
        if (Print())
            preview.accept();
    });
    connect(&preview, &TfmPreview::PdfRequested, this, [this] { SaveAsPdf(); });
    preview.exec();
    refreshList();
}

bool TfmPrintListBase::Print()
{
    if (!checkPrinter())
        return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(Orientation());
    printer.setDocName(edTitle->text());
    const int estimate = PrepareDocument(printer.pageLayout().pageSize(), Orientation())->PageCount();
    if (!OutputServices().ChoosePrinter(printer, estimate, this))
        return false;
    const std::unique_ptr<TReportDocument> document =
        PrepareDocument(printer.pageLayout().pageSize(), printer.pageLayout().orientation());
    const bool range = printer.printRange() == QPrinter::PageRange;
    TProcess process;
    AttachProcessWindow(process, this);
    if (!PrintReport(*document, printer, range ? printer.fromPage() : 0, range ? printer.toPage() : 0, process)) {
        if (!process.IsCancelled())
            ShowInfo(tr("The report could not be printed."));
        return false;
    }
    accept();
    return true;
}

bool TfmPrintListBase::SaveAsPdf()
{
    const QString name = (edTitle->text().trimmed().isEmpty() ? tr("List") : edTitle->text().trimmed())
                         + QStringLiteral(".pdf");
    const QString lastFolder = m_pdfFileName.isEmpty() ? QString() : LocalParentFolder(m_pdfFileName);
    const QString start = QDir(ProposedOutputFolder(lastFolder, m_root.FileName)).filePath(name);
    const QString fileName =
        OutputServices().ChooseSaveFile(this, tr("Save as PDF"), start, tr("PDF Files (*.pdf)"), QStringLiteral("pdf"));
    if (fileName.isEmpty())
        return false;
    return SaveAsPdf(fileName);
}

bool TfmPrintListBase::SaveAsPdf(const QString &fileName)
{
    const std::unique_ptr<TReportDocument> document = PrepareDocument(DefaultPageSize(), Orientation());
    TProcess process;
    AttachProcessWindow(process, this);
    QString error;
    if (!SaveReportPdf(*document, fileName, process, error)) {
        if (!process.IsCancelled())
            ShowInfo(tr("Could not write the PDF file \"%1\":\n%2").arg(QDir::toNativeSeparators(fileName), error));
        return false;
    }
    m_pdfFileName = fileName;
    return true;
}

void TfmPrintListBase::Execute(TDataRefList &items, int listKind, TRootItem &root, TSettingsStore &store,
                               QWidget *owner)
{
    TfmPrintListBase window(items, listKind, root, store, owner);
    window.exec();
}
