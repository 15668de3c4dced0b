#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/data/filterfieldlist.h"
#include "core/data/filterfields.h"
#include "core/mp3model/mp3root.h"
#include "gui/fields/filterwindow.h"
#include "gui/settings/radiogroup.h"
#include "memorysettingsstore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <limits>

namespace {

constexpr qint32 IntMax = std::numeric_limits<qint32>::max();

struct Fixture {
    Fixture()
    {
        TRootItem::SetCurrent(&root);
        root.GenreList->FindOrAdd(QStringLiteral("Pop"));
        root.GenreList->FindOrAdd(QStringLiteral("Rock"));
        root.Artists->FindOrAdd(QStringLiteral("Anna Kestrel"));
    }
    ~Fixture() { TRootItem::SetCurrent(nullptr); }

    std::unique_ptr<TfmFilter> open(TFilterFieldRefList &list)
    {
        auto window = std::make_unique<TfmFilter>(nullptr, list, store);
        window->show();
        return window;
    }

    TMemorySettingsStore store;
    TMp3Root root;
    TFilterFieldRefList filter{ListKind::MainItems, &root};
};

// "name=value": a text for edits and boxes, "|"-separated entries to tick
// for check lists.
void setControl(QWidget *window, const QString &setting)
{
    const QString name = setting.section('=', 0, 0);
    const QString value = setting.section('=', 1);
    QWidget *control = window->findChild<QWidget *>(name);
    QVERIFY2(control, qPrintable(name));
    if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        edit->setText(value);
    } else if (auto *box = qobject_cast<QComboBox *>(control)) {
        box->setEditText(value);
    } else if (auto *checks = qobject_cast<QListWidget *>(control)) {
        for (const QString &text : value.split('|')) {
            const QList<QListWidgetItem *> found = checks->findItems(text, Qt::MatchExactly);
            QVERIFY2(!found.isEmpty(), qPrintable(text));
            found.constFirst()->setCheckState(Qt::Checked);
        }
    }
}

QString controlValue(QWidget *window, const QString &name)
{
    QWidget *control = window->findChild<QWidget *>(name);
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        return edit->text();
    if (auto *box = qobject_cast<QComboBox *>(control))
        return box->currentText();
    if (auto *checks = qobject_cast<QListWidget *>(control)) {
        QStringList ticked;
        for (int i = 0; i < checks->count(); ++i) {
            if (checks->item(i)->checkState() == Qt::Checked)
                ticked << checks->item(i)->text();
        }
        return ticked.join('|');
    }
    return QStringLiteral("<no control %1>").arg(name);
}

} // namespace

class TestFilterWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void conditionsRoundTripThroughTheSettings_data();
    void conditionsRoundTripThroughTheSettings();
    void boundsOfTheRangeBoxes_data();
    void boundsOfTheRangeBoxes();
    void emptyFilterShowsEmptyControls();
    void clearFilterEmptiesAtOnce();
    void combinationAndCaseAreKept();
};

void TestFilterWindow::conditionsRoundTripThroughTheSettings_data()
{
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("title") << QStringList{"edTitle=love"} << "(\"love\" in Title)" << QStringList{"edTitle=love"};
    QTest::newRow("artist text") << QStringList{"cbArtist=kest"} << "(\"kest\" in Artist)"
                                 << QStringList{"cbArtist=kest"};
    QTest::newRow("two genres") << QStringList{"clGenre=Pop|Rock"} << "(Genre is \"Pop\" OR \"Rock\")"
                                << QStringList{"clGenre=Pop|Rock"};
    QTest::newRow("track index from") << QStringList{"edTrackIndex1=3"} << "(Track Index at least 3)"
                                      << QStringList{"edTrackIndex1=3", "edTrackIndex2="};
    QTest::newRow("bpm up to") << QStringList{"edBPM2=120"} << "(BPM at most 120)"
                               << QStringList{"edBPM1=", "edBPM2=120"};
    QTest::newRow("size in KB") << QStringList{"edSize1=100", "edSize2=200"} << "(Size between 102400 and 204800)"
                                << QStringList{"edSize1=100", "edSize2=200"};
    QTest::newRow("length") << QStringList{"edLength1=01:30", "edLength2=03:00"} << "(Length between 90 and 180)"
                            << QStringList{"edLength1=01:30", "edLength2=03:00"};
    QTest::newRow("long length") << QStringList{"edLength1=120:00"} << "(Length at least 7200)"
                                 << QStringList{"edLength1=120:00", "edLength2="};
    QTest::newRow("notes and bitrate")
        << QStringList{"edNotes=live", "edBitrate1=128", "edBitrate2=128"}
        << "(\"live\" in Notes) AND (Bitrate between 128 and 128)"
        << QStringList{"edNotes=live", "edBitrate1=128", "edBitrate2=128"};
}

