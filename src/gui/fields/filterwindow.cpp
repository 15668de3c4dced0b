#include "gui/fields/filterwindow.h"

#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/data/filterfieldlist.h"
#include "core/data/filterfields.h"
#include "core/data/lookuplists.h"
#include "core/data/rootitem.h"
#include "core/mp3model/mp3fieldids.h"
#include "gui/settings/formplacement.h"
#include "gui/settings/radiogroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace Ids = Mp3FieldIds;

// ---- bounds ---------------------------------------------------------------------------

namespace {

qint32 noBound(bool upper)
{
    return upper ? TIntegerFilterField::NoMax : TIntegerFilterField::NoMin;
}

qint32 held(qint64 value)
{
    return qint32(std::clamp<qint64>(value, 0, std::numeric_limits<qint32>::max()));
}

bool isNoBound(qint32 value, bool upper)
{
    // -1 is how older filters stored an empty box.
    return value == noBound(upper) || value <= -1;
}

} // namespace

qint32 filterbounds::ParseNumber(const QString &text, bool upper)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    return ok ? held(value) : noBound(upper);
}

qint32 filterbounds::ParseKilobytes(const QString &text, bool upper)
{
    bool ok = false;
    const qint64 kilobytes = text.trimmed().toLongLong(&ok);
    if (!ok)
        return noBound(upper);
    // Bytes in 64 bits: 2,097,152 KB and more do not fit the field.
    return held(std::min<qint64>(kilobytes, std::numeric_limits<qint64>::max() / 1024) * 1024);
}

qint32 filterbounds::ParseLength(const QString &text, bool upper)
{
    const int colon = int(text.indexOf(QLatin1Char(':')));
    const QString minutesText = (colon < 0 ? text : text.left(colon)).trimmed();
    const QString secondsText = colon < 0 ? QString() : text.mid(colon + 1).trimmed().left(2);
    if (minutesText.isEmpty() && secondsText.isEmpty())
        return noBound(upper);
    bool minutesOk = true;
    bool secondsOk = true;
    const qint64 minutes = minutesText.isEmpty() ? 0 : minutesText.toLongLong(&minutesOk);
    const qint64 seconds = secondsText.isEmpty() ? 0 : secondsText.toLongLong(&secondsOk);
    if (!minutesOk || !secondsOk || minutes < 0 || seconds < 0)
        return noBound(upper);
    return held(std::min<qint64>(minutes, std::numeric_limits<qint32>::max()) * 60 + seconds);
}

QString filterbounds::NumberText(qint32 value, bool upper)
{
    return isNoBound(value, upper) ? QString() : QString::number(value);
}

QString filterbounds::KilobytesText(qint32 bytes, bool upper)
{
    return isNoBound(bytes, upper) ? QString() : QString::number(bytes / 1024);
}

