#include "gui/lookups/lookuplistwindow.h"

#include "core/base/desktopservices.h"
#include "core/base/settingsstore.h"
#include "core/data/datafield.h"
#include "core/data/datalists.h"
#include "core/data/fieldlists.h"
#include "core/data/lookupitems.h"
#include "core/data/lookuplists.h"
#include "core/data/lookupmaintenance.h"
#include "core/data/rootitem.h"
#include "core/settings/generalhelpers.h"
#include "core/settings/inisettingsstore.h"
#include "gui/explorer/brimlowlistview.h"
#include "gui/explorer/explorerlistmodel.h"
#include "gui/explorer/sizingsplitter.h"
#include "gui/lookups/lookupitemwindows.h"
#include "gui/settings/formplacement.h"

#include <QAction>
#include <QActionGroup>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString Section = QStringLiteral("fmLookupList");
constexpr int DesignMergeListHeight = 153;

// A field name as one part of a section path: the store's own escapes,
// and the separators a name may hold ("AC/DC", "Artist\Band") escaped too,
// so they cannot split the path.
QString sectionPart(const QString &name)
{
    return TIniSettingsStore::EncodeName(name)
        .replace(QLatin1Char('\\'), QLatin1String("%5C"))
        .replace(QLatin1Char('/'), QLatin1String("%2F"));
}

} // namespace

TfmLookupListBase::TfmLookupListBase(QWidget *owner, TRootItem &root, TSettingsStore &store)
    : QDialog(owner), m_root(root), m_store(store)
{
    setObjectName(QStringLiteral("fmLookupListBase"));
    setWindowTitle(tr("Lookup Lists"));
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinMaxButtonsHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);
    m_rows = std::make_unique<TDataRefList>();
    m_mergeRows = std::make_unique<TDataRefList>();

    createToolBar();
    createLists();
    auto *status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    pnCount = new QLabel(status);
    pnCount->setObjectName(QStringLiteral("pnCount"));
    pnCount->setMinimumWidth(234);
    pnSearch = new QLabel(status);
    pnSearch->setObjectName(QStringLiteral("pnSearch"));
    status->addWidget(pnCount);
    status->addWidget(pnSearch, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tbMain);
    layout->addWidget(spMerge, 1);
    layout->addWidget(status);
    connectCommands();
    // The design width, or wider where the system font makes the tool bar
    // longer: its Close button must not hide behind the overflow arrow.
    resize(std::max(741, tbMain->sizeHint().width()), 533);
}

TfmLookupListBase::~TfmLookupListBase()
{
    // The views read the rows and the pictures, which are members: they go
    // first, while everything they read is still there.
    m_listReady = false;
    m_mergeReady = false;
    hide();
    delete spMerge;
}

QAction *TfmLookupListBase::createAction(const char *name, const QString &caption, const QString &hint, Image image)
{
    auto *action = new QAction(ilLookupLists.Icon(image), caption, this);
    action->setObjectName(QLatin1String(name));
    action->setToolTip(hint);
    action->setStatusTip(hint);
    // The window's shortcuts come before its controls' keys.
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    return action;
}

