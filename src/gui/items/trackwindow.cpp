#include "gui/items/trackwindow.h"

#include "core/audio/mpeginfo.h"
#include "core/base/desktopservices.h"
#include "core/base/localfiles.h"
#include "core/base/localpath.h"
#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/data/lookuplists.h"
#include "core/files/mp3file.h"
#include "core/files/mp3process.h"
#include "core/files/tracktagwrite.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"
#include "core/settings/generalhelpers.h"
#include "core/settings/prefs.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace Ids = Mp3FieldIds;

namespace {

// Where the user last picked an MP3 file in this run of the program.
QString lastMp3Folder;

template <typename Widget>
Widget *named(Widget *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLineEdit *lineEdit(const char *name, QWidget *parent)
{
    return named(new QLineEdit(parent), name);
}

// At most three digits, as the track's small numbers have.
QLineEdit *numberEdit(const char *name, QWidget *parent)
{
    QLineEdit *edit = lineEdit(name, parent);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,3}")), edit));
    edit->setMaximumWidth(60);
    return edit;
}

QPlainTextEdit *memo(const char *name, QWidget *parent)
{
    QPlainTextEdit *edit = named(new QPlainTextEdit(parent), name);
    edit->setTabChangesFocus(true);
    return edit;
}

QString normalisedLineBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

template <size_t N>
QString nameAt(const std::array<QLatin1String, N> &names, size_t index)
{
    return index < N ? QString(names[index]) : QString();
}

} // namespace

TfmTrack::TfmTrack(QWidget *owner, TMp3Prefs &prefs)
    : TfmDataItemBase(owner, prefs)
{
    setObjectName(QStringLiteral("fmTrack"));
    setWindowTitle(tr("Add/Edit Track"));
    // The base's first page becomes "General".
    PageControl->removeTab(0);
    delete tsMain;
    tsMain = buildGeneralPage();
    PageControl->addTab(tsMain, tr("&General"));
    PageControl->addTab(buildCreditsPage(), tr("&Credits"));
    PageControl->addTab(buildUrlsPage(), tr("&URLs"));
    PageControl->addTab(buildMusicMatchPage(), tr("&MusicMatch"));
    PageControl->addTab(buildNotesPage(), tr("Notes"));
    PageControl->addTab(buildLyricsPage(), tr("Lyrics"));
    PageControl->addTab(buildFilePage(), tr("&File"));
    // Said before OK, so a catalogued CD can be edited without surprise.
    laReadOnlyFile = new QLabel(StatusBar);
    laReadOnlyFile->setObjectName(QStringLiteral("laReadOnlyFile"));
    laReadOnlyFile->setWordWrap(true);
    laReadOnlyFile->hide();
    StatusBar->addWidget(laReadOnlyFile, 1);

    m_texts = {{edTitle, &TMp3Track::Title},         {edTitleSort, &TMp3Track::TitleSort},
               {edTitleThe, &TMp3Track::TitleThe},   {edSubtitle, &TMp3Track::SubTitle},
               {edCopyright, &TMp3Track::CopyrightBy}, {edAudioUrl, &TMp3Track::AudioURL},
               {edArtistUrl, &TMp3Track::ArtistURL}, {edGeneralURL, &TMp3Track::GeneralURL},
               {edEncodedby, &TMp3Track::EncodedBy}};
    m_memos = {{mmBio, &TMp3Track::Biography}, {mmNotes, &TMp3Track::Notes}, {mmLyrics, &TMp3Track::Lyrics}};
    m_numbers = {{edTrackIndex, &TMp3Track::TrackIndex, 0},
                 {edDiskIndex, &TMp3Track::DiskIndex, 1},
                 {edBPM, &TMp3Track::BPM, 0}};
    connect(edTitle, &QLineEdit::textChanged, this, [this] { UpdateCaption(); });
    // Top to bottom on every page, then the buttons.
    const QList<QWidget *> order = {
        edTitle, edTitleSort, edTitleThe, edSubtitle, cbArtist, cbOriginalArtist, cbAlbum, edTrackIndex, edDiskIndex,
        edBPM, cbYear, cbGenre, cbSecondaryGenre, cbLabel, cbLocation, cbComposer, cbLyricist, cbOrchestra,
        cbConductor, edCopyright, edAudioUrl, edArtistUrl, edGeneralURL, cbTempo, cbMood, cbSituation, cbPreference,
        mmBio, mmNotes, edEncodedby, mmLyrics, edFileRef, btFileRef, btOk, btCancel};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
    resize(560, 520);
}

