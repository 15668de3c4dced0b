#include "gui/filelist/filelistbase.h"

#include "core/base/desktopservices.h"
#include "core/data/dataexceptions.h"
#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/data/fieldrefs.h"
#include "core/files/mp3file.h"
#include "core/files/mp3folder.h"
#include "core/files/mp3process.h"
#include "core/settings/prefs.h"
#include "gui/fields/selectfields.h"
#include "gui/filelist/filepreviewmodel.h"
#include "gui/settings/formplacement.h"
#include "gui/shell/columnfit.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int DefaultColumnWidth = 100;

// Settings keys of the source switches.
const QString KeyUseID3v2 = QStringLiteral("UseID3v2Info");
const QString KeyUseID3v1 = QStringLiteral("UseID3v1Info");
const QString KeyUseFilename = QStringLiteral("UseFilenameInfo");
const QString KeyUseTrack = QStringLiteral("UseTrackInfo");
const QString KeyAutoRemoveReadOnly = QStringLiteral("AutoRemoveReadOnly");

// What a window's folder reading changes in the process, for the time of
// the reading: the files come to the window as they are read, and unless
// the window passes over unchanged files, every file is read in full (a
// rescan index the process may hold for another caller must not hand out
// files that were not read).
class TWindowRead {
public:
    TWindowRead(TMP3Process &process, bool fullRead, std::function<void(TMP3File &)> onFileRead)
        : m_process(process), m_known(process.KnownFiles), m_onFileRead(std::move(process.OnFileRead))
    {
        if (fullRead)
            process.KnownFiles = nullptr;
        process.OnFileRead = std::move(onFileRead);
    }
    ~TWindowRead()
    {
        m_process.KnownFiles = m_known;
        m_process.OnFileRead = std::move(m_onFileRead);
    }
    TWindowRead(const TWindowRead &) = delete;
    TWindowRead &operator=(const TWindowRead &) = delete;

private:
    TMP3Process &m_process;
    const TFileStates *m_known;
    std::function<void(TMP3File &)> m_onFileRead;
};

// How often the rows of files read meanwhile join the preview.
constexpr qint64 RowInterval = 100;  // ms

// Lets the event loop run now and then during long loops over the files,
// so that the windows repaint; user input waits.
class TEventPump {
public:
    TEventPump() { m_clock.start(); }
    void operator()()
    {
        if (m_clock.elapsed() < Interval)
            return;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        m_clock.restart();
    }

private:
    static constexpr qint64 Interval = 20;  // ms
    QElapsedTimer m_clock;
};

} // namespace

void CheckFileListSource(const TMp3FileItemList *files, const TMP3Folder *folder)
{
    if ((files != nullptr) == (folder != nullptr))
        throw EData(QStringLiteral("fmFileListBase.OpenForm : Folder and Filelist cannot both be used"));
}

TfmFileListBase::TfmFileListBase(QWidget *owner, const TFileListContext &context, const QString &componentName,
                                 const QString &caption)
    : QDialog(owner), m_context(context), m_caption(caption)
{
    setObjectName(componentName);
    setWindowTitle(caption);
    setSizeGripEnabled(true);
    ColumnFields = std::make_unique<TColumnFieldRefList>(quint8(3), &context.Root);
    SortFields = std::make_unique<TSortFieldRefList>(quint8(3), &context.Root);
    buildLayout();
    m_model = new TFilePreviewModel(Files, ListReady, context.Global.ilSmall, context.Global.ilState, this);
    m_model->SetStateImage([this](const TMP3File &file, int column) { return StateImage(file, column); });
    lvPreview->setModel(m_model);
}

TfmFileListBase::~TfmFileListBase()
{
    // The view lets go of the rows before the list of files goes.
    ListReady = false;
    m_model->Clear();
}

