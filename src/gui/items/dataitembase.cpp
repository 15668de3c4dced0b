#include "gui/items/dataitembase.h"

#include "core/base/desktopservices.h"
#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/data/lookuplists.h"
#include "core/data/rootitem.h"
#include "core/settings/prefs.h"
#include "gui/settings/formplacement.h"
#include "gui/shell/lookupvaluebutton.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

TLookupItemEditor lookupItemEditor;

TLookupItem *entryItem(const QComboBox *combo, int index)
{
    return static_cast<TLookupItem *>(combo->itemData(index).value<void *>());
}

} // namespace

TfmDataItemBase::TfmDataItemBase(QWidget *owner, TMp3Prefs &prefs)
    : QDialog(owner), m_prefs(prefs)
{
    setObjectName(QStringLiteral("fmDataItemBase"));
    setWindowTitle(tr("Edit Data Item"));
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowSystemMenuHint);
    setSizeGripEnabled(true);

    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    tsMain = new QWidget(PageControl);
    tsMain->setObjectName(QStringLiteral("tsMain"));
    PageControl->addTab(tsMain, tr("Main"));

    pnRight = new QWidget(this);
    pnRight->setObjectName(QStringLiteral("pnRight"));
    btOk = new QPushButton(tr("OK"), pnRight);
    btOk->setObjectName(QStringLiteral("btOk"));
    btOk->setDefault(true);
    btCancel = new QPushButton(tr("Cancel"), pnRight);
    btCancel->setObjectName(QStringLiteral("btCancel"));
    auto *buttons = new QVBoxLayout(pnRight);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(btOk);
    buttons->addWidget(btCancel);
    buttons->addStretch();
    connect(btOk, &QPushButton::clicked, this, &TfmDataItemBase::btOkClick);
    connect(btCancel, &QPushButton::clicked, this, &TfmDataItemBase::btCancelClick);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);

    auto *body = new QHBoxLayout;
    body->addWidget(PageControl, 1);
    body->addWidget(pnRight);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 0);
    layout->addLayout(body, 1);
    layout->addWidget(StatusBar);
}

TfmDataItemBase::~TfmDataItemBase() = default;

std::unique_ptr<TfmDataItemBase> TfmDataItemBase::CreateForm(QWidget *owner, TMp3Prefs &prefs)
{
    return std::make_unique<TfmDataItemBase>(owner, prefs);
}

bool TfmDataItemBase::Execute(TDataItemWindowClass windowClass, QWidget *owner, TDataItem *item, int mode,
                              TMp3Prefs &prefs)
{
    const std::unique_ptr<TfmDataItemBase> window = windowClass(owner, prefs);
    window->SetItem(item, mode);
    return window->exec() == QDialog::Accepted;
}

void TfmDataItemBase::SetItem(TDataItem *item, int mode)
{
    Item = item;
    Snapshot = item ? item->Clone(item->Owner, true) : nullptr;
    Mode = mode;
}

void TfmDataItemBase::SetLookupItemEditor(TLookupItemEditor editor)
{
    lookupItemEditor = std::move(editor);
}

const TLookupItemEditor &TfmDataItemBase::LookupItemEditor()
{
    return lookupItemEditor;
}

// ---- the virtual steps ---------------------------------------------------------

void TfmDataItemBase::LoadFromItem(TDataItem *) {}

void TfmDataItemBase::SaveToItem(TDataItem *) {}

void TfmDataItemBase::RestoreWindowPlacement()
{
    TFormPlacement::CenterOnOwner(this, parentWidget());
    TFormPlacement::RestorePlacement(this, m_prefs.Store());
}

void TfmDataItemBase::SaveWindowPlacement()
{
    TFormPlacement::SavePlacement(this, m_prefs.Store());
}

void TfmDataItemBase::SetFieldLabels() {}

void TfmDataItemBase::FillLookupLists() {}

void TfmDataItemBase::UpdateCaption()
{
    setWindowTitle(Mode == EditMode ? tr("Edit Item") : tr("Add Item"));
}

bool TfmDataItemBase::ConfirmItem(TDataItem *)
{
    return true;
}

// ---- opening and closing ---------------------------------------------------------

