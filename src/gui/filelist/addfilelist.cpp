#include "gui/filelist/addfilelist.h"

#include "core/audio/filenameinfo.h"
#include "core/base/desktopservices.h"
#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/data/lookuplists.h"
#include "core/files/addfiles.h"
#include "core/files/mp3file.h"
#include "core/files/mp3process.h"
#include "core/settings/drives.h"
#include "core/settings/generalhelpers.h"
#include "core/settings/prefs.h"
#include "core/mp3model/mp3fieldids.h"
#include "gui/filelist/filepreviewmodel.h"
#include "gui/filelist/runsummary.h"
#include "gui/lookups/lookupitemwindows.h"
#include "gui/shell/globaldata.h"
#include "gui/shell/lookupvaluebutton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

namespace {

const QString KeyUpdateIfInCollection = QStringLiteral("UpdateIfInCollection");

} // namespace

TfmAddFilelist::TfmAddFilelist(QWidget *owner, const TFileListContext &context, bool updateMode)
    : TfmFileListBase(owner, context, QStringLiteral("fmAddFilelist"),
                      updateMode ? tr("Update Collection") : tr("Add MP3 Files to Collection")),
      UpdateMode(updateMode)
{
    // The collection source stays on (with its stored value): a track that
    // is updated keeps its own values.
    ckTrackInfo->hide();
    ckAutoClearReadOnly->hide();
    btClearReadOnlyflags->hide();

    auto *label = new QLabel(tr("&Location"), this);
    cbLocation = new QComboBox(this);
    cbLocation->setObjectName(QStringLiteral("cbLocation"));
    cbLocation->setEditable(true);
    cbLocation->setInsertPolicy(QComboBox::NoInsert);
    cbLocation->setMinimumContentsLength(20);
    label->setBuddy(cbLocation);
    btLocation = new QPushButton(tr("..."), this);
    btLocation->setObjectName(QStringLiteral("btLocation"));
    btLocation->setMaximumWidth(btLocation->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(cbLocation, 1);
    row->addWidget(btLocation);
    OptionsLayout()->addLayout(row);

    ckUpdateIfInCollection = new QCheckBox(tr("Update files already in collection"), this);
    ckUpdateIfInCollection->setObjectName(QStringLiteral("ckUpdateIfInCollection"));
    ckUpdateIfInCollection->setVisible(!updateMode);
    OptionsLayout()->addWidget(ckUpdateIfInCollection);
    ckTagsReplaceCollection = new QCheckBox(tr("&Tags replace the values in the collection"), this);
    ckTagsReplaceCollection->setObjectName(QStringLiteral("ckTagsReplaceCollection"));
    ckTagsReplaceCollection->setToolTip(
        tr("Reads the tracks' values from the files' tags again, for example after changing the legacy tag "
           "encoding. Values the tags lack stay as they are."));
    ckTagsReplaceCollection->setVisible(updateMode);
    OptionsLayout()->addWidget(ckTagsReplaceCollection);
    laLeftOut = new QLabel(this);
    laLeftOut->setObjectName(QStringLiteral("laLeftOut"));
    laLeftOut->hide();
    OptionsLayout()->addWidget(laLeftOut);

    pmPreview = new QMenu(this);
    pmPreview->setObjectName(QStringLiteral("pmPreview"));
    lvPreview->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lvPreview, &QWidget::customContextMenuRequested, this, [this](const QPoint &position) {
        // A format chosen now would meet files still being read.
        if (Reading())
            return;
        BuildPreviewMenu();
        if (!pmPreview->isEmpty())
            pmPreview->popup(lvPreview->viewport()->mapToGlobal(position));
    });
    pnHelp->setText(tr("Right click list to change Format settings for individual files"));

    connect(ckUpdateIfInCollection, &QCheckBox::toggled, this, [this] {
        if (!Loading)
            RebuildList();
    });
    // The preview shows what the tracks will hold.
    connect(ckTagsReplaceCollection, &QCheckBox::toggled, this, [this] {
        ApplySources();
        Model()->Refresh();
    });
    connect(btLocation, &QPushButton::clicked, this, &TfmAddFilelist::btLocationClick);
}

TfmAddFilelist::~TfmAddFilelist() = default;

void TfmAddFilelist::LoadSettings()
{
    TfmFileListBase::LoadSettings();
    ckUpdateIfInCollection->setChecked(Store().ReadBool(SettingsSection(), KeyUpdateIfInCollection, true));
}

