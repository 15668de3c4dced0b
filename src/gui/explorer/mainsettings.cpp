// The main window's tool bars, sizing panels and stored settings, and what
// happens when the window is first shown.

#include "gui/shell/mainbase.h"

#include "core/data/fieldlists.h"
#include "core/data/fieldrefs.h"
#include "core/data/filterfieldlist.h"
#include "core/data/rootitem.h"
#include "gui/explorer/brimlowlistview.h"
#include "gui/explorer/mainexplorerdefs.h"
#include "gui/explorer/sizingsplitter.h"
#include "core/settings/prefs.h"
#include "core/base/settingsstore.h"
#include "gui/settings/formplacement.h"

#include <QAction>
#include <QToolBar>
#include <limits>

using namespace mainexplorer;

// ---- tool bars and panels --------------------------------------------------------------

QList<QToolBar *> TfmMainBase::designToolBars() const
{
    return {tbFile, tbEdit, tbView, tbSearch, tbLogo};
}

namespace {

// The settings name of a tool bar: the logo's bar is stored as the logo.
QString barName(const QToolBar *bar, const QToolBar *logoBar)
{
    return bar == logoBar ? QStringLiteral("imLogo") : bar->objectName();
}

} // namespace

void TfmMainBase::placeToolBars(const QList<QToolBar *> &order)
{
    // Rows of tool bars from top to bottom, each row from left to right.
    for (QToolBar *bar : order)
        removeToolBar(bar);
    int lastTop = std::numeric_limits<int>::min();
    for (QToolBar *bar : order) {
        const QRect bounds = m_placedBounds.value(barName(bar, tbLogo));
        if (lastTop != std::numeric_limits<int>::min() && bounds.top() > lastTop + bar->sizeHint().height() / 2)
            addToolBarBreak(Qt::TopToolBarArea);
        lastTop = bounds.top();
        addToolBar(Qt::TopToolBarArea, bar);
    }
}

void TfmMainBase::loadToolBars()
{
    TSettingsStore &store = m_prefs.Store();
    // The design places: one row in the order the bars were made.
    int left = 0;
    const QList<QToolBar *> design = designToolBars();
    for (QToolBar *bar : design) {
        const QSize size = bar->sizeHint();
        m_designBounds.insert(barName(bar, tbLogo), QRect(left, 0, size.width(), size.height()));
        left += size.width();
    }
    const QRect screen = ScreenArea(this);
    QList<std::pair<QRect, QToolBar *>> placed;
    for (QToolBar *bar : design) {
        const QString name = barName(bar, tbLogo);
        const QString section = SubSection(name);
        const QRect d = m_designBounds.value(name);
        QRect bounds;
        bounds.setTop(qBound(0, store.ReadInteger(section, QStringLiteral("Top"), d.top()), screen.height()));
        bounds.setLeft(qBound(0, store.ReadInteger(section, QStringLiteral("Left"), d.left()), screen.width()));
        bounds.setRight(qBound(0, store.ReadInteger(section, QStringLiteral("Right"), d.right()), screen.width()));
        bounds.setBottom(qBound(0, store.ReadInteger(section, QStringLiteral("Bottom"), d.bottom()), screen.height()));
        m_placedBounds.insert(name, bounds);
        placed.append({bounds, bar});
        const bool visible = store.ReadBool(section, QStringLiteral("Visible"), true);
        bar->setVisible(visible);
    }
    std::stable_sort(placed.begin(), placed.end(), [](const auto &a, const auto &b) {
        return a.first.top() != b.first.top() ? a.first.top() < b.first.top() : a.first.left() < b.first.left();
    });
    QList<QToolBar *> order;
    for (const auto &entry : placed)
        order.append(entry.second);
    const QList<bool> visible = [&] {
        QList<bool> list;
        for (QToolBar *bar : order)
            list.append(!bar->isHidden());
        return list;
    }();
    placeToolBars(order);
    for (int i = 0; i < order.size(); ++i)
        order.at(i)->setVisible(visible.at(i));
    const QList<std::pair<const char *, QToolBar *>> actions = {
        {"acShowFileBar", tbFile}, {"acShowEditBar", tbEdit}, {"acShowViewBar", tbView},
        {"acShowSearchBar", tbSearch}, {"acShowLogo", tbLogo}};
    for (const auto &[name, bar] : actions) {
        const QSignalBlocker block(Action(QLatin1String(name)));
        Action(QLatin1String(name))->setChecked(!bar->isHidden());
    }
}

void TfmMainBase::saveToolBars()
{
    TSettingsStore &store = m_prefs.Store();
    for (QToolBar *bar : designToolBars()) {
        const QString section = SubSection(barName(bar, tbLogo));
        // A hidden bar keeps the place it had.
        const QRect bounds = bar->isHidden() || !isVisible()
                                 ? m_placedBounds.value(barName(bar, tbLogo))
                                 : bar->geometry();
        store.WriteBool(section, QStringLiteral("Visible"), !bar->isHidden());
        store.WriteInteger(section, QStringLiteral("Top"), bounds.top());
        store.WriteInteger(section, QStringLiteral("Left"), bounds.left());
        store.WriteInteger(section, QStringLiteral("Right"), bounds.right());
        store.WriteInteger(section, QStringLiteral("Bottom"), bounds.bottom());
    }
}

