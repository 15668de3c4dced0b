#include "gui/filelist/fileproperties.h"

#include "gui/settings/formplacement.h"

#include "core/audio/filenameinfo.h"
#include "core/audio/id3tag.h"
#include "core/audio/mergedfields.h"
#include "core/base/desktopservices.h"
#include "core/base/localfiles.h"
#include "core/base/localpath.h"
#include "core/data/fieldlists.h"
#include "core/files/mp3file.h"
#include "core/files/mp3process.h"
#include "core/files/tagwrite.h"
#include "core/files/tracktagwrite.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3root.h"
#include "core/settings/prefs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

using F = TMergedField;

// The ID3v2 fields as the pages show them: the page, the merged field (its
// row says which member of the tag holds it) and whether the control takes
// several lines.
struct TV2Field {
    int Page;
    const char *Caption;
    const char *Name;
    TMergedField Field;
    bool MultiLine;
};

const TV2Field V2Fields[] = {
    {0, "Title", "edTitlev2", F::Title, false},
    {0, "Subtitle", "edSubtitlev2", F::SubTitle, false},
    {0, "Artist", "edArtistv2", F::Artist, false},
    {0, "Original Artist", "edOrigArtistv2", F::OrigArtist, false},
    {0, "Album", "edAlbumv2", F::Album, false},
    {0, "Year", "edYearv2", F::Year, false},
    {0, "Index", "edIndexv2", F::TrackIndex, false},
    {0, "BPM", "edBPMv2", F::BPM, false},
    {0, "Genre", "edGenrev2", F::Genre, false},
    {0, "Label", "edLabelv2", F::Label, false},
    {1, "Composer", "edComposerv2", F::Composer, false},
    {1, "Lyricist", "edLyricistv2", F::Lyricist, false},
    {1, "Orchestra", "edOrchestrav2", F::Orchestra, false},
    {1, "Conductor", "edConductorv2", F::Conductor, false},
    {1, "Copyright", "edCopyrightv2", F::CopyrightBy, false},
    {2, "General URL", "edGeneralURLv2", F::GeneralURL, false},
    {2, "Audio URL", "edAudioURLv2", F::AudioURL, false},
    {2, "Artist URL", "edArtistURLv2", F::ArtistURL, false},
    {3, "Mood", "edMoodv2", F::Mood, false},
    {3, "Tempo", "edTempov2", F::Tempo, false},
    {3, "Situation", "edSituationv2", F::Situation, false},
    {3, "Preference", "edPreferencev2", F::Preference, false},
    {3, "Bio", "meBiov2", F::Biography, true},
    {4, "Comment", "meCommentv2", F::Notes, true},
    {4, "Encoded by", "edEncodedByv2", F::EncodedBy, false},
    {5, "Lyrics", "meLyricsv2", F::Lyrics, true},
};

const char *const V2Pages[] = {"Main", "Credits", "URLs", "MusicMatch", "Notes", "Lyrics"};

QString controlText(const QWidget *control)
{
    if (const auto *edit = qobject_cast<const QLineEdit *>(control))
        return edit->text();
    if (const auto *memo = qobject_cast<const QPlainTextEdit *>(control))
        return memo->toPlainText();
    return QString();
}

void setControlText(QWidget *control, const QString &text)
{
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        edit->setText(text);
    else if (auto *memo = qobject_cast<QPlainTextEdit *>(control))
        memo->setPlainText(text);
}

QString numberText(qint32 value)
{
    return value == 0 ? QString() : QString::number(value);
}

// A field of the tag as its control shows it: a number of 0 as nothing.
template <typename Tag, typename Record>
QString fieldText(const Tag &tag, const TFieldMember<Record> &member)
{
    return member.Text ? tag.*member.Text : numberText(tag.*member.Number);
}

