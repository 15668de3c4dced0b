#include "gui/output/stats.h"

#include "core/base/desktopservices.h"
#include "core/base/settingsstore.h"
#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/data/lookupitems.h"
#include "core/data/rootitem.h"
#include "core/mp3model/mp3track.h"
#include "core/output/printsettings.h"
#include "core/output/trackstats.h"
#include "gui/output/barchart.h"
#include "gui/output/outputservices.h"
#include "gui/settings/formplacement.h"
#include "gui/shell/checkablebuttons.h"
#include "gui/shell/columnfit.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString Section = QStringLiteral("fmStats");
const QString NoPrinterMessage = QStringLiteral("No printer found on your system; Please install a printer first.");

bool isChartField(const TDataField *field, int listKind)
{
    return dynamic_cast<const TLookupDataField *>(field) && field->ListKinds.contains(listKind);
}

// The totals of a large library ("5208 hrs, 20 mins"): the list is made
// wide enough to show them whole before the user widens it.
QList<QPair<QString, QString>> typicalStatistics()
{
    constexpr qint64 tracks = 75000;
    TTrackTotals totals;
    totals.Count = tracks;
    totals.Length = tracks * 250;
    totals.Size = tracks * 6 * 1048576;
    totals.Bitrate = tracks * 256;
    return totals.Rows();
}

// The chart fills the printable area of the page, keeping its proportions.
void paintChartPage(const TBarChart &chart, QPainter &painter, const QRect &page)
{
    const QSize size = chart.size().scaled(page.size(), Qt::KeepAspectRatio);
    const double scale = double(size.width()) / std::max(chart.width(), 1);
    painter.save();
    painter.translate(page.topLeft());
    painter.scale(scale, scale);
    chart.PaintChart(painter, QRect(QPoint(0, 0), chart.size()));
    painter.restore();
}

} // namespace

TfmStatsBase::TfmStatsBase(TRootItem &root, TSettingsStore &store, QWidget *owner)
    : QDialog(owner), m_root(root), m_store(store)
{
    setObjectName(QStringLiteral("fmStats"));
    setWindowTitle(tr("Statistics"));
    setSizeGripEnabled(true);
    setMinimumSize(350, 214);
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("tbStats"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    pmLookupLists = new QMenu(this);
    pmLookupLists->setObjectName(QStringLiteral("pmLookupLists"));
    btLookupLists = new QToolButton(bar);
    btLookupLists->setObjectName(QStringLiteral("btLookupLists"));
    btLookupLists->setToolTip(tr("Select List"));
    btLookupLists->setMenu(pmLookupLists);
    btLookupLists->setPopupMode(QToolButton::InstantPopup);
    bar->addWidget(btLookupLists);
    bar->addSeparator();

    auto action = [this](const char *name, const QString &text) {
        auto *a = new QAction(text, this);
        a->setObjectName(QLatin1String(name));
        a->setToolTip(QString(text).remove(QLatin1Char('&')));
        return a;
    };
    acSortCount = action("acSortCount", tr("Order by &Count"));
    acSortName = action("acSortName", tr("Order by &Name"));
    acPrint = action("acPrint", tr("&Print"));
    acPrint->setIcon(QIcon::fromTheme(QStringLiteral("document-print")));
    acSavePdf = action("acSavePdf", tr("Save as P&DF..."));
    acSortCount->setCheckable(true);
    acSortName->setCheckable(true);
    auto *order = new QActionGroup(this);
    order->addAction(acSortCount);
    order->addAction(acSortName);
    // Toggled, not triggered: an assistive tool's toggle checks the action
    // without triggering it.
    connect(acSortCount, &QAction::toggled, this, [this](bool checked) {
        if (checked)
            SetSortMode(0);
    });
    connect(acSortName, &QAction::toggled, this, [this](bool checked) {
        if (checked)
            SetSortMode(1);
    });
    connect(acPrint, &QAction::triggered, this, &TfmStatsBase::PrintChart);
    connect(acSavePdf, &QAction::triggered, this, [this] {
        const QString name = OutputServices().ChooseSaveFile(this, tr("Save as PDF"), QString(),
                                                             tr("PDF Files (*.pdf)"), QStringLiteral("pdf"));
        if (!name.isEmpty())
            SaveChartPdf(name);
    });
    auto tool = [bar](QAction *a, const char *name) {
        bar->addAction(a);
        auto *b = qobject_cast<QToolButton *>(bar->widgetForAction(a));
        b->setObjectName(QLatin1String(name));
        return b;
    };
    btSortCount = tool(acSortCount, "btSortCount");
    btSortName = tool(acSortName, "btSortName");
    MakeCheckableButtonReachable(btSortCount);
    MakeCheckableButtonReachable(btSortName);
    bar->addSeparator();
    btPrint = tool(acPrint, "btPrint");
    tool(acSavePdf, "btSavePdf");
    bar->addSeparator();
    btClose = new QToolButton(bar);
    btClose->setObjectName(QStringLiteral("btClose"));
    btClose->setText(tr("&Close"));
    btClose->setToolTip(tr("Close"));
    connect(btClose, &QToolButton::clicked, this, &QDialog::accept);
    bar->addWidget(btClose);

    auto *chartPane = new QWidget(this);
    chLookup = new TBarChart(chartPane);
    sbChart = new QScrollBar(Qt::Horizontal, chartPane);
    sbChart->setObjectName(QStringLiteral("sbChart"));
    sbChart->setMinimum(1);
    auto *chartLayout = new QVBoxLayout(chartPane);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->addWidget(chLookup, 1);
    chartLayout->addWidget(sbChart);
    connect(sbChart, &QScrollBar::valueChanged, chLookup, &TBarChart::SetPage);
    connect(chLookup, &TBarChart::PagesChanged, this, &TfmStatsBase::updatePaging);

    pnList = new QWidget(this);
    pnList->setObjectName(QStringLiteral("pnList"));
    lvStats = new QTreeWidget(pnList);
    lvStats->setObjectName(QStringLiteral("lvStats"));
    lvStats->setRootIsDecorated(false);
    lvStats->setHeaderLabels({tr("Statistic"), tr("Value")});
    lvStats->header()->setSectionsClickable(false);
    lvStats->setSelectionBehavior(QAbstractItemView::SelectRows);
    int nameWidth = 0;
    int valueWidth = 0;
    for (const auto &[statistic, value] : typicalStatistics()) {
        nameWidth = std::max(nameWidth, FittingColumnWidth(*lvStats, lvStats->headerItem()->text(0), statistic));
        valueWidth = std::max(valueWidth, FittingColumnWidth(*lvStats, lvStats->headerItem()->text(1), value));
    }
    lvStats->setColumnWidth(0, nameWidth);
    m_designListWidth = nameWidth + valueWidth + 2 * lvStats->frameWidth()
                        + lvStats->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, lvStats);
    auto *listLayout = new QVBoxLayout(pnList);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->addWidget(lvStats);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->addWidget(chartPane);
    m_splitter->addWidget(pnList);
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 0);

    auto *status = new QStatusBar(this);
    pnCount = new QLabel(status);
    pnCount->setObjectName(QStringLiteral("pnCount"));
    status->addWidget(pnCount, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_splitter, 1);
    layout->addWidget(status);
    resize(760, 480);
}