void TfmAddFilelist::SaveSettings()
{
    TfmFileListBase::SaveSettings();
    Store().WriteBool(SettingsSection(), KeyUpdateIfInCollection, ckUpdateIfInCollection->isChecked());
}

void TfmAddFilelist::AfterOpen()
{
    fillLocations();
    suggestLocation();
}

void TfmAddFilelist::fillLocations()
{
    TLookupEntries entries;
    Context().Root.Locations->FillStrings(entries);
    const QString text = cbLocation->currentText();
    cbLocation->clear();
    for (const TLookupEntry &entry : std::as_const(entries))
        cbLocation->addItem(entry.Text);
    cbLocation->setCurrentIndex(-1);
    cbLocation->setEditText(text);
}

void TfmAddFilelist::suggestLocation()
{
    if (!cbLocation->currentText().isEmpty() || Files.Count() == 0)
        return;
    const TLocationSuggestion suggestion = SuggestLocation(Context().Root, Files.item(0)->Path);
    if (suggestion.Known) {
        const int index = cbLocation->findText(suggestion.Known->GetDisplayName());
        if (index >= 0) {
            cbLocation->setCurrentIndex(index);
            return;
        }
    }
    cbLocation->setEditText(suggestion.Known ? suggestion.Known->GetDisplayName() : suggestion.Name);
}

void TfmAddFilelist::BuildFileList()
{
    TMp3Root &root = Context().Root;
    if (!m_scanIndex && !root.FileName.isEmpty())
        m_scanIndex = std::make_unique<TScanIndexUse>(Context().Process, root, root.FileName);
    TfmFileListBase::BuildFileList();
    QList<TDataItem *> listed;
    for (TDataItem *item : Files)
        if (ListsFile(*static_cast<TMP3File *>(item)))
            listed << item;
    const int leftOut = PassedOverCount() + int(Files.Count() - listed.size());
    if (listed.size() != Files.Count()) {
        KeepOnly(listed);
        UpdateCount();
    }
    showLeftOut(leftOut);
    if (!Loading)
        suggestLocation();
}

void TfmAddFilelist::showLeftOut(int count)
{
    // An empty list would otherwise look as if the folder held no music.
    laLeftOut->setText(tr("%1 %2 already in the collection left out").arg(count).arg(Plural(tr("file"), count)));
    laLeftOut->setVisible(count > 0);
}

bool TfmAddFilelist::PassesOverUnchanged() const
{
    // Unchanged files need not even be read when the collection's files
    // are left out anyway; updating them means reading them again.
    return m_scanIndex != nullptr && !updating();
}

bool TfmAddFilelist::updating() const
{
    // In update mode the files are there to be updated, whatever the
    // hidden box says.
    return UpdateMode || ckUpdateIfInCollection->isChecked();
}

bool TfmAddFilelist::CollectionSourceOn() const
{
    return TfmFileListBase::CollectionSourceOn() && !ckTagsReplaceCollection->isChecked();
}

bool TfmAddFilelist::ListsFile(const TMP3File &file) const
{
    // The file is linked to its track by now.
    return AddFateOf(file, file.TrackInfo.LinkedTrack, updating()) != TAddFate::AlreadyThere;
}

int TfmAddFilelist::StateImage(const TMP3File &file, int column) const
{
    return column == 0 && file.TrackInfo.HasTrack() ? images::StateInCollection : -1;
}

void TfmAddFilelist::refreshKeepingSelection()
{
    const int row = SelectedRow();
    Model()->Refresh();
    SelectRow(row);
}

void TfmAddFilelist::LockFormat(TMP3File &file, const QString &format)
{
    file.FilenameInfo.Unlock();
    file.FilenameInfo.ParseWithFormat(file.Path, format);
    file.FilenameInfo.Lock();
}

