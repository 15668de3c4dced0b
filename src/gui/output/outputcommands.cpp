#include "gui/output/outputcommands.h"

#include "core/data/datafield.h"
#include "core/data/datalists.h"
#include "core/data/fieldrefs.h"
#include "core/data/rootitem.h"
#include "core/settings/prefs.h"
#include "gui/explorer/brimlowlistview.h"
#include "gui/browse/browse.h"
#include "gui/explorer/explorertreemodel.h"
#include "gui/output/exportwindows.h"
#include "gui/output/printlist.h"
#include "gui/output/stats.h"
#include "gui/shell/mainbase.h"

#include <QAction>

namespace outputcommands {
namespace {

bool showsItems(const TfmMainBase &window)
{
    return window.ListKind != ListKind::None && window.ListKind != ListKind::Lookups;
}

bool hasSelectedRows(const TfmMainBase &window)
{
    return window.lvMain->FirstSelectedRow() >= 0;
}

bool inCollection(const TfmMainBase &window)
{
    TExplorerNode *selected = window.SelectedNode();
    return selected && window.RootNode && window.TopLevelNode(selected) == window.RootNode;
}

// Selected rows of a list of items, in the collection.
bool selectedCollectionItems(const TfmMainBase &window)
{
    return inCollection(window) && hasSelectedRows(window) && showsItems(window);
}

void printSelected(TfmMainBase &window)
{
    if (!hasSelectedRows(window) || !showsItems(window) || !window.Root())
        return;
    TDataRefList items;
    window.GetSelectedObjects(&items);
    TfmPrintListBase::Execute(items, window.ListKind, *window.Root(), window.Prefs().Store(), &window);
}

void printCollection(TfmMainBase &window)
{
    TRootItem *root = window.Root();
    if (!root)
        return;
    // A list of its own: the print window's sorting leaves the collection's
    // order alone.
    TDataRefList items;
    items.AddItemsOf(*root->Items);
    TfmPrintListBase::Execute(items, ListKind::MainItems, *root, window.Prefs().Store(), &window);
}

// The selected rows of a list of the collection's items.
void selectedItems(TfmMainBase &window, TDataRefList &items)
{
    if (selectedCollectionItems(window))
        window.GetSelectedObjects(&items);
}

// The whole collection in the window's item order, in a list of its own.
void allItems(TfmMainBase &window, TDataRefList &items)
{
    items.AddItemsOf(*window.Root()->Items);
    if (const TSortFieldRefList *sorts = window.GetSortFields(ListKind::MainItems))
        items.SortByFields(*sorts);
}

template <typename Window>
void exportSelected(TfmMainBase &window)
{
    TDataRefList items;
    selectedItems(window, items);
    if (!items.isEmpty())
        Window::Execute(items, window.ListKind, *window.Root(), window.Prefs().Store(), &window);
}

template <typename Window>
void exportAll(TfmMainBase &window)
{
    if (!window.Root())
        return;
    TDataRefList items;
    allItems(window, items);
    Window::Execute(items, ListKind::MainItems, *window.Root(), window.Prefs().Store(), &window);
}

void browseSelected(TfmMainBase &window)
{
    TDataRefList items;
    selectedItems(window, items);
    if (!items.isEmpty())
        TfmBrowseBase::Browse(items, window.ListKind, *window.Root(), window.Prefs().Store(), &window, 0);
}

void showStatistics(TfmMainBase &window)
{
    if (!window.Root())
        return;
    const TGroupFieldRefList *groups = window.GetGroupFields(window.TreeMode);
    const TDataField *field = groups && groups->Count() > 0 ? groups->Get(0)->Field : nullptr;
    TfmStats::Execute(*window.Root(), window.Prefs().Store(), &window, field, window.TreeMode);
}

template <typename Handler>
void on(TfmMainBase &window, const char *name, Handler handler)
{
    QObject::connect(window.Action(QLatin1String(name)), &QAction::triggered, &window,
                     [&window, handler] { handler(window); });
}

} // namespace

void Connect(TfmMainBase &window)
{
    on(window, "acPrintListReportofSelectedItems", printSelected);
    on(window, "acPrintListReportofCollection", printCollection);
    on(window, "acExportAsciiSelectedItems", exportSelected<TfmExportAsciiBase>);
    on(window, "acExportAsciiAllItems", exportAll<TfmExportAsciiBase>);
    on(window, "acExportHtmlSelectedItems", exportSelected<TfmExportHtmlBase>);
    on(window, "acExportHtmlAllItems", exportAll<TfmExportHtmlBase>);
    on(window, "acBrowseSelectedItems", browseSelected);
    on(window, "acStats", showStatistics);
}

void UpdateActions(TfmMainBase &window)
{
    const bool rows = hasSelectedRows(window) && showsItems(window);
    window.Action(QStringLiteral("acPrintListReportofSelectedItems"))->setEnabled(rows);
    const bool collection = window.Root() != nullptr;
    window.Action(QStringLiteral("acPrintListReportofCollection"))->setEnabled(collection);
    const bool selected = selectedCollectionItems(window);
    for (const char *name : {"acExportAsciiSelectedItems", "acExportHtmlSelectedItems", "acBrowseSelectedItems"})
        window.Action(QLatin1String(name))->setEnabled(selected);
    for (const char *name : {"acExportAsciiAllItems", "acExportHtmlAllItems", "acStats"})
        window.Action(QLatin1String(name))->setEnabled(collection);
}

} // namespace outputcommands
