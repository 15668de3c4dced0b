#include "gui/files/duplicateswindow.h"

#include "core/base/desktopservices.h"
#include "core/base/localpath.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The member's index among the files searched, kept on its row.
constexpr int FileRole = Qt::UserRole + 1;

enum Column { ColPath, ColArtist, ColTitle, ColAlbum, ColBitrate, ColLength, ColSize, ColumnCount };

QString lengthText(qint32 seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

TfmDuplicates::TfmDuplicates(QList<TDuplicateFile> files, TDuplicateSearchResult result, QWidget *owner)
    : QDialog(owner), m_files(std::move(files)), m_result(std::move(result))
{
    setObjectName(QStringLiteral("fmDuplicates"));
    setWindowTitle(tr("Duplicates"));
    resize(900, 500);

    tvGroups = new QTreeWidget(this);
    tvGroups->setObjectName(QStringLiteral("tvGroups"));
    tvGroups->setColumnCount(ColumnCount);
    tvGroups->setHeaderLabels({tr("Keep / Path"), tr("Artist"), tr("Title"), tr("Album"), tr("Bitrate"),
                               tr("Length"), tr("Size")});
    tvGroups->setUniformRowHeights(true);
    tvGroups->setAlternatingRowColors(true);
    tvGroups->header()->setSectionResizeMode(ColPath, QHeaderView::Stretch);

    laSummary = new QLabel(this);
    laSummary->setObjectName(QStringLiteral("laSummary"));
    laSummary->setWordWrap(true);

    cbMoveToTrash = new QCheckBox(tr("Also move the removed tracks' files to the &trash"), this);
    cbMoveToTrash->setObjectName(QStringLiteral("cbMoveToTrash"));

    auto *buttons = new QDialogButtonBox(this);
    btRemove = buttons->addButton(tr("&Remove Unchecked from Collection"), QDialogButtonBox::ActionRole);
    btRemove->setObjectName(QStringLiteral("btRemove"));
    btClose = buttons->addButton(QDialogButtonBox::Close);
    btClose->setText(tr("&Close"));
    btClose->setObjectName(QStringLiteral("btClose"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(laSummary);
    layout->addWidget(tvGroups, 1);
    layout->addWidget(cbMoveToTrash);
    layout->addWidget(buttons);

    connect(btRemove, &QPushButton::clicked, this, &TfmDuplicates::remove);
    connect(btClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(tvGroups, &QTreeWidget::itemChanged, this, &TfmDuplicates::updateRemoveButton);

    fillGroups();
    updateRemoveButton();
}

void TfmDuplicates::fillGroups()
{
    const QSignalBlocker blocker(tvGroups);
    int copies = 0;
    int songs = 0;
    for (const TDuplicateGroup &group : std::as_const(m_result.Groups)) {
        const bool copy = group.Kind == TDuplicateKind::SameAudio;
        (copy ? copies : songs)++;
        auto *groupItem = new QTreeWidgetItem(tvGroups);
        groupItem->setText(ColPath, copy ? tr("Copies (identical audio): %n file(s)", "", int(group.Members.size()))
                                         : tr("Probably the same song: %n file(s)", "", int(group.Members.size())));
        groupItem->setFirstColumnSpanned(true);
        QFont font = groupItem->font(ColPath);
        font.setBold(true);
        groupItem->setFont(ColPath, font);
        // The copy to keep first.
        memberItem(groupItem, group.Best, true);
        for (const int file : group.Members)
            if (file != group.Best)
                memberItem(groupItem, file, false);
    }
    tvGroups->expandAll();
    for (int c = ColArtist; c < ColumnCount; ++c)
        tvGroups->resizeColumnToContents(c);

    QString summary = tr("%n group(s) of copies", "", copies) + QStringLiteral(", ")
                      + tr("%n group(s) of tracks that are probably the same song", "", songs) + QStringLiteral(".");
    if (!m_result.Problems.isEmpty())
        summary += QLatin1Char(' ') + tr("%n file(s) could not be read and were left out.", "",
                                         int(m_result.Problems.size()));
    summary += QLatin1Char(' ') + tr("Checked files are kept; the others are removed from the collection.");
    laSummary->setText(summary);
    laSummary->setToolTip(m_result.Problems.join(QLatin1Char('\n')));
}

QTreeWidgetItem *TfmDuplicates::memberItem(QTreeWidgetItem *groupItem, int file, bool keep)
{
    const TDuplicateFile &f = m_files.at(file);
    auto *item = new QTreeWidgetItem(groupItem);
    item->setData(ColPath, FileRole, file);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(ColPath, keep ? Qt::Checked : Qt::Unchecked);
    item->setText(ColPath, ReadablePath(f.Path));
    item->setToolTip(ColPath, ReadablePath(f.Path));
    item->setText(ColArtist, f.Artist);
    item->setText(ColTitle, f.Title);
    item->setText(ColAlbum, f.Album);
    item->setText(ColBitrate, f.VBR ? tr("%1 kbit/s VBR").arg(f.Bitrate) : tr("%1 kbit/s").arg(f.Bitrate));
    item->setText(ColLength, lengthText(f.Length));
    item->setText(ColSize, QLocale().formattedDataSize(f.Size));
    for (const int c : {ColBitrate, ColLength, ColSize})
        item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QSet<int> TfmDuplicates::keptFiles() const
{
    QSet<int> kept;
    for (int g = 0; g < tvGroups->topLevelItemCount(); ++g) {
        const QTreeWidgetItem *groupItem = tvGroups->topLevelItem(g);
        for (int m = 0; m < groupItem->childCount(); ++m)
            if (groupItem->child(m)->checkState(ColPath) == Qt::Checked)
                kept.insert(groupItem->child(m)->data(ColPath, FileRole).toInt());
    }
    return kept;
}

void TfmDuplicates::updateRemoveButton()
{
    btRemove->setEnabled(!PlanDuplicateRemoval(m_files, m_result.Groups, keptFiles()).Remove.isEmpty());
}

void TfmDuplicates::remove()
{
    const TDuplicateRemoval plan = PlanDuplicateRemoval(m_files, m_result.Groups, keptFiles());
    if (plan.Remove.isEmpty())
        return;
    if (OnRemove && OnRemove(plan, cbMoveToTrash->isChecked()))
        accept();
}