// The control's text into the field; a number that is none becomes 0.
template <typename Tag, typename Record>
void setFieldText(Tag &tag, const TFieldMember<Record> &member, const QString &text)
{
    if (member.Text)
        tag.*member.Text = text;
    else
        tag.*member.Number = text.trimmed().toInt();
}

QLineEdit *lineEdit(const QString &name, int maxLength, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    return edit;
}

} // namespace

TfmFileProperties::TfmFileProperties(QWidget *owner, const TFileListContext &context, TMP3File &file,
                                     TMp3Track *track)
    : QDialog(owner), m_context(context), m_file(file), m_track(track)
{
    setObjectName(QStringLiteral("fmFileProperties"));
    setWindowTitle(tr("File Properties"));

    btCopyv1tov2 = new QPushButton(tr("Copy >>"), this);
    btCopyv1tov2->setObjectName(QStringLiteral("acCopyv1tov2"));
    btCopyv1tov2->setToolTip(tr("Copy ID3v1 tags to ID3v2 tags"));
    btCopyv2tov1 = new QPushButton(tr("<< Copy"), this);
    btCopyv2tov1->setObjectName(QStringLiteral("acCopyv2tov1"));
    btCopyv2tov1->setToolTip(tr("Copy ID3v2 tags to ID3v1 tags"));
    btOK = new QPushButton(tr("OK"), this);
    btOK->setObjectName(QStringLiteral("btOK"));
    btOK->setDefault(true);
    btCancel = new QPushButton(tr("Cancel"), this);
    btCancel->setObjectName(QStringLiteral("btCancel"));
    btReRead = new QPushButton(tr("Re-Read"), this);
    btReRead->setObjectName(QStringLiteral("acReRead"));

    auto *copyButtons = new QVBoxLayout;
    copyButtons->addStretch();
    copyButtons->addWidget(btCopyv1tov2);
    copyButtons->addWidget(btCopyv2tov1);
    copyButtons->addStretch();
    auto *tags = new QHBoxLayout;
    tags->addWidget(buildV1Group());
    tags->addLayout(copyButtons);
    tags->addWidget(buildV2Group(), 1);

    auto *right = new QVBoxLayout;
    right->addWidget(btOK);
    right->addWidget(btCancel);
    right->addSpacing(12);
    right->addWidget(btReRead);
    right->addStretch();

    auto *left = new QVBoxLayout;
    left->addLayout(tags);
    left->addWidget(buildFileGroup());
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right);

    connect(ckID3v1, &QCheckBox::clicked, this, [this](bool checked) {
        m_file.ID3v1.Enabled = checked;
        UpdateEnabledState();
    });
    connect(ckID3v2, &QCheckBox::clicked, this, [this](bool checked) {
        m_file.ID3v2.Enabled = checked;
        UpdateEnabledState();
    });
    connect(btCopyv1tov2, &QPushButton::clicked, this, &TfmFileProperties::acCopyv1tov2Execute);
    connect(btCopyv2tov1, &QPushButton::clicked, this, &TfmFileProperties::acCopyv2tov1Execute);
    connect(btParse, &QPushButton::clicked, this, &TfmFileProperties::btParseClick);
    connect(btRename, &QPushButton::clicked, this, &TfmFileProperties::btRenameClick);
    connect(btReRead, &QPushButton::clicked, this, &TfmFileProperties::acReReadExecute);
    connect(btOK, &QPushButton::clicked, this, &TfmFileProperties::btOKClick);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btRenameFormatList, &QPushButton::clicked, this, [this] {
        if (m_context.EditFormats && m_context.EditFormats(this, &m_file, true))
            fillRenameFormats();
    });
    connect(btParseFormatList, &QPushButton::clicked, this, [this] {
        if (m_context.EditFormats)
            m_context.EditFormats(this, &m_file, false);
    });

    // Loading the window.
    m_file.ReadInfo(m_context.Prefs.ParseFormats);
    fillRenameFormats();
    cbGenrev1->addItem(QString());
    QStringList genres = GenreList();
    genres.sort(Qt::CaseInsensitive);
    cbGenrev1->addItems(genres);
    pcV2->setCurrentIndex(0);
    LoadValues();
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget *TfmFileProperties::buildV1Group()
{
    gbID3v1 = new QGroupBox(tr("ID3v1 Tag Info"), this);
    ckID3v1 = new QCheckBox(tr("Use this tag"), gbID3v1);
    ckID3v1->setObjectName(QStringLiteral("ckID3v1"));
    edTitlev1 = lineEdit(QStringLiteral("edTitlev1"), 30, gbID3v1);
    edArtistv1 = lineEdit(QStringLiteral("edArtistv1"), 30, gbID3v1);
    edAlbumv1 = lineEdit(QStringLiteral("edAlbumv1"), 30, gbID3v1);
    edCommentsv1 = lineEdit(QStringLiteral("edCommentsv1"), 30, gbID3v1);
    edYearv1 = lineEdit(QStringLiteral("edYearv1"), 4, gbID3v1);
    edIndexv1 = lineEdit(QStringLiteral("edIndexv1"), 3, gbID3v1);
    cbGenrev1 = new QComboBox(gbID3v1);
    cbGenrev1->setObjectName(QStringLiteral("cbGenrev1"));
    cbGenrev1->setEditable(false);
    auto *form = new QFormLayout(gbID3v1);
    form->addRow(ckID3v1);
    form->addRow(tr("Title"), edTitlev1);
    form->addRow(tr("Artist"), edArtistv1);
    form->addRow(tr("Album"), edAlbumv1);
    form->addRow(tr("Comment"), edCommentsv1);
    form->addRow(tr("Year"), edYearv1);
    form->addRow(tr("Index"), edIndexv1);
    form->addRow(tr("Genre"), cbGenrev1);
    m_v1Edits = {{edTitlev1, F::Title}, {edArtistv1, F::Artist}, {edAlbumv1, F::Album},
                 {edCommentsv1, F::Notes}, {edYearv1, F::Year}, {edIndexv1, F::TrackIndex}};
    m_v1Controls = {edTitlev1, edArtistv1, edAlbumv1, edCommentsv1, edYearv1, edIndexv1, cbGenrev1};
    return gbID3v1;
}

