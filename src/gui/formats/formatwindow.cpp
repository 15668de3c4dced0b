#include "gui/formats/formatwindow.h"

#include "gui/settings/formplacement.h"

#include "core/audio/filenameinfo.h"
#include "core/base/localpath.h"
#include "core/base/settingsstore.h"
#include "core/files/mp3file.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString captionFor(TFormatMode mode, TFormatKind kind)
{
    if (mode == TFormatMode::Add)
        return kind == TFormatKind::Parse ? TfmFormat::tr("Add Parse Format") : TfmFormat::tr("Add Rename Format");
    return kind == TFormatKind::Parse ? TfmFormat::tr("Edit Parse Format") : TfmFormat::tr("Edit Rename Format");
}

QString indexText(qint32 index)
{
    return index > 0 ? QString::number(index) : QString();
}

} // namespace

TfmFormat::TfmFormat(QWidget *owner, TFormatMode mode, TFormatKind kind, const QString &format,
                     const TMP3File *example, TSettingsStore &store)
    : QDialog(owner), m_kind(kind), m_example(example), m_store(store)
{
    setObjectName(QStringLiteral("fmFormat"));
    setWindowTitle(captionFor(mode, kind));

    auto *formatLabel = new QLabel(tr("&Format:"), this);
    edFormat = new QLineEdit(format, this);
    edFormat->setObjectName(QStringLiteral("edFormat"));
    formatLabel->setBuddy(edFormat);

    gbParseVariables = variablesBox(QStringLiteral("gbParseVariables"),
                                    {tr("%al  Album Title"), tr("%ar  Artist Name"), tr("%t  Track Title"),
                                     tr("%ix  Track Index"), tr("%y  Year"), tr("%g  Genre"), tr("%ig  Ignore"),
                                     tr("\\  Folder separator")});
    gbRenameVariables = variablesBox(QStringLiteral("gbRenameVariables"),
                                     {tr("%ix  Track Index"), tr("%t  Track Title"), tr("%al  Album Title"),
                                      tr("%ar  Artist Name")});
    gbParseVariables->setVisible(kind == TFormatKind::Parse);
    gbRenameVariables->setVisible(kind == TFormatKind::Rename);

    gbExample = new QGroupBox(tr("Example"), this);
    gbExample->setObjectName(QStringLiteral("gbExample"));
    auto *example_ = new QFormLayout(gbExample);
    auto value = [this, example_](const char *name, const QString &caption) {
        auto *label = new QLabel(gbExample);
        label->setObjectName(QLatin1String(name));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setWordWrap(true);
        example_->addRow(caption, label);
        return label;
    };
    laFilename = value("laFilename", tr("Filename:"));
    laTitle = value("laTitle", tr("Title:"));
    laArtist = value("laArtist", tr("Artist:"));
    laAlbum = value("laAlbum", tr("Album:"));
    laGenre = value("laGenre", tr("Genre:"));
    laYear = value("laYear", tr("Year:"));
    laIndex = value("laIndex", tr("Index:"));

    auto *buttons = new QDialogButtonBox(this);
    btOK = buttons->addButton(tr("OK"), QDialogButtonBox::AcceptRole);
    btOK->setObjectName(QStringLiteral("btOK"));
    btOK->setDefault(true);
    btCancel = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    btCancel->setObjectName(QStringLiteral("btCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *top = new QHBoxLayout;
    top->addWidget(formatLabel);
    top->addWidget(edFormat, 1);
    auto *middle = new QHBoxLayout;
    middle->addWidget(gbParseVariables);
    middle->addWidget(gbRenameVariables);
    middle->addWidget(gbExample, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addWidget(buttons);
    resize(560, 300);

    connect(edFormat, &QLineEdit::textChanged, this, &TfmFormat::formatChanged);
    formatChanged();
}

QGroupBox *TfmFormat::variablesBox(const QString &name, const QStringList &lines)
{
    auto *box = new QGroupBox(tr("Variables"), this);
    box->setObjectName(name);
    auto *layout = new QVBoxLayout(box);
    for (const QString &line : lines)
        layout->addWidget(new QLabel(line, box));
    layout->addStretch();
    return box;
}

QString TfmFormat::Format() const
{
    return edFormat->text();
}

void TfmFormat::formatChanged()
{
    // A format of blanks names nothing and would match every path.
    btOK->setEnabled(!edFormat->text().trimmed().isEmpty());
    if (!m_example)
        return;
    const QString format = edFormat->text();
    if (m_kind == TFormatKind::Parse) {
        // A copy: the example's own parse result stays as it is, whether the
        // window is confirmed or not.
        TFilenameInfo parsed = m_example->FilenameInfo;
        parsed.ParseWithFormat(m_example->Path, format);
        laFilename->setText(ReadablePath(m_example->Path));
        laTitle->setText(parsed.Title);
        laArtist->setText(parsed.Artist);
        laAlbum->setText(parsed.Album);
        laGenre->setText(parsed.Genre);
        laYear->setText(parsed.Year);
        laIndex->setText(indexText(parsed.Track));
        return;
    }
    laTitle->setText(m_example->GetMergedText(TMergedField::Title));
    laArtist->setText(m_example->GetMergedText(TMergedField::Artist));
    laAlbum->setText(m_example->GetMergedText(TMergedField::Album));
    laGenre->setText(m_example->GetMergedText(TMergedField::Genre));
    laYear->setText(m_example->GetMergedText(TMergedField::Year));
    laIndex->setText(indexText(m_example->GetMergedNumber(TMergedField::TrackIndex)));
    laFilename->setText(m_example->GetNewFileName(format));
}

void TfmFormat::showEvent(QShowEvent *event)
{
    TFormPlacement::RestorePlacement(this, m_store);
    QDialog::showEvent(event);
}

void TfmFormat::done(int result)
{
    if (result == QDialog::Accepted && edFormat->text().trimmed().isEmpty())
        return;
    TFormPlacement::SavePlacement(this, m_store);
    QDialog::done(result);
}

bool EditFormat(QWidget *owner, TFormatMode mode, TFormatKind kind, QString &format, const TMP3File *example,
                TSettingsStore &store)
{
    TfmFormat window(owner, mode, kind, format, example, store);
    TFormPlacement::CenterOnOwner(&window, owner);
    if (window.exec() != QDialog::Accepted)
        return false;
    format = window.Format();
    return true;
}