TfmStatsBase::~TfmStatsBase() = default;

void TfmStatsBase::Open(const TDataField *field, int listKind)
{
    ListKind = listKind;
    Field = field;
    if (!isChartField(Field, ListKind)) {
        Field = nullptr;
        for (int i = 0; i < m_root.Fields->Count() && !Field; ++i)
            if (isChartField(m_root.Fields->Get(i), ListKind))
                Field = m_root.Fields->Get(i);
    }
    loadSettings();
    CountValues();
    buildFieldMenu();
    FillStatistics();
    fillChart();
    UpdateSortButtons();
    UpdateStatus();
}

void TfmStatsBase::loadSettings()
{
    TFormPlacement::RestorePlacement(this, m_store);
    SortMode = ReadChoice(m_store, Section, QStringLiteral("SortMode"), 0, 2);
    int listWidth = m_store.ReadInteger(Section, QStringLiteral("ListWidth"), m_designListWidth);
    if (listWidth < 0 || listWidth > 4000)
        listWidth = m_designListWidth;
    m_splitter->setSizes({std::max(width() - listWidth, 1), listWidth});
    for (int c = 0; c < lvStats->columnCount(); ++c) {
        const int width = m_store.ReadInteger(Section, QStringLiteral("Col%1Width").arg(c), lvStats->columnWidth(c));
        if (width > 0 && width <= 4000)
            lvStats->setColumnWidth(c, width);
    }
}

void TfmStatsBase::saveSettings()
{
    TFormPlacement::SavePlacement(this, m_store);
    m_store.WriteInteger(Section, QStringLiteral("SortMode"), SortMode);
    m_store.WriteInteger(Section, QStringLiteral("ListWidth"), m_splitter->sizes().value(1, pnList->width()));
    for (int c = 0; c < lvStats->columnCount(); ++c)
        m_store.WriteInteger(Section, QStringLiteral("Col%1Width").arg(c), lvStats->columnWidth(c));
}

void TfmStatsBase::done(int result)
{
    saveSettings();
    QDialog::done(result);
}

void TfmStatsBase::CountValues()
{
    m_counts.clear();
    if (!Field)
        return;
    const TBusyCursor busy;
    qint32 noValue = 0;
    const TValueOrder order = SortMode == 1 ? TValueOrder::ByName : TValueOrder::ByCount;
    for (const TValueCount &count : CountLookupValues(m_root, Field, order, noValue))
        m_counts.append({count.Value->GetDisplayName(), count.Count});
}