QWidget *TfmFileProperties::buildV2Group()
{
    gbID3v2 = new QGroupBox(tr("ID3v2 Tag Info"), this);
    ckID3v2 = new QCheckBox(tr("Use this tag"), gbID3v2);
    ckID3v2->setObjectName(QStringLiteral("ckID3v2"));
    pcV2 = new QTabWidget(gbID3v2);
    pcV2->setObjectName(QStringLiteral("pcV2"));
    for (int page = 0; page < int(std::size(V2Pages)); ++page) {
        auto *widget = new QWidget(pcV2);
        auto *form = new QFormLayout(widget);
        for (const TV2Field &field : V2Fields) {
            if (field.Page != page)
                continue;
            QWidget *control = nullptr;
            if (field.MultiLine) {
                auto *memo = new QPlainTextEdit(widget);
                memo->setTabChangesFocus(true);
                control = memo;
            } else {
                control = new QLineEdit(widget);
            }
            control->setObjectName(QLatin1String(field.Name));
            if (page == 5)
                form->addRow(control);
            else
                form->addRow(tr(field.Caption), control);
            m_v2Controls << control;
        }
        pcV2->addTab(widget, tr(V2Pages[page]));
    }
    auto *layout = new QVBoxLayout(gbID3v2);
    layout->addWidget(ckID3v2);
    layout->addWidget(pcV2);
    return gbID3v2;
}

