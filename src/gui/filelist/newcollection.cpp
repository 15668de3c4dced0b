#include "gui/filelist/newcollection.h"

#include "core/settings/prefs.h"
#include "gui/settings/formplacement.h"
#include "gui/shell/globaldata.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The lines of the text, blank lines included.
const char *const PromptLines[] = {
    "",
    "Tunebase can create a database (a Collection file) about your ",
    "MP3 files by scanning your harddisks, CDs and network. ",
    "",
    "This Collection file stores all info about your files, including size, bitrate ",
    "and of course all info from the ID3 tags.",
    "",
    "After adding all your files to a Collection you can search, sort and ",
    "group the information in a fast and configurable Explorer-type ",
    "interface, even when the actual MP3 files are not available.",
    "",
    "",
    "Do you want to Add your MP3 files to a Collection now?",
};

} // namespace

TfmNewCollection::TfmNewCollection(QWidget *owner, TMp3Prefs &prefs) : QDialog(owner), m_prefs(prefs)
{
    setObjectName(QStringLiteral("fmNewCollection"));
    setWindowTitle(tr("Create New Collection"));

    auto *picture = new QLabel(this);
    picture->setPixmap(QIcon(images::ResourcePath(QStringLiteral("collection"))).pixmap(64, 64));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    QStringList lines;
    for (const char *line : PromptLines)
        lines << tr(line);
    auto *text = new QLabel(lines.join(QLatin1Char('\n')), this);
    text->setObjectName(QStringLiteral("meText"));
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);

    ckShowAgain = new QCheckBox(tr("Show this message next time I create a New Collection"), this);
    ckShowAgain->setObjectName(QStringLiteral("ckShowAgain"));
    ckShowAgain->setChecked(prefs.AutoSelectFolder);

    btYes = new QPushButton(tr("&Yes"), this);
    btYes->setObjectName(QStringLiteral("btYes"));
    btYes->setDefault(true);
    btNo = new QPushButton(tr("&No"), this);
    btNo->setObjectName(QStringLiteral("btNo"));
    connect(btYes, &QPushButton::clicked, this, &QDialog::accept);
    connect(btNo, &QPushButton::clicked, this, &QDialog::reject);

    auto *body = new QHBoxLayout;
    body->addWidget(picture);
    body->addWidget(text, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ckShowAgain, 1);
    buttons->addWidget(btYes);
    buttons->addWidget(btNo);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfmNewCollection::done(int result)
{
    m_prefs.AutoSelectFolder = ckShowAgain->isChecked();
    QDialog::done(result);
}

bool TfmNewCollection::Execute(QWidget *owner, TMp3Prefs &prefs)
{
    TfmNewCollection window(owner, prefs);
    TFormPlacement::CenterOnOwner(&window, owner);
    return window.exec() == QDialog::Accepted;
}
