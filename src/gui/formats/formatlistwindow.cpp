#include "gui/formats/formatlistwindow.h"

#include "core/audio/filenameinfo.h"
#include "core/files/mp3file.h"
#include "core/settings/prefs.h"
#include "gui/settings/formplacement.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

TfmFormatList::TfmFormatList(QWidget *owner, const TMP3File *example, TFormatKind kind, TMp3Prefs &prefs)
    : QDialog(owner), m_kind(kind), m_example(example), m_prefs(prefs)
{
    setObjectName(QStringLiteral("fmFormatList"));
    setWindowTitle(kind == TFormatKind::Parse ? tr("Filename Formats for Parsing")
                                              : tr("Filename Formats for Renaming"));
    m_formats = kind == TFormatKind::Parse ? prefs.ParseFormats : prefs.RenameFormats;

    tbFormats = new QToolBar(this);
    tbFormats->setObjectName(QStringLiteral("tbFormats"));
    tbFormats->setToolButtonStyle(Qt::ToolButtonTextOnly);
    acAddFormat = addCommand("acAddFormat", tr("&Add Format..."));
    acEditFormat = addCommand("acEditFormat", tr("&Edit Format..."));
    acRemoveFormat = addCommand("acRemoveFormat", tr("&Remove Format"));
    acCopyFormat = addCommand("acCopyFormat", tr("Copy Format (and Edit)..."));
    acMoveFormatUp = addCommand("acMoveFormatUp", tr("Move &Up"));
    acMoveFormatDown = addCommand("acMoveFormatDown", tr("Move &Down"));
    acRemoveFormat->setShortcut(QKeySequence::Delete);
    connect(acAddFormat, &QAction::triggered, this, &TfmFormatList::AddFormat);
    connect(acEditFormat, &QAction::triggered, this, &TfmFormatList::EditSelectedFormat);
    connect(acRemoveFormat, &QAction::triggered, this, &TfmFormatList::RemoveFormat);
    connect(acCopyFormat, &QAction::triggered, this, &TfmFormatList::CopyFormat);
    connect(acMoveFormatUp, &QAction::triggered, this, &TfmFormatList::MoveUp);
    connect(acMoveFormatDown, &QAction::triggered, this, &TfmFormatList::MoveDown);

    lvFormats = new QTreeWidget(this);
    lvFormats->setObjectName(QStringLiteral("lvFormats"));
    lvFormats->setRootIsDecorated(false);
    lvFormats->setAllColumnsShowFocus(true);
    lvFormats->setHeaderLabels({tr("Format"), tr("Description")});
    lvFormats->header()->resizeSection(0, 220);
    lvFormats->setContextMenuPolicy(Qt::ActionsContextMenu);
    lvFormats->addActions({acAddFormat, acEditFormat, acRemoveFormat, acCopyFormat, acMoveFormatUp, acMoveFormatDown});
    connect(lvFormats, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (acEditFormat->isEnabled())
            EditSelectedFormat();
    });
    connect(lvFormats, &QTreeWidget::currentItemChanged, this, [this] { updateActions(); });

    laStatus = new QLabel(this);
    laStatus->setObjectName(QStringLiteral("laStatus"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("btOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("btCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tbFormats);
    layout->addWidget(lvFormats, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(laStatus, 1);
    bottom->addWidget(buttons);
    layout->addLayout(bottom);
    resize(560, 340);

    const QString initial = kind == TFormatKind::Parse ? (example ? example->FilenameInfo.ParseFormat : QString())
                                                       : prefs.CurrentRenameFormat;
    rebuild(initial.isEmpty() ? -1 : int(m_formats.indexOf(initial)));
}

QAction *TfmFormatList::addCommand(const char *name, const QString &caption)
{
    auto *action = new QAction(caption, this);
    action->setObjectName(QLatin1String(name));
    tbFormats->addAction(action);
    return action;
}

int TfmFormatList::SelectedRow() const
{
    QTreeWidgetItem *current = lvFormats->currentItem();
    return current && current->isSelected() ? lvFormats->indexOfTopLevelItem(current) : -1;
}

void TfmFormatList::SelectRow(int row)
{
    QTreeWidgetItem *item = row >= 0 ? lvFormats->topLevelItem(row) : nullptr;
    lvFormats->setCurrentItem(item);
    if (item) {
        item->setSelected(true);
        lvFormats->scrollToItem(item);
    }
    updateActions();
}

bool TfmFormatList::hasSelectedFormat() const
{
    const int row = SelectedRow();
    return row >= 0 && row < m_formats.size() && !m_formats.at(row).isEmpty();
}

void TfmFormatList::rebuild(int selectRow)
{
    lvFormats->clear();
    for (const QString &format : std::as_const(m_formats))
        lvFormats->addTopLevelItem(new QTreeWidgetItem({format, FormatDisplayText(format)}));
    laStatus->setText(tr("%1 formats").arg(m_formats.size()));
    SelectRow(selectRow);
}

void TfmFormatList::updateActions()
{
    const int row = SelectedRow();
    const bool selected = hasSelectedFormat();
    acEditFormat->setEnabled(selected);
    acRemoveFormat->setEnabled(selected);
    acCopyFormat->setEnabled(selected);
    acMoveFormatUp->setEnabled(row > 0);
    acMoveFormatDown->setEnabled(row >= 0 && row < m_formats.size() - 1);
}

bool TfmFormatList::RunFormatWindow(TFormatMode mode, QString &format)
{
    return EditFormat(this, mode, m_kind, format, m_example, m_prefs.Store());
}

void TfmFormatList::AddFormat()
{
    QString format;
    if (!RunFormatWindow(TFormatMode::Add, format))
        return;
    // The same format in other letters would only be a second row that
    // never wins.
    auto same = [&format](const QString &other) { return other.compare(format, Qt::CaseInsensitive) == 0; };
    qsizetype row = std::find_if(m_formats.cbegin(), m_formats.cend(), same) - m_formats.cbegin();
    if (row == m_formats.size()) {
        m_formats.append(format);
        row = m_formats.size() - 1;
    }
    rebuild(int(row));
}

void TfmFormatList::EditSelectedFormat()
{
    if (!hasSelectedFormat())
        return;
    const int row = SelectedRow();
    QString format = m_formats.at(row);
    if (!RunFormatWindow(TFormatMode::Edit, format))
        return;
    m_formats[row] = format;
    rebuild(row);
}

void TfmFormatList::RemoveFormat()
{
    if (!hasSelectedFormat())
        return;
    const int row = SelectedRow();
    m_formats.removeAt(row);
    rebuild(m_formats.isEmpty() ? -1 : std::min(row, int(m_formats.size()) - 1));
}

void TfmFormatList::CopyFormat()
{
    if (!hasSelectedFormat())
        return;
    QString format = m_formats.at(SelectedRow());
    if (!RunFormatWindow(TFormatMode::Edit, format))
        return;
    m_formats.append(format);
    rebuild(int(m_formats.size()) - 1);
}

void TfmFormatList::MoveUp()
{
    const int row = SelectedRow();
    if (row <= 0)
        return;
    m_formats.swapItemsAt(row, row - 1);
    rebuild(row - 1);
}

void TfmFormatList::MoveDown()
{
    const int row = SelectedRow();
    if (row < 0 || row >= m_formats.size() - 1)
        return;
    m_formats.swapItemsAt(row, row + 1);
    rebuild(row + 1);
}

void TfmFormatList::accept()
{
    if (m_kind == TFormatKind::Parse) {
        m_prefs.ParseFormats = m_formats;
    } else {
        m_prefs.RenameFormats = m_formats;
        const int row = SelectedRow();
        m_prefs.CurrentRenameFormat = row >= 0 ? m_formats.at(row) : QString();
    }
    QDialog::accept();
}

void TfmFormatList::showEvent(QShowEvent *event)
{
    TFormPlacement::RestorePlacement(this, m_prefs.Store());
    QDialog::showEvent(event);
}

void TfmFormatList::done(int result)
{
    TFormPlacement::SavePlacement(this, m_prefs.Store());
    QDialog::done(result);
}

bool EditFormatList(QWidget *owner, const TMP3File *example, TFormatKind kind, TMp3Prefs &prefs)
{
    TfmFormatList window(owner, example, kind, prefs);
    TFormPlacement::CenterOnOwner(&window, owner);
    return window.exec() == QDialog::Accepted;
}