QWidget *TfmFileProperties::buildFileGroup()
{
    auto *box = new QWidget(this);
    auto *gbFilename = new QGroupBox(tr("Filename Info"), box);
    edFilename = lineEdit(QStringLiteral("edFilename"), 0, gbFilename);
    edFilePath = lineEdit(QStringLiteral("edFilePath"), 0, gbFilename);
    edFilePath->setReadOnly(true);
    edFilePath->setMinimumWidth(edFilePath->fontMetrics().averageCharWidth() * 48);
    cbRenameFormats = new QComboBox(gbFilename);
    cbRenameFormats->setObjectName(QStringLiteral("cbRenameFormats"));
    cbRenameFormats->setEditable(false);
    btParse = new QPushButton(tr("Parse"), gbFilename);
    btParse->setObjectName(QStringLiteral("btParse"));
    btParse->setToolTip(tr("Fill the ticked tags from the file name"));
    btRename = new QPushButton(tr("Rename"), gbFilename);
    btRename->setObjectName(QStringLiteral("btRename"));
    btRename->setToolTip(tr("Propose a file name from the rename format"));
    btRenameFormatList = new QPushButton(tr("..."), gbFilename);
    btRenameFormatList->setObjectName(QStringLiteral("btRenameFormatList"));
    btRenameFormatList->setToolTip(tr("Rename Format List"));
    btParseFormatList = new QPushButton(tr("..."), gbFilename);
    btParseFormatList->setObjectName(QStringLiteral("btParseFormatList"));
    btParseFormatList->setToolTip(tr("Parse Format List"));
    for (QPushButton *button : {btRenameFormatList, btParseFormatList}) {
        button->setMaximumWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
        button->setEnabled(bool(m_context.EditFormats));
    }
    auto *grid = new QGridLayout(gbFilename);
    grid->addWidget(new QLabel(tr("Filename"), gbFilename), 0, 0);
    grid->addWidget(edFilename, 0, 1, 1, 2);
    grid->addWidget(btParse, 0, 3);
    grid->addWidget(btParseFormatList, 0, 4);
    grid->addWidget(new QLabel(tr("Full path"), gbFilename), 1, 0);
    grid->addWidget(edFilePath, 1, 1, 1, 2);
    grid->addWidget(new QLabel(tr("Rename format"), gbFilename), 2, 0);
    grid->addWidget(cbRenameFormats, 2, 1, 1, 2);
    grid->addWidget(btRename, 2, 3);
    grid->addWidget(btRenameFormatList, 2, 4);
    grid->setColumnStretch(1, 1);

    auto *gbFile = new QGroupBox(tr("File"), box);
    laLength = new QLabel(gbFile);
    laLength->setObjectName(QStringLiteral("laLength"));
    laSize = new QLabel(gbFile);
    laSize->setObjectName(QStringLiteral("laSize"));
    ckReadOnly = new QCheckBox(tr("&Read Only"), gbFile);
    ckReadOnly->setObjectName(QStringLiteral("ckReadOnly"));
    auto *fileForm = new QFormLayout(gbFile);
    fileForm->addRow(tr("Length:"), laLength);
    fileForm->addRow(tr("Size:"), laSize);
    fileForm->addRow(ckReadOnly);
    laReadOnlyFile = new QLabel(gbFile);
    laReadOnlyFile->setObjectName(QStringLiteral("laReadOnlyFile"));
    laReadOnlyFile->setWordWrap(true);
    laReadOnlyFile->hide();
    fileForm->addRow(laReadOnlyFile);
    connect(ckReadOnly, &QCheckBox::toggled, this, &TfmFileProperties::showWriteObstacle);

    auto *gbMpeg = new QGroupBox(tr("MPEG Info"), box);
    laMpegInfo = new QLabel(gbMpeg);
    laMpegInfo->setObjectName(QStringLiteral("laMpegInfo"));
    laMpegInfo->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *mpeg = new QVBoxLayout(gbMpeg);
    mpeg->addWidget(laMpegInfo);

    auto *layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(gbFilename, 2);
    layout->addWidget(gbFile);
    layout->addWidget(gbMpeg);
    return box;
}

