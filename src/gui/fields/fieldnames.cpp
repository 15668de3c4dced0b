#include "gui/fields/fieldnames.h"

#include "core/base/desktopservices.h"
#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "gui/settings/formplacement.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Commits an edited name only when the window accepts it.
class TFieldNameDelegate : public QStyledItemDelegate {
public:
    explicit TFieldNameDelegate(TfmFieldNamesBase *window) : QStyledItemDelegate(window), m_window(window) {}

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        const auto *edit = qobject_cast<QLineEdit *>(editor);
        if (!edit)
            return;
        const QTreeWidgetItem *entry = m_window->lvFields->topLevelItem(index.row());
        QString name = edit->text().trimmed();
        // An empty name gives the field its original name back.
        if (name.isEmpty())
            if (const TDataField *field = m_window->EntryField(entry))
                name = field->Name;
        if (name == index.data().toString() || !m_window->AcceptName(entry, name))
            return;
        model->setData(index, name);
    }

private:
    TfmFieldNamesBase *m_window;
};

} // namespace

TfmFieldNamesBase::TfmFieldNamesBase(QWidget *owner, TGlobalDataFieldList &fields, const QList<int> &listKinds,
                                     TSettingsStore &store)
    : QDialog(owner), m_fields(fields), m_store(store)
{
    setObjectName(QStringLiteral("fmFieldNames"));
    setWindowTitle(tr("Field Names"));
    lvFields = new QTreeWidget(this);
    lvFields->setObjectName(QStringLiteral("lvFields"));
    lvFields->setColumnCount(2);
    lvFields->setHeaderLabels({tr("Your name"), tr("Original name")});
    lvFields->setRootIsDecorated(false);
    lvFields->setUniformRowHeights(true);
    lvFields->setEditTriggers(QAbstractItemView::EditKeyPressed);
    lvFields->setItemDelegateForColumn(0, new TFieldNameDelegate(this));
    lvFields->header()->resizeSection(0, 150);
    lvFields->header()->resizeSection(1, 164);
    lvFields->header()->setSectionsClickable(true);
    lvFields->header()->setSortIndicatorShown(true);
    lvFields->header()->setSectionsMovable(false);
    connect(lvFields->header(), &QHeaderView::sectionClicked, this, &TfmFieldNamesBase::SortByColumn);

    btOk = new QPushButton(tr("OK"), this);
    btOk->setObjectName(QStringLiteral("btOk"));
    btOk->setDefault(true);
    btCancel = new QPushButton(tr("Cancel"), this);
    btCancel->setObjectName(QStringLiteral("btCancel"));
    btRename = new QPushButton(tr("Rename (F2)"), this);
    btRename->setObjectName(QStringLiteral("btRename"));
    connect(btOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btRename, &QPushButton::clicked, this, &TfmFieldNamesBase::RenameSelected);
    auto *f2 = new QShortcut(QKeySequence(Qt::Key_F2), this);
    connect(f2, &QShortcut::activated, this, &TfmFieldNamesBase::RenameSelected);
    laStatus = new QLabel(tr("Use ampersands (&) in the names to define shortcut keys for the Edit screens"), this);
    laStatus->setObjectName(QStringLiteral("laStatus"));
    laStatus->setWordWrap(true);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(btOk);
    buttons->addWidget(btCancel);
    buttons->addSpacing(12);
    buttons->addWidget(btRename);
    buttons->addStretch();
    auto *body = new QHBoxLayout;
    body->addWidget(lvFields, 1);
    body->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(laStatus);
    resize(460, 420);

    fillList(listKinds);
}

void TfmFieldNamesBase::fillList(const QList<int> &listKinds)
{
    for (int i = 0; i < m_fields.Count(); ++i) {
        TDataField *field = m_fields.Get(i);
        const bool offered = std::any_of(listKinds.begin(), listKinds.end(),
                                         [field](int kind) { return field->ListKinds.contains(kind); });
        if (field->Category == -1 || !offered)
            continue;
        auto *entry = new QTreeWidgetItem(lvFields, {GetFieldName(field), field->Name});
        entry->setFlags(entry->flags() | Qt::ItemIsEditable);
        entry->setData(0, Qt::UserRole, QVariant::fromValue<void *>(field));
    }
    sortEntries();
    if (lvFields->topLevelItemCount() > 0)
        lvFields->setCurrentItem(lvFields->topLevelItem(0));
}

TDataField *TfmFieldNamesBase::EntryField(const QTreeWidgetItem *entry) const
{
    return entry ? static_cast<TDataField *>(entry->data(0, Qt::UserRole).value<void *>()) : nullptr;
}

void TfmFieldNamesBase::sortEntries()
{
    QList<QTreeWidgetItem *> entries;
    QTreeWidgetItem *current = lvFields->currentItem();
    while (lvFields->topLevelItemCount() > 0)
        entries.append(lvFields->takeTopLevelItem(0));
    const int column = m_sortColumn;
    const int direction = m_direction;
    std::stable_sort(entries.begin(), entries.end(), [column, direction](const QTreeWidgetItem *a, const QTreeWidgetItem *b) {
        return direction * QString::compare(a->text(column), b->text(column), Qt::CaseInsensitive) < 0;
    });
    lvFields->addTopLevelItems(entries);
    lvFields->header()->setSortIndicator(column, direction > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
    if (current)
        lvFields->setCurrentItem(current);
}

void TfmFieldNamesBase::SortByColumn(int column)
{
    if (column == m_sortColumn) {
        m_direction = -m_direction;
    } else {
        m_sortColumn = column;
        m_direction = 1;
    }
    sortEntries();
}

void TfmFieldNamesBase::RenameSelected()
{
    if (QTreeWidgetItem *entry = lvFields->currentItem()) {
        lvFields->setFocus();
        lvFields->editItem(entry, 0);
    }
}

bool TfmFieldNamesBase::AcceptName(const QTreeWidgetItem *entry, const QString &name)
{
    for (int i = 0; i < lvFields->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *other = lvFields->topLevelItem(i);
        // The entry's own name is no conflict: keeping it changes nothing.
        if (other != entry && other->text(0).compare(name, Qt::CaseInsensitive) == 0) {
            ShowError(tr("Fieldname \"%1\" already exists").arg(name));
            return false;
        }
    }
    return true;
}

void TfmFieldNamesBase::accept()
{
    for (int i = 0; i < lvFields->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *entry = lvFields->topLevelItem(i);
        if (TDataField *field = EntryField(entry))
            SetFieldCustomName(field, entry->text(0));
    }
    QDialog::accept();
}

void TfmFieldNamesBase::done(int result)
{
    TFormPlacement::SavePlacement(this, m_store);
    QDialog::done(result);
}

bool ShowFieldNames(QWidget *owner, TGlobalDataFieldList &fields, const QList<int> &listKinds,
                    TSettingsStore &store)
{
    TfmFieldNamesBase window(owner, fields, listKinds, store);
    TFormPlacement::CenterOnOwner(&window, owner);
    TFormPlacement::RestorePlacement(&window, store);
    return window.exec() == QDialog::Accepted;
}