void TfmFileListBase::buildLayout()
{
    laPreview = new QLabel(tr("Preview"), this);
    ckRecursive = new QCheckBox(tr("Include &Subfolders"), this);
    ckRecursive->setObjectName(QStringLiteral("ckRecursive"));
    ckRecursive->setChecked(true);

    gbSources = new QGroupBox(tr("Get Info From:"), this);
    gbSources->setObjectName(QStringLiteral("gbSources"));
    ckID3v2 = new QCheckBox(tr("ID3v&2 Tag"), gbSources);
    ckID3v2->setObjectName(QStringLiteral("ckID3v2"));
    ckID3v1 = new QCheckBox(tr("ID3v&1 Tag"), gbSources);
    ckID3v1->setObjectName(QStringLiteral("ckID3v1"));
    ckFileName = new QCheckBox(tr("&Folder and Filename"), gbSources);
    ckFileName->setObjectName(QStringLiteral("ckFileName"));
    ckTrackInfo = new QCheckBox(tr("C&ollection"), gbSources);
    ckTrackInfo->setObjectName(QStringLiteral("ckTrackInfo"));
    btParseSettings = new QPushButton(tr("Formats..."), gbSources);
    btParseSettings->setObjectName(QStringLiteral("btParseSettings"));
    btParseSettings->setEnabled(bool(m_context.EditFormats));
    auto *sources = new QVBoxLayout(gbSources);
    for (QWidget *widget : {static_cast<QWidget *>(ckID3v2), static_cast<QWidget *>(ckID3v1),
                            static_cast<QWidget *>(ckFileName), static_cast<QWidget *>(ckTrackInfo)})
        sources->addWidget(widget);
    sources->addWidget(btParseSettings, 0, Qt::AlignLeft);

    ckAutoClearReadOnly = new QCheckBox(tr("Clear &Read-Only Flags"), this);
    ckAutoClearReadOnly->setObjectName(QStringLiteral("ckAutoClearReadOnly"));
    btClearReadOnlyflags = new QPushButton(tr("Clear No&w"), this);
    btClearReadOnlyflags->setObjectName(QStringLiteral("btClearReadOnlyflags"));

    btOK = new QPushButton(tr("OK"), this);
    btOK->setObjectName(QStringLiteral("btOK"));
    btOK->setDefault(true);
    btCancel = new QPushButton(tr("Cancel"), this);
    btCancel->setObjectName(QStringLiteral("btCancel"));
    btColumns = new QPushButton(tr("&Columns"), this);
    btColumns->setObjectName(QStringLiteral("btColumns"));

    lvPreview = new QTableView(this);
    lvPreview->setObjectName(QStringLiteral("lvPreview"));
    lvPreview->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvPreview->setSelectionMode(QAbstractItemView::SingleSelection);
    lvPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvPreview->setShowGrid(true);
    lvPreview->setWordWrap(false);
    lvPreview->verticalHeader()->hide();
    lvPreview->verticalHeader()->setDefaultSectionSize(lvPreview->fontMetrics().height() + 6);
    lvPreview->horizontalHeader()->setSectionsMovable(true);
    lvPreview->horizontalHeader()->setSectionsClickable(true);
    lvPreview->horizontalHeader()->setHighlightSections(false);

    auto *status = new QStatusBar(this);
    pnCount = new QLabel(status);
    pnCount->setObjectName(QStringLiteral("pnCount"));
    // The count grows while the files are read: room for it from the start.
    pnCount->setMinimumWidth(pnCount->fontMetrics().horizontalAdvance(tr("%1 files in list").arg(1000000)));
    pnHelp = new QLabel(status);
    pnHelp->setObjectName(QStringLiteral("pnHelp"));
    status->addWidget(pnCount);
    status->addWidget(pnHelp, 1);
    status->setSizeGripEnabled(false);

    auto *options = new QVBoxLayout;
    options->addWidget(laPreview);
    options->addWidget(ckRecursive);
    auto *readOnlyRow = new QHBoxLayout;
    readOnlyRow->addWidget(ckAutoClearReadOnly);
    readOnlyRow->addWidget(btClearReadOnlyflags);
    readOnlyRow->addStretch();
    options->addLayout(readOnlyRow);
    m_optionsLayout = new QVBoxLayout;
    options->addLayout(m_optionsLayout);
    options->addStretch();

    m_topLayout = new QHBoxLayout;
    m_topLayout->addLayout(options);
    m_topLayout->addWidget(gbSources, 0, Qt::AlignTop);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(btOK);
    buttons->addWidget(btCancel);
    buttons->addSpacing(12);
    buttons->addWidget(btColumns);
    buttons->addStretch();

    auto *top = new QHBoxLayout;
    top->addLayout(m_topLayout, 1);
    top->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lvPreview, 1);
    layout->addWidget(status);
    resize(760, 520);

    connect(btOK, &QPushButton::clicked, this, &TfmFileListBase::btOKClick);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btColumns, &QPushButton::clicked, this, &TfmFileListBase::acColumnsExecute);
    connect(btParseSettings, &QPushButton::clicked, this, &TfmFileListBase::acParseSettingsExecute);
    connect(btClearReadOnlyflags, &QPushButton::clicked, this, &TfmFileListBase::btClearReadOnlyflagsClick);
    for (QCheckBox *box : {ckID3v2, ckID3v1, ckFileName, ckTrackInfo})
        connect(box, &QCheckBox::toggled, this, &TfmFileListBase::ckInfoSourceClick);
    connect(ckRecursive, &QCheckBox::toggled, this, &TfmFileListBase::acToggleRecursionExecute);
    connect(lvPreview->horizontalHeader(), &QHeaderView::sectionClicked, this, &TfmFileListBase::HeaderClick);
}

