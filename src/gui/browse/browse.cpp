#include "gui/browse/browse.h"

#include "core/base/settingsstore.h"
#include "core/data/datafield.h"
#include "core/data/datalists.h"
#include "core/data/fieldlists.h"
#include "core/data/fieldrefs.h"
#include "core/data/rootitem.h"
#include "gui/explorer/sizingsplitter.h"
#include "gui/fields/selectfields.h"
#include "gui/settings/formplacement.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString BrowseSection = QStringLiteral("fmBrowse");
const char *const FieldIdProperty = "fieldId";
constexpr int DefaultInfoHeight = 50;

} // namespace

TfmBrowseBase::TfmBrowseBase(const TDataRefList &list, int listKind, TRootItem &root, TSettingsStore &store,
                             QWidget *owner)
    : QDialog(owner), m_list(list), m_listKind(listKind), m_store(store)
{
    setObjectName(QStringLiteral("fmBrowseBase"));
    setWindowTitle(tr("Browse Current List"));
    setSizeGripEnabled(true);
    ColumnFields = std::make_unique<TColumnFieldRefList>(quint8(listKind), &root);

    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("tbBrowse"));
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto tool = [bar](const char *name, const QString &text, const QString &hint, const char *theme) {
        auto *b = new QToolButton(bar);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setToolTip(hint);
        if (theme)
            b->setIcon(QIcon::fromTheme(QLatin1String(theme)));
        b->setAutoRaise(true);
        bar->addWidget(b);
        return b;
    };
    btFirst = tool("btFirst", tr("First"), tr("First"), "go-first");
    btPrior = tool("btPrior", tr("Previous"), tr("Previous"), "go-previous");
    btNext = tool("btNext", tr("Next"), tr("Next"), "go-next");
    btLast = tool("btLast", tr("Last"), tr("Last"), "go-last");
    bar->addSeparator();
    btEditShowFields = tool("btEditShowFields", tr("Fields"), tr("Fields"), "view-list-details");
    bar->addSeparator();
    btClose = tool("btClose", tr("&Close"), tr("Close"), nullptr);
    btFirst->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Home));
    btPrior->setShortcut(QKeySequence(Qt::Key_PageUp));
    btNext->setShortcut(QKeySequence(Qt::Key_PageDown));
    btLast->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_End));
    connect(btFirst, &QToolButton::clicked, this, [this] { SetPosition(0); });
    connect(btPrior, &QToolButton::clicked, this, [this] { SetPosition(Position - 1); });
    connect(btNext, &QToolButton::clicked, this, [this] { SetPosition(Position + 1); });
    connect(btLast, &QToolButton::clicked, this, [this] { SetPosition(m_list.Count() - 1); });
    connect(btEditShowFields, &QToolButton::clicked, this, &TfmBrowseBase::ChooseFields);
    connect(btClose, &QToolButton::clicked, this, &QDialog::accept);

    scBrowse = new QScrollArea(this);
    scBrowse->setObjectName(QStringLiteral("scBrowse"));
    scBrowse->setWidgetResizable(true);
    scBrowse->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *info = new QFrame(this);
    info->setFrameShape(QFrame::StyledPanel);
    pnInfo = info;
    pnInfo->setObjectName(QStringLiteral("pnInfo"));
    m_splitter = new TSizingSplitter(Qt::Vertical, this);
    m_splitter->setHandleWidth(7);
    m_splitter->SetWidgets(pnInfo, scBrowse, false);

    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar"));
    laStatus = new QLabel(status);
    laStatus->setObjectName(QStringLiteral("laStatus"));
    status->addWidget(laStatus, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_splitter, 1);
    layout->addWidget(status);

    resize(529, 419);
    LoadSettings();
    buildFields();
}

TfmBrowseBase::~TfmBrowseBase() = default;

QString TfmBrowseBase::fieldsSection() const
{
    return BrowseSection + QStringLiteral("\\ColumnFields") + QString::number(m_listKind);
}

void TfmBrowseBase::LoadSettings()
{
    TFormPlacement::RestorePlacement(this, m_store);
    ColumnFields->LoadFromSettings(m_store, fieldsSection());
    const int height = m_store.ReadInteger(BrowseSection, QStringLiteral("InfoHeight"), DefaultInfoHeight);
    m_splitter->SetPanelSize(height >= 0 && height <= 2000 ? height : DefaultInfoHeight);
}

void TfmBrowseBase::SaveSettings()
{
    ColumnFields->SaveToSettings(m_store, fieldsSection());
    m_store.WriteInteger(BrowseSection, QStringLiteral("InfoHeight"), m_splitter->PanelSize());
    TFormPlacement::SavePlacement(this, m_store);
}

void TfmBrowseBase::done(int result)
{
    SaveSettings();
    QDialog::done(result);
}

// One label and read-only field per chosen field; each field carries the
// ID of the field it shows.
void TfmBrowseBase::buildFields()
{
    delete m_form;
    m_form = new QWidget;
    auto *layout = new QVBoxLayout(m_form);
    layout->setContentsMargins(4, 4, 8, 4);
    layout->setSpacing(2);
    for (int i = 0; i < ColumnFields->Count(); ++i) {
        const TDataField *field = ColumnFields->Get(i)->Field;
        if (!field)
            continue;
        auto *edit = new QLineEdit(m_form);
        edit->setReadOnly(true);
        edit->setProperty(FieldIdProperty, field->ID);
        edit->setObjectName(QStringLiteral("edField%1").arg(field->ID));
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        edit->setPalette(palette);
        auto *label = new QLabel(GetFieldName(field), m_form);
        label->setBuddy(edit);
        layout->addWidget(label);
        layout->addWidget(edit);
        layout->addSpacing(4);
    }
    layout->addStretch();
    scBrowse->setWidget(m_form);
    updateButtons();
    showObject();
}

QList<QLineEdit *> TfmBrowseBase::FieldEdits() const
{
    return m_form ? m_form->findChildren<QLineEdit *>() : QList<QLineEdit *>();
}

void TfmBrowseBase::showObject()
{
    if (Position < 0 || Position >= m_list.Count())
        return;
    TDataItem *object = m_list.Get(Position);
    const TGlobalDataFieldList *catalogue = ColumnFields->catalogue();
    for (QLineEdit *edit : FieldEdits()) {
        const TDataField *field = catalogue ? catalogue->FindByID(edit->property(FieldIdProperty).toInt()) : nullptr;
        edit->setText(field ? object->GetValueAsString(field) : QString());
        edit->setCursorPosition(0);
    }
    ShowObjectHook(object);
    laStatus->setText(tr("Item %1 of %2").arg(Position + 1).arg(m_list.Count()));
}

void TfmBrowseBase::updateButtons()
{
    btFirst->setEnabled(Position > 0);
    btPrior->setEnabled(Position > 0);
    btNext->setEnabled(Position < m_list.Count() - 1);
    btLast->setEnabled(Position < m_list.Count() - 1);
}

void TfmBrowseBase::SetPosition(int position)
{
    if (position < 0 || position >= m_list.Count())
        return;
    Position = position;
    updateButtons();
    showObject();
}

void TfmBrowseBase::ChooseFields()
{
    if (SelectFields(*ColumnFields, tr("for Browse Screen"), this, m_store))
        buildFields();
}

int TfmBrowseBase::Browse(const TDataRefList &list, int listKind, TRootItem &root, TSettingsStore &store,
                          QWidget *owner, int startPosition)
{
    TfmBrowseBase window(list, listKind, root, store, owner);
    window.Position = startPosition;
    window.updateButtons();
    window.showObject();
    window.exec();
    return window.Position;
}
