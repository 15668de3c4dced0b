#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/mp3model/mp3fields.h"
#include "core/mp3model/mp3root.h"
#include "gui/fields/fielddefaults.h"
#include "gui/fields/fieldnames.h"
#include "memorysettingsstore.h"
#include "scripteddesktopservices.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

namespace {

QStringList column(const TfmFieldNamesBase &window, int col)
{
    QStringList texts;
    for (int i = 0; i < window.lvFields->topLevelItemCount(); ++i)
        texts << window.lvFields->topLevelItem(i)->text(col);
    return texts;
}

QTreeWidgetItem *entry(const TfmFieldNamesBase &window, const QString &originalName)
{
    for (int i = 0; i < window.lvFields->topLevelItemCount(); ++i) {
        if (window.lvFields->topLevelItem(i)->text(1) == originalName)
            return window.lvFields->topLevelItem(i);
    }
    return nullptr;
}

// Renames the entry through its in-place editor, as F2 and typing do.
void rename(TfmFieldNamesBase &window, const QString &originalName, const QString &name)
{
    window.lvFields->setCurrentItem(entry(window, originalName));
    window.RenameSelected();
    auto *editor = window.lvFields->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->setText(name);
    QTest::keyClick(editor, Qt::Key_Return);
    // The view commits the editor's text once the key event is over.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestFieldWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void namesListTheFieldsOfTheKinds();
    void sortingByEitherColumn();
    void renameChecksOtherNamesOnly_data();
    void renameChecksOtherNamesOnly();
    void okStoresAndCancelLeaves();
    void defaultsShowAndStore();
};

void TestFieldWindows::namesListTheFieldsOfTheKinds()
{
    TMemorySettingsStore store;
    TMp3GlobalDataFieldList fields;
    TfmFieldNamesBase window(nullptr, fields, {2}, store);
    const QStringList names = column(window, 1);
    for (const char *name : {"ID", "Index", "Title", "Genre", "Filepath"})
        QVERIFY2(names.contains(QLatin1String(name)), name);
    QVERIFY(!names.contains("Header found at"));
    QVERIFY(!names.contains("Display Name"));
    QCOMPARE(names.count("Genre"), 1);
    // A label shows one ampersand as it is.
    QCOMPARE(window.laStatus->text(),
             QStringLiteral("Use ampersands (&) in the names to define shortcut keys for the Edit screens"));
}

void TestFieldWindows::sortingByEitherColumn()
{
    TMemorySettingsStore store;
    TMp3GlobalDataFieldList fields;
    SetFieldCustomName(fields.FindByID(3), QStringLiteral("aaa song"));
    TfmFieldNamesBase window(nullptr, fields, {2}, store);
    QCOMPARE(column(window, 0).constFirst(), QStringLiteral("aaa song"));
    window.SortByColumn(0);
    QCOMPARE(column(window, 0).constLast(), QStringLiteral("aaa song"));
    QCOMPARE(window.lvFields->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    window.SortByColumn(1);
    QCOMPARE(window.lvFields->header()->sortIndicatorSection(), 1);
    QCOMPARE(window.lvFields->header()->sortIndicatorOrder(), Qt::AscendingOrder);
    QStringList sorted = column(window, 1);
    std::sort(sorted.begin(), sorted.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    QCOMPARE(column(window, 1), sorted);
}

void TestFieldWindows::renameChecksOtherNamesOnly_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("new name") << "Style" << "Style" << QStringList{};
    // Confirming the entry's own name is no conflict.
    QTest::newRow("own name") << "Genre" << "Genre" << QStringList{};
    QTest::newRow("own name, other case") << "GENRE" << "GENRE" << QStringList{};
    QTest::newRow("another field's name") << "title" << "Genre"
                                          << QStringList{"Fieldname \"title\" already exists"};
    QTest::newRow("empty gives the original") << "" << "Genre" << QStringList{};
}

void TestFieldWindows::renameChecksOtherNamesOnly()
{
    QFETCH(QString, name);
    QFETCH(QString, shown);
    QFETCH(QStringList, messages);
    ScriptedDesktopServices services;
    TMemorySettingsStore store;
    TMp3GlobalDataFieldList fields;
    TfmFieldNamesBase window(nullptr, fields, {2}, store);
    window.show();
    rename(window, "Genre", name);
    QCOMPARE(entry(window, "Genre")->text(0), shown);
    QCOMPARE(services.messages, messages);
}

void TestFieldWindows::okStoresAndCancelLeaves()
{
    ScriptedDesktopServices services;
    TMemorySettingsStore store;
    TMp3GlobalDataFieldList fields;
    SetFieldCustomName(fields.FindByID(9), QStringLiteral("Released"));
    {
        TfmFieldNamesBase window(nullptr, fields, {2}, store);
        window.show();
        rename(window, "Genre", "St&yle");
        window.btCancel->click();
    }
    QVERIFY(fields.FindByID(7)->CustomName.isEmpty());
    TfmFieldNamesBase window(nullptr, fields, {2}, store);
    window.show();
    rename(window, "Genre", "St&yle");
    rename(window, "Year", "Year");
    window.btOk->click();
    QCOMPARE(fields.FindByID(7)->CustomName, QStringLiteral("St&yle"));
    QCOMPARE(GetFieldDisplayName(fields.FindByID(7)), QStringLiteral("Style"));
    // Back to the original name: no custom name.
    QVERIFY(fields.FindByID(9)->CustomName.isEmpty());
}

void TestFieldWindows::defaultsShowAndStore()
{
    TMemorySettingsStore store;
    TMp3Root root;
    auto *defaults = static_cast<TMP3Defaults *>(root.Defaults.get());
    defaults->DefaultGenre = QStringLiteral("Rock");
    SetFieldCustomName(root.Fields->FindByID(13), QStringLiteral("&Shelf"));
    TfmFieldDefaults window(nullptr, root, store);
    window.show();
    QCOMPARE(window.laLocation->text(), QStringLiteral("&Shelf"));
    QCOMPARE(window.cbGenre->currentText(), QStringLiteral("Rock"));
    QVERIFY(window.cbYear->findText("1999") >= 0);
    window.cbYear->setEditText(QStringLiteral("2031"));
    window.btOk->click();
    QCOMPARE(defaults->DefaultYear, QStringLiteral("2031"));
    QCOMPARE(defaults->DefaultGenre, QStringLiteral("Rock"));

    TfmFieldDefaults cancelled(nullptr, root, store);
    cancelled.show();
    cancelled.cbGenre->setEditText(QStringLiteral("Jazz"));
    cancelled.btCancel->click();
    QCOMPARE(defaults->DefaultGenre, QStringLiteral("Rock"));
}

QTEST_MAIN(TestFieldWindows)
#include "tst_fieldwindows.moc"