std::unique_ptr<TfmDataItemBase> TfmTrack::CreateForm(QWidget *owner, TMp3Prefs &prefs)
{
    return std::make_unique<TfmTrack>(owner, prefs);
}

TMp3Track *TfmTrack::track() const
{
    return dynamic_cast<TMp3Track *>(Item);
}

// ---- building the pages ------------------------------------------------------------

QComboBox *TfmTrack::lookupCombo(const char *name, QWidget *parent)
{
    auto *combo = named(new QComboBox(parent), name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMaxVisibleItems(15);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(16);
    return combo;
}

QWidget *TfmTrack::withButton(QComboBox *combo, qint32 fieldID, QWidget *parent)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(combo, 1);
    auto *button = new QToolButton(row);
    button->setObjectName(QLatin1String("bt") + combo->objectName().mid(2));
    button->setText(QStringLiteral("..."));
    button->setToolTip(tr("Edit the value in its lookup list"));
    button->setEnabled(CanEditLookups());
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QToolButton::clicked, this, [this, combo, fieldID] { EditLookupFromCombo(combo, fieldID); });
    layout->addWidget(button);
    if (fieldID != Ids::Genre || combo == cbGenre)
        m_lookups.append({combo, fieldID});
    return row;
}

QLabel *TfmTrack::fieldLabel(const char *name, qint32 fieldID, QWidget *buddy, QWidget *parent)
{
    auto *label = named(new QLabel(parent), name);
    label->setBuddy(buddy);
    if (fieldID > 0)
        m_fieldLabels.append({label, fieldID});
    return label;
}