TSettingsStore &TfmFileListBase::Store() const
{
    return m_context.Prefs.Store();
}

void TfmFileListBase::SetSource(TMp3FileItemList *list, TMP3Folder *folder)
{
    CheckFileListSource(list, folder);
    SourceList = list;
    Folder = folder;
}

void TfmFileListBase::Open()
{
    Loading = true;
    Recursive = true;
    ckRecursive->setChecked(true);
    ColumnFields = std::make_unique<TColumnFieldRefList>(quint8(FieldListKind()), &m_context.Root);
    SortFields = std::make_unique<TSortFieldRefList>(quint8(FieldListKind()), &m_context.Root);
    LoadSettings();
    m_context.Process.ParseFormats = m_context.Prefs.ParseFormats;
    TrackIndex.clear();
    m_context.Root.GetFilePathList(TrackIndex);
    // The columns come first: the preview shows the files as they are read.
    BuildColumns();
    BuildFileList();
    {
        // Files read just now were parsed with these formats; others may
        // have been read before the formats changed.
        const TBusyCursor busy;
        TEventPump pump;
        for (TDataItem *item : Files) {
            if (!m_freshlyParsed.contains(item))
                static_cast<TMP3File *>(item)->ReparseFilename(m_context.Prefs.ParseFormats);
            pump();
        }
    }
    AfterOpen();
    Loading = false;
    ApplySources();
    ListReady = true;
    SortFiles();
    RefreshList();
    updateCaption();
    Opened();
    closeIfAsked();
}

void TfmFileListBase::updateCaption()
{
    if (Folder)
        setWindowTitle(tr("%1 - %2").arg(m_caption, Folder->Path));
    else
        setWindowTitle(tr("%1 - %2 Files").arg(m_caption).arg(Files.Count()));
}

void TfmFileListBase::collectFolder(TMP3Folder &folder, bool recursive)
{
    // A folder read before (by the explorer) is not read again, and the
    // process's failures then belong to another run.
    const bool readNow = !(folder.IsRead && (!recursive || folder.IsReadRecursive));
    const int first = Files.Count();
    const TReadFolderResult result = readFolder(folder, recursive);
    if (readNow) {
        for (const QString &path : result.FailedFiles)
            UnreadableFiles.insert(path);
    }
    // The files shown as they were read make way for all the folder's
    // files, in their order.
    if (Files.Count() > first) {
        ListReady = false;
        m_model->Clear();
        while (Files.Count() > first)
            Files.Delete(Files.Count() - 1);
        ListReady = true;
    }
    folder.CollectFiles(Files, recursive);
    if (readNow) {
        for (int i = first; i < Files.Count(); ++i)
            m_freshlyParsed.insert(Files.Get(i));
    }
}