void TfmAddFilelist::BuildPreviewMenu()
{
    pmPreview->clear();
    const int row = SelectedRow();
    TMP3File *file = FileAt(row);
    if (!file)
        return;
    for (const QString &format : std::as_const(Context().Prefs.ParseFormats)) {
        QAction *action = pmPreview->addAction(FormatDisplayText(format));
        action->setCheckable(true);
        action->setChecked(format == file->FilenameInfo.ParseFormat);
        connect(action, &QAction::triggered, this, [this, file, format] {
            LockFormat(*file, format);
            refreshKeepingSelection();
        });
    }
    pmPreview->addSeparator();
    QAction *unlock = pmPreview->addAction(tr("Unlock"));
    unlock->setEnabled(file->FilenameInfo.Locked);
    connect(unlock, &QAction::triggered, this, [this, file] {
        file->FilenameInfo.Unlock();
        refreshKeepingSelection();
    });
    QAction *newFormatAction = pmPreview->addAction(tr("New..."));
    newFormatAction->setEnabled(bool(Context().NewFormat));
    connect(newFormatAction, &QAction::triggered, this, [this, file] { newFormat(*file); });
}

void TfmAddFilelist::newFormat(TMP3File &file)
{
    QString format = file.FilenameInfo.ParseFormat;
    if (!Context().NewFormat || !Context().NewFormat(this, &file, format) || format.isEmpty())
        return;
    Context().Prefs.ParseFormats.append(format);
    Context().Process.ParseFormats = Context().Prefs.ParseFormats;
    LockFormat(file, format);
    refreshKeepingSelection();
}

bool TfmAddFilelist::RunOperation()
{
    TMp3Root &root = Context().Root;
    ChosenLocation = ChooseLocation(root, cbLocation->currentText().trimmed(),
                                    Files.Count() > 0 ? Files.item(0)->Path : QString());

    // A file that could not be read has no values; as an update it would
    // wipe the stream values of its track.
    TMp3FileItemList readable;
    TRunSummary summary;
    summary.Action = tr("added");
    SplitReadable(readable, summary.Failed);
    for (int i = 0; i < summary.Failed.size(); ++i)
        summary.Reasons << tr("could not be read");
    TAddPlan plan;
    for (TDataItem *item : readable) {
        auto *file = static_cast<TMP3File *>(item);
        plan.Take(*file, file->TrackInfo.LinkedTrack, updating());
    }

    TMP3Process &process = Context().Process;
    process.Collection = &root;
    // The preview keeps its rows: the files stay as they are, and the user
    // reads the result and answers the save question over the list that
    // was added.
    const TAddFilesResult added =
        process.AddFiles(plan.Files, ChosenLocation,
                         ckTagsReplaceCollection->isChecked() ? TTrackRefreshFrom::TagsReplaceTrackValues
                                                              : TTrackRefreshFrom::FileKeepsTrackValues);
    for (const QString &path : added.FailedFiles) {
        summary.Failed << path;
        summary.Reasons << QString();
    }
    summary.Done = added.Added;
    summary.Details << tr("%1 updated").arg(added.Updated);
    if (process.IsCancelled())
        summary.NotRun = std::max(0, plan.Files.Count() - added.Added - added.Updated - added.Failed());
    // What was done first, then where to keep it.
    ShowRunSummary(summary);
    if (added.Added + added.Updated > 0)
        saveCollection();
    return true;
}

void TfmAddFilelist::saveCollection()
{
    if (!Context().SaveCollection || !Context().SaveCollection())
        return;
    // The index may only vouch for files whose values the saved collection
    // holds; failing to write it changes nothing else.
    if (m_scanIndex)
        m_scanIndex->Save();
}

void TfmAddFilelist::btLocationClick()
{
    TMp3Root &root = Context().Root;
    TLookupList *list = root.Locations.get();
    const TDataField *field = root.Fields->FindByID(Mp3FieldIds::Location);
    const QString name = cbLocation->currentText().trimmed();
    const QString fieldName = GetFieldDisplayName(field);
    const TLookupItem *shown = EditOrAddLookupValue(
        this, *list, list->FindByName(name), name, Context().Prefs.LookupHintShown,
        [&](TLookupItem *item, bool adding) {
            const QString caption = adding ? tr("Add %1").arg(fieldName) : tr("Edit %1").arg(fieldName);
            return EditLookupItem(LookupItemWindowFor(field), this, item, caption, list, Store());
        });
    if (shown)
        selectLocation(shown);
}

void TfmAddFilelist::selectLocation(const TLookupItem *item)
{
    fillLocations();
    const int index = cbLocation->findText(item->GetDisplayName());
    cbLocation->setCurrentIndex(index);
    if (index < 0)
        cbLocation->setEditText(item->GetDisplayName());
}