QWidget *TfmFileProperties::V2Control(const QString &name) const
{
    for (QWidget *control : m_v2Controls)
        if (control->objectName() == name)
            return control;
    return nullptr;
}

void TfmFileProperties::fillRenameFormats()
{
    const QString current =
        cbRenameFormats->count() > 0 ? cbRenameFormats->currentText() : m_context.Prefs.CurrentRenameFormat;
    cbRenameFormats->clear();
    cbRenameFormats->addItems(m_context.Prefs.RenameFormats);
    const int index = cbRenameFormats->findText(current);
    cbRenameFormats->setCurrentIndex(index >= 0 ? index : 0);
}

void TfmFileProperties::LoadValues()
{
    edFilePath->setText(ReadablePath(m_file.Path));
    edFilename->setText(ReadablePath(m_file.Name));
    ckReadOnly->setChecked(m_file.IsReadOnly());
    showWriteObstacle();
    loadV1();
    loadV2();
    loadFileValues();
    UpdateEnabledState();
}

void TfmFileProperties::loadV1()
{
    const TID3v1Tag &tag = m_file.ID3v1;
    ckID3v1->setChecked(tag.Exists);
    m_file.ID3v1.Enabled = tag.Exists;
    for (const auto &[edit, field] : std::as_const(m_v1Edits))
        edit->setText(fieldText(tag, MergedFieldRow(field).V1));
    const int genre = cbGenrev1->findText(tag.GetGenre());
    cbGenrev1->setCurrentIndex(genre >= 0 ? genre : 0);
}

void TfmFileProperties::loadV2()
{
    TID3v2Tag &tag = m_file.ID3v2;
    ckID3v2->setChecked(tag.Exists);
    tag.Enabled = tag.Exists;
    int i = 0;
    for (const TV2Field &field : V2Fields)
        setControlText(m_v2Controls.at(i++), fieldText(tag, MergedFieldRow(field.Field).V2));
}

void TfmFileProperties::loadFileValues()
{
    const TMpegInfo &mpeg = m_file.MpegInfo;
    laLength->setText(tr("%1:%2").arg(mpeg.Length / 60, 2, 10, QLatin1Char('0')).arg(mpeg.Length % 60, 2, 10,
                                                                                          QLatin1Char('0')));
    laSize->setText(tr("%1 bytes").arg(m_file.FileSize));
    const TGlobalDataFieldList *fields = m_context.Root.Fields.get();
    auto text = [this, fields](qint32 id) {
        const TDataField *field = fields ? fields->FindByID(id) : nullptr;
        return field ? m_file.GetValueAsString(field) : QString();
    };
    QStringList lines;
    lines << tr("MPEG %1 layer %2, %3").arg(text(Mp3FieldIds::MpegVersion)).arg(mpeg.Layer).arg(text(Mp3FieldIds::Mode));
    lines << tr("Bitrate: %1 kbps%2").arg(mpeg.Bitrate).arg(mpeg.VBR ? tr(" (VBR)") : QString());
    lines << tr("Frames: %1, first at %2").arg(mpeg.Frames).arg(mpeg.HeaderPosition);
    lines << tr("Sample rate: %1 Hz").arg(mpeg.SampleRate);
    lines << tr("CRCs: %1   Copyrighted: %2").arg(text(Mp3FieldIds::CRCs), text(Mp3FieldIds::Copyrighted));
    lines << tr("Original: %1   Emphasis: %2").arg(text(Mp3FieldIds::Original), text(Mp3FieldIds::Emphasis));
    laMpegInfo->setText(lines.join(QLatin1Char('\n')));
}

void TfmFileProperties::UpdateEnabledState()
{
    btReRead->setEnabled(true);
    for (QWidget *control : std::as_const(m_v1Controls))
        control->setEnabled(ckID3v1->isChecked());
    pcV2->setEnabled(ckID3v2->isChecked());
}

