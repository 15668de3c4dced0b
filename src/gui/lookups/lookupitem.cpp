#include "gui/lookups/lookupitem.h"

#include "core/base/desktopservices.h"
#include "core/base/settingsstore.h"
#include "core/data/dataexceptions.h"
#include "core/data/datafield.h"
#include "core/data/lookupitems.h"
#include "core/data/lookuplists.h"
#include "core/mp3model/mp3lookups.h"
#include "core/settings/drives.h"
#include "core/settings/formplacement.h"
#include "gui/lookups/albumlookupitem.h"
#include "gui/settings/formplacement.h"
#include "gui/shell/globaldata.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <functional>

namespace {

constexpr int MaxNameLength = 255;

QLineEdit *nameEdit(const char *name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(MaxNameLength);
    return edit;
}

const TMountTable *mountTable = nullptr;

const TMountTable &mounts()
{
    return mountTable ? *mountTable : SystemMountTable();
}

// The drive kind a radio item stands for, and back.
constexpr quint8 ChoiceKinds[] = {dkFixed, dkCDRom, dkNetwork, dkRemovable};

int choiceOfKind(int kind)
{
    for (int i = 0; i < int(std::size(ChoiceKinds)); ++i) {
        if (ChoiceKinds[i] == kind)
            return i;
    }
    return -1;
}

} // namespace

// ---- TfmLookupItemBase ----------------------------------------------------------

