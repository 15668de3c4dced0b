#include "gui/filelist/updatetracks.h"

#include "gui/settings/formplacement.h"
#include "gui/settings/radiogroup.h"
#include "gui/shell/globaldata.h"

#include "core/base/desktopservices.h"
#include "core/base/localfiles.h"
#include "core/base/localpath.h"
#include "core/base/settingsstore.h"
#include "core/files/mp3process.h"
#include "core/files/relink.h"
#include "core/mp3model/mp3root.h"
#include "core/settings/generalhelpers.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString Section = QStringLiteral("fmUpdateTracks");

enum Column { ColFilename, ColSize, ColNewFilename, ColNewSize, ColScore, ColumnCount };

const struct {
    const char *caption;
    int width;
} Columns[ColumnCount] = {
    {"Filename", 260}, {"Size", 80}, {"New Filename", 260}, {"New Size", 80}, {"Match Score", 90},
};

QString defaultOpenFileName(QWidget *owner, const QString &startFile)
{
    return QFileDialog::getOpenFileName(owner, QString(), startFile, QObject::tr("MP3 Files (*.mp3)"));
}

} // namespace

// ---- the rows ----------------------------------------------------------------

TTrackMatchModel::TTrackMatchModel(const TFileMatchList &matches, const TFoundFileList &found, const bool &ready,
                                   const bool &noneMissing, const TImageList &smallImages, QObject *parent)
    : QAbstractTableModel(parent), m_matches(matches), m_found(found), m_ready(ready),
      m_noneMissing(noneMissing), m_small(smallImages)
{
}

void TTrackMatchModel::Reset()
{
    beginResetModel();
    m_rowCount = !m_ready ? 0 : (m_noneMissing ? 1 : int(m_matches.size()));
    endResetModel();
}

void TTrackMatchModel::Clear()
{
    beginResetModel();
    m_rowCount = 0;
    endResetModel();
}

int TTrackMatchModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int TTrackMatchModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TTrackMatchModel::data(const QModelIndex &index, int role) const
{
    const int row = index.row();
    if (!m_ready || !index.isValid() || row >= m_rowCount)
        return {};
    if (m_noneMissing) {
        if (role == Qt::DisplayRole && index.column() == 0)
            return tr("<< No tracks with missing filename found >>");
        return {};
    }
    if (row >= m_matches.size())
        return {};
    const TFileMatch &match = m_matches.at(row);
    const bool candidate = match.FileIndex >= 0 && match.FileIndex < m_found.size();
    if (role == Qt::DecorationRole && index.column() == 0 && match.Track->Location)
        return m_small.Icon(match.Track->Location->GetImageIndex());
    if (role == Qt::TextAlignmentRole && index.column() != ColFilename && index.column() != ColNewFilename)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case ColFilename: return ReadablePath(match.Track->FilePath);
    case ColSize: return QString::number(match.Track->Size);
    case ColNewFilename: return candidate ? ReadablePath(m_found.at(match.FileIndex).Path) : QString();
    case ColNewSize: return candidate ? QString::number(m_found.at(match.FileIndex).Size) : QString();
    case ColScore: return candidate ? QString::number(match.Score) : QString();
    default: return {};
    }
}

QVariant TTrackMatchModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount)
        return tr(Columns[section].caption);
    return QAbstractTableModel::headerData(section, orientation, role);
}

// ---- the window ---------------------------------------------------------------

TfmUpdateTracks::TfmUpdateTracks(QWidget *owner, TMP3Process &process, TMp3Root &root, TSettingsStore &store,
                                 const TImageList &smallImages, const TDataRefList &tracks)
    : QDialog(owner), AskOpenFileName(defaultOpenFileName), m_process(process), m_root(root), m_store(store),
      m_tracks(tracks)
{
    setObjectName(Section);
    setWindowTitle(tr("Repair Filenames of Tracks in Collection"));
    setSizeGripEnabled(true);
    buildLayout();
    m_model = new TTrackMatchModel(Matches, Found, ListReady, NoneMissing, smallImages, this);
    lvTracks->setModel(m_model);
    for (int i = 0; i < ColumnCount; ++i)
        lvTracks->setColumnWidth(i, Columns[i].width);
    connect(lvTracks->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TfmUpdateTracks::UpdateStatus);

    Loading = true;
    loadSettings();
    BuildMatchList();
    Loading = false;
    ListReady = true;
    refresh();
}

