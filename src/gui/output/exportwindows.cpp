#include "gui/output/exportwindows.h"

#include "core/base/localfiles.h"
#include "core/base/settingsstore.h"
#include "core/data/datalists.h"
#include "core/data/fieldrefs.h"
#include "core/data/rootitem.h"
#include "core/output/export.h"
#include "core/output/printsettings.h"
#include "core/settings/formplacement.h"
#include "gui/fields/selectfields.h"
#include "gui/output/outputfolder.h"
#include "gui/output/outputservices.h"
#include "gui/process/processwindow.h"
#include "gui/settings/formplacement.h"
#include "gui/settings/radiogroup.h"
#include "gui/settings/safelinks.h"

#include <QCheckBox>
#include <QDir>
#include <QFontDatabase>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

constexpr int PreviewItems = 25;

// The choices of the radio groups, in item order.
const QStringList Delimiters{QStringLiteral(";"), QStringLiteral(","), QStringLiteral("\t"), QStringLiteral(" ")};
const QStringList Qualifiers{QStringLiteral("\""), QStringLiteral("'"), QString()};
const QStringList LineBreakReplacements{QStringLiteral(" "), QStringLiteral("\\n"), QStringLiteral("\r\n")};

QPushButton *button(const char *name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QCheckBox *checkBox(const char *name, const QString &caption, QWidget *parent)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

TRadioGroup *radioGroup(const char *name, const QString &title, const QStringList &items, QWidget *parent)
{
    auto *group = new TRadioGroup(title, parent);
    group->setObjectName(QLatin1String(name));
    for (const QString &item : items)
        group->AddItem(item);
    return group;
}

QLabel *note(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

// ---- TfmExportBase ---------------------------------------------------------------

TfmExportBase::TfmExportBase(TDataRefList &items, int listKind, TRootItem &root, TSettingsStore &store,
                             QWidget *owner, const QString &section, const QString &fieldsTitle)
    : QDialog(owner)
    , m_items(items)
    , m_listKind(listKind)
    , m_store(store)
    , m_section(section)
    , m_fieldsTitle(fieldsTitle)
    , m_collectionFile(root.FileName)
{
    setObjectName(section);
    setSizeGripEnabled(true);
    ColumnFields = std::make_unique<TColumnFieldRefList>(quint8(listKind), &root);
    SortFields = std::make_unique<TSortFieldRefList>(quint8(listKind), &root);

    edFileName = new QLineEdit(this);
    edFileName->setObjectName(QStringLiteral("edFileName"));
    btBrowse = button("btBrowse", tr("Browse..."), this);
    btExport = button("btExport", tr("Export"), this);
    btExport->setDefault(true);
    btCancel = button("btCancel", tr("Cancel"), this);
    btExportFields = button("btExportFields", tr("Export &Fields..."), this);
    btSortFields = button("btSortFields", tr("&Sort Fields..."), this);
    connect(btBrowse, &QPushButton::clicked, this, &TfmExportBase::ChooseFile);
    connect(btExport, &QPushButton::clicked, this, &TfmExportBase::ExportToFile);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btExportFields, &QPushButton::clicked, this, &TfmExportBase::ChooseFields);
    connect(btSortFields, &QPushButton::clicked, this, &TfmExportBase::ChooseSortOrder);
    connect(edFileName, &QLineEdit::editingFinished, this, &TfmExportBase::CompleteFileName);
}

TfmExportBase::~TfmExportBase() = default;

QString TfmExportBase::listSection(const QString &name) const
{
    return m_section + QLatin1Char('\\') + name + QString::number(m_listKind);
}

void TfmExportBase::finishSetup(QWidget *options, QWidget *preview)
{
    auto *fileLabel = new QLabel(tr("&Destination File"), this);
    fileLabel->setBuddy(edFileName);
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(edFileName, 1);
    fileRow->addWidget(btBrowse);

    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {btExport, btCancel, btExportFields, btSortFields})
        buttons->addWidget(b);
    buttons->addStretch();
    auto *middle = new QHBoxLayout;
    middle->addWidget(options, 1);
    middle->addLayout(buttons);

    auto *previewLabel = new QLabel(tr("Preview (first 25 records)"), this);
    previewLabel->setBuddy(preview);
    auto *status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    pnCount = new QLabel(status);
    pnCount->setObjectName(QStringLiteral("pnCount"));
    status->addWidget(pnCount, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(fileLabel);
    layout->addLayout(fileRow);
    layout->addLayout(middle);
    layout->addWidget(previewLabel);
    layout->addWidget(preview, 1);
    layout->addWidget(status);

    ColumnFields->LoadFromSettings(m_store, listSection(QStringLiteral("ColumnFields")));
    SortFields->LoadFromSettings(m_store, listSection(QStringLiteral("SortFields")));
    loadOptions();
    proposeFileName();
    exporter().Items = &m_items;
    exporter().Columns = ColumnFields.get();
    sortItems();
    rebuildPreview();
    pnCount->setText(tr("%1 items to be exported").arg(m_items.Count()));
    resize(620, 560);
    TFormPlacement::RestorePlacement(this, m_store);
}

QString TfmExportBase::proposedFolder() const
{
    return ProposedOutputFolder(m_lastFolder, m_collectionFile);
}

QString TfmExportBase::absoluteFileName(const QString &name) const
{
    // A relative name goes into the proposed folder, not into whatever
    // folder the program was started from.
    if (name.isEmpty() || QDir::isAbsolutePath(name))
        return name;
    return QDir(proposedFolder()).absoluteFilePath(name);
}

void TfmExportBase::proposeFileName()
{
    const QString stored = QDir::fromNativeSeparators(edFileName->text().trimmed());
    if (stored.isEmpty())
        return;
    if (QDir::isAbsolutePath(stored))
        m_lastFolder = LocalParentFolder(stored);
    // The name stays, in a folder that exists: nothing is created unasked.
    const QString name = QFileInfo(stored).fileName();
    edFileName->setText(QDir::toNativeSeparators(QDir(proposedFolder()).filePath(name)));
}

void TfmExportBase::PlaceForOpening(const QWidget *owner)
{
    // Over the owner the first time; afterwards where the user left it.
    if (!placement::Read(m_store, objectName()))
        TFormPlacement::CenterOnOwner(this, owner);
}

void TfmExportBase::done(int result)
{
    ColumnFields->SaveToSettings(m_store, listSection(QStringLiteral("ColumnFields")));
    SortFields->SaveToSettings(m_store, listSection(QStringLiteral("SortFields")));
    saveOptions();
    TFormPlacement::SavePlacement(this, m_store);
    QDialog::done(result);
}

void TfmExportBase::sortItems()
{
    // No sort fields keep the order the items came in.
    if (SortFields->Count() > 0)
        m_items.SortByFields(*SortFields);
}

void TfmExportBase::prepare()
{
    applyOptions();
    exporter().FileName = absoluteFileName(QDir::fromNativeSeparators(edFileName->text().trimmed()));
}

QStringList TfmExportBase::PreviewLines()
{
    prepare();
    exporter().Export(PreviewItems, TExport::ToLines);
    return exporter().Lines;
}

void TfmExportBase::rebuildPreview()
{
    showPreview(PreviewLines());
}

bool TfmExportBase::ExportToFile()
{
    CompleteFileName();
    prepare();
    if (!exporter().Form())
        AttachProcessWindow(exporter(), this);
    if (!exporter().Export(TExport::AllItems, TExport::ToFile))
        return false;
    accept();
    return true;
}

void TfmExportBase::CompleteFileName()
{
    const QString name = edFileName->text().trimmed();
    if (!name.isEmpty() && QFileInfo(name).suffix().isEmpty() && !name.endsWith(QLatin1Char('.')))
        edFileName->setText(name + QLatin1Char('.') + defaultExtension());
}

void TfmExportBase::ChooseFile()
{
    const QString current = edFileName->text().trimmed();
    const QString folder =
        current.isEmpty() ? proposedFolder() : LocalParentFolder(absoluteFileName(QDir::fromNativeSeparators(current)));
    const QString chosen =
        OutputServices().ChooseSaveFile(this, saveDialogTitle(), folder, saveDialogFilter(), saveDialogSuffix());
    if (!chosen.isEmpty())
        edFileName->setText(QDir::toNativeSeparators(chosen));
}

void TfmExportBase::ChooseFields()
{
    if (SelectFields(*ColumnFields, m_fieldsTitle, this, m_store))
        rebuildPreview();
}

void TfmExportBase::ChooseSortOrder()
{
    if (!SelectFields(*SortFields, m_fieldsTitle, this, m_store))
        return;
    sortItems();
    rebuildPreview();
}

// ---- TfmExportAsciiBase ------------------------------------------------------------

TfmExportAsciiBase::TfmExportAsciiBase(TDataRefList &items, int listKind, TRootItem &root, TSettingsStore &store,
                                       QWidget *owner)
    : TfmExportBase(items, listKind, root, store, owner, QStringLiteral("fmExportAscii"), tr("for ASCII Export"))
    , m_export(std::make_unique<TExportAscii>())
{
    setWindowTitle(tr("Export to ASCII"));
    auto *options = new QWidget(this);
    rgDelimiter = radioGroup("rgDelimiter", tr("Delimiter"),
                             {tr("Semicolon (;)"), tr("Comma (,)"), tr("TAB"), tr("Space ( )")}, options);
    rgTextQualifier = radioGroup("rgTextQualifier", tr("Text Qualifier"),
                                 {tr("Double Quote (\")"), tr("Single Quote (')"), tr("None")}, options);
    rgEnter = radioGroup("rgEnter", tr("Replace Line Breaks by"),
                         {tr("Space ( )"), tr("New Line marker (\\n)"), tr("Do not replace")}, options);
    ckIncludeFieldNames = checkBox("ckIncludeFieldNames", tr("&Include Field Names on First Row"), options);
    auto *grid = new QGridLayout(options);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(rgDelimiter, 0, 0);
    grid->addWidget(note(tr("The delimiter is the character that will be exported between the fields."), options), 0, 1);
    grid->addWidget(rgTextQualifier, 1, 0);
    grid->addWidget(note(tr("The text qualifier is the character that encloses all fields in the export."), options),
                    1, 1);
    grid->addWidget(rgEnter, 2, 0);
    grid->addWidget(note(tr("Replacing line breaks by another character ensures that each record is exported on "
                            "a single line."),
                         options),
                    2, 1);
    grid->addWidget(ckIncludeFieldNames, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    mePreview = new QPlainTextEdit(this);
    mePreview->setObjectName(QStringLiteral("mePreview"));
    mePreview->setReadOnly(true);
    mePreview->setLineWrapMode(QPlainTextEdit::NoWrap);
    mePreview->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    finishSetup(options, mePreview);

    for (TRadioGroup *group : {rgDelimiter, rgTextQualifier, rgEnter})
        for (int i = 0; i < group->Count(); ++i)
            connect(group->Item(i), &QAbstractButton::toggled, this, [this](bool on) {
                if (on)
                    rebuildPreview();
            });
    connect(ckIncludeFieldNames, &QCheckBox::toggled, this, [this] { rebuildPreview(); });
}

TfmExportAsciiBase::~TfmExportAsciiBase() = default;

TExport &TfmExportAsciiBase::exporter()
{
    return *m_export;
}

void TfmExportAsciiBase::applyOptions()
{
    m_export->Delimiter = Delimiters.value(rgDelimiter->ItemIndex(), Delimiters.first());
    m_export->TextQualifier = Qualifiers.value(rgTextQualifier->ItemIndex(), Qualifiers.first());
    m_export->ReplaceEnter = LineBreakReplacements.value(rgEnter->ItemIndex(), LineBreakReplacements.first());
    m_export->IncludeFieldNames = ckIncludeFieldNames->isChecked();
}

void TfmExportAsciiBase::showPreview(const QStringList &lines)
{
    mePreview->setPlainText(lines.join(QLatin1Char('\n')));
}

// Comma-separated files are known by their own extension.
QString TfmExportAsciiBase::defaultExtension() const
{
    return rgDelimiter->ItemIndex() == 1 ? QStringLiteral("csv") : QStringLiteral("txt");
}

QString TfmExportAsciiBase::saveDialogTitle() const
{
    return tr("Export to ASCII file");
}

QString TfmExportAsciiBase::saveDialogFilter() const
{
    return tr("ASCII Files (*.txt *.csv);;All files (*)");
}

QString TfmExportAsciiBase::saveDialogSuffix() const
{
    return defaultExtension();
}

void TfmExportAsciiBase::loadOptions()
{
    const TSettingsStore &s = store();
    edFileName->setText(s.ReadString(section(), QStringLiteral("FileName")));
    rgDelimiter->SetItemIndex(ReadChoice(s, section(), QStringLiteral("Delimiter"), 0, rgDelimiter->Count()));
    rgTextQualifier->SetItemIndex(
        ReadChoice(s, section(), QStringLiteral("TextQualifier"), 0, rgTextQualifier->Count()));
    rgEnter->SetItemIndex(ReadChoice(s, section(), QStringLiteral("ReplaceEnter"), 0, rgEnter->Count()));
    ckIncludeFieldNames->setChecked(s.ReadBool(section(), QStringLiteral("IncludeFieldNames"), false));
}

void TfmExportAsciiBase::saveOptions()
{
    TSettingsStore &s = store();
    s.WriteString(section(), QStringLiteral("FileName"), edFileName->text());
    s.WriteInteger(section(), QStringLiteral("Delimiter"), rgDelimiter->ItemIndex());
    s.WriteInteger(section(), QStringLiteral("TextQualifier"), rgTextQualifier->ItemIndex());
    s.WriteBool(section(), QStringLiteral("IncludeFieldNames"), ckIncludeFieldNames->isChecked());
    s.WriteInteger(section(), QStringLiteral("ReplaceEnter"), rgEnter->ItemIndex());
}

bool TfmExportAsciiBase::Execute(TDataRefList &items, int listKind, TRootItem &root, TSettingsStore &store,
                                 QWidget *owner)
{
    TfmExportAsciiBase window(items, listKind, root, store, owner);
    window.PlaceForOpening(owner);
    return window.exec() == QDialog::Accepted;
}

// ---- TfmExportHtmlBase ----------------------------------------------------------------

TfmExportHtmlBase::TfmExportHtmlBase(TDataRefList &items, int listKind, TRootItem &root, TSettingsStore &store,
                                     QWidget *owner)
    : TfmExportBase(items, listKind, root, store, owner, QStringLiteral("fmExportHtml"), tr("for HTML Export"))
    , m_export(std::make_unique<TExportHTML>())
{
    setWindowTitle(tr("Export to HTML"));
    auto *options = new QWidget(this);
    ckBorder = checkBox("ckBorder", tr("&Border"), options);
    ckIncludeBrimlowLink = checkBox("ckIncludeBrimlowLink", tr("Include Brimlow link"), options);
    auto *column = new QVBoxLayout(options);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(ckBorder);
    column->addWidget(ckIncludeBrimlowLink);
    column->addStretch();

    // The preview shows the table only: it loads nothing and follows no
    // link.
    htPreview = new TSafeHtmlView(this);
    htPreview->setObjectName(QStringLiteral("htPreview"));
    htPreview->setOpenLinks(false);
    htPreview->setOpenExternalLinks(false);
    finishSetup(options, htPreview);

    connect(ckBorder, &QCheckBox::toggled, this, [this] { rebuildPreview(); });
    connect(ckIncludeBrimlowLink, &QCheckBox::toggled, this, [this] { rebuildPreview(); });
}

TfmExportHtmlBase::~TfmExportHtmlBase() = default;

TExport &TfmExportHtmlBase::exporter()
{
    return *m_export;
}

void TfmExportHtmlBase::applyOptions()
{
    m_export->Border = ckBorder->isChecked();
    m_export->IncludeBrimlowLink = ckIncludeBrimlowLink->isChecked();
}

void TfmExportHtmlBase::showPreview(const QStringList &lines)
{
    htPreview->setHtml(lines.join(QLatin1Char('\n')));
}

QString TfmExportHtmlBase::defaultExtension() const
{
    return QStringLiteral("htm");
}

QString TfmExportHtmlBase::saveDialogTitle() const
{
    return tr("Export to HTML");
}

QString TfmExportHtmlBase::saveDialogFilter() const
{
    return tr("HTML Files (*.htm *.html);;All files (*)");
}

QString TfmExportHtmlBase::saveDialogSuffix() const
{
    return QStringLiteral("html");
}

void TfmExportHtmlBase::loadOptions()
{
    const TSettingsStore &s = store();
    edFileName->setText(s.ReadString(section(), QStringLiteral("FileName"), QStringLiteral("export.htm")));
    ckBorder->setChecked(s.ReadBool(section(), QStringLiteral("Border"), true));
    ckIncludeBrimlowLink->setChecked(s.ReadBool(section(), QStringLiteral("IncludeBrimlowLink"), true));
}

void TfmExportHtmlBase::saveOptions()
{
    TSettingsStore &s = store();
    s.WriteString(section(), QStringLiteral("FileName"), edFileName->text());
    s.WriteBool(section(), QStringLiteral("Border"), ckBorder->isChecked());
    s.WriteBool(section(), QStringLiteral("IncludeBrimlowLink"), ckIncludeBrimlowLink->isChecked());
}

bool TfmExportHtmlBase::Execute(TDataRefList &items, int listKind, TRootItem &root, TSettingsStore &store,
                                QWidget *owner)
{
    TfmExportHtmlBase window(items, listKind, root, store, owner);
    window.PlaceForOpening(owner);
    return window.exec() == QDialog::Accepted;
}
