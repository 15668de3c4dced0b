#include "gui/fields/selectfields.h"

#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/data/fieldrefs.h"
#include "gui/settings/radiogroup.h"
#include "core/base/settingsstore.h"
#include "gui/settings/formplacement.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

const QString MimeType = QStringLiteral("application/x-tunebase-field-selection");
const QString SettingsSection = QStringLiteral("SelectFieldsWindow");
constexpr int FieldIdRole = Qt::UserRole;
constexpr int RefRole = Qt::UserRole + 1;

// What is being dragged: a field of the tree or an entry of the list.
struct TDragged {
    bool FromTree = false;
    int Value = -1;   // field ID or entry row

    static QMimeData *Make(bool fromTree, int value)
    {
        auto *data = new QMimeData;
        data->setData(MimeType, (fromTree ? QByteArray("field:") : QByteArray("entry:")) + QByteArray::number(value));
        return data;
    }
    static bool Read(const QMimeData *data, TDragged &dragged)
    {
        if (!data || !data->hasFormat(MimeType))
            return false;
        const QByteArray bytes = data->data(MimeType);
        const int colon = bytes.indexOf(':');
        bool ok = false;
        dragged.FromTree = bytes.left(colon) == "field";
        dragged.Value = bytes.mid(colon + 1).toInt(&ok);
        return colon > 0 && ok;
    }
};

void runDrag(QWidget *source, QMimeData *data, const QIcon &icon)
{
    auto *drag = new QDrag(source);
    drag->setMimeData(data);
    if (!icon.isNull())
        drag->setPixmap(icon.pixmap(16, 16));
    drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
}

