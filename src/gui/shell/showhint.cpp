#include "gui/shell/showhint.h"

#include "gui/settings/formplacement.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfmShowHint::TfmShowHint(QWidget *owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("fmShowHint"));
    setWindowTitle(tr("Tip"));
    auto *text = new QLabel(tr("Tip: Adding a new value is also possible by typing it directly into the field. "
                               "It will be added automatically to  the lookup list."),
                            this);
    text->setWordWrap(true);
    ckDontShowAgain = new QCheckBox(tr("Don't show this message again"), this);
    ckDontShowAgain->setObjectName(QStringLiteral("ckDontShowAgain"));
    ckDontShowAgain->setChecked(true);
    auto *btOK = new QPushButton(tr("&OK"), this);
    btOK->setObjectName(QStringLiteral("btOK"));
    btOK->setDefault(true);
    connect(btOK, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(ckDontShowAgain);
    layout->addWidget(btOK, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    text->setFixedWidth(260);
}

bool ShowTip(QWidget *owner, bool &dontShowAgain)
{
    TfmShowHint window(owner);
    window.adjustSize();
    TFormPlacement::CenterOnOwner(&window, owner);
    if (window.exec() != QDialog::Accepted)
        return false;
    dontShowAgain = window.ckDontShowAgain->isChecked();
    return true;
}