void TfmFileProperties::StoreControls()
{
    TID3v1Tag &v1 = m_file.ID3v1;
    v1.Enabled = v1.Exists = ckID3v1->isChecked();
    for (const auto &[edit, field] : std::as_const(m_v1Edits))
        setFieldText(v1, MergedFieldRow(field).V1, edit->text());
    v1.SetGenre(cbGenrev1->currentText());

    TID3v2Tag &v2 = m_file.ID3v2;
    v2.Enabled = v2.Exists = ckID3v2->isChecked();
    int i = 0;
    for (const TV2Field &field : V2Fields)
        setFieldText(v2, MergedFieldRow(field.Field).V2, controlText(m_v2Controls.at(i++)));
}

void TfmFileProperties::acCopyv1tov2Execute()
{
    StoreControls();
    m_file.ID3v2.Enabled = m_file.ID3v2.Exists = true;
    m_file.CopyV1ToV2();
    loadV2();
    UpdateEnabledState();
}

void TfmFileProperties::acCopyv2tov1Execute()
{
    StoreControls();
    m_file.ID3v1.Enabled = m_file.ID3v1.Exists = true;
    m_file.CopyV2ToV1();
    loadV1();
    UpdateEnabledState();
}

void TfmFileProperties::btParseClick()
{
    if (!ckID3v1->isChecked() && !ckID3v2->isChecked()) {
        ShowInfo(tr("No tag selected. Check one or both of the \"Use this Tag\" checkboxes"));
        return;
    }
    StoreControls();
    const QString path = LocalParentFolder(m_file.Path) + QLatin1Char('/') + fileName();
    const bool locked = m_file.FilenameInfo.Locked;
    m_file.FilenameInfo.Unlock();
    m_file.FilenameInfo.ParseBestFormat(path, m_context.Prefs.ParseFormats);
    m_file.FilenameInfo.Locked = locked;
    if (ckID3v1->isChecked())
        m_file.FilenameToV1();
    if (ckID3v2->isChecked())
        m_file.FilenameToV2();
    loadV1();
    loadV2();
    UpdateEnabledState();
}

void TfmFileProperties::btRenameClick()
{
    StoreControls();
    edFilename->setText(m_file.GetNewFileName(cbRenameFormats->currentText()));
}

void TfmFileProperties::acReReadExecute()
{
    const TBusyCursor busy;
    m_file.ReadInfo(m_context.Prefs.ParseFormats);
    LoadValues();
}

QString TfmFileProperties::checkNewName(const QString &name) const
{
    if (name.trimmed().isEmpty())
        return tr("Please enter a file name.");
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return tr("\"%1\" cannot be used as a file name.").arg(name);
    if (name.contains(QLatin1Char('/')) || name.contains(QChar(0)))
        return tr("A file name cannot contain \"/\" or NUL characters.");
    if (name.toUtf8().size() > MaxFileNameBytes)
        return tr("The file name is too long.");
    return QString();
}

TMp3Track *TfmFileProperties::linkedTrack() const
{
    if (m_track && m_track->FilePath == m_file.Path)
        return m_track;
    const TMp3TrackList *tracks = m_context.Root.GetTracks();
    for (int i = 0; i < tracks->Count(); ++i)
        if (tracks->Get(i)->FilePath == m_file.Path)
            return tracks->Get(i);
    return nullptr;
}

QString TfmFileProperties::writeObstacle() const
{
    const TTagWriteObstacle obstacle = TagWriteObstacleOf(m_file.Path);
    if (obstacle == TTagWriteObstacle::ReadOnlyFile && !ckReadOnly->isChecked())
        return QString();
    return TagWriteObstacleText(obstacle);
}

void TfmFileProperties::showWriteObstacle()
{
    const QString obstacle = writeObstacle();
    laReadOnlyFile->setText(tr("%1 Its tags cannot be written.").arg(obstacle));
    laReadOnlyFile->setVisible(!obstacle.isEmpty());
}

QString TfmFileProperties::fileName() const
{
    return PathShownIn(edFilename->text(), m_file.Name);
}