void TestFilterWindow::conditionsRoundTripThroughTheSettings()
{
    QFETCH(QStringList, settings);
    QFETCH(QString, description);
    QFETCH(QStringList, shown);
    Fixture f;
    {
        auto window = f.open(f.filter);
        for (const QString &setting : settings)
            setControl(window.get(), setting);
        window->btOk->click();
        QCOMPARE(window->result(), int(QDialog::Accepted));
    }
    QCOMPARE(f.filter.GetDescription(), description);

    f.filter.SaveToSettings(f.store, QStringLiteral("Filter"));
    TFilterFieldRefList loaded(ListKind::MainItems, &f.root);
    loaded.LoadFromSettings(f.store, QStringLiteral("Filter"));
    QCOMPARE(loaded.GetDescription(), description);
    auto window = f.open(loaded);
    for (const QString &expected : shown)
        QCOMPARE(controlValue(window.get(), expected.section('=', 0, 0)), expected.section('=', 1));
}

void TestFilterWindow::boundsOfTheRangeBoxes_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("upper");
    QTest::addColumn<qint32>("value");
    QTest::newRow("empty lower") << "number" << "" << false << TIntegerFilterField::NoMin;
    QTest::newRow("empty upper") << "number" << " " << true << TIntegerFilterField::NoMax;
    QTest::newRow("kilobytes") << "KB" << "100" << false << 102400;
    // 4,194,304 KB are 4 GiB: more than 32 bits hold, not a negative number.
    QTest::newRow("kilobytes beyond 32 bits") << "KB" << "4194304" << false << IntMax;
    QTest::newRow("kilobytes beyond 64 bits") << "KB" << "99999999999999999" << true << IntMax;
    QTest::newRow("minutes and seconds") << "length" << " 3 : 05" << false << 185;
    QTest::newRow("plain minutes") << "length" << "100" << false << 6000;
    QTest::newRow("no length") << "length" << "  :  " << true << TIntegerFilterField::NoMax;
    QTest::newRow("huge length") << "length" << "99999999:59" << false << IntMax;
}

void TestFilterWindow::boundsOfTheRangeBoxes()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(bool, upper);
    QFETCH(qint32, value);
    const auto parse = kind == "number" ? &filterbounds::ParseNumber
                       : kind == "KB"   ? &filterbounds::ParseKilobytes
                                        : &filterbounds::ParseLength;
    QCOMPARE(parse(text, upper), value);
}

void TestFilterWindow::emptyFilterShowsEmptyControls()
{
    Fixture f;
    // A stored filter of an older version: -1 for an empty box.
    f.filter.addCondition(std::make_unique<TIntegerFilterField>(f.root.Fields->FindByID(15), -1, 180));
    auto window = f.open(f.filter);
    QCOMPARE(controlValue(window.get(), "edLength1"), QString());
    QCOMPARE(controlValue(window.get(), "edLength2"), QStringLiteral("03:00"));
    window->reject();

    TFilterFieldRefList empty(ListKind::MainItems, &f.root);
    auto second = f.open(empty);
    for (QLineEdit *edit : second->findChildren<QLineEdit *>()) {
        if (!edit->objectName().isEmpty())
            QVERIFY2(edit->text().isEmpty(), qPrintable(edit->objectName()));
    }
    for (QListWidget *checks : second->findChildren<QListWidget *>())
        QCOMPARE(controlValue(second.get(), checks->objectName()), QString());
    QCOMPARE(second->pcFilter->currentIndex(), 0);
}

void TestFilterWindow::clearFilterEmptiesAtOnce()
{
    Fixture f;
    f.filter.addCondition(std::make_unique<TStringFilterField>(f.root.Fields->FindByID(3), QStringLiteral("x")));
    auto window = f.open(f.filter);
    QCOMPARE(window->edTitle->text(), QStringLiteral("x"));
    window->btClearAll->click();
    QCOMPARE(f.filter.Count(), 0);
    QVERIFY(window->edTitle->text().isEmpty());
    QVERIFY(window->isVisible());
    window->btCancel->click();
    QCOMPARE(f.filter.Count(), 0);
}

void TestFilterWindow::combinationAndCaseAreKept()
{
    Fixture f;
    f.filter.Enabled = false;
    auto window = f.open(f.filter);
    QCOMPARE(window->rgAndOr->ItemIndex(), 0);
    window->rgAndOr->SetItemIndex(1);
    window->ckCaseSensitive->setChecked(true);
    window->btOk->click();
    QCOMPARE(f.filter.Combination, TFilterFieldRefList::CombinationOr);
    QVERIFY(f.filter.CaseSensitive);
    QVERIFY(!f.filter.Enabled);
}

QTEST_MAIN(TestFilterWindow)
#include "tst_filterwindow.moc"