TfmUpdateTracks::~TfmUpdateTracks()
{
    ListReady = false;
    m_model->Clear();
}

void TfmUpdateTracks::buildLayout()
{
    auto *laTracks = new QLabel(tr("Tracks with an MP3 filename that cannot be found"), this);
    lvTracks = new QTableView(this);
    lvTracks->setObjectName(QStringLiteral("lvTracks"));
    lvTracks->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvTracks->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvTracks->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvTracks->setWordWrap(false);
    lvTracks->verticalHeader()->hide();
    lvTracks->verticalHeader()->setDefaultSectionSize(lvTracks->fontMetrics().height() + 6);
    laTracks->setBuddy(lvTracks);

    btRepair = new QPushButton(tr("&Repair"), this);
    btRepair->setObjectName(QStringLiteral("acRepair"));
    btRemove = new QPushButton(tr("Re&move"), this);
    btRemove->setObjectName(QStringLiteral("acRemove"));
    btBrowseFile = new QPushButton(tr("&Browse..."), this);
    btBrowseFile->setObjectName(QStringLiteral("acBrowseFile"));
    btOK = new QPushButton(tr("&Close"), this);
    btOK->setObjectName(QStringLiteral("btOK"));

    auto *laSearch = new QLabel(tr("Folder to search for files in:"), this);
    edSearchBasePath = new QLineEdit(this);
    edSearchBasePath->setObjectName(QStringLiteral("edSearchBasePath"));
    laSearch->setBuddy(edSearchBasePath);
    btBrowseFolder = new QPushButton(tr("..."), this);
    btBrowseFolder->setObjectName(QStringLiteral("acBrowseFolder"));
    btBrowseFolder->setToolTip(tr("Select new location of MP3 files"));
    btBrowseFolder->setMaximumWidth(btBrowseFolder->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    btSearch = new QPushButton(tr("&Search"), this);
    btSearch->setObjectName(QStringLiteral("acSearch"));
    btSearch->setDefault(true);

    auto *gbIgnore = new QGroupBox(tr("Ignore"), this);
    ckCD = new QCheckBox(tr("Files on C&D"), gbIgnore);
    ckCD->setObjectName(QStringLiteral("ckCD"));
    ckCD->setChecked(true);
    ckNetwork = new QCheckBox(tr("Files on &network drives"), gbIgnore);
    ckNetwork->setObjectName(QStringLiteral("ckNetwork"));
    auto *ignore = new QVBoxLayout(gbIgnore);
    ignore->addWidget(ckCD);
    ignore->addWidget(ckNetwork);

    rgMatching = new TRadioGroup(tr("Filename Matching"), this);
    rgMatching->setObjectName(QStringLiteral("rgMatching"));
    rgMatching->AddItem(tr("Exact (faster, but may miss some files)"));
    rgMatching->AddItem(tr("Fuzzy (slower, but finds more files)"));
    rgMatching->SetItemIndex(0);

    auto *status = new QStatusBar(this);
    pnStatus = new QLabel(status);
    pnStatus->setObjectName(QStringLiteral("pnStatus"));
    pnSelection = new QLabel(status);
    pnSelection->setObjectName(QStringLiteral("pnSelection"));
    status->addWidget(pnStatus, 1);
    status->addWidget(pnSelection, 1);
    status->setSizeGripEnabled(false);

    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(edSearchBasePath, 1);
    searchRow->addWidget(btBrowseFolder);
    searchRow->addWidget(btSearch);
    auto *options = new QHBoxLayout;
    options->addWidget(gbIgnore);
    options->addWidget(rgMatching);
    options->addStretch();
    auto *left = new QVBoxLayout;
    left->addWidget(laSearch);
    left->addLayout(searchRow);
    left->addLayout(options);
    auto *top = new QHBoxLayout;
    top->addLayout(left, 1);
    auto *close = new QVBoxLayout;
    close->addWidget(btOK);
    close->addStretch();
    top->addLayout(close);

    auto *rowButtons = new QHBoxLayout;
    rowButtons->addWidget(btRepair);
    rowButtons->addWidget(btRemove);
    rowButtons->addWidget(btBrowseFile);
    rowButtons->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(laTracks);
    layout->addWidget(lvTracks, 1);
    layout->addLayout(rowButtons);
    layout->addWidget(status);
    resize(860, 540);

    connect(btOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btBrowseFolder, &QPushButton::clicked, this, &TfmUpdateTracks::acBrowseFolderExecute);
    connect(btSearch, &QPushButton::clicked, this, &TfmUpdateTracks::acSearchExecute);
    connect(btRepair, &QPushButton::clicked, this, &TfmUpdateTracks::acRepairExecute);
    connect(btRemove, &QPushButton::clicked, this, &TfmUpdateTracks::acRemoveExecute);
    connect(btBrowseFile, &QPushButton::clicked, this, &TfmUpdateTracks::acBrowseFileExecute);
    connect(edSearchBasePath, &QLineEdit::textChanged, this, &TfmUpdateTracks::UpdateStatus);
    for (QCheckBox *box : {ckCD, ckNetwork}) {
        connect(box, &QCheckBox::toggled, this, [this] {
            if (Loading)
                return;
            BuildMatchList();
            refresh();
        });
    }
}

void TfmUpdateTracks::loadSettings()
{
    TFormPlacement::RestorePlacement(this, m_store);
    ckCD->setChecked(m_store.ReadBool(Section, QStringLiteral("Ignore CD"), true));
    ckNetwork->setChecked(m_store.ReadBool(Section, QStringLiteral("Ignore Network"), false));
    edSearchBasePath->setText(m_store.ReadString(Section, QStringLiteral("Search Path")));
    rgMatching->SetItemIndex(qBound(0, m_store.ReadInteger(Section, QStringLiteral("Matching Type"), 0), 1));
    for (int i = 0; i < ColumnCount; ++i) {
        const int width = m_store.ReadInteger(Section, QStringLiteral("Col%1Width").arg(i), Columns[i].width);
        lvTracks->setColumnWidth(i, width > 0 ? width : Columns[i].width);
    }
}

void TfmUpdateTracks::saveSettings()
{
    TFormPlacement::SavePlacement(this, m_store);
    m_store.WriteBool(Section, QStringLiteral("Ignore CD"), ckCD->isChecked());
    m_store.WriteBool(Section, QStringLiteral("Ignore Network"), ckNetwork->isChecked());
    m_store.WriteString(Section, QStringLiteral("Search Path"), edSearchBasePath->text());
    m_store.WriteInteger(Section, QStringLiteral("Matching Type"), rgMatching->ItemIndex());
    for (int i = 0; i < ColumnCount; ++i)
        m_store.WriteInteger(Section, QStringLiteral("Col%1Width").arg(i), lvTracks->columnWidth(i));
}

void TfmUpdateTracks::BuildMatchList()
{
    const TBusyCursor busy;
    ListReady = false;
    m_model->Clear();
    Matches = MissingFileMatches(m_tracks, ckCD->isChecked(), ckNetwork->isChecked());
    // The caller's list may still name tracks this window took out.
    Matches.removeIf([this](const TFileMatch &match) {
        return std::any_of(m_removed.cbegin(), m_removed.cend(),
                           [&match](const auto &removed) { return removed.get() == match.Track; });
    });
    NoneMissing = Matches.isEmpty();
    ListReady = true;
}

void TfmUpdateTracks::refresh()
{
    m_model->Reset();
    if (SelectedRows().isEmpty() && m_model->rowCount() > 0)
        lvTracks->setCurrentIndex(m_model->index(0, 0));
    UpdateStatus();
}

QList<int> TfmUpdateTracks::SelectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : lvTracks->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TfmUpdateTracks::SelectRows(const QList<int> &rows)
{
    lvTracks->clearSelection();
    for (int row : rows)
        lvTracks->selectionModel()->select(m_model->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void TfmUpdateTracks::UpdateStatus()
{
    const int count = NoneMissing ? 0 : int(Matches.size());
    const QList<int> rows = NoneMissing ? QList<int>() : SelectedRows();
    pnStatus->setText(tr("%1 %2 in list").arg(count).arg(Plural(tr("track"), count)));
    pnSelection->setText(tr("%1 %2 selected").arg(rows.size()).arg(Plural(tr("track"), rows.size())));
    btSearch->setEnabled(IsLocalFolder(edSearchBasePath->text()));
    const bool allHaveCandidates = std::all_of(rows.cbegin(), rows.cend(), [this](int row) {
        return row < Matches.size() && Matches.at(row).FileIndex >= 0;
    });
    btRepair->setEnabled(!rows.isEmpty() && allHaveCandidates);
    btRemove->setEnabled(!rows.isEmpty());
    btBrowseFile->setEnabled(rows.size() == 1);
}

void TfmUpdateTracks::acBrowseFolderExecute()
{
    QString folder;
    if (BrowseForFolder(tr("Select new location of MP3 files"), edSearchBasePath->text(), folder, this))
        edSearchBasePath->setText(IncludeTrailingDelimiter(folder));
}

void TfmUpdateTracks::acSearchExecute()
{
    const QString path = edSearchBasePath->text();
    if (!IsLocalFolder(path))
        return;
    BuildMatchList();
    ListReady = false;
    m_model->Clear();
    // Every candidate is shown with its score: the user judges.  Files
    // that belong to tracks already are none, and no file goes to two
    // tracks.
    const TRelinkPlan plan = PlanRelink(m_process, m_root, Matches, path, TMatchingType(rgMatching->ItemIndex()), 1);
    Found = plan.Found;
    Matches.clear();
    for (const TRelinkDecision &decision : plan.Decisions) {
        TFileMatch match(decision.Track);
        match.FileIndex = decision.FileIndex;
        match.Score = decision.HasFile() ? decision.Score : 0;
        Matches.append(match);
    }
    std::stable_sort(Matches.begin(), Matches.end(),
                     [](const TFileMatch &a, const TFileMatch &b) { return a.Score > b.Score; });
    NoneMissing = Matches.isEmpty();
    ListReady = true;
    refresh();
}

void TfmUpdateTracks::dropRows(const QList<int> &rows)
{
    ListReady = false;
    m_model->Clear();
    for (int i = int(rows.size()) - 1; i >= 0; --i)
        Matches.removeAt(rows.at(i));
    NoneMissing = Matches.isEmpty();
    ListReady = true;
    refresh();
    lvTracks->clearSelection();
    UpdateStatus();
}

void TfmUpdateTracks::acRepairExecute()
{
    const QList<int> rows = SelectedRows();
    if (NoneMissing || rows.isEmpty())
        return;
    for (int row : rows) {
        const TFileMatch &match = Matches.at(row);
        if (match.FileIndex < 0 || match.FileIndex >= Found.size())
            return;
    }
    for (int row : rows) {
        const TFileMatch &match = Matches.at(row);
        RepointTrack(*match.Track, Found.at(match.FileIndex));
        Changed = true;
    }
    dropRows(rows);
}

void TfmUpdateTracks::acRemoveExecute()
{
    const QList<int> rows = SelectedRows();
    if (NoneMissing || rows.isEmpty())
        return;
    ListReady = false;
    m_model->Clear();
    for (int row : rows) {
        TMp3Track *track = Matches.at(row).Track;
        if (m_root.GetTracks()->Remove(track) >= 0)
            m_removed.emplace_back(track);
        Changed = true;
    }
    dropRows(rows);
}

void TfmUpdateTracks::acBrowseFileExecute()
{
    const QList<int> rows = SelectedRows();
    if (NoneMissing || rows.size() != 1)
        return;
    const int row = rows.first();
    const QString chosen = AskOpenFileName(this, Matches.at(row).Track->FilePath);
    if (chosen.isEmpty())
        return;
    const QFileInfo info(chosen);
    ListReady = false;
    m_model->Clear();
    Found.append({QDir::cleanPath(info.absoluteFilePath()), info.size()});
    Matches[row].FileIndex = int(Found.size()) - 1;
    Matches[row].Score = PerfectMatchScore;
    ListReady = true;
    refresh();
    SelectRows({row});
}

void TfmUpdateTracks::done(int result)
{
    saveSettings();
    QDialog::done(result);
}

bool TfmUpdateTracks::Execute(QWidget *owner, TMP3Process &process, TMp3Root &root, TSettingsStore &store,
                              const TImageList &smallImages, const TDataRefList &tracks)
{
    TfmUpdateTracks window(owner, process, root, store, smallImages, tracks);
    const bool closed = window.exec() == QDialog::Accepted;
    return closed || window.Changed;
}
