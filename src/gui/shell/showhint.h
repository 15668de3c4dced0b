#pragma once

#include <QDialog>

class QCheckBox;

// The tip that data entry windows show once: new lookup values can be typed.
class TfmShowHint : public QDialog {
    Q_OBJECT
public:
    explicit TfmShowHint(QWidget *owner);
    QCheckBox *ckDontShowAgain;
};

// Shows the tip over the owner.  When it was closed with OK, dontShowAgain
// receives the state of its check box; otherwise it stays as passed.
bool ShowTip(QWidget *owner, bool &dontShowAgain);