void TfmLookupListBase::createToolBar()
{
    // In the order of Image: the desktop theme's picture where it has one.
    const std::pair<const char *, const char *> pictures[] = {
        {"view-list-details", "folder"}, {"list-add", "action-add"}, {"document-edit", "action-edit"},
        {"list-remove", "action-remove"}, {"", "action-selectunused"}, {"view-refresh", "action-refresh"},
        {"", "action-mergefrom"}, {"", "action-mergeto"}, {"edit-clear", "action-clear"},
        {"window-close", "action-close"}};
    for (const auto &[theme, own] : pictures)
        ilLookupLists.Add(images::ActionIcon(QLatin1String(theme), QLatin1String(own)));

    acAdd = createAction("acAdd", tr("Add Item"), tr("Add Item"), ImgAdd);
    acAdd->setShortcut(QKeySequence(Qt::Key_Insert));
    acEdit = createAction("acEdit", tr("Edit Item"), tr("Edit Item"), ImgEdit);
    acEdit->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    acRemove = createAction("acRemove", tr("Remove Selected Items"), tr("Remove Selected Items"), ImgRemove);
    acRemove->setShortcut(QKeySequence(Qt::Key_Delete));
    acSelectUnused = createAction("acSelectUnused", tr("Select Unused"), tr("Select Unused"), ImgSelectUnused);
    acRefresh = createAction("acRefresh", tr("&Refresh"), tr("Refresh"), ImgRefresh);
    acRefresh->setShortcut(QKeySequence(Qt::Key_F5));
    acMergeFrom = createAction("acMergeFrom", tr("Add to Merge List"), tr("Add Select Item(s) to Merge List"),
                               ImgMergeFrom);
    acMergeTo = createAction("acMergeTo", tr("Merge To"), tr("Merge All Merge List Items to Select Item"), ImgMergeTo);
    acClearMergeList = createAction("acClearMergeList", tr("Clear Merge List"), tr("Clear Merge List"),
                                    ImgClearMergeList);

    tbMain = new QToolBar(this);
    tbMain->setObjectName(QStringLiteral("tbMain"));
    tbMain->setIconSize(QSize(18, 18));
    tbMain->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    pmLookupLists = new QMenu(this);
    pmLookupLists->setObjectName(QStringLiteral("pmLookupLists"));
    btLookupLists = new QToolButton(tbMain);
    btLookupLists->setObjectName(QStringLiteral("btLookupLists"));
    btLookupLists->setToolTip(tr("Select List"));
    btLookupLists->setMenu(pmLookupLists);
    btLookupLists->setPopupMode(QToolButton::InstantPopup);
    btLookupLists->setToolButtonStyle(Qt::ToolButtonTextOnly);
    btLookupLists->setMinimumWidth(150);
    tbMain->addWidget(btLookupLists);
    tbMain->addSeparator();
    auto button = [this](QAction *action, const char *name) {
        tbMain->addAction(action);
        tbMain->widgetForAction(action)->setObjectName(QLatin1String(name));
    };
    button(acAdd, "btAddItem");
    button(acEdit, "btEditItem");
    button(acRemove, "btRemoveItem");
    tbMain->addSeparator();
    button(acSelectUnused, "btSelectUnused");
    tbMain->addSeparator();
    button(acRefresh, "btRefresh");
    tbMain->addSeparator();
    btClose = new QToolButton(tbMain);
    btClose->setObjectName(QStringLiteral("btClose"));
    btClose->setText(tr("&Close"));
    btClose->setToolTip(tr("Close"));
    btClose->setIcon(ilLookupLists.Icon(ImgClose));
    btClose->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    tbMain->addWidget(btClose);
}

void TfmLookupListBase::createLists()
{
    spMerge = new TSizingSplitter(Qt::Vertical, this);
    spMerge->setObjectName(QStringLiteral("spMerge"));
    spMerge->setHandleWidth(7);

    m_listModel = new TExplorerListModel(*m_rows, m_listReady, m_images.ilSmall, m_images.ilLarge, this);
    m_listModel->SetKind(2);
    lvList = new TBrimlowListView(spMerge);
    lvList->setObjectName(QStringLiteral("lvList"));
    lvList->SetModel(m_listModel);
    lvList->ImageIndexAscending = images::SortAscending;
    lvList->ImageIndexDescending = images::SortDescending;
    lvList->DetailsView()->setObjectName(QStringLiteral("lvListDetails"));
    lvList->Header()->setSectionsMovable(false);

    pnBottom = new QWidget(spMerge);
    pnBottom->setObjectName(QStringLiteral("pnBottom"));
    auto *mergeBar = new QToolBar(pnBottom);
    mergeBar->setObjectName(QStringLiteral("tbMerge"));
    mergeBar->setIconSize(QSize(18, 18));
    mergeBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    laMergeList = new QLabel(tr("Merge List"), mergeBar);
    laMergeList->setObjectName(QStringLiteral("laMergeList"));
    laMergeList->setContentsMargins(4, 0, 8, 0);
    mergeBar->addWidget(laMergeList);
    const std::pair<QAction *, const char *> buttons[] = {
        {acMergeFrom, "btMergeFrom"}, {acMergeTo, "btMergeTo"}, {acClearMergeList, "btClearMergeList"}};
    for (const auto &[action, name] : buttons) {
        mergeBar->addAction(action);
        mergeBar->widgetForAction(action)->setObjectName(QLatin1String(name));
    }

    m_mergeModel = new TExplorerListModel(*m_mergeRows, m_mergeReady, m_images.ilSmall, m_images.ilLarge, this);
    m_mergeModel->SetKind(2);
    lvMerge = new QTableView(pnBottom);
    lvMerge->setObjectName(QStringLiteral("lvMerge"));
    lvMerge->setModel(m_mergeModel);
    lvMerge->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvMerge->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvMerge->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvMerge->setShowGrid(true);
    lvMerge->setWordWrap(false);
    lvMerge->verticalHeader()->hide();
    lvMerge->verticalHeader()->setDefaultSectionSize(lvMerge->fontMetrics().height() + 6);
    lvMerge->horizontalHeader()->setSectionsClickable(false);
    lvMerge->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    auto *bottom = new QVBoxLayout(pnBottom);
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->setSpacing(0);
    bottom->addWidget(mergeBar);
    bottom->addWidget(lvMerge, 1);

    spMerge->SetWidgets(pnBottom, lvList, false);
    spMerge->SetPanelSize(DesignMergeListHeight);
}

