#pragma once

#include <QDialog>

class QCheckBox;
class QPushButton;
class TMp3Prefs;

// The prompt that offers to fill a new collection with the user's MP3
// files.  Whatever the answer, the box's state becomes the setting that
// decides whether it is offered again.
class TfmNewCollection : public QDialog {
    Q_OBJECT
public:
    TfmNewCollection(QWidget *owner, TMp3Prefs &prefs);

    // True for Yes.
    static bool Execute(QWidget *owner, TMp3Prefs &prefs);

    QCheckBox *ckShowAgain;
    QPushButton *btYes;
    QPushButton *btNo;

    void done(int result) override;

private:
    TMp3Prefs &m_prefs;
};