QLabel *panelCaption(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

// ---- TAvailableFieldsTree -------------------------------------------------

TAvailableFieldsTree::TAvailableFieldsTree(TfmSelectFieldsBase *window)
    : QTreeWidget(window), m_window(window)
{
    setObjectName(QStringLiteral("tvFields"));
    setHeaderHidden(true);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragDropMode(QAbstractItemView::DragDrop);
}

void TAvailableFieldsTree::startDrag(Qt::DropActions)
{
    const QTreeWidgetItem *node = currentItem();
    if (TDataField *field = m_window->NodeField(node))
        runDrag(this, TDragged::Make(true, field->ID), node->icon(0));
}

namespace {

template <typename Event>
void acceptEntries(Event *event, const QObject *list)
{
    TDragged dragged;
    if (event->source() == list && TDragged::Read(event->mimeData(), dragged) && !dragged.FromTree)
        event->acceptProposedAction();
    else
        event->ignore();
}

} // namespace

void TAvailableFieldsTree::dragEnterEvent(QDragEnterEvent *event)
{
    acceptEntries(event, m_window->lvFields);
}

void TAvailableFieldsTree::dragMoveEvent(QDragMoveEvent *event)
{
    acceptEntries(event, m_window->lvFields);
}

void TAvailableFieldsTree::dropEvent(QDropEvent *event)
{
    TDragged dragged;
    if (event->source() != m_window->lvFields || !TDragged::Read(event->mimeData(), dragged) || dragged.FromTree) {
        event->ignore();
        return;
    }
    m_window->RemoveEntry(dragged.Value);
    event->acceptProposedAction();
}

// ---- TSelectedFieldsList --------------------------------------------------

TSelectedFieldsList::TSelectedFieldsList(TfmSelectFieldsBase *window)
    : QListWidget(window), m_window(window)
{
    setObjectName(QStringLiteral("lvFields"));
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragDropMode(QAbstractItemView::DragDrop);
}

void TSelectedFieldsList::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Delete) && currentRow() >= 0) {
        m_window->RemoveEntry(currentRow());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void TSelectedFieldsList::startDrag(Qt::DropActions)
{
    const int row = currentRow();
    if (row >= 0)
        runDrag(this, TDragged::Make(false, row), item(row)->icon());
}

namespace {

template <typename Event>
void acceptFieldsOrEntries(Event *event, const QObject *tree, const QObject *list)
{
    TDragged dragged;
    const bool ours = event->source() == tree || event->source() == list;
    if (ours && TDragged::Read(event->mimeData(), dragged))
        event->acceptProposedAction();
    else
        event->ignore();
}

} // namespace

void TSelectedFieldsList::dragEnterEvent(QDragEnterEvent *event)
{
    acceptFieldsOrEntries(event, m_window->tvFields, this);
}

void TSelectedFieldsList::dragMoveEvent(QDragMoveEvent *event)
{
    acceptFieldsOrEntries(event, m_window->tvFields, this);
}

void TSelectedFieldsList::dropEvent(QDropEvent *event)
{
    TDragged dragged;
    const bool ours = event->source() == m_window->tvFields || event->source() == this;
    if (!ours || !TDragged::Read(event->mimeData(), dragged)) {
        event->ignore();
        return;
    }
    const QListWidgetItem *target = itemAt(event->position().toPoint());
    const int beforeRow = target ? row(target) : -1;
    if (dragged.FromTree) {
        for (QTreeWidgetItemIterator it(m_window->tvFields); *it; ++it) {
            TDataField *field = m_window->NodeField(*it);
            if (field && field->ID == dragged.Value) {
                m_window->AddField(field, beforeRow);
                break;
            }
        }
    } else {
        m_window->MoveEntry(dragged.Value, beforeRow);
    }
    // The entries are moved by the window, not by the list's own handling.
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

// ---- TfmSelectFieldsBase ----------------------------------------------------

TfmSelectFieldsBase::TfmSelectFieldsBase(TDataFieldRefList &list, const QString &text, QWidget *owner,
                                         TSettingsStore &store)
    : QDialog(owner), m_list(list), m_store(store)
{
    setObjectName(QStringLiteral("fmSelectFields"));
    QString caption;
    if (dynamic_cast<TSortFieldRefList *>(&list)) {
        m_type = TListType::Sort;
        caption = tr("Sort Field Selection");
    } else if (dynamic_cast<TGroupFieldRefList *>(&list)) {
        m_type = TListType::Group;
        caption = tr("Folder Field Selection");
    } else {
        m_type = TListType::Columns;
        caption = tr("Column Field Selection");
    }
    if (!text.isEmpty())
        caption += QLatin1Char(' ') + text;
    setWindowTitle(caption);

    for (const char *name : {"folder", "folder-open", "action-columns", "sort-ascending", "sort-descending"})
        m_images.Add(QIcon(images::ResourcePath(QLatin1String(name))));

    tvFields = new TAvailableFieldsTree(this);
    lvFields = new TSelectedFieldsList(this);
    rgOrder = new TRadioGroup(QString(), this);
    rgOrder->setObjectName(QStringLiteral("rgOrder"));
    rgOrder->AddItem(tr("Ascending"));
    rgOrder->AddItem(tr("Descending"));
    rgOrder->setVisible(m_type == TListType::Sort);

    auto *left = new QWidget(this);
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(panelCaption(tr("  Available Fields:"), left));
    leftLayout->addWidget(tvFields);
    auto *right = new QWidget(this);
    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(panelCaption(tr("  Selected Fields:"), right));
    rightLayout->addWidget(lvFields, 1);
    rightLayout->addWidget(rgOrder);
    spFields = new QSplitter(Qt::Horizontal, this);
    spFields->setObjectName(QStringLiteral("spFields"));
    spFields->addWidget(left);
    spFields->addWidget(right);
    spFields->setChildrenCollapsible(false);

    laStatus = new QLabel(tr("Drag and drop to add fields, remove fields or change the field order"), this);
    laStatus->setObjectName(QStringLiteral("laStatus"));
    laStatus->setWordWrap(true);
    btOk = new QPushButton(tr("OK"), this);
    btOk->setObjectName(QStringLiteral("btOk"));
    btOk->setDefault(true);
    btCancel = new QPushButton(tr("Cancel"), this);
    btCancel->setObjectName(QStringLiteral("btCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(laStatus, 1);
    buttons->addWidget(btOk);
    buttons->addWidget(btCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(spFields, 1);
    layout->addLayout(buttons);

    connect(btOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(tvFields, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *node) {
        if (TDataField *field = NodeField(node))
            AddField(field);
    });
    connect(lvFields, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *entry) { ToggleOrder(lvFields->row(entry)); });
    connect(lvFields, &QListWidget::currentRowChanged, this, [this] { followSelection(); });
    for (int i = 0; i < rgOrder->Count(); ++i)
        connect(rgOrder->Item(i), &QRadioButton::clicked, this, [this, i] { orderChosen(i); });

    buildTree();
    fillList();
    restoreSize();
}

TfmSelectFieldsBase::~TfmSelectFieldsBase()
{
    // The entries point at the references: empty the list widget first.
    lvFields->clear();
}

void TfmSelectFieldsBase::buildTree()
{
    const TGlobalDataFieldList *catalogue = m_list.catalogue();
    if (!catalogue)
        return;
    QIcon categoryIcon;
    categoryIcon.addPixmap(m_images.Pixmap(ImgGroup), QIcon::Normal);
    categoryIcon.addPixmap(m_images.Pixmap(ImgCategoryOpen), QIcon::Selected);
    const QIcon fieldIcon = m_images.Icon(m_type == TListType::Group ? ImgGroup : ImgField);
    auto makeNode = [&](TDataField *field) {
        auto *node = new QTreeWidgetItem(QStringList(GetFieldDisplayName(field)));
        node->setData(0, FieldIdRole, field->ID);
        node->setIcon(0, fieldIcon);
        return node;
    };
    auto offered = [this](const TDataField *field) { return field->ListKinds.contains(m_list.ListKind); };

    if (m_type == TListType::Group) {
        tvFields->setRootIsDecorated(false);
        for (int i = 0; i < catalogue->Count(); ++i) {
            TDataField *field = catalogue->Get(i);
            if (offered(field) && field->isLookupField())
                tvFields->addTopLevelItem(makeNode(field));
        }
    } else {
        for (int category = 0; category < catalogue->Categories.size(); ++category) {
            QList<TDataField *> fields;
            for (int i = 0; i < catalogue->Count(); ++i) {
                TDataField *field = catalogue->Get(i);
                if (offered(field) && field->Category == category)
                    fields.append(field);
            }
            if (fields.isEmpty())
                continue;
            std::stable_sort(fields.begin(), fields.end(), [](const TDataField *a, const TDataField *b) {
                return GetFieldDisplayName(a).localeAwareCompare(GetFieldDisplayName(b)) < 0;
            });
            auto *categoryNode = new QTreeWidgetItem(QStringList(catalogue->Categories.at(category)));
            categoryNode->setData(0, FieldIdRole, -1);
            categoryNode->setIcon(0, categoryIcon);
            for (TDataField *field : fields)
                categoryNode->addChild(makeNode(field));
            tvFields->addTopLevelItem(categoryNode);
            categoryNode->setExpanded(true);
        }
    }
    if (tvFields->topLevelItemCount() > 0)
        tvFields->setCurrentItem(tvFields->topLevelItem(0));
}

void TfmSelectFieldsBase::fillList()
{
    for (int i = 0; i < m_list.Count(); ++i) {
        std::unique_ptr<TDataItem> copy = m_list.Get(i)->Clone(nullptr, true);
        lvFields->addItem(makeEntry(std::unique_ptr<TDataFieldRef>(static_cast<TDataFieldRef *>(copy.release()))));
    }
    selectEntry(0);
    followSelection();
}

QListWidgetItem *TfmSelectFieldsBase::makeEntry(std::unique_ptr<TDataFieldRef> ref)
{
    auto *entry = new QListWidgetItem(ref->Field ? GetFieldDisplayName(ref->Field) : QString());
    entry->setData(RefRole, QVariant::fromValue(quintptr(ref.get())));
    m_refs.push_back(std::move(ref));
    updateEntryImage(entry);
    return entry;
}

TDataFieldRef *TfmSelectFieldsBase::EntryRef(int row) const
{
    const QListWidgetItem *entry = lvFields->item(row);
    return entry ? reinterpret_cast<TDataFieldRef *>(entry->data(RefRole).value<quintptr>()) : nullptr;
}

TDataField *TfmSelectFieldsBase::NodeField(const QTreeWidgetItem *node) const
{
    const TGlobalDataFieldList *catalogue = m_list.catalogue();
    if (!node || !catalogue)
        return nullptr;
    const int id = node->data(0, FieldIdRole).toInt();
    return id < 0 ? nullptr : catalogue->FindByID(id);
}

void TfmSelectFieldsBase::updateEntryImage(QListWidgetItem *entry)
{
    int image = ImgField;
    if (m_type == TListType::Group) {
        image = ImgGroup;
    } else if (m_type == TListType::Sort) {
        const auto *sort = reinterpret_cast<TSortField *>(entry->data(RefRole).value<quintptr>());
        image = sort->Order < 0 ? ImgDescending : ImgAscending;
    }
    entry->setIcon(m_images.Icon(image));
    entry->setData(Qt::UserRole + 2, image);
}

void TfmSelectFieldsBase::selectEntry(int row)
{
    if (row < 0 || row >= lvFields->count())
        return;
    lvFields->setCurrentRow(row);
    lvFields->scrollToItem(lvFields->item(row));
}

void TfmSelectFieldsBase::AddField(TDataField *field, int beforeRow)
{
    if (!field)
        return;
    const QString name = GetFieldDisplayName(field);
    for (int row = 0; row < lvFields->count(); ++row) {
        if (lvFields->item(row)->text().compare(name, Qt::CaseInsensitive) == 0) {
            MoveEntry(row, beforeRow);
            return;
        }
    }
    std::unique_ptr<TDataFieldRef> ref;
    switch (m_type) {
    case TListType::Columns:
        ref = std::make_unique<TColumnField>(field, field->DefaultWidth);
        break;
    case TListType::Sort:
        ref = std::make_unique<TSortField>(field, field->DefaultOrder < 0 ? -1 : 1);
        break;
    case TListType::Group:
        ref = std::make_unique<TGroupField>(field);
        break;
    }
    QListWidgetItem *entry = makeEntry(std::move(ref));
    const int row = beforeRow >= 0 && beforeRow < lvFields->count() ? beforeRow : lvFields->count();
    lvFields->insertItem(row, entry);
    selectEntry(row);
    lvFields->setFocus();
}

void TfmSelectFieldsBase::MoveEntry(int row, int beforeRow)
{
    const int count = lvFields->count();
    if (row < 0 || row >= count)
        return;
    const bool toEnd = beforeRow < 0 || beforeRow >= count;
    int target = toEnd ? count - 1 : beforeRow;
    if (!toEnd && beforeRow > row)
        --target;   // the entries behind the moved one close up
    if (target != row)
        lvFields->insertItem(target, lvFields->takeItem(row));
    selectEntry(target);
    lvFields->setFocus();
}

void TfmSelectFieldsBase::RemoveEntry(int row)
{
    if (row < 0 || row >= lvFields->count())
        return;
    TDataFieldRef *ref = EntryRef(row);
    delete lvFields->takeItem(row);
    std::erase_if(m_refs, [ref](const std::unique_ptr<TDataFieldRef> &owned) { return owned.get() == ref; });
    selectEntry(qMin(row, lvFields->count() - 1));
    followSelection();
}

void TfmSelectFieldsBase::ToggleOrder(int row)
{
    if (m_type != TListType::Sort)
        return;
    auto *sort = static_cast<TSortField *>(EntryRef(row));
    if (!sort)
        return;
    sort->Order = sort->Order < 0 ? 1 : -1;
    updateEntryImage(lvFields->item(row));
    followSelection();
}

void TfmSelectFieldsBase::followSelection()
{
    if (m_type != TListType::Sort)
        return;
    const auto *sort = static_cast<const TSortField *>(EntryRef(lvFields->currentRow()));
    rgOrder->setEnabled(sort != nullptr);
    rgOrder->SetItemIndex(sort ? (sort->Order < 0 ? 1 : 0) : -1);
}

void TfmSelectFieldsBase::orderChosen(int index)
{
    const int row = lvFields->currentRow();
    auto *sort = static_cast<TSortField *>(EntryRef(row));
    if (!sort)
        return;
    sort->Order = index == 1 ? -1 : 1;
    updateEntryImage(lvFields->item(row));
}

void TfmSelectFieldsBase::accept()
{
    m_list.FreeAll();
    for (int row = 0; row < lvFields->count(); ++row)
        m_list.Add(EntryRef(row)->Clone(&m_list, true));
    QDialog::accept();
}

void TfmSelectFieldsBase::done(int result)
{
    saveSize();
    QDialog::done(result);
}

void TfmSelectFieldsBase::restoreSize()
{
    const int width = m_store.ReadInteger(SettingsSection, QStringLiteral("Width"), 480);
    const int height = m_store.ReadInteger(SettingsSection, QStringLiteral("Height"), 400);
    const int treeWidth = m_store.ReadInteger(SettingsSection, QStringLiteral("TreeWidth"), 200);
    resize(qBound(320, width, 4000), qBound(240, height, 4000));
    m_treeWidth = qBound(60, treeWidth, this->width() - 80);
    spFields->setSizes({m_treeWidth, qMax(80, this->width() - m_treeWidth)});
}

void TfmSelectFieldsBase::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The splitter has its real width only now.
    if (m_treeWidth > 0) {
        const int all = spFields->width() - spFields->handleWidth();
        spFields->setSizes({m_treeWidth, qMax(80, all - m_treeWidth)});
        m_treeWidth = 0;
    }
}

void TfmSelectFieldsBase::saveSize()
{
    m_store.WriteInteger(SettingsSection, QStringLiteral("Width"), width());
    m_store.WriteInteger(SettingsSection, QStringLiteral("Height"), height());
    m_store.WriteInteger(SettingsSection, QStringLiteral("TreeWidth"), spFields->sizes().value(0));
}

bool SelectFields(TDataFieldRefList &list, const QString &text, QWidget *owner, TSettingsStore &store)
{
    TfmSelectFields window(list, text, owner, store);
    TFormPlacement::CenterOnOwner(&window, owner);
    return window.exec() == QDialog::Accepted;
}