void TfmLookupListBase::connectCommands()
{
    connect(acAdd, &QAction::triggered, this, &TfmLookupListBase::AddItem);
    connect(acEdit, &QAction::triggered, this, &TfmLookupListBase::EditItem);
    connect(acRemove, &QAction::triggered, this, &TfmLookupListBase::RemoveItems);
    connect(acSelectUnused, &QAction::triggered, this, &TfmLookupListBase::SelectUnused);
    connect(acRefresh, &QAction::triggered, this, &TfmLookupListBase::Refresh);
    connect(acMergeFrom, &QAction::triggered, this, &TfmLookupListBase::AddToMergeList);
    connect(acMergeTo, &QAction::triggered, this, &TfmLookupListBase::MergeTo);
    connect(acClearMergeList, &QAction::triggered, this, &TfmLookupListBase::ClearMergeList);
    connect(btClose, &QToolButton::clicked, this, &QDialog::close);
    connect(lvList, &TBrimlowListView::OpenRequested, this, &TfmLookupListBase::EditItem);
    connect(lvList, &TBrimlowListView::HeaderClicked, this, &TfmLookupListBase::SortByColumn);
    connect(lvList, &TBrimlowListView::TypeAhead, this, &TfmLookupListBase::typeAhead);
    connect(lvList, &TBrimlowListView::SelectionChanged, this, &TfmLookupListBase::updateActions);
}

// ---- opening and closing ------------------------------------------------------------

QList<const TDataField *> TfmLookupListBase::lookupFields() const
{
    QList<const TDataField *> fields;
    for (TDataItem *item : *m_root.Fields) {
        const auto *field = static_cast<const TDataField *>(item);
        if (field->isLookupField() && m_root.GetLookupList(field))
            fields.append(field);
    }
    return fields;
}

void TfmLookupListBase::showEvent(QShowEvent *event)
{
    if (!m_opened) {
        m_opened = true;
        TFormPlacement::RestorePlacement(this, m_store);
        const TDataField *field = m_initialField;
        if (!field)
            field = m_root.Fields->FindByID(m_store.ReadInteger(Section, QStringLiteral("FieldID"), -1));
        if (!field || !field->isLookupField() || !m_root.GetLookupList(field)) {
            const QList<const TDataField *> fields = lookupFields();
            field = fields.isEmpty() ? nullptr : fields.first();
        }
        spMerge->SetPanelSize(m_store.ReadInteger(Section, QStringLiteral("MergeListHeight"), DesignMergeListHeight));
        openOn(field);
    }
    QDialog::showEvent(event);
}

void TfmLookupListBase::openOn(const TDataField *field)
{
    m_field = field;
    m_list = field ? m_root.GetLookupList(field) : nullptr;
    m_columns.clear();
    if (auto *lookupField = dynamic_cast<TLookupDataField *>(const_cast<TDataField *>(field))) {
        for (const TLookupColumn &column : lookupField->GetColumns())
            m_columns.append(column);
    }
    if (!m_sortBy || std::none_of(m_columns.cbegin(), m_columns.cend(),
                                  [this](const TLookupColumn &c) { return c.Field == m_sortBy; }))
        m_sortBy = m_root.Fields->FindByID(FieldIds::SortName);
    fillListMenu();
    buildColumns();
    recount();
    sortList();
    ClearMergeList();
    showList(nullptr);
}