void TfmDataItemBase::showEvent(QShowEvent *event)
{
    if (!m_opened) {
        m_opened = true;
        RestoreWindowPlacement();
        m_loading = true;
        SetFieldLabels();
        FillLookupLists();
        if (Item)
            LoadFromItem(Item);
        m_loading = false;
        UpdateCaption();
        PageControl->setCurrentIndex(0);
    }
    QDialog::showEvent(event);
}

void TfmDataItemBase::done(int result)
{
    if (!m_closing) {
        m_closing = true;
        SaveWindowPlacement();
    }
    QDialog::done(result);
}

void TfmDataItemBase::reject()
{
    // Esc and the window's close button ask as the Cancel button does.
    btCancelClick();
}

void TfmDataItemBase::btOkClick()
{
    if (Item)
        SaveToItem(Item);
    if (Mode == EditMode && Item && Snapshot && Item->IsEqual(Snapshot.get())) {
        // Confirmed without a change: not an edit.
        QDialog::done(QDialog::Rejected);
        return;
    }
    if (!ConfirmItem(Item))
        return;
    done(QDialog::Accepted);
}

void TfmDataItemBase::btCancelClick()
{
    if (Item)
        SaveToItem(Item);   // only to compare
    const bool unchanged = !Item || !Snapshot || Item->IsEqual(Snapshot.get());
    if (m_prefs.ConfirmItemCancel && !unchanged
        && AskYesNo(tr("Are you sure you want to cancel changes made to this item?"))
               != TDesktopServices::TAnswer::Yes)
        return;
    done(QDialog::Rejected);
}

// ---- lookup combos ------------------------------------------------------------------

void TfmDataItemBase::FillCombo(QComboBox *combo, TLookupList *list)
{
    const QString typed = combo->currentText();
    TLookupItem *selected = SelectedLookup(combo);
    const QSignalBlocker blocker(combo);
    combo->clear();
    if (list) {
        TLookupEntries entries;
        list->FillStrings(entries);
        for (const TLookupEntry &entry : std::as_const(entries))
            combo->addItem(entry.Text, QVariant::fromValue<void *>(entry.Item));
    }
    if (selected)
        SelectLookupInCombo(combo, selected);
    else {
        combo->setCurrentIndex(-1);
        combo->setEditText(typed);
    }
}

void TfmDataItemBase::SelectLookupInCombo(QComboBox *combo, TLookupItem *item)
{
    const QSignalBlocker blocker(combo);
    int index = -1;
    for (int i = 0; item && i < combo->count(); ++i) {
        if (entryItem(combo, i) == item) {
            index = i;
            break;
        }
    }
    combo->setCurrentIndex(index);
    if (index < 0)
        combo->setEditText(QString());
}

TLookupItem *TfmDataItemBase::SelectedLookup(QComboBox *combo)
{
    // An editable box keeps its last entry while the user types something
    // else: the entry counts only while the text is still its text.
    const int index = combo->currentIndex();
    if (index >= 0 && combo->itemText(index) == combo->currentText())
        return entryItem(combo, index);
    const int typed = combo->findText(combo->currentText(), Qt::MatchExactly);
    return typed >= 0 ? entryItem(combo, typed) : nullptr;
}

TLookupItem *TfmDataItemBase::LookupFromCombo(QComboBox *combo, TLookupList *list)
{
    if (TLookupItem *item = SelectedLookup(combo))
        return item;
    const QString text = combo->currentText().trimmed();
    if (text.isEmpty() || !list)
        return nullptr;
    return list->FindOrAdd(text);
}

void TfmDataItemBase::EditLookupFromCombo(QComboBox *combo, qint32 fieldID)
{
    TRootItem *root = Item ? Item->GetRoot() : TRootItem::Current();
    TDataField *field = root && root->Fields ? root->Fields->FindByID(fieldID) : nullptr;
    TLookupList *list = field ? root->GetLookupList(field) : nullptr;
    if (!list || !lookupItemEditor)
        return;
    const QString fieldName = GetFieldDisplayName(field);
    TLookupItem *shown = EditOrAddLookupValue(
        this, *list, SelectedLookup(combo), combo->currentText().trimmed(), m_prefs.LookupHintShown,
        [&](TLookupItem *item, bool adding) {
            const QString caption = adding ? tr("Add %1").arg(fieldName) : tr("Edit %1").arg(fieldName);
            return lookupItemEditor(this, fieldID, item, caption, list);
        });
    if (shown) {
        FillCombo(combo, list);
        SelectLookupInCombo(combo, shown);
    }
}
