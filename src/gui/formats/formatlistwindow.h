#pragma once

#include "gui/formats/formatwindow.h"

#include <QDialog>
#include <QStringList>

class QAction;
class QLabel;
class QToolBar;
class QTreeWidget;
class TMp3Prefs;

// The format list window ("Formats"): keeps the parse or the rename formats
// of the settings.  It works on a copy of the list, which replaces the
// settings' list only on OK.
//
// How to open it:
//     if (EditFormatList(this, file, TFormatKind::Parse, prefs))
//         reparse();
// file (may be null) is passed on to the format window as its example and,
// for parse formats, decides which format is selected first.  The changed
// settings reach the store when the program saves them.
class TfmFormatList : public QDialog {
    Q_OBJECT
public:
    TfmFormatList(QWidget *owner, const TMP3File *example, TFormatKind kind, TMp3Prefs &prefs);

    QToolBar *tbFormats;
    QTreeWidget *lvFormats;
    QLabel *laStatus;
    QAction *acAddFormat;
    QAction *acEditFormat;
    QAction *acRemoveFormat;
    QAction *acCopyFormat;
    QAction *acMoveFormatUp;
    QAction *acMoveFormatDown;

    const QStringList &Formats() const { return m_formats; }
    // The selected row, -1 for none.
    int SelectedRow() const;
    void SelectRow(int row);

    void AddFormat();
    void EditSelectedFormat();
    void RemoveFormat();
    void CopyFormat();
    void MoveUp();
    void MoveDown();

    void accept() override;
    void done(int result) override;

protected:
    // Opens the format window; tests replace it.
    virtual bool RunFormatWindow(TFormatMode mode, QString &format);
    void showEvent(QShowEvent *event) override;

private:
    QAction *addCommand(const char *name, const QString &caption);
    bool hasSelectedFormat() const;
    void rebuild(int selectRow);
    void updateActions();

    TFormatKind m_kind;
    const TMP3File *m_example;
    TMp3Prefs &m_prefs;
    QStringList m_formats;
};

// True when the user confirmed (the settings' list then holds the changes).
bool EditFormatList(QWidget *owner, const TMP3File *example, TFormatKind kind, TMp3Prefs &prefs);