void TfmLookupListBase::fillListMenu()
{
    pmLookupLists->clear();
    auto *group = new QActionGroup(pmLookupLists);
    for (const TDataField *field : lookupFields()) {
        QAction *item = pmLookupLists->addAction(ilLookupLists.Icon(ImgList), GetFieldDisplayName(field));
        item->setToolTip(GetFieldDisplayName(field));
        item->setCheckable(true);
        item->setChecked(field == m_field);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, field] { ChooseList(field); });
    }
    btLookupLists->setText(tr("List: %1").arg(m_field ? GetFieldDisplayName(m_field) : QString()));
    // Screen readers name the lists by what they hold.
    const QString listName = m_field ? GetFieldDisplayName(m_field) : QString();
    lvList->DetailsView()->setAccessibleName(listName);
    lvList->IconView()->setAccessibleName(listName);
    lvMerge->setAccessibleName(tr("Merge List"));
}

QString TfmLookupListBase::columnSection() const
{
    return Section + QLatin1String("\\Columns\\") + sectionPart(m_field ? GetFieldDisplayName(m_field) : QString());
}

void TfmLookupListBase::buildColumns()
{
    QList<TListColumn> columns;
    for (const TLookupColumn &column : std::as_const(m_columns))
        columns.append({GetFieldDisplayName(column.Field), column.Field->ID, column.Field});
    m_listModel->SetColumns(columns);
    for (TListColumn &column : columns)
        column.Tag = 0;   // the merge list shows no sort arrow
    m_mergeModel->SetColumns(columns);
    const QString section = columnSection();
    for (int i = 0; i < m_columns.size(); ++i) {
        const TLookupColumn &column = m_columns.at(i);
        const int width = m_store.ReadInteger(section, GetFieldDisplayName(column.Field), column.Width);
        lvList->Header()->resizeSection(i, width);
        lvMerge->horizontalHeader()->resizeSection(i, width);
    }
    if (m_sortBy)
        lvList->SetSortIndicator(m_sortBy->ID, m_sortDirection == 1);
}

void TfmLookupListBase::storeColumnWidths()
{
    if (!m_field)
        return;
    const QString section = columnSection();
    for (int i = 0; i < m_columns.size(); ++i)
        m_store.WriteInteger(section, GetFieldDisplayName(m_columns.at(i).Field), lvList->Header()->sectionSize(i));
}

void TfmLookupListBase::done(int result)
{
    storeColumnWidths();
    if (m_field)
        m_store.WriteInteger(Section, QStringLiteral("FieldID"), m_field->ID);
    m_store.WriteInteger(Section, QStringLiteral("MergeListHeight"), spMerge->PanelSize());
    TFormPlacement::SavePlacement(this, m_store);
    QDialog::done(result);
}

// ---- the list ------------------------------------------------------------------------

TLookupItem *TfmLookupListBase::RowItem(int row) const
{
    return row >= 0 && row < m_rows->Count() ? static_cast<TLookupItem *>(m_rows->Get(row)) : nullptr;
}

int TfmLookupListBase::RowOf(const TLookupItem *item) const
{
    return item ? m_rows->IndexOf(item) : -1;
}

QList<TLookupItem *> TfmLookupListBase::SelectedItems() const
{
    QList<TLookupItem *> items;
    for (const int row : lvList->SelectedRows()) {
        if (TLookupItem *item = RowItem(row))
            items.append(item);
    }
    return items;
}

QList<TLookupItem *> TfmLookupListBase::MergeItems() const
{
    QList<TLookupItem *> items;
    for (TDataItem *item : *m_mergeRows)
        items.append(static_cast<TLookupItem *>(item));
    return items;
}

void TfmLookupListBase::recount()
{
    if (m_field)
        RecountLookupUsage(m_root, m_field);
}

void TfmLookupListBase::sortList()
{
    if (m_list && m_sortBy)
        m_list->SortByField(m_sortBy, m_sortDirection);
    if (m_sortBy)
        lvList->SetSortIndicator(m_sortBy->ID, m_sortDirection == 1);
}

void TfmLookupListBase::showList(const TLookupItem *item)
{
    m_listReady = false;
    m_rows->Clear();
    if (m_list) {
        m_rows->SetCapacity(m_list->Count());
        for (TDataItem *value : *m_list)
            m_rows->Add(value);
    }
    m_listReady = true;
    m_listModel->SetRowCount(m_rows->Count());
    const int row = RowOf(item);
    lvList->SelectOnly(row >= 0 ? row : 0);
    if (m_rows->isEmpty())
        lvList->DetailsView()->selectionModel()->clear();
    lvList->DetailsView()->viewport()->update();
    updateActions();
}

