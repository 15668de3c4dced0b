#include "gui/filelist/tagfilelist.h"

#include "core/audio/id3tag.h"
#include "core/audio/mergedfields.h"
#include "core/base/desktopservices.h"
#include "core/files/mp3file.h"
#include "core/files/mp3process.h"
#include "core/settings/prefs.h"
#include "gui/filelist/filepreviewmodel.h"
#include "gui/filelist/runsummary.h"
#include "gui/settings/radiogroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <array>

namespace {

// The manual-entry fields, page by page: the caption of the check box, the
// name of the controls ("ck" and "cb" before it) and the merged field, whose
// row in the shared field table says where the typed text goes.
struct TManualField {
    int Page;
    const char *Caption;
    const char *Name;
    TMergedField Merged;
    int MaxLength;  // 0: no limit
};

const std::array<TManualField, 25> ManualFields = {{
    {0, "Title", "Title", TMergedField::Title, 0},
    {0, "Subtitle", "Subtitle", TMergedField::SubTitle, 0},
    {0, "Artist", "Artist", TMergedField::Artist, 0},
    {0, "Original Artist", "OrigArtist", TMergedField::OrigArtist, 0},
    {0, "Album", "Album", TMergedField::Album, 0},
    {0, "Year", "Year", TMergedField::Year, 0},
    {0, "Index", "Index", TMergedField::TrackIndex, 0},
    {0, "BPM", "BPM", TMergedField::BPM, 0},
    {0, "Genre", "Genre", TMergedField::Genre, 0},
    {0, "Label", "Label", TMergedField::Label, 0},
    {1, "Composer", "Composer", TMergedField::Composer, 0},
    {1, "Lyricist", "Lyricist", TMergedField::Lyricist, 0},
    {1, "Orchestra", "Orchestra", TMergedField::Orchestra, 0},
    {1, "Conductor", "Conductor", TMergedField::Conductor, 0},
    {1, "Copyright", "Copyright", TMergedField::CopyrightBy, 0},
    {2, "Audio URL", "AudioUrl", TMergedField::AudioURL, 0},
    {2, "Artist URL", "ArtistUrl", TMergedField::ArtistURL, 0},
    {2, "General URL", "GeneralURL", TMergedField::GeneralURL, 0},
    {3, "Tempo", "Tempo", TMergedField::Tempo, 0},
    {3, "Mood", "Mood", TMergedField::Mood, 0},
    {3, "Situation", "Situation", TMergedField::Situation, 0},
    {3, "Preference", "Preference", TMergedField::Preference, 0},
    {3, "Bio", "Bio", TMergedField::Biography, 0},
    {4, "Comment", "Comment", TMergedField::Notes, 30},
    {4, "Encoded By", "EncodedBy", TMergedField::EncodedBy, 0},
}};

// The genre offers the ID3v1 genre names only.
bool isGenre(const TManualField &field)
{
    return MergedFieldRow(field.Merged).IsGenre;
}

const char *const PageCaptions[] = {"Main", "Credits", "URLs", "MusicMatch", "Notes"};

const QString KeyUseManualEntry = QStringLiteral("UseManualEntryInfo");
const QString KeyV1Action = QStringLiteral("ID3v1 Action");
const QString KeyV2Action = QStringLiteral("ID3v2 Action");

TRadioGroup *tagActionGroup(const QString &title, const QString &name, QWidget *parent)
{
    auto *group = new TRadioGroup(title, parent);
    group->setObjectName(name);
    group->AddItem(QObject::tr("Set"));
    group->AddItem(QObject::tr("Remove"));
    group->AddItem(QObject::tr("No Change"));
    return group;
}

// Counts the values of one list: each value once, the first to reach the
// highest count becomes the choice.
class TValueCounter {
public:
    void add(const QString &value, bool mayAdd)
    {
        auto it = m_counts.find(value);
        if (it == m_counts.end()) {
            if (!mayAdd)
                return;
            it = m_counts.insert(value, 0);
            m_order << value;
        }
        if (++it.value() > m_best) {
            m_best = it.value();
            m_choice = value;
        }
    }
    QStringList values() const { return m_order; }
    QString choice() const { return m_choice; }

private:
    QHash<QString, int> m_counts;
    QStringList m_order;
    int m_best = 0;
    QString m_choice;
};

} // namespace