TReadFolderResult TfmFileListBase::readFolder(TMP3Folder &folder, bool recursive)
{
    const TWindowRead read(m_context.Process, !PassesOverUnchanged(),
                           [this](TMP3File &file) { fileRead(file); });
    setReading(true);
    // The first file read shows at once, the others in batches.
    m_rowClock.invalidate();
    const TReadFolderResult result = m_context.Process.ReadFolder(&folder, recursive, true);
    setReading(false);
    return result;
}

void TfmFileListBase::fileRead(TMP3File &file)
{
    file.LinkTrack(TrackIndex.find(file.Path));
    if (file.Unchanged || !ListsFile(file))
        return;
    file.SetInfoSources(ManualEntryEnabled(), CollectionSourceOn(), ckID3v2->isChecked(),
                        ckID3v1->isChecked(), ckFileName->isChecked());
    Files.Add(&file);
    if (!m_rowClock.isValid() || m_rowClock.hasExpired(RowInterval)) {
        m_rowClock.start();
        m_model->AppendNewRows();
        UpdateCount();
    }
}

void TfmFileListBase::setReading(bool reading)
{
    m_reading = reading;
    if (reading) {
        for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (child == lvPreview || child == btCancel || child->isWindow() || !child->isEnabled())
                continue;
            child->setEnabled(false);
            m_disabledWhileReading << child;
        }
        lvPreview->horizontalHeader()->setSectionsClickable(false);
        return;
    }
    for (QWidget *child : std::as_const(m_disabledWhileReading))
        child->setEnabled(true);
    m_disabledWhileReading.clear();
    lvPreview->horizontalHeader()->setSectionsClickable(true);
}

void TfmFileListBase::closeIfAsked()
{
    if (std::exchange(m_closeAsked, false))
        done(QDialog::Rejected);
}

void TfmFileListBase::BuildFileList()
{
    const TBusyCursor busy;
    ListReady = false;
    m_model->Clear();
    Files.Clear();
    UnreadableFiles.clear();
    m_freshlyParsed.clear();
    m_passedOverCount = 0;
    // Files join the list, and the preview, as they are read.
    ListReady = true;
    if (Folder) {
        collectFolder(*Folder, Recursive);
    } else if (SourceList) {
        for (TDataItem *item : *SourceList) {
            auto *fileItem = static_cast<TMp3FileItem *>(item);
            if (!fileItem->isFolder())
                Files.Add(fileItem);
            else if (Recursive)
                collectFolder(*static_cast<TMP3Folder *>(fileItem), true);
        }
    }
    ApplySources();
    m_model->AppendNewRows();
    TEventPump pump;
    QList<TDataItem *> listed;
    listed.reserve(Files.Count());
    for (TDataItem *item : Files) {
        pump();
        auto *file = static_cast<TMP3File *>(item);
        file->LinkTrack(TrackIndex.find(file->Path));
        if (file->Unchanged && PassesOverUnchanged() && file->TrackInfo.HasTrack()) {
            // Its track holds what the file holds: there is nothing to do.
            if (file->Folder)
                m_passedOver.insert(file->Folder);
            ++m_passedOverCount;
            continue;
        }
        // A rescan may have passed over a file it knew; the preview and the
        // operations need what it holds.
        if (file->Unchanged && file->ReadInfo(m_context.Prefs.ParseFormats))
            file->Unchanged = false;
        if (file->ModifiedTime == 0 || file->Unchanged)
            UnreadableFiles.insert(file->Path);
        listed << item;
    }
    KeepOnly(listed);
    UpdateCount();
    ListReady = true;
}

void TfmFileListBase::ShowRunSummary(const TRunSummary &summary)
{
    m_lastRun = summary;
    summary.Show();
}

void TfmFileListBase::SplitReadable(TMp3FileItemList &readable, QStringList &unreadable) const
{
    for (TDataItem *item : Files) {
        const auto *file = static_cast<const TMp3FileItem *>(item);
        if (UnreadableFiles.contains(file->Path))
            unreadable << file->Path;
        else
            readable.Add(item);
    }
}

TMP3File *TfmFileListBase::FileAt(int row) const
{
    if (row < 0 || row >= Files.Count())
        return nullptr;
    TMp3FileItem *item = Files.item(row);
    return item->isFolder() ? nullptr : static_cast<TMP3File *>(item);
}