QString filterbounds::LengthText(qint32 seconds, bool upper)
{
    if (isNoBound(seconds, upper))
        return {};
    return QStringLiteral("%1:%2").arg(seconds / 60, 2, 10, QLatin1Char('0')).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

// ---- the base window ---------------------------------------------------------------------

TfmFilterBase::TfmFilterBase(QWidget *owner, TFilterFieldRefList &filter, TSettingsStore &store)
    : QDialog(owner), m_filter(filter), m_store(store)
{
    setObjectName(QStringLiteral("fmFilter"));
    setWindowTitle(tr("Filter"));
    m_root = dynamic_cast<TRootItem *>(filter.Owner);
    if (!m_root)
        m_root = TRootItem::Current();

    pcFilter = new QTabWidget(this);
    pcFilter->setObjectName(QStringLiteral("pcFilter"));
    tsMain = new QWidget(pcFilter);
    tsMain->setObjectName(QStringLiteral("tsMain"));
    pcFilter->addTab(tsMain, tr("Main"));

    rgAndOr = new TRadioGroup(tr("&Combination"), this);
    rgAndOr->setObjectName(QStringLiteral("rgAndOr"));
    rgAndOr->AddItem(QStringLiteral("AND"));
    rgAndOr->AddItem(QStringLiteral("OR"));
    ckCaseSensitive = new QCheckBox(tr("Case &Sensitive"), this);
    ckCaseSensitive->setObjectName(QStringLiteral("ckCaseSensitive"));
    btOk = new QPushButton(tr("OK"), this);
    btOk->setObjectName(QStringLiteral("btOk"));
    btOk->setDefault(true);
    btCancel = new QPushButton(tr("Cancel"), this);
    btCancel->setObjectName(QStringLiteral("btCancel"));
    btClearAll = new QPushButton(tr("&Clear Filter"), this);
    btClearAll->setObjectName(QStringLiteral("btClearAll"));
    connect(btOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btClearAll, &QPushButton::clicked, this, &TfmFilterBase::ClearAll);

    auto *side = new QVBoxLayout;
    side->addWidget(btOk);
    side->addWidget(btCancel);
    side->addSpacing(12);
    side->addWidget(btClearAll);
    side->addSpacing(12);
    side->addWidget(rgAndOr);
    side->addWidget(ckCaseSensitive);
    side->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(pcFilter, 1);
    layout->addLayout(side);
}

void TfmFilterBase::showEvent(QShowEvent *event)
{
    if (!m_shown) {
        m_shown = true;
        TFormPlacement::RestorePlacement(this, m_store);
        pcFilter->setCurrentWidget(tsMain);
        ShowLabels();
        FillLists();
        ShowValues();
    }
    QDialog::showEvent(event);
}

void TfmFilterBase::ShowValues()
{
    rgAndOr->SetItemIndex(m_filter.Combination == TFilterFieldRefList::CombinationOr ? 1 : 0);
    ckCaseSensitive->setChecked(m_filter.CaseSensitive);
}

void TfmFilterBase::StoreValues()
{
    m_filter.FreeAll();
    m_filter.Combination = rgAndOr->ItemIndex() == 1 ? TFilterFieldRefList::CombinationOr
                                                     : TFilterFieldRefList::CombinationAnd;
    m_filter.CaseSensitive = ckCaseSensitive->isChecked();
}

void TfmFilterBase::ClearAll()
{
    m_filter.FreeAll();
    ShowValues();
}

void TfmFilterBase::accept()
{
    StoreValues();
    QDialog::accept();
}

void TfmFilterBase::done(int result)
{
    TFormPlacement::SavePlacement(this, m_store);
    QDialog::done(result);
}

// ---- the MP3 window ----------------------------------------------------------------------

namespace {

template <typename Widget>
Widget *named(Widget *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QComboBox *textBox(const char *name, QWidget *parent)
{
    auto *box = named(new QComboBox(parent), name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(15);
    box->setMinimumContentsLength(14);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return box;
}

QListWidget *checkList(const char *name, QWidget *parent)
{
    auto *list = named(new QListWidget(parent), name);
    list->setMinimumHeight(70);
    return list;
}

QLineEdit *boundBox(const char *name, const QString &pattern, const QString &hint, QWidget *parent)
{
    auto *edit = named(new QLineEdit(parent), name);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
    edit->setPlaceholderText(hint);
    edit->setMaximumWidth(90);
    return edit;
}

QLineEdit *smallNumber(const char *name, QWidget *parent)
{
    return boundBox(name, QStringLiteral("\\d{0,3}"), QString(), parent);
}

QLineEdit *lengthBox(const char *name, QWidget *parent)
{
    // Minutes as many as the field can hold, then up to two digits of seconds.
    return boundBox(name, QStringLiteral("\\s*\\d{0,8}\\s*(:\\s*\\d{0,2}\\s*)?"), QStringLiteral("mm:ss"), parent);
}

QWidget *range(QWidget *parent, QLineEdit *from, QLineEdit *to, const QString &unit)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(from);
    layout->addWidget(new QLabel(QObject::tr("to"), row));
    layout->addWidget(to);
    if (!unit.isEmpty())
        layout->addWidget(new QLabel(unit, row));
    layout->addStretch();
    return row;
}

QLineEdit *edit(QWidget *widget)
{
    return static_cast<QLineEdit *>(widget);
}

} // namespace

TfmFilter::TfmFilter(QWidget *owner, TFilterFieldRefList &filter, TSettingsStore &store)
    : TfmFilterBase(owner, filter, store)
{
    buildMainPage();
    pcFilter->addTab(buildCreditsPage(), tr("C&redits"));
    pcFilter->addTab(buildMusicMatchPage(), tr("&MusicMatch"));
    pcFilter->addTab(buildNotesPage(), tr("&Notes"));
    pcFilter->addTab(buildFilePage(), tr("&File"));
    pcFilter->setTabText(0, tr("M&ain"));
    m_rows = {{TKind::Text, Ids::Title, edTitle},
              {TKind::Check, Ids::Year, clYear},
              {TKind::LookupText, Ids::Artist, cbArtist},
              {TKind::LookupText, Ids::Album, cbAlbum},
              {TKind::LookupText, Ids::Label, cbLabel},
              {TKind::Check, Ids::Location, clLocation},
              {TKind::Check, Ids::Genre, clGenre},
              {TKind::Range, Ids::TrackIndex, edTrackIndex1, edTrackIndex2},
              {TKind::Range, Ids::BPM, edBPM1, edBPM2},
              {TKind::LookupText, Ids::Composer, cbComposer},
              {TKind::LookupText, Ids::Lyricist, cbLyricist},
              {TKind::LookupText, Ids::Orchestra, cbOrchestra},
              {TKind::LookupText, Ids::Conductor, cbConductor},
              {TKind::Check, Ids::Tempo, clTempo},
              {TKind::Check, Ids::Mood, clMood},
              {TKind::Check, Ids::Situation, clSituation},
              {TKind::Check, Ids::Preference, clPreference},
              {TKind::Text, Ids::Notes, edNotes},
              {TKind::KilobyteRange, Ids::Size, edSize1, edSize2},
              {TKind::Range, Ids::Bitrate, edBitrate1, edBitrate2},
              {TKind::LengthRange, Ids::Length, edLength1, edLength2}};
    resize(640, 480);
}

void TfmFilter::label(QWidget *parent, const char *name, qint32 fieldID, QWidget *buddy, QGridLayout *grid, int row,
                      int column)
{
    auto *l = named(new QLabel(parent), name);
    l->setBuddy(buddy);
    grid->addWidget(l, row, column, Qt::AlignTop);
    m_labels.append({l, fieldID});
}

QWidget *TfmFilter::buildMainPage()
{
    QWidget *page = tsMain;
    edTitle = named(new QLineEdit(page), "edTitle");
    cbArtist = textBox("cbArtist", page);
    cbAlbum = textBox("cbAlbum", page);
    cbLabel = textBox("cbLabel", page);
    clYear = checkList("clYear", page);
    clLocation = checkList("clLocation", page);
    clGenre = checkList("clGenre", page);
    edTrackIndex1 = smallNumber("edTrackIndex1", page);
    edTrackIndex2 = smallNumber("edTrackIndex2", page);
    edBPM1 = smallNumber("edBPM1", page);
    edBPM2 = smallNumber("edBPM2", page);

    auto *grid = new QGridLayout(page);
    label(page, "laTitle", Ids::Title, edTitle, grid, 0, 0);
    grid->addWidget(edTitle, 0, 1);
    label(page, "laArtist", Ids::Artist, cbArtist, grid, 1, 0);
    grid->addWidget(cbArtist, 1, 1);
    label(page, "laAlbum", Ids::Album, cbAlbum, grid, 2, 0);
    grid->addWidget(cbAlbum, 2, 1);
    label(page, "laLabel", Ids::Label, cbLabel, grid, 3, 0);
    grid->addWidget(cbLabel, 3, 1);
    label(page, "laTrackIndex", Ids::TrackIndex, edTrackIndex1, grid, 4, 0);
    grid->addWidget(range(page, edTrackIndex1, edTrackIndex2, QString()), 4, 1);
    label(page, "laBPM", Ids::BPM, edBPM1, grid, 5, 0);
    grid->addWidget(range(page, edBPM1, edBPM2, QString()), 5, 1);
    label(page, "laGenre", Ids::Genre, clGenre, grid, 6, 0);
    grid->addWidget(clGenre, 6, 1);
    label(page, "laYear", Ids::Year, clYear, grid, 0, 2);
    grid->addWidget(clYear, 0, 3, 4, 1);
    label(page, "laLocation", Ids::Location, clLocation, grid, 4, 2);
    grid->addWidget(clLocation, 4, 3, 3, 1);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(6, 1);
    return page;
}

QWidget *TfmFilter::buildCreditsPage()
{
    tsCredits = named(new QWidget(pcFilter), "tsCredits");
    cbComposer = textBox("cbComposer", tsCredits);
    cbLyricist = textBox("cbLyricist", tsCredits);
    cbOrchestra = textBox("cbOrchestra", tsCredits);
    cbConductor = textBox("cbConductor", tsCredits);
    auto *grid = new QGridLayout(tsCredits);
    label(tsCredits, "laComposer", Ids::Composer, cbComposer, grid, 0, 0);
    grid->addWidget(cbComposer, 0, 1);
    label(tsCredits, "laLyricist", Ids::Lyricist, cbLyricist, grid, 1, 0);
    grid->addWidget(cbLyricist, 1, 1);
    label(tsCredits, "laOrchestra", Ids::Orchestra, cbOrchestra, grid, 2, 0);
    grid->addWidget(cbOrchestra, 2, 1);
    label(tsCredits, "laConductor", Ids::Conductor, cbConductor, grid, 3, 0);
    grid->addWidget(cbConductor, 3, 1);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(1, 1);
    return tsCredits;
}

QWidget *TfmFilter::buildMusicMatchPage()
{
    tsMusicMatch = named(new QWidget(pcFilter), "tsMusicMatch");
    clTempo = checkList("clTempo", tsMusicMatch);
    clMood = checkList("clMood", tsMusicMatch);
    clSituation = checkList("clSituation", tsMusicMatch);
    clPreference = checkList("clPreference", tsMusicMatch);
    auto *grid = new QGridLayout(tsMusicMatch);
    label(tsMusicMatch, "laTempo", Ids::Tempo, clTempo, grid, 0, 0);
    grid->addWidget(clTempo, 1, 0);
    label(tsMusicMatch, "laMood", Ids::Mood, clMood, grid, 0, 1);
    grid->addWidget(clMood, 1, 1);
    label(tsMusicMatch, "laSituation", Ids::Situation, clSituation, grid, 2, 0);
    grid->addWidget(clSituation, 3, 0);
    label(tsMusicMatch, "laPreference", Ids::Preference, clPreference, grid, 2, 1);
    grid->addWidget(clPreference, 3, 1);
    return tsMusicMatch;
}

QWidget *TfmFilter::buildNotesPage()
{
    tsNotes = named(new QWidget(pcFilter), "tsNotes");
    edNotes = named(new QLineEdit(tsNotes), "edNotes");
    auto *grid = new QGridLayout(tsNotes);
    label(tsNotes, "laNotes", Ids::Notes, edNotes, grid, 0, 0);
    grid->addWidget(edNotes, 0, 1);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(1, 1);
    return tsNotes;
}

QWidget *TfmFilter::buildFilePage()
{
    tsFile = named(new QWidget(pcFilter), "tsFile");
    edLength1 = lengthBox("edLength1", tsFile);
    edLength2 = lengthBox("edLength2", tsFile);
    edSize1 = boundBox("edSize1", QStringLiteral("\\d{0,10}"), QString(), tsFile);
    edSize2 = boundBox("edSize2", QStringLiteral("\\d{0,10}"), QString(), tsFile);
    edBitrate1 = boundBox("edBitrate1", QStringLiteral("\\d{0,4}"), QString(), tsFile);
    edBitrate2 = boundBox("edBitrate2", QStringLiteral("\\d{0,4}"), QString(), tsFile);
    auto *grid = new QGridLayout(tsFile);
    label(tsFile, "laLength", Ids::Length, edLength1, grid, 0, 0);
    grid->addWidget(range(tsFile, edLength1, edLength2, QString()), 0, 1);
    label(tsFile, "laSize", Ids::Size, edSize1, grid, 1, 0);
    grid->addWidget(range(tsFile, edSize1, edSize2, tr("KB")), 1, 1);
    label(tsFile, "laBitrate", Ids::Bitrate, edBitrate1, grid, 2, 0);
    grid->addWidget(range(tsFile, edBitrate1, edBitrate2, tr("kbps")), 2, 1);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(1, 1);
    return tsFile;
}

void TfmFilter::ShowLabels()
{
    if (!m_root || !m_root->Fields)
        return;
    for (const auto &[l, fieldID] : std::as_const(m_labels)) {
        if (const TDataField *field = m_root->Fields->FindByID(fieldID))
            l->setText(GetFieldName(field));
    }
}

void TfmFilter::FillLists()
{
    if (!m_root || !m_root->Fields)
        return;
    for (const Row &row : std::as_const(m_rows)) {
        if (row.kind != TKind::Check && row.kind != TKind::LookupText)
            continue;
        TLookupList *list = m_root->GetLookupList(m_root->Fields->FindByID(row.fieldID));
        TLookupEntries entries;
        if (list)
            list->FillStrings(entries);
        if (auto *box = qobject_cast<QComboBox *>(row.first)) {
            box->clear();
            for (const TLookupEntry &entry : std::as_const(entries))
                box->addItem(entry.Text);
        } else if (auto *checks = qobject_cast<QListWidget *>(row.first)) {
            checks->clear();
            for (const TLookupEntry &entry : std::as_const(entries)) {
                auto *item = new QListWidgetItem(entry.Text, checks);
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
                item->setCheckState(Qt::Unchecked);
                item->setData(Qt::UserRole, entry.Item ? entry.Item->GetID() : -1);
            }
        }
    }
}

void TfmFilter::ShowValues()
{
    TfmFilterBase::ShowValues();
    if (!m_root || !m_root->Fields)
        return;
    for (const Row &row : std::as_const(m_rows)) {
        const TDataField *field = m_root->Fields->FindByID(row.fieldID);
        switch (row.kind) {
        case TKind::Text:
            edit(row.first)->setText(m_filter.GetFilterText(field));
            break;
        case TKind::LookupText:
            static_cast<QComboBox *>(row.first)->setCurrentIndex(-1);
            static_cast<QComboBox *>(row.first)->setEditText(m_filter.GetFilterText(field));
            break;
        case TKind::Check: {
            const QList<qint32> ids = m_filter.GetFilterItemIDs(field);
            auto *checks = static_cast<QListWidget *>(row.first);
            for (int i = 0; i < checks->count(); ++i) {
                QListWidgetItem *item = checks->item(i);
                item->setCheckState(ids.contains(item->data(Qt::UserRole).toInt()) ? Qt::Checked : Qt::Unchecked);
            }
            break;
        }
        case TKind::Range:
        case TKind::KilobyteRange:
        case TKind::LengthRange: {
            qint32 min = -1;
            qint32 max = -1;
            m_filter.GetFilterRange(field, min, max);
            const auto text = row.kind == TKind::Range           ? &filterbounds::NumberText
                              : row.kind == TKind::KilobyteRange ? &filterbounds::KilobytesText
                                                                 : &filterbounds::LengthText;
            edit(row.first)->setText(text(min, false));
            edit(row.second)->setText(text(max, true));
            break;
        }
        }
    }
}

void TfmFilter::StoreValues()
{
    TfmFilterBase::StoreValues();
    if (!m_root || !m_root->Fields)
        return;
    for (const Row &row : std::as_const(m_rows)) {
        const TDataField *field = m_root->Fields->FindByID(row.fieldID);
        if (!field)
            continue;
        switch (row.kind) {
        case TKind::Text:
            if (!edit(row.first)->text().isEmpty())
                m_filter.addCondition(std::make_unique<TStringFilterField>(field, edit(row.first)->text()));
            break;
        case TKind::LookupText: {
            const QString text = static_cast<QComboBox *>(row.first)->currentText();
            if (!text.isEmpty())
                m_filter.addCondition(std::make_unique<TLookupStringFilterField>(field, text));
            break;
        }
        case TKind::Check: {
            QList<qint32> ids;
            const auto *checks = static_cast<QListWidget *>(row.first);
            for (int i = 0; i < checks->count(); ++i) {
                if (checks->item(i)->checkState() == Qt::Checked)
                    ids.append(checks->item(i)->data(Qt::UserRole).toInt());
            }
            if (!ids.isEmpty())
                m_filter.addCondition(std::make_unique<TMultiLookupFilterField>(field, ids));
            break;
        }
        case TKind::Range:
        case TKind::KilobyteRange:
        case TKind::LengthRange: {
            const auto parse = row.kind == TKind::Range           ? &filterbounds::ParseNumber
                               : row.kind == TKind::KilobyteRange ? &filterbounds::ParseKilobytes
                                                                  : &filterbounds::ParseLength;
            const qint32 min = parse(edit(row.first)->text(), false);
            const qint32 max = parse(edit(row.second)->text(), true);
            if (min != TIntegerFilterField::NoMin || max != TIntegerFilterField::NoMax)
                m_filter.addCondition(std::make_unique<TIntegerFilterField>(field, min, max));
            break;
        }
        }
    }
}

bool ShowFilter(TFilterFieldRefList &filter, QWidget *owner, TSettingsStore &store)
{
    TfmFilter window(owner, filter, store);
    TFormPlacement::CenterOnOwner(&window, owner);
    return window.exec() == QDialog::Accepted;
}