void TfmMainBase::acResetToolbarExecute()
{
    const QList<QToolBar *> design = designToolBars();
    for (QToolBar *bar : design) {
        const QString name = barName(bar, tbLogo);
        m_placedBounds.insert(name, m_designBounds.value(name));
    }
    placeToolBars(design);
    for (const char *name : {"acShowFileBar", "acShowEditBar", "acShowViewBar", "acShowSearchBar", "acShowLogo"})
        Action(QLatin1String(name))->setChecked(true);
    for (QToolBar *bar : design)
        bar->setVisible(true);
}

namespace {

// A side pane that opens on a first start shows ordinary names whole: a
// quarter of the window, within reason.
int firstStartPanelWidth(int windowWidth)
{
    return qBound(220, windowWidth / 4, 400);
}

} // namespace

void TfmMainBase::loadPanel(TSizingSplitter *splitter, const QString &name)
{
    const TSettingsStore &store = m_prefs.Store();
    const QString section = SubSection(name);
    const QRect screen = ScreenArea(this);
    int size = 0;
    if (splitter->orientation() == Qt::Horizontal)
        size = qBound(0, store.ReadInteger(section, QStringLiteral("Width"), firstStartPanelWidth(width())),
                      screen.width());
    else
        size = qBound(0, store.ReadInteger(section, QStringLiteral("Height"), 100), screen.height());
    splitter->SetPanelSize(size);
    splitter->SetClosed(store.ReadBool(section, QStringLiteral("Closed"), false));
}

void TfmMainBase::savePanel(const TSizingSplitter *splitter, const QString &name)
{
    TSettingsStore &store = m_prefs.Store();
    const QString section = SubSection(name);
    store.WriteInteger(section, splitter->orientation() == Qt::Horizontal ? QStringLiteral("Width")
                                                                          : QStringLiteral("Height"),
                       splitter->PanelSize());
    store.WriteBool(section, QStringLiteral("Closed"), splitter->IsClosed());
}

// ---- settings ------------------------------------------------------------------

void TfmMainBase::LoadSettings()
{
    TSettingsStore &store = m_prefs.Store();
    TFormPlacement::RestorePlacement(this, store);
    loadPanel(spExplorer, QStringLiteral("pnTree"));
    loadPanel(spRight, QStringLiteral("pnInfo"));
    setListViewStyle(store.ReadInteger(MainSection, QStringLiteral("ListViewStyle"), TBrimlowListView::StyleReport));
    GroupSortOrder = store.ReadInteger(MainSection, QStringLiteral("GroupSortOrder"), 1) < 0 ? -1 : 1;
    if (ItemColumnFields) {
        const QList<std::pair<TDataFieldRefList *, QString>> lists = {
            {ItemColumnFields.get(), QStringLiteral("ItemColumnFields")},
            {ItemSortFields.get(), QStringLiteral("ItemSortFields")},
            {ItemIndexSortFields.get(), QStringLiteral("ItemIndexSortFields")},
            {ItemFilterFields.get(), QStringLiteral("ItemFilterFields")},
            {CustomGroupFields.get(), QStringLiteral("CustomGroupFields")}};
        for (const auto &[list, section] : lists) {
            list->FreeAll();
            list->LoadFromSettings(store, section);
        }
    }
    GroupFieldPreset = store.ReadInteger(MainSection, QStringLiteral("GroupFieldPreset"), 0);
    loadToolBars();
    Action(QStringLiteral("acShowEmptyFolders"))
        ->setChecked(store.ReadBool(MainSection, QStringLiteral("Show Empty Folders"), false));
}

void TfmMainBase::SaveSettings()
{
    TSettingsStore &store = m_prefs.Store();
    savePanel(spExplorer, QStringLiteral("pnTree"));
    savePanel(spRight, QStringLiteral("pnInfo"));
    store.WriteInteger(MainSection, QStringLiteral("ListViewStyle"), lvMain->ViewStyle());
    store.WriteInteger(MainSection, QStringLiteral("GroupSortOrder"), GroupSortOrder);
    if (ItemColumnFields) {
        StoreColumns();
        ItemColumnFields->SaveToSettings(store, QStringLiteral("ItemColumnFields"));
        ItemSortFields->SaveToSettings(store, QStringLiteral("ItemSortFields"));
        ItemIndexSortFields->SaveToSettings(store, QStringLiteral("ItemIndexSortFields"));
        ItemFilterFields->SaveToSettings(store, QStringLiteral("ItemFilterFields"));
        CustomGroupFields->SaveToSettings(store, QStringLiteral("CustomGroupFields"));
    }
    store.WriteInteger(MainSection, QStringLiteral("GroupFieldPreset"), GroupFieldPreset);
    saveToolBars();
    store.WriteBool(MainSection, QStringLiteral("Show Empty Folders"),
                    Action(QStringLiteral("acShowEmptyFolders"))->isChecked());
    TFormPlacement::SavePlacement(this, store);
}

void TfmMainBase::FormShow()
{
    if (!Root() || !GroupFields)
        return;
    // A stored grouping that names no preset falls back to the first one.
    const int presetCount = int(Root()->Fields->GroupPresets[size_t(TreeMode)].size());
    if (GroupFieldPreset < CustomTag || GroupFieldPreset >= presetCount)
        GroupFieldPreset = presetCount > 0 ? 0 : NoFoldersTag;
    if (GroupFieldPreset == CustomTag) {
        GroupFields->FreeAll();
        GroupFields->Assign(*CustomGroupFields);
    } else {
        ApplyGroupPreset(GroupFieldPreset);
    }
    BuildColumns();
    BuildFolderMenus();
    UpdateCaption();
    CreateTreeRoots();
    ResetState();
    RebuildTree();
    RestoreState(nullptr, true);
    UpdateActions();
}