int TfmFileListBase::SelectedRow() const
{
    const QModelIndexList rows = lvPreview->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TfmFileListBase::SelectRow(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    lvPreview->selectRow(row);
    lvPreview->setCurrentIndex(m_model->index(row, 0));
}

void TfmFileListBase::KeepOnly(const QList<TDataItem *> &files)
{
    if (files.size() == Files.Count())
        return;
    ListReady = false;
    m_model->Clear();
    Files.Clear();
    for (TDataItem *item : files)
        Files.Add(item);
    ListReady = true;
}

void TfmFileListBase::LoadSettings()
{
    TSettingsStore &store = Store();
    const QString section = SettingsSection();
    ckID3v2->setChecked(store.ReadBool(section, KeyUseID3v2, true));
    ckID3v1->setChecked(store.ReadBool(section, KeyUseID3v1, true));
    ckFileName->setChecked(store.ReadBool(section, KeyUseFilename, true));
    ckTrackInfo->setChecked(store.ReadBool(section, KeyUseTrack, true));
    ckAutoClearReadOnly->setChecked(store.ReadBool(section, KeyAutoRemoveReadOnly, false));
    ColumnFields->FreeAll();
    ColumnFields->LoadFromSettings(store, section + QStringLiteral("\\FilePreviewColumnFields"));
    SortFields->FreeAll();
    SortFields->LoadFromSettings(store, section + QStringLiteral("\\FilePreviewSortFields"));
}

void TfmFileListBase::SaveSettings()
{
    TSettingsStore &store = Store();
    const QString section = SettingsSection();
    TFormPlacement::SavePlacement(this, store);
    StoreColumns();
    store.WriteBool(section, KeyUseID3v2, ckID3v2->isChecked());
    store.WriteBool(section, KeyUseID3v1, ckID3v1->isChecked());
    store.WriteBool(section, KeyUseFilename, ckFileName->isChecked());
    store.WriteBool(section, KeyUseTrack, ckTrackInfo->isChecked());
    store.WriteBool(section, KeyAutoRemoveReadOnly, ckAutoClearReadOnly->isChecked());
    ColumnFields->SaveToSettings(store, section + QStringLiteral("\\FilePreviewColumnFields"));
    SortFields->SaveToSettings(store, section + QStringLiteral("\\FilePreviewSortFields"));
}

void TfmFileListBase::UpdateCount()
{
    pnCount->setText(tr("%1 files in list").arg(Files.Count()));
}

bool TfmFileListBase::CollectionSourceOn() const
{
    return ckTrackInfo->isChecked();
}

int TfmFileListBase::StateImage(const TMP3File &, int) const
{
    return -1;
}

QString TfmFileListBase::ColumnCaption(const TDataField *field) const
{
    return GetFieldDisplayName(field);
}

void TfmFileListBase::ApplySources()
{
    Files.SetInfoSources(ManualEntryEnabled(), CollectionSourceOn(), ckID3v2->isChecked(),
                         ckID3v1->isChecked(), ckFileName->isChecked());
}

void TfmFileListBase::BuildColumns()
{
    QList<TPreviewColumn> columns;
    for (int i = 0; i < ColumnFields->Count(); ++i) {
        const TColumnField *column = ColumnFields->Get(i);
        if (!column->Field)
            continue;
        const QString caption = ColumnCaption(column->Field);
        columns.append({caption, column->Field,
                        column->Width < 0 ? DefaultColumnWidth
                                          : ShownColumnWidth(*lvPreview, column->Field, caption, column->Width)});
    }
    m_model->SetColumns(columns);
    for (int i = 0; i < columns.size(); ++i)
        lvPreview->setColumnWidth(i, columns.at(i).Width);
    ShowSortIndicator();
}

void TfmFileListBase::StoreColumns()
{
    const QList<TPreviewColumn> &columns = m_model->Columns();
    if (columns.isEmpty())
        return;
    QHeaderView *header = lvPreview->horizontalHeader();
    ColumnFields->FreeAll();
    for (int visual = 0; visual < columns.size(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (logical < 0 || logical >= columns.size())
            continue;
        ColumnFields->Add(std::make_unique<TColumnField>(columns.at(logical).Field, header->sectionSize(logical)));
    }
}

void TfmFileListBase::ShowSortIndicator()
{
    int column = -1;
    bool ascending = true;
    if (SortFields->Count() > 0) {
        const TSortField *first = SortFields->Get(0);
        const QList<TPreviewColumn> &columns = m_model->Columns();
        for (int i = 0; i < columns.size(); ++i) {
            if (columns.at(i).Field == first->Field) {
                column = i;
                break;
            }
        }
        ascending = first->Order >= 0;
    }
    m_model->SetSortIndicator(column, ascending);
}

void TfmFileListBase::SortFiles()
{
    Files.SortByFields(SortFields->sortKeys());
}

void TfmFileListBase::RefreshList()
{
    m_model->Refresh();
    if (SelectedRow() < 0)
        SelectRow(0);
    UpdateCount();
}

void TfmFileListBase::HeaderClick(int column)
{
    const QList<TPreviewColumn> &columns = m_model->Columns();
    if (column < 0 || column >= columns.size() || !columns.at(column).Field)
        return;
    const TDataField *field = columns.at(column).Field;
    if (SortFields->Count() == 1 && SortFields->Get(0)->Field == field) {
        SortFields->Get(0)->Order = -SortFields->Get(0)->Order;
    } else {
        SortFields->FreeAll();
        SortFields->Add(std::make_unique<TSortField>(field, 1));
    }
    ShowSortIndicator();
    SortFiles();
    m_model->Refresh();
    SelectRow(0);
    UpdateCount();
}

void TfmFileListBase::acColumnsExecute()
{
    StoreColumns();
    if (SelectFields(*ColumnFields, tr("for File List"), this, Store()))
        BuildColumns();
}

void TfmFileListBase::acParseSettingsExecute()
{
    if (!m_context.EditFormats)
        return;
    const int row = SelectedRow();
    TMP3File *file = FileAt(row >= 0 ? row : 0);
    if (!m_context.EditFormats(this, file, false))
        return;
    const TBusyCursor busy;
    for (TDataItem *item : Files)
        static_cast<TMP3File *>(item)->ReparseFilename(m_context.Prefs.ParseFormats);
    m_model->Refresh();
    SelectRow(row);
}

void TfmFileListBase::btClearReadOnlyflagsClick()
{
    if (!ckAutoClearReadOnly->isChecked())
        return;
    const int row = SelectedRow();
    Files.ClearReadOnlyAll();
    m_model->Refresh();
    SelectRow(row);
}

void TfmFileListBase::ckInfoSourceClick()
{
    if (Loading)
        return;
    ApplySources();
    m_model->Refresh();
}

void TfmFileListBase::acToggleRecursionExecute()
{
    if (Loading)
        return;
    Recursive = ckRecursive->isChecked();
    RebuildList();
}

void TfmFileListBase::RebuildList()
{
    BuildFileList();
    SortFiles();
    RefreshList();
    closeIfAsked();
}

void TfmFileListBase::btOKClick()
{
    if (RunOperation())
        accept();
}

void TfmFileListBase::showEvent(QShowEvent *event)
{
    if (!m_placed) {
        m_placed = true;
        TFormPlacement::RestorePlacement(this, Store());
    }
    QDialog::showEvent(event);
}

void TfmFileListBase::done(int result)
{
    if (m_reading) {
        // The reading stops at its next file; the window closes after it.
        m_closeAsked = true;
        m_context.Process.Cancel();
        return;
    }
    SaveSettings();
    // Files passed over as unchanged hold no information: their folders
    // are read afresh when they are shown next.  Only folders first listed
    // by this window hold such files, so nobody else has seen their
    // entries yet.
    for (TMP3Folder *folder : std::as_const(m_passedOver)) {
        folder->IsRead = false;
        for (TMP3Folder *above = folder; above; above = above->Folder)
            above->IsReadRecursive = false;
    }
    m_passedOver.clear();
    // The links lead into the collection; the files may live on in the
    // explorer after the collection is closed or replaced.
    for (TDataItem *item : Files)
        static_cast<TMP3File *>(item)->LinkTrack(nullptr);
    QDialog::done(result);
}
