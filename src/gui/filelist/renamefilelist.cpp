#include "gui/filelist/renamefilelist.h"

#include "gui/filelist/filepreviewmodel.h"
#include "gui/filelist/runsummary.h"
#include "gui/shell/globaldata.h"

#include "core/base/desktopservices.h"
#include "core/data/fieldlists.h"
#include "core/data/fieldrefs.h"
#include "core/files/mp3file.h"
#include "core/files/mp3process.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/settings/prefs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// The six fixed columns: field and width in the design.
const struct {
    qint32 field;
    int width;
} RenameColumns[] = {
    {Mp3FieldIds::Filename, 200}, {Mp3FieldIds::NewFilename, 174}, {Mp3FieldIds::ArtistText, 100},
    {Mp3FieldIds::Title, 100},    {Mp3FieldIds::AlbumText, 100},   {Mp3FieldIds::TrackIndex, 30},
};

} // namespace

TfmRenameFilelist::TfmRenameFilelist(QWidget *owner, const TFileListContext &context)
    : TfmFileListBase(owner, context, QStringLiteral("fmRenameFilelist"), tr("Rename MP3 Files"))
{
    auto *label = new QLabel(tr("F&ilename Format"), this);
    cbRenameFormats = new QComboBox(this);
    cbRenameFormats->setObjectName(QStringLiteral("cbRenameFormats"));
    cbRenameFormats->setEditable(false);
    cbRenameFormats->setMinimumContentsLength(24);
    label->setBuddy(cbRenameFormats);
    btRenameFormats = new QPushButton(tr("..."), this);
    btRenameFormats->setObjectName(QStringLiteral("btRenameFormats"));
    btRenameFormats->setToolTip(tr("Rename Format List"));
    btRenameFormats->setMaximumWidth(btRenameFormats->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    btRenameFormats->setEnabled(bool(context.EditFormats));
    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(cbRenameFormats, 1);
    row->addWidget(btRenameFormats);
    OptionsLayout()->addLayout(row);
    // The columns are the rename window's own.
    btColumns->hide();
    connect(cbRenameFormats, &QComboBox::currentIndexChanged, this, [this] {
        if (!Loading)
            ApplyFormat();
    });
    connect(btRenameFormats, &QPushButton::clicked, this, &TfmRenameFilelist::btRenameFormatsClick);
}

void TfmRenameFilelist::fillFormats()
{
    const bool loading = Loading;
    Loading = true;
    const QString current = cbRenameFormats->currentText().isEmpty() ? Context().Prefs.CurrentRenameFormat
                                                                     : cbRenameFormats->currentText();
    cbRenameFormats->clear();
    cbRenameFormats->addItems(Context().Prefs.RenameFormats);
    const int index = cbRenameFormats->findText(current);
    cbRenameFormats->setCurrentIndex(index >= 0 ? index : 0);
    Loading = loading;
}

void TfmRenameFilelist::LoadSettings()
{
    TfmFileListBase::LoadSettings();
    fillFormats();
    ColumnFields->FreeAll();
    const TGlobalDataFieldList *catalogue = ColumnFields->catalogue();
    int i = 0;
    for (const auto &column : RenameColumns) {
        const int width =
            Store().ReadInteger(SettingsSection(), QStringLiteral("Col%1Width").arg(i++), column.width);
        if (const TDataField *field = catalogue ? catalogue->FindByID(column.field) : nullptr)
            ColumnFields->Add(std::make_unique<TColumnField>(field, width));
    }
}

QString TfmRenameFilelist::ColumnCaption(const TDataField *field) const
{
    if (field && field->GetID() == Mp3FieldIds::Filename)
        return tr("Current Filename");
    return TfmFileListBase::ColumnCaption(field);
}

void TfmRenameFilelist::SaveSettings()
{
    TfmFileListBase::SaveSettings();
    for (int i = 0; i < Model()->columnCount(); ++i)
        Store().WriteInteger(SettingsSection(), QStringLiteral("Col%1Width").arg(i), lvPreview->columnWidth(i));
    if (!cbRenameFormats->currentText().isEmpty())
        Context().Prefs.CurrentRenameFormat = cbRenameFormats->currentText();
}

void TfmRenameFilelist::BuildFileList()
{
    TfmFileListBase::BuildFileList();
    if (!Loading)
        ApplyFormat();
}

void TfmRenameFilelist::ApplyFormat()
{
    if (!ListReady)
        return;
    const QString format = cbRenameFormats->currentText();
    for (TDataItem *item : Files)
        static_cast<TMP3File *>(item)->FilenameInfo.RenameFormat = format;
    if (!format.isEmpty())
        Context().Prefs.CurrentRenameFormat = format;
    m_statusesValid = false;
    Model()->Refresh();
}

void TfmRenameFilelist::computeSteps() const
{
    m_steps.clear();
    // The batch renames in list order: an earlier file takes the name, even
    // one that cannot be renamed as things stand (the user may go ahead).
    TRenamePlanner planner(cbRenameFormats->currentText());
    for (TDataItem *item : Files) {
        const auto *file = static_cast<const TMP3File *>(item);
        const TRenameStep step = planner.Plan(*file);
        planner.Claim(step);
        m_steps.insert(file, step);
    }
    m_statusesValid = true;
}

const TRenameStep &TfmRenameFilelist::stepOf(const TMP3File &file) const
{
    static const TRenameStep none;
    if (!m_statusesValid)
        computeSteps();
    const auto found = m_steps.constFind(&file);
    return found != m_steps.constEnd() ? *found : none;
}

int TfmRenameFilelist::RowStatus(const TMP3File &file) const
{
    return stepOf(file).Status();
}

int TfmRenameFilelist::StateImage(const TMP3File &file, int) const
{
    return RowStatus(file) == RenameStatus::Ok ? images::StateOk : images::StateProblem;
}

void TfmRenameFilelist::btRenameFormatsClick()
{
    if (!Context().EditFormats)
        return;
    const int row = SelectedRow();
    if (!Context().EditFormats(this, FileAt(row >= 0 ? row : 0), true))
        return;
    fillFormats();
    ApplyFormat();
}

bool TfmRenameFilelist::RunOperation()
{
    ApplyFormat();
    if (ckAutoClearReadOnly->isChecked()) {
        Files.ClearReadOnlyAll();
        m_statusesValid = false;
    }
    int blocked = 0;
    int unchanged = 0;
    for (TDataItem *item : Files) {
        const auto *file = static_cast<const TMP3File *>(item);
        const TRenameStep &step = stepOf(*file);
        if (step.Status() != RenameStatus::Ok)
            ++blocked;
        else if (step.Unchanged)
            ++unchanged;
    }
    if (blocked > 0
        && AskYesNo(tr("%1 files cannot be renamed using the current settings. Are you sure you want to continue?")
                        .arg(blocked))
               != TDesktopServices::TAnswer::Yes)
        return false;
    TMP3Process &process = Context().Process;
    ListReady = false;
    Model()->Clear();
    const TFileRunResult renamed = process.RenameFiles(Files, ckAutoClearReadOnly->isChecked());
    ListReady = true;
    m_statusesValid = false;
    TRunSummary summary;
    summary.Action = tr("renamed");
    summary.Failed = renamed.FailedFiles;
    for (const QString &path : std::as_const(summary.Failed))
        summary.Reasons << FileFailureReason(path, true);
    const int run = process.IsCancelled() ? process.Position : Files.Count();
    summary.NotRun = Files.Count() - run;
    summary.Unchanged = unchanged;
    summary.Done = std::max(0, run - int(summary.Failed.size()) - unchanged);
    ShowRunSummary(summary);
    return true;
}
