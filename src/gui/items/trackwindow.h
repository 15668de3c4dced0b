#pragma once

#include "gui/items/dataitembase.h"

#include <QList>
#include <QString>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;
class TLookupItem;
class TMp3Track;

// The window in which the user adds a track or edits one: every editable
// field on six pages, the file's technical values read-only, the file read
// again when the file reference changes, and on OK the changed values
// written into the tags the file already has.
//
// Open it with TfmDataItemBase::Execute(TfmTrack::CreateForm, owner, track,
// mode, prefs) (see TfmDataItemBase for the add and edit conventions).
class TfmTrack : public TfmDataItemBase {
    Q_OBJECT
public:
    TfmTrack(QWidget *owner, TMp3Prefs &prefs);
    static std::unique_ptr<TfmDataItemBase> CreateForm(QWidget *owner, TMp3Prefs &prefs);

    // "General"
    QLineEdit *edTitle, *edTitleSort, *edTitleThe, *edSubtitle;
    QComboBox *cbArtist, *cbOriginalArtist, *cbAlbum;
    QLineEdit *edTrackIndex, *edDiskIndex, *edBPM;
    QComboBox *cbYear, *cbGenre, *cbSecondaryGenre, *cbLabel, *cbLocation;
    QLabel *laOtherGenres;
    // "Credits"
    QComboBox *cbComposer, *cbLyricist, *cbOrchestra, *cbConductor;
    QLineEdit *edCopyright;
    // "URLs"
    QLineEdit *edAudioUrl, *edArtistUrl, *edGeneralURL;
    // "MusicMatch"
    QComboBox *cbTempo, *cbMood, *cbSituation, *cbPreference;
    QPlainTextEdit *mmBio;
    // "Notes"
    QPlainTextEdit *mmNotes;
    QLineEdit *edEncodedby;
    // "Lyrics"
    QPlainTextEdit *mmLyrics;
    // "File"
    QLineEdit *edFileRef;
    QToolButton *btFileRef;
    QGroupBox *gbHeaderInfo;
    // Shown when the file's tags cannot be written (read-only file or media).
    QLabel *laReadOnlyFile;

    QWidget *tsCredits, *tsURLs, *tsMusicMatch, *tsNotes, *tsLyrics, *tsMP3;

    // Reads the file the reference names into the track and shows the result
    // (what the user typed elsewhere is kept).  Only a regular file is read.
    void ReadFileReference();

protected:
    void LoadFromItem(TDataItem *item) override;
    void SaveToItem(TDataItem *item) override;
    void SetFieldLabels() override;
    void FillLookupLists() override;
    void UpdateCaption() override;
    // Writes the values into the file's tags.  The track keeps the values
    // even when the file cannot be written; the user is told why.
    bool ConfirmItem(TDataItem *item) override;
    // The open dialog of "..."; an empty name when cancelled.
    virtual QString AskMp3FileName(const QString &current);

private:
    struct LookupBox {
        QComboBox *combo;
        qint32 fieldID;
    };
    struct TextBox {
        QLineEdit *edit;
        QString TMp3Track::*member;
    };
    struct MemoBox {
        QPlainTextEdit *memo;
        QString TMp3Track::*member;
    };
    struct NumberBox {
        QLineEdit *edit;
        qint32 TMp3Track::*member;
        qint32 empty;   // stored for a box without digits
    };

    QWidget *buildGeneralPage();
    QWidget *buildCreditsPage();
    QWidget *buildUrlsPage();
    QWidget *buildMusicMatchPage();
    QWidget *buildNotesPage();
    QWidget *buildLyricsPage();
    QWidget *buildFilePage();
    QComboBox *lookupCombo(const char *name, QWidget *parent);
    QWidget *withButton(QComboBox *combo, qint32 fieldID, QWidget *parent);
    QLabel *fieldLabel(const char *name, qint32 fieldID, QWidget *buddy, QWidget *parent);
    QLabel *valueLabel(const char *name, QWidget *parent);
    void showHeaderInfo(const TMp3Track &track);
    void showWriteObstacle();
    void chooseFile();
    TMp3Track *track() const;
    // The path the file box names.
    QString fileReference() const;

    QList<LookupBox> m_lookups;
    QList<TextBox> m_texts;
    QList<MemoBox> m_memos;
    QList<NumberBox> m_numbers;
    QList<std::pair<QLabel *, qint32>> m_fieldLabels;
    // The texts of the memos as loaded: an untouched memo keeps its line
    // breaks as they were.
    QList<QString> m_loadedMemos;
    // Genres beyond the two boxes, kept as they were.
    QList<TLookupItem *> m_otherGenres;
    // The path whose file the form shows, and why its tags cannot be
    // written (empty when they can, as far as can be seen).
    QString m_readPath;
    QString m_writeObstacle;
    QLabel *laLengthValue, *laSizeValue, *laMPEGValue, *laBitrateValue, *laFramesValue, *laSampleRateValue,
        *laCRCValue, *laCopyrightValue, *laOriginalValue, *laEmphasisValue;
};
