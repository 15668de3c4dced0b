#include "gui/fields/fielddefaults.h"

#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/data/lookuplists.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3fields.h"
#include "core/mp3model/mp3root.h"
#include "gui/settings/formplacement.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QComboBox *valueBox(const char *name, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(15);
    box->setMinimumContentsLength(20);
    return box;
}

QLabel *label(const char *name, const QString &caption, QWidget *buddy, QWidget *parent)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(QLatin1String(name));
    l->setBuddy(buddy);
    return l;
}

void fill(QComboBox *box, TLookupList *list)
{
    box->clear();
    if (!list)
        return;
    TLookupEntries entries;
    list->FillStrings(entries);
    for (const TLookupEntry &entry : std::as_const(entries))
        box->addItem(entry.Text);
}

void showValue(QComboBox *box, const QString &value)
{
    box->setCurrentIndex(box->findText(value, Qt::MatchFixedString));
    box->setEditText(value);
}

TMP3Defaults *mp3Defaults(TRootItem &root)
{
    return dynamic_cast<TMP3Defaults *>(root.Defaults.get());
}

} // namespace

TfmFieldDefaultsBase::TfmFieldDefaultsBase(QWidget *owner, TRootItem &root, TSettingsStore &store)
    : QDialog(owner), m_root(root), m_store(store)
{
    setObjectName(QStringLiteral("fmFieldDefaults"));
    setWindowTitle(tr("Field Defaults"));
    cbYear = valueBox("cbYear", this);
    cbGenre = valueBox("cbGenre", this);
    cbLocation = valueBox("cbLocation", this);
    laYear = label("laYear", tr("&Year"), cbYear, this);
    laGenre = label("laGenre", tr("&Genre"), cbGenre, this);
    laLocation = label("laLocation", tr("&Location"), cbLocation, this);
    btOk = new QPushButton(tr("OK"), this);
    btOk->setObjectName(QStringLiteral("btOk"));
    btOk->setDefault(true);
    btCancel = new QPushButton(tr("Cancel"), this);
    btCancel->setObjectName(QStringLiteral("btCancel"));
    connect(btOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *grid = new QGridLayout;
    grid->addWidget(laYear, 0, 0);
    grid->addWidget(cbYear, 0, 1);
    grid->addWidget(laGenre, 1, 0);
    grid->addWidget(cbGenre, 1, 1);
    grid->addWidget(laLocation, 2, 0);
    grid->addWidget(cbLocation, 2, 1);
    grid->setColumnStretch(1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btOk);
    buttons->addWidget(btCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);
}

void TfmFieldDefaultsBase::showEvent(QShowEvent *event)
{
    if (!m_shown) {
        m_shown = true;
        TFormPlacement::RestorePlacement(this, m_store);
        FillLists();
        ShowLabels();
        ShowValues();
    }
    QDialog::showEvent(event);
}

void TfmFieldDefaultsBase::accept()
{
    StoreValues();
    QDialog::accept();
}

void TfmFieldDefaultsBase::done(int result)
{
    TFormPlacement::SavePlacement(this, m_store);
    QDialog::done(result);
}

void TfmFieldDefaults::FillLists()
{
    auto *root = dynamic_cast<TMp3Root *>(&m_root);
    if (!root)
        return;
    fill(cbYear, root->Years.get());
    fill(cbGenre, root->GenreList.get());
    fill(cbLocation, root->Locations.get());
}

void TfmFieldDefaults::ShowLabels()
{
    const std::pair<QLabel *, qint32> labels[] = {
        {laYear, Mp3FieldIds::Year}, {laGenre, Mp3FieldIds::Genre}, {laLocation, Mp3FieldIds::Location}};
    for (const auto &[label, id] : labels) {
        if (const TDataField *field = m_root.Fields->FindByID(id))
            label->setText(GetFieldName(field));
    }
}

void TfmFieldDefaults::ShowValues()
{
    if (const TMP3Defaults *defaults = mp3Defaults(m_root)) {
        showValue(cbYear, defaults->DefaultYear);
        showValue(cbGenre, defaults->DefaultGenre);
        showValue(cbLocation, defaults->DefaultLocation);
    }
}

void TfmFieldDefaults::StoreValues()
{
    if (TMP3Defaults *defaults = mp3Defaults(m_root)) {
        defaults->DefaultYear = cbYear->currentText().trimmed();
        defaults->DefaultGenre = cbGenre->currentText().trimmed();
        defaults->DefaultLocation = cbLocation->currentText().trimmed();
    }
}

bool ShowFieldDefaults(QWidget *owner, TRootItem &root, TSettingsStore &store)
{
    TfmFieldDefaults window(owner, root, store);
    window.adjustSize();
    TFormPlacement::CenterOnOwner(&window, owner);
    return window.exec() == QDialog::Accepted;
}