TfmTagFileList::TfmTagFileList(QWidget *owner, const TFileListContext &context)
    : TfmFileListBase(owner, context, QStringLiteral("fmTagFileList"), tr("Edit ID3 Tags"))
{
    ckManualEntry = new QCheckBox(tr("&Manual Entry  ------>"), gbSources);
    ckManualEntry->setObjectName(QStringLiteral("ckManualEntry"));
    static_cast<QVBoxLayout *>(gbSources->layout())->insertWidget(4, ckManualEntry);

    pcV2 = new QTabWidget(this);
    pcV2->setObjectName(QStringLiteral("pcV2"));
    for (int page = 0; page < int(std::size(PageCaptions)); ++page)
        pcV2->addTab(buildPage(page), tr(PageCaptions[page]));
    TopLayout()->addWidget(pcV2, 1);

    grInfoDestination = new QGroupBox(tr("Put Info In:"), this);
    grInfoDestination->setObjectName(QStringLiteral("grInfoDestination"));
    rgID3v1 = tagActionGroup(tr("ID3v&1 Tag"), QStringLiteral("rgID3v1"), grInfoDestination);
    rgID3v2 = tagActionGroup(tr("ID3v&2 Tag"), QStringLiteral("rgID3v2"), grInfoDestination);
    auto *destination = new QVBoxLayout(grInfoDestination);
    destination->addWidget(rgID3v1);
    destination->addWidget(rgID3v2);
    destination->addStretch();
    TopLayout()->addWidget(grInfoDestination);

    ckAutoClearReadOnly->setText(tr("Clear &Read-Only flags"));
    // Read-only files are cleared by OK when the box is ticked.
    btClearReadOnlyflags->hide();
    pnHelp->setText(tr("Tick a field and choose or type its value to set it in every file"));

    connect(ckManualEntry, &QCheckBox::toggled, this, &TfmTagFileList::manualEntryClicked);
    resize(980, 600);
}

TfmTagFileList::~TfmTagFileList()
{
    for (TDataItem *item : Files)
        static_cast<TMP3File *>(item)->ManualEntryInfo.Entry = nullptr;
}