void TfmFileProperties::btOKClick()
{
    const QString newName = fileName();
    const bool renaming = newName != m_file.Name;
    if (renaming) {
        const QString problem = checkNewName(newName);
        if (!problem.isEmpty()) {
            ShowInfo(problem);
            edFilename->setFocus();
            return;
        }
    }
    StoreControls();
    const TBusyCursor busy;
    const QString obstacle = writeObstacle();
    // The file is made writable before and read-only after the writes,
    // which would fail on a file made read-only first.  The track is found
    // by the path before a rename and follows the file only once it is
    // written.
    TTagWriteRequest request;
    request.V2 = m_file.ID3v2.Enabled ? TTagAction::Set : TTagAction::Remove;
    request.V1 = m_file.ID3v1.Enabled ? TTagAction::Set : TTagAction::Remove;
    request.ReadOnly = ckReadOnly->isChecked() ? TReadOnlyFiles::Try : TReadOnlyFiles::MakeWritable;
    request.NewName = renaming ? newName : QString();
    request.MakeReadOnly = ckReadOnly->isChecked();
    request.Track = linkedTrack();
    request.Refresh = TTrackRefresh::FileValues;
    request.ParseFormats = m_context.Prefs.ParseFormats;
    const TTagWriteResult written = WriteFileTags(m_file, request);
    if (!written.Written()) {
        if (!request.Track || !LocalPathExists(m_file.Path)) {
            ShowInfo(tr("Could not write to file. This may be because the file is read-only"));
            return;
        }
        // The collection takes the edits even when the file cannot: a
        // catalogue of CDs and archive disks must stay editable.  The user
        // hears once why the file kept its tags: before OK when that could
        // be seen, otherwise now.
        linkFileToTrack(*request.Track);
        if (obstacle.isEmpty())
            ShowInfo(tr("The tags of the file\n\"%1\"\nkept their old values: %2\n\n"
                        "The collection holds your changes.")
                         .arg(ReadablePath(m_file.Path), whyNotWritten()));
        // The name is changed only together with the tags.
        if (renaming)
            ShowInfo(tr("Unable to rename file"));
        accept();
        return;
    }
    if (written.RenameFailed)
        ShowInfo(tr("Unable to rename file"));
    accept();
}

void TfmFileProperties::linkFileToTrack(TMp3Track &track)
{
    TMp3Track *previousLink = m_file.TrackInfo.LinkedTrack;
    m_file.LinkTrack(&track);
    CopyFileToTrack(track, m_file);
    m_file.LinkTrack(previousLink);
}

QString TfmFileProperties::whyNotWritten() const
{
    const QString obstacle = TagWriteObstacleText(TagWriteObstacleOf(m_file.Path));
    if (!obstacle.isEmpty())
        return obstacle;
    return m_file.ID3v2.errorString().isEmpty() ? tr("The tags could not be written.") : m_file.ID3v2.errorString();
}

void TfmFileProperties::reject()
{
    // The tags in memory lose the edits.
    m_file.ReadInfo(m_context.Prefs.ParseFormats);
    QDialog::reject();
}

void TfmFileProperties::showEvent(QShowEvent *event)
{
    if (!m_placed) {
        m_placed = true;
        TFormPlacement::RestorePlacement(this, m_context.Prefs.Store());
    }
    QDialog::showEvent(event);
}

void TfmFileProperties::done(int result)
{
    TFormPlacement::SavePlacement(this, m_context.Prefs.Store());
    if (!cbRenameFormats->currentText().isEmpty())
        m_context.Prefs.CurrentRenameFormat = cbRenameFormats->currentText();
    QDialog::done(result);
}

bool TfmFileProperties::Execute(QWidget *owner, const TFileListContext &context, TMP3File &file, TMp3Track *track)
{
    TfmFileProperties window(owner, context, file, track);
    return window.exec() == QDialog::Accepted;
}