void TfmStatsBase::buildFieldMenu()
{
    pmLookupLists->clear();
    auto *group = new QActionGroup(pmLookupLists);
    for (int i = 0; i < m_root.Fields->Count(); ++i) {
        const TDataField *field = m_root.Fields->Get(i);
        if (!isChartField(field, ListKind))
            continue;
        QAction *entry = pmLookupLists->addAction(GetFieldDisplayName(field));
        entry->setToolTip(GetFieldDisplayName(field));
        entry->setCheckable(true);
        entry->setChecked(field == Field);
        entry->setData(field->ID);
        group->addAction(entry);
        connect(entry, &QAction::triggered, this, [this, id = field->ID] {
            ChooseField(m_root.Fields->FindByID(id));
        });
    }
    btLookupLists->setText(tr("List: %1").arg(Field ? GetFieldDisplayName(Field) : QString()));
}

void TfmStatsBase::ChooseField(const TDataField *field)
{
    if (!field || field == Field || !isChartField(field, ListKind))
        return;
    Field = field;
    btLookupLists->setText(tr("List: %1").arg(GetFieldDisplayName(Field)));
    for (QAction *entry : pmLookupLists->actions())
        entry->setChecked(entry->data().toInt() == field->ID);
    CountValues();
    fillChart();
}

void TfmStatsBase::SetSortMode(int mode)
{
    if (mode == SortMode) {
        UpdateSortButtons();
        return;
    }
    SortMode = mode;
    CountValues();
    fillChart();
    UpdateSortButtons();
}

void TfmStatsBase::UpdateSortButtons()
{
    acSortName->setChecked(SortMode == 1);
    acSortCount->setChecked(SortMode == 0);
}

void TfmStatsBase::UpdateStatus()
{
    pnCount->setText(tr("Nr Items in database: %1").arg(m_root.Items->Count()));
}

void TfmStatsBase::FillStatistics()
{
    lvStats->clear();
}

void TfmStatsBase::fillChart()
{
    chLookup->SetTitle(tr("Number of items per %1").arg(Field ? GetFieldDisplayName(Field) : QString()));
    QList<TBarChart::TBar> bars;
    bars.reserve(m_counts.size());
    for (const auto &[label, count] : std::as_const(m_counts))
        bars.append({label, count});
    chLookup->SetBars(bars);
    updatePaging();
}

void TfmStatsBase::updatePaging()
{
    const int pages = chLookup->PageCount();
    const QSignalBlocker blocker(sbChart);
    sbChart->setMaximum(pages);
    sbChart->setPageStep(pages / 5 + 1);
    sbChart->setValue(chLookup->Page());
    sbChart->setVisible(pages > 1);
}

void TfmStatsBase::PrintChart()
{
    if (!OutputServices().HasPrinter()) {
        ShowInfo(NoPrinterMessage);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&printer)) {
        ShowInfo(tr("The chart could not be printed."));
        return;
    }
    paintChartPage(*chLookup, painter, printer.pageLayout().paintRectPixels(printer.resolution()).translated(
                                           -printer.pageLayout().paintRectPixels(printer.resolution()).topLeft()));
    painter.end();
}

bool TfmStatsBase::SaveChartPdf(const QString &fileName)
{
    QSaveFile file(fileName);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) {
        QPdfWriter writer(&file);
        writer.setTitle(chLookup->Title());
        writer.setCreator(QStringLiteral("Brimlow Tunebase"));
        writer.setPageOrientation(QPageLayout::Landscape);
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        QPainter painter;
        ok = painter.begin(&writer);
        if (ok) {
            paintChartPage(*chLookup, painter, QRect(0, 0, writer.width(), writer.height()));
            painter.end();
        }
    }
    ok = ok && file.commit();
    if (!ok)
        ShowInfo(tr("Could not write the PDF file \"%1\":\n%2").arg(fileName, file.errorString()));
    return ok;
}

// ---- TfmStats -------------------------------------------------------------------------

TfmStats::TfmStats(TRootItem &root, TSettingsStore &store, QWidget *owner)
    : TfmStatsBase(root, store, owner)
{
    setWindowTitle(tr("Statistics on Collection"));
    lvStats->header()->setStretchLastSection(true);
}

void TfmStats::FillStatistics()
{
    lvStats->clear();
    const auto *tracks = dynamic_cast<const TMp3TrackList *>(Root().Items.get());
    if (!tracks)
        return;
    for (const auto &[statistic, value] : TTrackTotals::Of(*tracks).Rows())
        lvStats->addTopLevelItem(new QTreeWidgetItem({statistic, value}));
    // Totals such as "210 hrs, 45 mins, 12 secs" are wider than the stored
    // column: the column grows to show them whole.
    for (int c = 0; c < lvStats->columnCount(); ++c) {
        const int stored = lvStats->columnWidth(c);
        lvStats->resizeColumnToContents(c);
        lvStats->setColumnWidth(c, std::max(stored, lvStats->columnWidth(c)));
    }
}

void TfmStats::Execute(TRootItem &root, TSettingsStore &store, QWidget *owner, const TDataField *field,
                       int listKind)
{
    TfmStats window(root, store, owner);
    window.Open(field, listKind);
    window.exec();
}