QWidget *TfmTagFileList::buildPage(int page)
{
    auto *widget = new QWidget(this);
    auto *grid = new QGridLayout(widget);
    int row = 0;
    for (int i = 0; i < int(ManualFields.size()); ++i) {
        const TManualField &field = ManualFields[size_t(i)];
        if (field.Page != page)
            continue;
        TFieldControls controls;
        controls.Check = new QCheckBox(tr(field.Caption), widget);
        controls.Check->setObjectName(QStringLiteral("ck") + QLatin1String(field.Name));
        controls.Values = new QComboBox(widget);
        controls.Values->setObjectName(QStringLiteral("cb") + QLatin1String(field.Name));
        controls.Values->setEditable(!isGenre(field));
        controls.Values->setInsertPolicy(QComboBox::NoInsert);
        controls.Values->setMinimumContentsLength(16);
        controls.Values->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        if (field.MaxLength > 0 && controls.Values->lineEdit())
            controls.Values->lineEdit()->setMaxLength(field.MaxLength);
        // Two columns of fields on the long first page.
        const int column = page == 0 && row >= 5 ? 2 : 0;
        const int gridRow = page == 0 && row >= 5 ? row - 5 : row;
        grid->addWidget(controls.Check, gridRow, column);
        grid->addWidget(controls.Values, gridRow, column + 1);
        connect(controls.Check, &QCheckBox::toggled, this, [this] {
            UpdateEnabledState();
            BuildManualEntry();
        });
        connect(controls.Values, &QComboBox::currentTextChanged, this, &TfmTagFileList::BuildManualEntry);
        FieldControls.append(controls);
        ++row;
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(5, 1);
    return widget;
}

TfmTagFileList::TFieldControls TfmTagFileList::Field(const QString &name) const
{
    for (const TFieldControls &controls : FieldControls)
        if (controls.Values->objectName() == QStringLiteral("cb") + name)
            return controls;
    return {};
}

bool TfmTagFileList::ManualEntryEnabled() const
{
    return ckManualEntry->isChecked();
}

void TfmTagFileList::BuildFileList()
{
    TfmFileListBase::BuildFileList();
    for (TDataItem *item : Files)
        static_cast<TMP3File *>(item)->ManualEntryInfo.Entry = &ManualEntry;
}

void TfmTagFileList::LoadSettings()
{
    TfmFileListBase::LoadSettings();
    const QString section = SettingsSection();
    ckManualEntry->setChecked(Store().ReadBool(section, KeyUseManualEntry, true));
    rgID3v1->SetItemIndex(qBound(0, Store().ReadInteger(section, KeyV1Action, 0), 2));
    rgID3v2->SetItemIndex(qBound(0, Store().ReadInteger(section, KeyV2Action, 2), 2));
}

void TfmTagFileList::SaveSettings()
{
    TfmFileListBase::SaveSettings();
    const QString section = SettingsSection();
    Store().WriteBool(section, KeyUseManualEntry, ckManualEntry->isChecked());
    Store().WriteInteger(section, KeyV1Action, rgID3v1->ItemIndex());
    Store().WriteInteger(section, KeyV2Action, rgID3v2->ItemIndex());
}

void TfmTagFileList::AfterOpen()
{
    const bool loading = Loading;
    Loading = true;
    fillListsFromFiles();
    UpdateEnabledState();
    Loading = loading;
}

void TfmTagFileList::fillListsFromFiles()
{
    std::array<TValueCounter, ManualFields.size()> counters;
    const QStringList &genres = GenreList();
    const QSet<QString> genreNames(genres.cbegin(), genres.cend());
    for (TDataItem *item : Files) {
        const auto *file = static_cast<const TMP3File *>(item);
        const TInfoSourceSet sources = file->Sources();
        for (size_t i = 0; i < ManualFields.size(); ++i) {
            const QString value = sources.GetMergedText(ManualFields[i].Merged);
            if (isGenre(ManualFields[i])) {
                if (genreNames.contains(value))
                    counters[i].add(value, true);
            } else {
                counters[i].add(value, true);
            }
        }
    }
    for (size_t i = 0; i < ManualFields.size(); ++i) {
        QComboBox *box = FieldControls.at(int(i)).Values;
        const QSignalBlocker block(box);
        box->clear();
        QStringList values = isGenre(ManualFields[i]) ? genres : counters[i].values();
        values.sort(Qt::CaseInsensitive);
        box->addItems(values);
        const int chosen = box->findText(counters[i].choice());
        box->setCurrentIndex(chosen);
        if (chosen < 0 && box->isEditable())
            box->setEditText(QString());
    }
}

void TfmTagFileList::UpdateEnabledState()
{
    const bool manual = ckManualEntry->isChecked();
    for (const TFieldControls &controls : std::as_const(FieldControls)) {
        controls.Check->setEnabled(manual);
        controls.Values->setEnabled(manual && controls.Check->isChecked());
    }
}

void TfmTagFileList::BuildManualEntry()
{
    for (size_t i = 0; i < ManualFields.size(); ++i) {
        const TMergedField field = ManualFields[i].Merged;
        const TFieldControls &controls = FieldControls.at(int(i));
        const QString text = controls.Check->isChecked() ? controls.Values->currentText() : QString();
        if (IsMergedNumberField(field))
            ManualEntry.SetNumber(field, text.trimmed().toInt());  // 0 when not a number
        else
            ManualEntry.SetText(field, text);
    }
    if (!Loading)
        Model()->Refresh();
}

void TfmTagFileList::manualEntryClicked()
{
    UpdateEnabledState();
    if (Loading)
        return;
    ApplySources();
    Model()->Refresh();
}

bool TfmTagFileList::RunOperation()
{
    const auto v1 = TTagAction(rgID3v1->ItemIndex());
    const auto v2 = TTagAction(rgID3v2->ItemIndex());
    if (v1 == TTagAction::NoChange && v2 == TTagAction::NoChange) {
        ShowInfo(tr("Both ID3v1 and ID3v2 are set to \"No Change\". Set one or both to \"Set\" or \"Remove\" first."));
        return false;
    }
    BuildManualEntry();
    if (ckAutoClearReadOnly->isChecked())
        Files.ClearReadOnlyAll();
    int readOnly = 0;
    for (TDataItem *item : Files)
        if (static_cast<const TMP3File *>(item)->IsReadOnly())
            ++readOnly;
    if (readOnly > 0
        && AskYesNo(tr("%1 files cannot be changed because they are read-only. Are you sure you want to continue?")
                        .arg(readOnly))
               != TDesktopServices::TAnswer::Yes)
        return false;

    // A file that could not be read would be written from what little is
    // known of it, and its tags could be lost.
    TMp3FileItemList readable;
    TRunSummary summary;
    summary.Action = tr("written");
    SplitReadable(readable, summary.Failed);
    for (int i = 0; i < summary.Failed.size(); ++i)
        summary.Reasons << tr("could not be read");

    TMP3Process &process = Context().Process;
    ListReady = false;
    Model()->Clear();
    const TEditTagsResult edited = process.EditTags(readable, v1, v2, ckAutoClearReadOnly->isChecked());
    ListReady = true;
    for (const QString &path : edited.FailedFiles) {
        summary.Failed << path;
        summary.Reasons << FileFailureReason(path, false);
    }
    const int run = process.IsCancelled() ? process.Position : readable.Count();
    summary.NotRun = readable.Count() - run;
    summary.Done = std::max(0, run - edited.Failed());
    ShowRunSummary(summary);
    return true;
}

void TfmTagFileList::done(int result)
{
    TfmFileListBase::done(result);
    for (TDataItem *item : Files)
        static_cast<TMP3File *>(item)->ManualEntryInfo.Entry = nullptr;
}
