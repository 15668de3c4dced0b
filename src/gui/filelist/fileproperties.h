#pragma once

#include "gui/filelist/filelistcontext.h"

#include "core/audio/infosources.h"

#include <QDialog>
#include <QList>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class TMp3Track;

// The properties of one MP3 file: both tags field by field, the file name,
// the read-only attribute and the stream's data.  OK writes the tags,
// renames the file when its name was changed and only then brings the
// collection track that refers to the file up to date.
class TfmFileProperties : public QDialog {
    Q_OBJECT
public:
    TfmFileProperties(QWidget *owner, const TFileListContext &context, TMP3File &file, TMp3Track *track);

    // True when the window closed with OK.
    static bool Execute(QWidget *owner, const TFileListContext &context, TMP3File &file, TMp3Track *track);

    QGroupBox *gbID3v1;
    QCheckBox *ckID3v1;
    QLineEdit *edTitlev1;
    QLineEdit *edArtistv1;
    QLineEdit *edAlbumv1;
    QLineEdit *edCommentsv1;
    QLineEdit *edYearv1;
    QLineEdit *edIndexv1;
    QComboBox *cbGenrev1;

    QGroupBox *gbID3v2;
    QCheckBox *ckID3v2;
    QTabWidget *pcV2;

    QPushButton *btCopyv1tov2;
    QPushButton *btCopyv2tov1;
    QPushButton *btParse;
    QPushButton *btRename;
    QLineEdit *edFilename;
    QLineEdit *edFilePath;
    QComboBox *cbRenameFormats;
    QPushButton *btRenameFormatList;
    QPushButton *btParseFormatList;
    QLabel *laLength;
    QLabel *laSize;
    QCheckBox *ckReadOnly;
    // Shown when the tags cannot be written (read-only file or media).
    QLabel *laReadOnlyFile;
    QLabel *laMpegInfo;
    QPushButton *btOK;
    QPushButton *btCancel;
    QPushButton *btReRead;

    // An ID3v2 control by its object name ("edTitlev2", "meLyricsv2").
    QWidget *V2Control(const QString &name) const;

    void LoadValues();
    void StoreControls();
    void UpdateEnabledState();
    void acCopyv1tov2Execute();
    void acCopyv2tov1Execute();
    void btParseClick();
    void btRenameClick();
    void acReReadExecute();
    void btOKClick();

    void reject() override;
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *buildV1Group();
    QWidget *buildV2Group();
    QWidget *buildFileGroup();
    void loadV1();
    void loadV2();
    void loadFileValues();
    void fillRenameFormats();
    // The file name the name box gives.
    QString fileName() const;
    // Checks the name typed; empty when it is fine, else what is wrong.
    QString checkNewName(const QString &name) const;
    TMp3Track *linkedTrack() const;
    // Why OK cannot write the tags as far as can be seen now; empty when
    // nothing is in the way.  Unticking "Read Only" clears a read-only file.
    QString writeObstacle() const;
    void showWriteObstacle();
    // The track takes the file's values (the tags as the window holds them).
    void linkFileToTrack(TMp3Track &track);
    QString whyNotWritten() const;

    TFileListContext m_context;
    TMP3File &m_file;
    TMp3Track *m_track;
    // The ID3v1 tag's line edits by the field they show (the genre has its
    // list).
    QList<QPair<QLineEdit *, TMergedField>> m_v1Edits;
    QList<QWidget *> m_v1Controls;
    QList<QWidget *> m_v2Controls;
    bool m_placed = false;
};