QLabel *TfmTrack::valueLabel(const char *name, QWidget *parent)
{
    auto *label = named(new QLabel(parent), name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QWidget *TfmTrack::buildGeneralPage()
{
    auto *page = named(new QWidget(PageControl), "tsMain");
    edTitle = lineEdit("edTitle", page);
    edTitleSort = lineEdit("edTitleSort", page);
    edTitleThe = lineEdit("edTitleThe", page);
    edSubtitle = lineEdit("edSubtitle", page);
    cbArtist = lookupCombo("cbArtist", page);
    cbOriginalArtist = lookupCombo("cbOriginalArtist", page);
    cbAlbum = lookupCombo("cbAlbum", page);
    edTrackIndex = numberEdit("edTrackIndex", page);
    edDiskIndex = numberEdit("edDiskIndex", page);
    edBPM = numberEdit("edBPM", page);
    cbYear = lookupCombo("cbYear", page);
    cbGenre = lookupCombo("cbGenre", page);
    cbSecondaryGenre = lookupCombo("cbSecondaryGenre", page);
    cbLabel = lookupCombo("cbLabel", page);
    cbLocation = lookupCombo("cbLocation", page);
    laOtherGenres = named(new QLabel(page), "laOtherGenres");
    laOtherGenres->setWordWrap(true);
    laOtherGenres->hide();

    auto *grid = new QGridLayout(page);
    int row = 0;
    auto addRow = [&](QLabel *label, QWidget *field) {
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1, 1, 5);
        ++row;
    };
    addRow(fieldLabel("laTitle", Ids::Title, edTitle, page), edTitle);
    addRow(fieldLabel("laTitleSort", Ids::TitleSort, edTitleSort, page), edTitleSort);
    addRow(fieldLabel("laTitleThe", Ids::TitleThe, edTitleThe, page), edTitleThe);
    addRow(fieldLabel("laSubtitle", Ids::SubTitle, edSubtitle, page), edSubtitle);
    addRow(fieldLabel("laArtist", Ids::Artist, cbArtist, page), withButton(cbArtist, Ids::Artist, page));
    addRow(fieldLabel("laOriginalArtist", Ids::OriginalArtist, cbOriginalArtist, page),
           withButton(cbOriginalArtist, Ids::OriginalArtist, page));
    addRow(fieldLabel("laAlbum", Ids::Album, cbAlbum, page), withButton(cbAlbum, Ids::Album, page));
    grid->addWidget(fieldLabel("laTrackIndex", Ids::TrackIndex, edTrackIndex, page), row, 0);
    grid->addWidget(edTrackIndex, row, 1);
    grid->addWidget(fieldLabel("laDiskIndex", Ids::DiskIndex, edDiskIndex, page), row, 2, Qt::AlignRight);
    grid->addWidget(edDiskIndex, row, 3);
    grid->addWidget(fieldLabel("laBPM", Ids::BPM, edBPM, page), row, 4, Qt::AlignRight);
    grid->addWidget(edBPM, row, 5);
    ++row;
    m_lookups.append({cbYear, Ids::Year});
    addRow(fieldLabel("laYear", Ids::Year, cbYear, page), cbYear);
    addRow(fieldLabel("laGenre", Ids::Genre, cbGenre, page), withButton(cbGenre, Ids::Genre, page));
    addRow(fieldLabel("laSecondaryGenre", 0, cbSecondaryGenre, page),
           withButton(cbSecondaryGenre, Ids::Genre, page));
    grid->addWidget(laOtherGenres, row++, 1, 1, 5);
    addRow(fieldLabel("laLabel", Ids::Label, cbLabel, page), withButton(cbLabel, Ids::Label, page));
    addRow(fieldLabel("laLocation", Ids::Location, cbLocation, page), withButton(cbLocation, Ids::Location, page));
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(1, 1);
    return page;
}

QWidget *TfmTrack::buildCreditsPage()
{
    tsCredits = named(new QWidget(PageControl), "tsCredits");
    cbComposer = lookupCombo("cbComposer", tsCredits);
    cbLyricist = lookupCombo("cbLyricist", tsCredits);
    cbOrchestra = lookupCombo("cbOrchestra", tsCredits);
    cbConductor = lookupCombo("cbConductor", tsCredits);
    edCopyright = lineEdit("edCopyright", tsCredits);
    auto *grid = new QGridLayout(tsCredits);
    const struct {
        const char *label;
        QComboBox *combo;
        qint32 field;
    } rows[] = {{"laComposer", cbComposer, Ids::Composer},
                {"laLyricist", cbLyricist, Ids::Lyricist},
                {"laOrchestra", cbOrchestra, Ids::Orchestra},
                {"laConductor", cbConductor, Ids::Conductor}};
    int row = 0;
    for (const auto &entry : rows) {
        grid->addWidget(fieldLabel(entry.label, entry.field, entry.combo, tsCredits), row, 0);
        grid->addWidget(withButton(entry.combo, entry.field, tsCredits), row++, 1);
    }
    grid->addWidget(fieldLabel("laCopyright", Ids::CopyrightBy, edCopyright, tsCredits), row, 0);
    grid->addWidget(edCopyright, row++, 1);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(1, 1);
    return tsCredits;
}

QWidget *TfmTrack::buildUrlsPage()
{
    tsURLs = named(new QWidget(PageControl), "tsURLs");
    edAudioUrl = lineEdit("edAudioUrl", tsURLs);
    edArtistUrl = lineEdit("edArtistUrl", tsURLs);
    edGeneralURL = lineEdit("edGeneralURL", tsURLs);
    auto *grid = new QGridLayout(tsURLs);
    grid->addWidget(fieldLabel("laAudioURL", Ids::AudioURL, edAudioUrl, tsURLs), 0, 0);
    grid->addWidget(edAudioUrl, 0, 1);
    grid->addWidget(fieldLabel("laArtistURL", Ids::ArtistURL, edArtistUrl, tsURLs), 1, 0);
    grid->addWidget(edArtistUrl, 1, 1);
    grid->addWidget(fieldLabel("laGeneralURL", Ids::GeneralURL, edGeneralURL, tsURLs), 2, 0);
    grid->addWidget(edGeneralURL, 2, 1);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(1, 1);
    return tsURLs;
}

QWidget *TfmTrack::buildMusicMatchPage()
{
    tsMusicMatch = named(new QWidget(PageControl), "tsMusicMatch");
    cbTempo = lookupCombo("cbTempo", tsMusicMatch);
    cbMood = lookupCombo("cbMood", tsMusicMatch);
    cbSituation = lookupCombo("cbSituation", tsMusicMatch);
    cbPreference = lookupCombo("cbPreference", tsMusicMatch);
    mmBio = memo("mmBio", tsMusicMatch);
    auto *grid = new QGridLayout(tsMusicMatch);
    const struct {
        const char *label;
        QComboBox *combo;
        qint32 field;
    } rows[] = {{"laTempo", cbTempo, Ids::Tempo},
                {"laMood", cbMood, Ids::Mood},
                {"laSituation", cbSituation, Ids::Situation},
                {"laPreference", cbPreference, Ids::Preference}};
    int row = 0;
    for (const auto &entry : rows) {
        grid->addWidget(fieldLabel(entry.label, entry.field, entry.combo, tsMusicMatch), row, 0);
        grid->addWidget(withButton(entry.combo, entry.field, tsMusicMatch), row++, 1);
    }
    grid->addWidget(fieldLabel("laBio", Ids::Biography, mmBio, tsMusicMatch), row++, 0, 1, 2);
    grid->addWidget(mmBio, row, 0, 1, 2);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(1, 1);
    return tsMusicMatch;
}

QWidget *TfmTrack::buildNotesPage()
{
    tsNotes = named(new QWidget(PageControl), "tsNotes");
    mmNotes = memo("mmNotes", tsNotes);
    edEncodedby = lineEdit("edEncodedby", tsNotes);
    auto *grid = new QGridLayout(tsNotes);
    grid->addWidget(mmNotes, 0, 0, 1, 2);
    grid->addWidget(fieldLabel("laEncodedby", Ids::EncodedBy, edEncodedby, tsNotes), 1, 0);
    grid->addWidget(edEncodedby, 1, 1);
    grid->setRowStretch(0, 1);
    grid->setColumnStretch(1, 1);
    return tsNotes;
}

QWidget *TfmTrack::buildLyricsPage()
{
    tsLyrics = named(new QWidget(PageControl), "tsLyrics");
    mmLyrics = memo("mmLyrics", tsLyrics);
    auto *layout = new QVBoxLayout(tsLyrics);
    layout->addWidget(mmLyrics);
    return tsLyrics;
}

QWidget *TfmTrack::buildFilePage()
{
    tsMP3 = named(new QWidget(PageControl), "tsMP3");
    edFileRef = lineEdit("edFileRef", tsMP3);
    btFileRef = named(new QToolButton(tsMP3), "btFileRef");
    btFileRef->setText(QStringLiteral("..."));
    btFileRef->setToolTip(tr("Choose the MP3 file"));
    connect(btFileRef, &QToolButton::clicked, this, &TfmTrack::chooseFile);
    // Read when the user has finished typing, not on every keystroke: a
    // half-typed path may name another file, or a pipe that blocks.
    connect(edFileRef, &QLineEdit::editingFinished, this, &TfmTrack::ReadFileReference);

    gbHeaderInfo = named(new QGroupBox(tr("MP3 Header Info"), tsMP3), "gbHeaderInfo");
    laLengthValue = valueLabel("laLengthValue", gbHeaderInfo);
    laSizeValue = valueLabel("laSizeValue", gbHeaderInfo);
    laMPEGValue = valueLabel("laMPEGValue", gbHeaderInfo);
    laBitrateValue = valueLabel("laBitrateValue", gbHeaderInfo);
    laFramesValue = valueLabel("laFramesValue", gbHeaderInfo);
    laSampleRateValue = valueLabel("laSampleRateValue", gbHeaderInfo);
    laCRCValue = valueLabel("laCRCValue", gbHeaderInfo);
    laCopyrightValue = valueLabel("laCopyrightValue", gbHeaderInfo);
    laOriginalValue = valueLabel("laOriginalValue", gbHeaderInfo);
    laEmphasisValue = valueLabel("laEmphasisValue", gbHeaderInfo);
    auto *info = new QGridLayout(gbHeaderInfo);
    const struct {
        const char *label;
        qint32 field;
        QLabel *value;
    } rows[] = {{"laLength", Ids::Length, laLengthValue},
                {"laSize", Ids::Size, laSizeValue},
                {"laMPEGVersion", Ids::MpegVersion, laMPEGValue},
                {"laBitRate", Ids::Bitrate, laBitrateValue},
                {"laFrames", Ids::Frames, laFramesValue},
                {"laSampleRate", Ids::SampleRate, laSampleRateValue},
                {"laCRCs", Ids::CRCs, laCRCValue},
                {"laCopyrighted", Ids::Copyrighted, laCopyrightValue},
                {"laOriginal", Ids::Original, laOriginalValue},
                {"laEmphasis", Ids::Emphasis, laEmphasisValue}};
    int row = 0;
    for (const auto &entry : rows) {
        info->addWidget(fieldLabel(entry.label, entry.field, nullptr, gbHeaderInfo), row, 0);
        info->addWidget(entry.value, row++, 1);
    }
    info->setColumnStretch(1, 1);

    auto *grid = new QGridLayout(tsMP3);
    grid->addWidget(fieldLabel("laFileRef", Ids::Filepath, edFileRef, tsMP3), 0, 0);
    grid->addWidget(edFileRef, 0, 1);
    grid->addWidget(btFileRef, 0, 2);
    grid->addWidget(gbHeaderInfo, 1, 0, 1, 3);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(1, 1);
    return tsMP3;
}

// ---- the virtual steps ------------------------------------------------------------------

void TfmTrack::SetFieldLabels()
{
    const TRootItem *root = Item ? Item->GetRoot() : TRootItem::Current();
    if (!root || !root->Fields)
        return;
    for (const auto &[label, fieldID] : std::as_const(m_fieldLabels)) {
        if (const TDataField *field = root->Fields->FindByID(fieldID))
            label->setText(GetFieldName(field));
    }
    if (const TDataField *genre = root->Fields->FindByID(Ids::Genre)) {
        findChild<QLabel *>(QStringLiteral("laSecondaryGenre"))
            ->setText(tr("Secondary %1").arg(GetFieldDisplayName(genre)));
    }
    if (const TDataField *notes = root->Fields->FindByID(Ids::Notes))
        PageControl->setTabText(PageControl->indexOf(tsNotes), GetFieldName(notes));
    if (const TDataField *lyrics = root->Fields->FindByID(Ids::Lyrics))
        PageControl->setTabText(PageControl->indexOf(tsLyrics), GetFieldName(lyrics));
}

void TfmTrack::FillLookupLists()
{
    const TRootItem *root = Item ? Item->GetRoot() : TRootItem::Current();
    if (!root || !root->Fields)
        return;
    for (const LookupBox &box : std::as_const(m_lookups))
        FillCombo(box.combo, root->GetLookupList(root->Fields->FindByID(box.fieldID)));
    FillCombo(cbSecondaryGenre, root->GetLookupList(root->Fields->FindByID(Ids::Genre)));
}

void TfmTrack::LoadFromItem(TDataItem *item)
{
    auto *track = dynamic_cast<TMp3Track *>(item);
    const TRootItem *root = track ? track->GetRoot() : nullptr;
    if (!track || !root || !root->Fields)
        return;
    for (const TextBox &box : std::as_const(m_texts))
        box.edit->setText(track->*box.member);
    m_loadedMemos.clear();
    for (const MemoBox &box : std::as_const(m_memos)) {
        box.memo->setPlainText(track->*box.member);
        m_loadedMemos.append(track->*box.member);
    }
    for (const NumberBox &box : std::as_const(m_numbers))
        box.edit->setText(QString::number(track->*box.member));
    for (const LookupBox &box : std::as_const(m_lookups)) {
        if (box.fieldID != Ids::Genre)
            SelectLookupInCombo(box.combo, track->GetValueAsLookupItem(root->Fields->FindByID(box.fieldID), false));
    }
    SelectLookupInCombo(cbGenre, nullptr);
    SelectLookupInCombo(cbSecondaryGenre, nullptr);
    m_otherGenres.clear();
    const int genreCount = track->Genres ? track->Genres->Count() : 0;
    if (genreCount > 0)
        SelectLookupInCombo(cbGenre, track->Genres->Get(0));
    if (genreCount > 1)
        SelectLookupInCombo(cbSecondaryGenre, track->Genres->Get(1));
    QStringList others;
    for (int i = 2; i < genreCount; ++i) {
        m_otherGenres.append(track->Genres->Get(i));
        others << GetLookupDisplayName(track->Genres->Get(i));
    }
    laOtherGenres->setText(tr("Also: %1").arg(others.join(QStringLiteral("; "))));
    laOtherGenres->setVisible(!others.isEmpty());
    edFileRef->setText(ReadablePath(track->FilePath));
    m_readPath = track->FilePath;
    showHeaderInfo(*track);
    showWriteObstacle();
    UpdateCaption();
}

void TfmTrack::SaveToItem(TDataItem *item)
{
    auto *track = dynamic_cast<TMp3Track *>(item);
    const TRootItem *root = track ? track->GetRoot() : nullptr;
    if (!track || !root || !root->Fields)
        return;
    for (const TextBox &box : std::as_const(m_texts))
        track->*box.member = box.edit->text();
    for (int i = 0; i < m_memos.size(); ++i) {
        const MemoBox &box = m_memos.at(i);
        const QString text = box.memo->toPlainText();
        const QString loaded = i < m_loadedMemos.size() ? m_loadedMemos.at(i) : QString();
        // An untouched memo keeps the line breaks it came with.
        track->*box.member = text == normalisedLineBreaks(loaded) ? loaded
                                                                 : QString(text).replace(QLatin1Char('\n'),
                                                                                         QLatin1String("\r\n"));
    }
    for (const NumberBox &box : std::as_const(m_numbers)) {
        bool ok = false;
        const qint32 value = box.edit->text().trimmed().toInt(&ok);
        track->*box.member = ok ? value : box.empty;
    }
    for (const LookupBox &box : std::as_const(m_lookups)) {
        if (box.fieldID == Ids::Genre)
            continue;
        const TDataField *field = root->Fields->FindByID(box.fieldID);
        TLookupItem *value = LookupFromCombo(box.combo, root->GetLookupList(field));
        track->SetValueAsLookupItem(field, value, LookupSetMode::Replace,
                                    track->GetValueAsLookupItem(field, false));
    }
    TLookupList *genres = root->GetLookupList(root->Fields->FindByID(Ids::Genre));
    if (track->Genres) {
        track->Genres->Clear();
        track->Genres->Add(LookupFromCombo(cbGenre, genres));
        track->Genres->Add(LookupFromCombo(cbSecondaryGenre, genres));
        for (TLookupItem *other : std::as_const(m_otherGenres))
            track->Genres->Add(other);
    }
    track->FilePath = fileReference();
}

QString TfmTrack::fileReference() const
{
    return PathShownIn(edFileRef->text(), m_readPath);
}

void TfmTrack::UpdateCaption()
{
    setWindowTitle(QStringLiteral("%1 %2").arg(Mode == EditMode ? tr("Edit Track:") : tr("Add Track"),
                                               edTitle->text()));
}

void TfmTrack::showWriteObstacle()
{
    m_writeObstacle = TagWriteObstacleText(TagWriteObstacleOf(m_readPath));
    laReadOnlyFile->setText(tr("%1 OK changes the collection only; the file keeps its tags.").arg(m_writeObstacle));
    laReadOnlyFile->setVisible(!m_writeObstacle.isEmpty());
}

void TfmTrack::showHeaderInfo(const TMp3Track &track)
{
    const auto twoDigits = [](qint32 value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); };
    laLengthValue->setText(twoDigits(track.Length / 60) + QLatin1Char(':') + twoDigits(track.Length % 60));
    laSizeValue->setText(tr("%1 bytes").arg(track.Size));
    laMPEGValue->setText(tr("%1 layer %2, %3")
                             .arg(nameAt(MpegVersionNames, track.MpegVersion))
                             .arg(track.Layer)
                             .arg(nameAt(ModeNames, track.Mode)));
    laBitrateValue->setText(tr("%1 kbps").arg(track.Bitrate));
    laFramesValue->setText(tr("%1, first at %2").arg(track.Frames).arg(track.HeaderPosition));
    laSampleRateValue->setText(tr("%1 Hz").arg(track.SampleRate));
    laCRCValue->setText(BoolToYesNo(track.CRCs));
    laCopyrightValue->setText(BoolToYesNo(track.Copyrighted));
    laOriginalValue->setText(BoolToYesNo(track.Original));
    laEmphasisValue->setText(nameAt(EmphasisNames, track.Emphasis));
}

