#pragma once

#include <QDialog>

class QDialogButtonBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TMP3File;
class TSettingsStore;

// Which list of filename formats a window works on, and what the format
// window does with its text.  The values are those the settings and the
// callers have always used.
enum class TFormatKind : int { Parse = 0, Rename = 1 };
enum class TFormatMode : int { Add = 0, Edit = 1 };

// The format window ("Filename Format"): edits one parse or rename format
// and shows, for an example file, what the format reads from the file's
// path or which file name it builds.  The example is never changed: the
// preview parses a copy of its filename values.
//
// How to open it:
//     QString format = ...;
//     if (EditFormat(this, TFormatMode::Add, TFormatKind::Parse, format, file, prefs.Store()))
//         use(format);
// file may be null (no example); store keeps the window's placement.
class TfmFormat : public QDialog {
    Q_OBJECT
public:
    TfmFormat(QWidget *owner, TFormatMode mode, TFormatKind kind, const QString &format, const TMP3File *example,
              TSettingsStore &store);

    QLineEdit *edFormat;
    QGroupBox *gbParseVariables;
    QGroupBox *gbRenameVariables;
    QGroupBox *gbExample;
    QLabel *laFilename;
    QLabel *laTitle;
    QLabel *laArtist;
    QLabel *laAlbum;
    QLabel *laGenre;
    QLabel *laYear;
    QLabel *laIndex;
    QPushButton *btOK;
    QPushButton *btCancel;

    QString Format() const;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QGroupBox *variablesBox(const QString &name, const QStringList &lines);
    void formatChanged();

    TFormatKind m_kind;
    const TMP3File *m_example;
    TSettingsStore &m_store;
};

// True when the user confirmed; format then holds the edited text (never
// empty).  Cancelling leaves format as it was.
bool EditFormat(QWidget *owner, TFormatMode mode, TFormatKind kind, QString &format, const TMP3File *example,
                TSettingsStore &store);