TfmLookupItemBase::TfmLookupItemBase(QWidget *owner, TSettingsStore &store)
    : QDialog(owner), m_store(store)
{
    setObjectName(QStringLiteral("fmLookupItemBase"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    pcMain = new QTabWidget(this);
    pcMain->setObjectName(QStringLiteral("pcMain"));
    tsMain = new QWidget(pcMain);
    tsMain->setObjectName(QStringLiteral("tsMain"));
    pcMain->addTab(tsMain, tr("General"));
    pcMain->tabBar()->hide();   // a single page needs no tab; the album window shows them
    m_form = new QFormLayout(tsMain);
    m_form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    edName = nameEdit("edName", tsMain);
    auto *nameLabel = new QLabel(tr("&Display Name"), tsMain);
    nameLabel->setBuddy(edName);
    m_form->addRow(nameLabel, edName);

    btOK = new QPushButton(tr("OK"), this);
    btOK->setObjectName(QStringLiteral("btOK"));
    btOK->setDefault(true);
    btCancel = new QPushButton(tr("Cancel"), this);
    btCancel->setObjectName(QStringLiteral("btCancel"));
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(btOK);
    buttons->addWidget(btCancel);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(pcMain, 1);
    layout->addLayout(buttons);

    connect(btOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(edName, &QLineEdit::textChanged, this, &TfmLookupItemBase::nameEdited);
    resize(422, 103);
}

TfmLookupItemBase::~TfmLookupItemBase() = default;

void TfmLookupItemBase::SetItem(TLookupItem *item, TLookupList *list, TLookupEditContext *context)
{
    m_item = item;
    m_list = list;
    m_context = context;
}

void TfmLookupItemBase::LoadFromItem(const TLookupItem &item)
{
    edName->setText(item.DisplayName);
}

void TfmLookupItemBase::SaveToItem(TLookupItem &item)
{
    item.DisplayName = edName->text();
}

std::unique_ptr<TLookupItem> TfmLookupItemBase::CreateTemporaryItem() const
{
    std::unique_ptr<TDataItem> created = m_item ? m_item->CreateNew(nullptr) : std::make_unique<TLookupItem>();
    return std::unique_ptr<TLookupItem>(static_cast<TLookupItem *>(created.release()));
}

void TfmLookupItemBase::showEvent(QShowEvent *event)
{
    if (!m_loaded) {
        m_loaded = true;
        // Centred over the owner unless the window was placed before.
        if (placement::Read(m_store, objectName()))
            TFormPlacement::RestorePlacement(this, m_store);
        if (m_item)
            LoadFromItem(*m_item);
        pcMain->setCurrentWidget(tsMain);
        orderTabs();
        edName->setFocus();
        nameEdited();
    }
    QDialog::showEvent(event);
}

void TfmLookupItemBase::orderTabs()
{
    // The descendants add rows after the buttons were made, and not always
    // at the end: the order on screen is the form's.
    QList<QWidget *> order;
    const std::function<void(QLayoutItem *)> collect = [&](QLayoutItem *item) {
        if (!item)
            return;
        if (QWidget *widget = item->widget()) {
            if (widget->focusPolicy() & Qt::TabFocus)
                order.append(widget);
            else if (auto *group = qobject_cast<QGroupBox *>(widget))
                order.append(group->focusProxy() ? group->focusProxy() : group);
        } else if (QLayout *layout = item->layout()) {
            for (int i = 0; i < layout->count(); ++i)
                collect(layout->itemAt(i));
        }
    };
    for (int row = 0; row < m_form->rowCount(); ++row)
        collect(m_form->itemAt(row, QFormLayout::FieldRole));
    order.append(pcMain->tabBar()->isVisible() ? pcMain->tabBar() : nullptr);
    order.removeAll(nullptr);
    order << btOK << btCancel;
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
}

void TfmLookupItemBase::nameEdited()
{
    // Blanks alone are no name either.
    btOK->setEnabled(!edName->text().trimmed().isEmpty());
    NamePartsChanged();
}

void TfmLookupItemBase::accept()
{
    if (!btOK->isEnabled())
        return;
    const QString name = edName->text();
    const TLookupItem *other = m_list ? m_list->FindByName(name) : nullptr;
    if (other && other != m_item) {
        ShowInfo(tr("%1 is already in the list.").arg(name));
        pcMain->setCurrentWidget(tsMain);
        edName->setFocus();
        return;
    }
    if (m_item) {
        SaveToItem(*m_item);
        if (m_list) {
            try {
                m_list->ItemChanged(m_item);
            } catch (const EData &) {
                // A value outside its list is still saved; it just keeps no order.
            }
        }
    }
    QDialog::accept();
}

void TfmLookupItemBase::done(int result)
{
    TFormPlacement::SavePlacement(this, m_store);
    QDialog::done(result);
}

// ---- TfmSortLookupItem -------------------------------------------------------------

TfmSortLookupItem::TfmSortLookupItem(QWidget *owner, TSettingsStore &store)
    : TfmLookupItemBase(owner, store)
{
    setObjectName(QStringLiteral("fmSortLookupItem"));
    QFormLayout *form = MainForm();

    btGenerateNamePartsFromName = new QPushButton(tr("Generate"), tsMain);
    btGenerateNamePartsFromName->setObjectName(QStringLiteral("btGenerateNamePartsFromName"));
    btGenerateNamePartsFromName->setIcon(
        images::ActionIcon(QStringLiteral("go-down"), QStringLiteral("action-movedown")));
    btGenerateNamePartsFromName->setToolTip(tr("Fill in the name parts from the display name"));
    btGenerateNameFromNameParts = new QPushButton(tr("Generate"), tsMain);
    btGenerateNameFromNameParts->setObjectName(QStringLiteral("btGenerateNameFromNameParts"));
    btGenerateNameFromNameParts->setIcon(
        images::ActionIcon(QStringLiteral("go-up"), QStringLiteral("action-moveup")));
    btGenerateNameFromNameParts->setToolTip(tr("Build the display name from the name parts"));
    auto *generators = new QHBoxLayout;
    generators->addWidget(btGenerateNamePartsFromName);
    generators->addWidget(btGenerateNameFromNameParts);
    generators->addStretch();
    form->addRow(QString(), generators);

    edLastName = nameEdit("edLastName", tsMain);
    laLastName = new QLabel(tr("&Name"), tsMain);
    laLastName->setBuddy(edLastName);
    form->addRow(laLastName, edLastName);
    edThe = nameEdit("edThe", tsMain);
    auto *theLabel = new QLabel(tr("&The"), tsMain);
    theLabel->setBuddy(edThe);
    form->addRow(theLabel, edThe);

    edSortName = nameEdit("edSortName", tsMain);
    edSortName->setReadOnly(true);
    edSortName->setFocusPolicy(Qt::ClickFocus);
    edSortName->setBackgroundRole(QPalette::Window);
    QPalette palette = edSortName->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    edSortName->setPalette(palette);
    form->addRow(tr("Sort Name"), edSortName);

    laExplanation = new QLabel(tr("(The Display Name field is used when items are displayed on screen and on "
                                  "reports. \"Display Name\" is a required field, it cannot be empty. Examples: "
                                  "\"Anna Kestrel\", \"The Lanterns\"."),
                               tsMain);
    laExplanation->setObjectName(QStringLiteral("laExplanation"));
    laExplanation->setWordWrap(true);
    form->addRow(laExplanation);

    connect(btGenerateNamePartsFromName, &QPushButton::clicked, this, [this] { generate(false); });
    connect(btGenerateNameFromNameParts, &QPushButton::clicked, this, [this] { generate(true); });
    for (QLineEdit *edit : {edLastName, edThe})
        connect(edit, &QLineEdit::textChanged, this, [this] { NamePartsChanged(); });
    resize(426, 239);
}

void TfmSortLookupItem::AddDetailRow(const QString &label, QWidget *field)
{
    auto *caption = new QLabel(label, tsMain);
    caption->setBuddy(field);
    MainForm()->insertRow(MainForm()->rowCount() - 1, caption, field);
}

void TfmSortLookupItem::AddDetailRow(QWidget *field)
{
    MainForm()->insertRow(MainForm()->rowCount() - 1, field);
}

void TfmSortLookupItem::LoadFromItem(const TLookupItem &item)
{
    if (const auto *sortItem = dynamic_cast<const TSortLookupItem *>(&item)) {
        edLastName->setText(sortItem->LastName);
        edThe->setText(sortItem->The);
    }
    TfmLookupItemBase::LoadFromItem(item);
    NamePartsChanged();
}

void TfmSortLookupItem::SaveToItem(TLookupItem &item)
{
    TfmLookupItemBase::SaveToItem(item);
    if (auto *sortItem = dynamic_cast<TSortLookupItem *>(&item)) {
        sortItem->LastName = edLastName->text();
        sortItem->The = edThe->text();
    }
}

void TfmSortLookupItem::NamePartsChanged()
{
    // The sort name is the model's own: the controls go into a scratch value
    // of the edited value's class, which builds it.
    const std::unique_ptr<TLookupItem> scratch = CreateTemporaryItem();
    SaveToItem(*scratch);
    edSortName->setText(scratch->GetSortName());
}

void TfmSortLookupItem::generate(bool nameFromParts)
{
    // The edited value changes only on OK.
    const std::unique_ptr<TLookupItem> scratch = CreateTemporaryItem();
    SaveToItem(*scratch);
    if (nameFromParts)
        scratch->GenerateNameFromNameParts();
    else
        scratch->GenerateNamePartsFromName();
    LoadFromItem(*scratch);
}

// ---- TfmPersonLookupItem -----------------------------------------------------------

TfmPersonLookupItem::TfmPersonLookupItem(QWidget *owner, TSettingsStore &store)
    : TfmSortLookupItem(owner, store)
{
    setObjectName(QStringLiteral("fmPersonLookupItem"));
    laLastName->setText(tr("Last &Name"));
    edFirstName = nameEdit("edFirstName", tsMain);
    auto *label = new QLabel(tr("&First Name"), tsMain);
    label->setBuddy(edFirstName);
    // First name before last name, as a name is written.
    int row = 0;
    QFormLayout::ItemRole role;
    MainForm()->getWidgetPosition(edLastName, &row, &role);
    MainForm()->insertRow(row, label, edFirstName);
    connect(edFirstName, &QLineEdit::textChanged, this, [this] { NamePartsChanged(); });
    resize(430, 241);
}

void TfmPersonLookupItem::LoadFromItem(const TLookupItem &item)
{
    if (const auto *person = dynamic_cast<const TPersonLookupItem *>(&item))
        edFirstName->setText(person->FirstName);
    TfmSortLookupItem::LoadFromItem(item);
}

void TfmPersonLookupItem::SaveToItem(TLookupItem &item)
{
    TfmSortLookupItem::SaveToItem(item);
    if (auto *person = dynamic_cast<TPersonLookupItem *>(&item))
        person->FirstName = edFirstName->text();
}

// ---- TfmLocationLookupItem ---------------------------------------------------------

TfmLocationLookupItem::TfmLocationLookupItem(QWidget *owner, TSettingsStore &store)
    : TfmSortLookupItem(owner, store)
{
    setObjectName(QStringLiteral("fmLocationLookupItem"));
    setWindowTitle(tr("Location"));

    cbDrive = new QComboBox(tsMain);
    cbDrive->setObjectName(QStringLiteral("cbDrive"));
    cbDrive->setToolTip(tr("Choose a mounted drive to take over its type and label"));
    AddDetailRow(tr("D&rive"), cbDrive);

    rgDriveType = new QGroupBox(tr("Drive &Type"), tsMain);
    rgDriveType->setObjectName(QStringLiteral("rgDriveType"));
    m_driveTypes = new QButtonGroup(rgDriveType);
    auto *grid = new QGridLayout(rgDriveType);
    const QString captions[] = {tr("Harddisk"), tr("CD"), tr("Network"), tr("Removable")};
    for (int i = 0; i < int(std::size(captions)); ++i) {
        auto *button = new QRadioButton(captions[i], rgDriveType);
        m_driveTypes->addButton(button, i);
        grid->addWidget(button, i / 2, i % 2);
    }
    m_driveTypes->button(ChoiceHarddisk)->setChecked(true);
    // The group's accelerator moves into its chosen item.
    rgDriveType->setFocusProxy(m_driveTypes->button(ChoiceHarddisk));
    connect(m_driveTypes, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            rgDriveType->setFocusProxy(m_driveTypes->button(id));
    });
    AddDetailRow(rgDriveType);

    edDriveLabel = nameEdit("edDriveLabel", tsMain);
    AddDetailRow(tr("Drive &Label"), edDriveLabel);

    fillDrives();
    connect(cbDrive, &QComboBox::activated, this, &TfmLocationLookupItem::driveChosen);
    connect(edDriveLabel, &QLineEdit::textChanged, this, [this] { NamePartsChanged(); });
    resize(428, 323);
}

void TfmLocationLookupItem::SetMountTable(const TMountTable *table)
{
    mountTable = table;
}

int TfmLocationLookupItem::DriveTypeIndex() const
{
    return m_driveTypes->checkedId();
}

void TfmLocationLookupItem::SetDriveTypeIndex(int index)
{
    if (QAbstractButton *button = m_driveTypes->button(index))
        button->setChecked(true);
}

void TfmLocationLookupItem::fillDrives()
{
    cbDrive->clear();
    cbDrive->addItem(QString());   // no drive chosen: the type and label stay as they are
    for (const TMountInfo &mount : mounts().Mounts()) {
        // Memory file systems hold no music that outlives the session.
        if (DriveKindOfMount(mount) == dkRamDisk)
            continue;
        const QString name = VolumeNameOfMount(mount);
        const QString text = name.isEmpty() || name == mount.RootPath
                                 ? mount.RootPath
                                 : tr("%1 (%2)").arg(mount.RootPath, name);
        cbDrive->addItem(text, QVariant::fromValue(mount.RootPath));
        cbDrive->setItemData(cbDrive->count() - 1, DriveKindOfMount(mount), Qt::UserRole + 1);
        cbDrive->setItemData(cbDrive->count() - 1, name, Qt::UserRole + 2);
    }
}

void TfmLocationLookupItem::driveChosen(int index)
{
    if (index <= 0)
        return;
    SetDriveTypeIndex(choiceOfKind(cbDrive->itemData(index, Qt::UserRole + 1).toInt()));
    edDriveLabel->setText(cbDrive->itemData(index, Qt::UserRole + 2).toString());
}

void TfmLocationLookupItem::LoadFromItem(const TLookupItem &item)
{
    TfmSortLookupItem::LoadFromItem(item);
    const auto *location = dynamic_cast<const TLocationLookupItem *>(&item);
    if (!location)
        return;
    // A kind the radio items do not offer leaves the choice as it is.
    const int choice = choiceOfKind(location->DriveType);
    if (choice >= 0)
        SetDriveTypeIndex(choice);
    edDriveLabel->setText(location->DriveLabel);
    const int drive = location->DriveLabel.isEmpty() ? -1 : cbDrive->findData(location->DriveLabel, Qt::UserRole + 2);
    cbDrive->setCurrentIndex(qMax(0, drive));
}

void TfmLocationLookupItem::SaveToItem(TLookupItem &item)
{
    TfmSortLookupItem::SaveToItem(item);
    auto *location = dynamic_cast<TLocationLookupItem *>(&item);
    if (!location)
        return;
    const int choice = DriveTypeIndex();
    location->DriveType = choice >= 0 ? ChoiceKinds[choice] : quint8(dkFixed);
    location->DriveLabel = edDriveLabel->text();
}

// ---- creating the windows ----------------------------------------------------------

TLookupItemWindowClass LookupItemWindowFor(const TDataField *field)
{
    // The most derived field class first.
    if (dynamic_cast<const TLocationLookupDataField *>(field))
        return TLookupItemWindowClass::Location;
    if (dynamic_cast<const TAlbumLookupDataField *>(field))
        return TLookupItemWindowClass::Album;
    if (dynamic_cast<const TPersonLookupDataField *>(field))
        return TLookupItemWindowClass::Person;
    if (dynamic_cast<const TSortLookupDataField *>(field))
        return TLookupItemWindowClass::Sort;
    return TLookupItemWindowClass::Plain;
}

std::unique_ptr<TfmLookupItemBase> CreateLookupItemWindow(TLookupItemWindowClass windowClass, QWidget *owner,
                                                          TSettingsStore &store)
{
    switch (windowClass) {
    case TLookupItemWindowClass::Sort:
        return std::make_unique<TfmSortLookupItem>(owner, store);
    case TLookupItemWindowClass::Person:
        return std::make_unique<TfmPersonLookupItem>(owner, store);
    case TLookupItemWindowClass::Location:
        return std::make_unique<TfmLocationLookupItem>(owner, store);
    case TLookupItemWindowClass::Album:
        return std::make_unique<TfmAlbumLookupItem>(owner, store);
    case TLookupItemWindowClass::Plain:
        break;
    }
    return std::make_unique<TfmLookupItemBase>(owner, store);
}

bool EditLookupItem(TLookupItemWindowClass windowClass, QWidget *owner, TLookupItem *item, const QString &caption,
                    TLookupList *list, TSettingsStore &store, TLookupEditContext *context)
{
    if (!item)
        return false;
    const std::unique_ptr<TfmLookupItemBase> window = CreateLookupItemWindow(windowClass, owner, store);
    window->SetItem(item, list, context);
    window->setWindowTitle(caption);
    TFormPlacement::CenterOnOwner(window.get(), owner);
    return window->exec() == QDialog::Accepted;
}