void TfmLookupListBase::updateActions()
{
    const QList<int> rows = lvList->SelectedRows();
    const bool selected = !rows.isEmpty();
    acEdit->setEnabled(selected);
    acRemove->setEnabled(selected);
    acMergeFrom->setEnabled(selected);
    acMergeTo->setEnabled(rows.size() == 1 && !m_mergeRows->isEmpty()
                          && m_mergeRows->IndexOf(RowItem(rows.first())) < 0);
    acClearMergeList->setEnabled(!m_mergeRows->isEmpty());
    acAdd->setEnabled(m_list != nullptr);
    acSelectUnused->setEnabled(m_list != nullptr);
    pnCount->setText(tr("%1 items").arg(m_list ? m_list->Count() : 0));
}

void TfmLookupListBase::SortByColumn(int section)
{
    if (section < 0 || section >= m_columns.size())
        return;
    const TDataField *field = m_columns.at(section).Field;
    if (field == m_sortBy) {
        m_sortDirection = -m_sortDirection;
    } else {
        m_sortBy = field;
        m_sortDirection = 1;
    }
    sortList();
    showList(nullptr);
}

int TfmLookupListBase::FindRow(const QString &text) const
{
    if (!m_sortBy || text.isEmpty())
        return -1;
    const QString typed = text.toLower();
    for (int row = 0; row < m_rows->Count(); ++row) {
        if (m_rows->Get(row)->GetValueAsString(m_sortBy).toLower().startsWith(typed))
            return row;
    }
    return -1;
}

void TfmLookupListBase::typeAhead(const QString &text)
{
    pnSearch->setText(text);
    const int row = FindRow(text);
    if (row >= 0)
        lvList->SelectOnly(row);
}

void TfmLookupListBase::ChooseList(const TDataField *field)
{
    if (!field || field == m_field)
        return;
    storeColumnWidths();
    openOn(field);
}

void TfmLookupListBase::Refresh()
{
    const QList<TLookupItem *> selected = SelectedItems();
    // Counts shown a while ago may be stale: the album window can change
    // tracks.
    recount();
    showList(selected.isEmpty() ? nullptr : selected.first());
}

// ---- adding, editing, removing --------------------------------------------------------

void TfmLookupListBase::releaseViews()
{
    m_listReady = false;
    m_listModel->Reset();
    if (m_beforeFree)
        m_beforeFree();
}

bool TfmLookupListBase::editLookupItem(TLookupItem *item, const QString &verb)
{
    TLookupEditContext context;
    context.BeforeFree = [this] {
        if (m_beforeFree)
            m_beforeFree();
    };
    const bool ok = EditLookupItem(LookupItemWindowFor(m_field), this, item,
                                   verb + QLatin1Char(' ') + GetFieldDisplayName(m_field), m_list, m_store,
                                   &context);
    if (context.CollectionChanged)
        m_changed = true;
    return ok;
}

void TfmLookupListBase::AddItem()
{
    if (!m_list)
        return;
    auto *item = static_cast<TLookupItem *>(m_list->CreateItem());
    if (!item)
        return;
    if (editLookupItem(item, tr("Add"))) {
        sortList();
        showList(item);
        m_changed = true;
        return;
    }
    // Not shown yet: the list's rows end before it.
    m_list->FreeItem(item);
    updateActions();
}

void TfmLookupListBase::EditItem()
{
    const QList<TLookupItem *> selected = SelectedItems();
    if (selected.isEmpty())
        return;
    TLookupItem *item = selected.first();
    if (!editLookupItem(item, tr("Edit"))) {
        if (m_changed)
            Refresh();   // the album window may have changed tracks
        return;
    }
    sortList();
    showList(item);
    m_changed = true;
}

