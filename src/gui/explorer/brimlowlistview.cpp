#include "gui/explorer/brimlowlistview.h"

#include "gui/explorer/explorerlistmodel.h"
#include "gui/explorer/iconviewdelegate.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QStackedLayout>
#include <QTableView>

// What both views of the list share: the keys the window reacts to and
// type-ahead reported to the list instead of the view's own search.
class TListKeyHandler {
public:
    explicit TListKeyHandler(TBrimlowListView *list) : m_list(list) {}

    // True when the key was handled.
    bool keyPress(QKeyEvent *event)
    {
        // Ctrl+Home and Ctrl+End go to the first and last row and select it,
        // as Home and End do: the view itself would only move the focus.
        if ((event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier
            && (event->key() == Qt::Key_Home || event->key() == Qt::Key_End)) {
            m_list->SelectOnly(event->key() == Qt::Key_Home ? 0 : m_list->RowCount() - 1);
            return true;
        }
        if (event->modifiers() & ~(Qt::KeypadModifier))
            return false;
        switch (event->key()) {
        case Qt::Key_Backspace:
            Q_EMIT m_list->UpRequested();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            Q_EMIT m_list->OpenRequested();
            return true;
        default:
            return false;
        }
    }
    void search(const QString &typed) { m_list->keyboardSearch(typed); }

private:
    TBrimlowListView *m_list;
};

namespace {

class TDetailsView : public QTableView {
public:
    TDetailsView(TBrimlowListView *list) : QTableView(list), m_keys(list) {}
    void keyboardSearch(const QString &search) override { m_keys.search(search); }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (!m_keys.keyPress(event))
            QTableView::keyPressEvent(event);
    }

private:
    TListKeyHandler m_keys;
};

class TIconView : public QListView {
public:
    TIconView(TBrimlowListView *list) : QListView(list), m_keys(list) {}
    void keyboardSearch(const QString &search) override { m_keys.search(search); }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (!m_keys.keyPress(event))
            QListView::keyPressEvent(event);
    }

private:
    TListKeyHandler m_keys;
};

void configureCommon(QAbstractItemView *view)
{
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    view->setTextElideMode(Qt::ElideRight);
}

} // namespace

TBrimlowListView::TBrimlowListView(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("lvMain"));
    m_details = new TDetailsView(this);
    m_details->setObjectName(QStringLiteral("lvMainDetails"));
    configureCommon(m_details);
    m_details->setShowGrid(true);
    m_details->setWordWrap(false);
    m_details->setCornerButtonEnabled(false);
    m_details->verticalHeader()->hide();
    m_details->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_details->verticalHeader()->setDefaultSectionSize(m_details->fontMetrics().height() + 6);
    QHeaderView *header = m_details->horizontalHeader();
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_details->setIconSize(QSize(16, 16));

    m_icons = new TIconView(this);
    m_icons->setObjectName(QStringLiteral("lvMainIcons"));
    configureCommon(m_icons);
    m_icons->setViewMode(QListView::IconMode);
    m_icons->setMovement(QListView::Static);
    m_icons->setResizeMode(QListView::Adjust);
    m_icons->setUniformItemSizes(true);
    m_icons->setWordWrap(true);
    m_icons->setIconSize(QSize(32, 32));
    // Names take two lines before they are cut.
    m_icons->setItemDelegate(new TIconViewDelegate(m_icons));
    m_icons->setGridSize(TIconViewDelegate::CellSize(m_icons->fontMetrics(), m_icons->iconSize()));
    m_icons->setLayoutMode(QListView::Batched);
    m_icons->setBatchSize(500);

    m_stack = new QStackedLayout(this);
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->addWidget(m_details);
    m_stack->addWidget(m_icons);

    connect(header, &QHeaderView::sectionClicked, this, &TBrimlowListView::HeaderClicked);
    for (QAbstractItemView *view : {static_cast<QAbstractItemView *>(m_details),
                                    static_cast<QAbstractItemView *>(m_icons)}) {
        connect(view, &QAbstractItemView::doubleClicked, this, [this] { Q_EMIT OpenRequested(); });
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint &pos) { Q_EMIT ContextMenuRequested(view->viewport()->mapToGlobal(pos)); });
    }
    m_typedTimer.start();
}

void TBrimlowListView::SetModel(TExplorerListModel *model)
{
    m_model = model;
    m_details->setModel(model);
    m_icons->setModel(model);
    m_icons->setModelColumn(0);
    // One selection for both views, so switching keeps it.
    m_icons->setSelectionModel(m_details->selectionModel());
    connect(m_details->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { Q_EMIT SelectionChanged(); });
    connect(m_details->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { Q_EMIT SelectionChanged(); });
}

void TBrimlowListView::SetSortIndicator(qint32 tag, bool ascending)
{
    if (m_model)
        m_model->SetHeaderImage(tag, ascending ? ImageIndexAscending : ImageIndexDescending);
}

void TBrimlowListView::SetViewStyle(int style)
{
    const bool icons = style == StyleIcon;
    if (m_model)
        m_model->SetIconView(icons);
    QWidget *focused = QApplication::focusWidget();
    const bool hadFocus = focused == m_details || focused == m_icons;
    m_stack->setCurrentWidget(icons ? static_cast<QWidget *>(m_icons) : m_details);
    if (hadFocus)
        CurrentView()->setFocus();
    const QModelIndex current = CurrentView()->currentIndex();
    if (current.isValid())
        CurrentView()->scrollTo(current);
}

int TBrimlowListView::ViewStyle() const
{
    return IsIconView() ? StyleIcon : StyleReport;
}

bool TBrimlowListView::IsIconView() const
{
    return m_stack->currentWidget() == m_icons;
}

QAbstractItemView *TBrimlowListView::CurrentView() const
{
    return IsIconView() ? static_cast<QAbstractItemView *>(m_icons) : m_details;
}

QHeaderView *TBrimlowListView::Header() const
{
    return m_details->horizontalHeader();
}

QList<int> TBrimlowListView::SelectedRows() const
{
    QList<int> rows;
    if (!m_details->selectionModel())
        return rows;
    for (const QModelIndex &index : m_details->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int TBrimlowListView::FirstSelectedRow() const
{
    const QList<int> rows = SelectedRows();
    return rows.isEmpty() ? -1 : rows.first();
}

int TBrimlowListView::RowCount() const
{
    return m_model ? m_model->rowCount() : 0;
}

void TBrimlowListView::SelectOnly(int row)
{
    QItemSelectionModel *selection = m_details->selectionModel();
    if (!selection || !m_model)
        return;
    selection->clearSelection();
    if (row < 0 || row >= m_model->rowCount())
        return;
    const QModelIndex index = m_model->index(row, 0);
    selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    CurrentView()->scrollTo(index);
}

void TBrimlowListView::SelectAll()
{
    m_details->selectAll();
}

void TBrimlowListView::keyboardSearch(const QString &typed)
{
    if (typed.isEmpty())
        return;
    if (m_typedTimer.elapsed() > QApplication::keyboardInputInterval())
        m_typed.clear();
    m_typedTimer.restart();
    m_typed += typed;
    Q_EMIT TypeAhead(m_typed);
}