// ---- the file reference -------------------------------------------------------------------

void TfmTrack::ReadFileReference()
{
    TMp3Track *edited = track();
    const QString path = fileReference();
    if (!edited || Loading() || path == m_readPath)
        return;
    SaveToItem(edited);
    TMP3File file(path);
    file.SetInfoSources(false, false, true, true, false);
    // A path that names no regular file (gone, a folder, a pipe, a device)
    // is not opened: the track then follows it with no stream values.
    if (IsLocalFile(path)) {
        const TBusyCursor busy;
        file.ReadInfo({});
    }
    CopyFileToTrack(*edited, file);
    // The file's tags may have brought values the lists did not have.
    FillLookupLists();
    LoadFromItem(edited);
}

QString TfmTrack::AskMp3FileName(const QString &current)
{
    QFileDialog dialog(this, tr("Open"), lastMp3Folder, tr("MP3 Files (*.mp3)"));
    dialog.setObjectName(QStringLiteral("dlgOpenMP3"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!current.isEmpty())
        dialog.selectFile(QFileInfo(current).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void TfmTrack::chooseFile()
{
    const QString chosen = AskMp3FileName(edFileRef->text());
    if (chosen.isEmpty())
        return;
    lastMp3Folder = QFileInfo(chosen).absolutePath();
    edFileRef->setText(chosen);
    ReadFileReference();
}

bool TfmTrack::ConfirmItem(TDataItem *item)
{
    auto *edited = dynamic_cast<TMp3Track *>(item);
    if (!edited)
        return true;
    const TTrackTagWrite written = WriteTrackToFileTags(*edited);
    // The collection keeps the change whatever became of the file: a
    // catalogue of CDs and archive disks must stay editable.  The user
    // hears once why the file kept its tags: before OK when that could be
    // seen, otherwise now.
    if (written.failed() && (m_writeObstacle.isEmpty() || edited->FilePath != m_readPath))
        ShowInfo(tr("The tags of the file\n\"%1\"\nkept their old values: %2\n\n"
                    "The collection holds your changes.")
                     .arg(ReadablePath(edited->FilePath), written.Error));
    return true;
}