void TfmLookupListBase::RemoveItems()
{
    const QList<int> rows = lvList->SelectedRows();
    if (rows.isEmpty() || !m_list)
        return;
    const QList<TLookupItem *> selected = SelectedItems();
    const QString question =
        rows.size() == 1
            ? tr("Are you sure you want to remove item \"%1\"?")
                  .arg(m_listModel->data(m_listModel->index(rows.first(), 0)).toString())
            : tr("Are you sure you want to remove the %1 selected items?").arg(rows.size());
    m_changed = true;
    if (AskYesNo(question) != TDesktopServices::TAnswer::Yes) {
        updateActions();
        return;
    }
    // The selection goes to the value after the last selected row (the
    // one that takes a single removed value's place), else to the last.
    TLookupItem *following = RowItem(rows.last() + 1);
    const auto beforeFree = [this, &selected] {
        // Freed values leave the merge list too.
        m_mergeReady = false;
        m_mergeModel->Reset();
        for (TLookupItem *item : selected) {
            if (item->UseCount <= 0)
                m_mergeRows->Remove(item);
        }
        m_mergeReady = true;
        releaseViews();
    };
    const QList<TLookupItem *> kept = RemoveUnusedLookupItems(m_root, m_field, *m_list, selected, beforeFree);
    m_mergeModel->SetRowCount(m_mergeRows->Count());
    for (const TLookupItem *item : kept) {
        ShowInfo(tr("The item\n\"%1\"\ncannot be removed because it is still in use. Use the Merge "
                    "function to merge this item with another item.")
                     .arg(item->DisplayName));
    }
    const TLookupItem *select = rows.size() == 1 && !kept.isEmpty() ? kept.first() : following;
    if (!select && m_list->Count() > 0)
        select = m_list->Get(m_list->Count() - 1);
    showList(select);
}

void TfmLookupListBase::SelectUnused()
{
    if (!m_list)
        return;
    const TBusyCursor busy;
    recount();
    QItemSelection selection;
    int first = -1;
    int count = 0;
    for (int row = 0; row < m_rows->Count(); ++row) {
        if (RowItem(row)->UseCount != 0)
            continue;
        selection.select(m_listModel->index(row, 0), m_listModel->index(row, m_listModel->columnCount() - 1));
        if (first < 0)
            first = row;
        ++count;
    }
    QItemSelectionModel *model = lvList->DetailsView()->selectionModel();
    model->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    lvList->DetailsView()->viewport()->update();   // the Used column was recounted
    if (count > 0) {
        model->setCurrentIndex(m_listModel->index(first, 0), QItemSelectionModel::NoUpdate);
        lvList->CurrentView()->scrollTo(m_listModel->index(first, 0));
        ShowInfo(tr("Found and selected %1 unused items. Use \"Remove Selected Items (Del)\" to remove them from "
                    "the list.")
                     .arg(count));
    }
    updateActions();
}

// ---- merging ---------------------------------------------------------------------------

void TfmLookupListBase::AddToMergeList()
{
    const QList<TLookupItem *> selected = SelectedItems();
    for (TLookupItem *item : selected) {
        if (m_mergeRows->IndexOf(item) < 0)
            m_mergeRows->Add(item);
    }
    m_mergeModel->SetRowCount(m_mergeRows->Count());
    updateActions();
}

void TfmLookupListBase::MergeTo()
{
    const QList<TLookupItem *> selected = SelectedItems();
    if (selected.size() != 1 || !m_list || m_mergeRows->isEmpty())
        return;
    TLookupItem *target = selected.first();
    const QList<TLookupItem *> sources = MergeItems();
    const auto beforeFree = [this] {
        m_mergeReady = false;
        m_mergeModel->Reset();
        m_mergeRows->Clear();
        m_mergeReady = true;
        releaseViews();
    };
    MergeLookupItems(m_root, m_field, *m_list, sources, target, beforeFree);
    ClearMergeList();
    sortList();
    showList(target);
    m_changed = true;
}

void TfmLookupListBase::ClearMergeList()
{
    m_mergeReady = false;
    m_mergeModel->Reset();
    m_mergeRows->Clear();
    m_mergeReady = true;
    updateActions();
}

// ---- entry point -------------------------------------------------------------------------

std::unique_ptr<TfmLookupListBase> TfmLookupListBase::CreateLookupListWindow(QWidget *owner, TRootItem &root,
                                                                              TSettingsStore &store)
{
    return std::make_unique<TfmLookupListBase>(owner, root, store);
}

bool EditLookupLists(QWidget *owner, TRootItem &root, TSettingsStore &store, const TDataField *field,
                     const std::function<void()> &beforeFree)
{
    const std::unique_ptr<TfmLookupListBase> window = TfmLookupListBase::CreateLookupListWindow(owner, root, store);
    window->SetInitialField(field);
    window->SetBeforeFree(beforeFree);
    window->exec();
    return window->Changed();
}
