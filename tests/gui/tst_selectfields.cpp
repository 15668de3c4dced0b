#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/data/fieldrefs.h"
#include "gui/fields/selectfields.h"
#include "memorysettingsstore.h"
#include "gui/settings/radiogroup.h"
#include "testroot.h"

#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QtTest>

using namespace testroot;

namespace {

QStringList entryTexts(const TfmSelectFieldsBase &window)
{
    QStringList texts;
    for (int row = 0; row < window.lvFields->count(); ++row)
        texts << window.lvFields->item(row)->text();
    return texts;
}

QList<qint32> fieldIDs(const TDataFieldRefList &list)
{
    QList<qint32> ids;
    for (int i = 0; i < list.Count(); ++i)
        ids << list.Get(i)->Field->ID;
    return ids;
}

void addColumns(TTestRoot &root, TColumnFieldRefList &list, std::initializer_list<qint32> ids)
{
    for (const qint32 id : ids)
        list.Add(std::make_unique<TColumnField>(root.field(id), 77, &list));
}

void doubleClick(QAbstractItemView *view, const QModelIndex &index)
{
    const QPoint at = view->visualRect(index).center();
    // The view takes a double-click only on the item the button went down on.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class TestSelectFields : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void captionFollowsTheList_data();
    void captionFollowsTheList();
    void addingAnExistingFieldMovesIt_data();
    void addingAnExistingFieldMovesIt();
    void groupTreeOffersOnlyLookupFields();
    void columnTreeHasSortedCategories();
    void doubleClickAddsAndSortDirectionToggles();
    void movingAndRemovingEntries();
    void deleteKeyRemovesTheSelectedEntry();
    void okWritesCopiesCancelLeavesTheList();
    void sizeIsStored();
};

void TestSelectFields::captionFollowsTheList_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("caption");
    QTest::newRow("columns") << 0 << QString() << "Column Field Selection";
    QTest::newRow("sort for index") << 1 << " for Index sequence" << "Sort Field Selection  for Index sequence";
    QTest::newRow("folders") << 2 << QString() << "Folder Field Selection";
}

void TestSelectFields::captionFollowsTheList()
{
    QFETCH(int, type);
    QFETCH(QString, text);
    QFETCH(QString, caption);
    TTestRoot root;
    TMemorySettingsStore store;
    std::unique_ptr<TDataFieldRefList> list;
    if (type == 0)
        list = std::make_unique<TColumnFieldRefList>(ListKind::MainItems, &root);
    else if (type == 1)
        list = std::make_unique<TSortFieldRefList>(ListKind::MainItems, &root);
    else
        list = std::make_unique<TGroupFieldRefList>(ListKind::MainItems, &root);
    TfmSelectFields window(*list, text, nullptr, store);
    QCOMPARE(window.windowTitle(), caption);
    QCOMPARE(window.rgOrder->isVisibleTo(&window), type == 1);
}

void TestSelectFields::addingAnExistingFieldMovesIt_data()
{
    QTest::addColumn<qint32>("field");
    QTest::addColumn<int>("beforeRow");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("appended: moves to the end") << ArtistField << -1 << QStringList{"Title", "Year", "Artist"};
    QTest::newRow("dropped on the first") << YearField << 0 << QStringList{"Year", "Title", "Artist"};
    QTest::newRow("onto itself") << ArtistField << 1 << QStringList{"Title", "Artist", "Year"};
    QTest::newRow("new field inserted") << SizeField << 1 << QStringList{"Title", "Size", "Artist", "Year"};
}

void TestSelectFields::addingAnExistingFieldMovesIt()
{
    QFETCH(qint32, field);
    QFETCH(int, beforeRow);
    QFETCH(QStringList, expected);
    TTestRoot root;
    TMemorySettingsStore store;
    TColumnFieldRefList list(ListKind::MainItems, &root);
    addColumns(root, list, {TitleField, ArtistField, YearField});
    TfmSelectFields window(list, QString(), nullptr, store);
    window.AddField(root.Fields->FindByID(field), beforeRow);
    QCOMPARE(entryTexts(window), expected);
    QCOMPARE(window.lvFields->currentItem()->text(), root.Fields->FindByID(field)->Name);
    // A new column gets the field's default width; existing ones keep theirs.
    for (int row = 0; row < window.lvFields->count(); ++row) {
        const auto *column = static_cast<TColumnField *>(window.EntryRef(row));
        QCOMPARE(column->Width, column->Field->ID == SizeField ? column->Field->DefaultWidth : 77);
    }
}

void TestSelectFields::groupTreeOffersOnlyLookupFields()
{
    TTestRoot root;
    TMemorySettingsStore store;
    TGroupFieldRefList list(ListKind::MainItems, &root);
    TfmSelectFields window(list, QString(), nullptr, store);
    QStringList offered;
    for (int i = 0; i < window.tvFields->topLevelItemCount(); ++i) {
        QTreeWidgetItem *node = window.tvFields->topLevelItem(i);
        QCOMPARE(node->childCount(), 0);
        QVERIFY(window.NodeField(node));
        QVERIFY(window.NodeField(node)->isLookupField());
        offered << node->text(0);
    }
    QCOMPARE(offered, (QStringList{"Artist", "Genre", "Label", "Year"}));
    QCOMPARE(window.tvFields->currentItem(), window.tvFields->topLevelItem(0));
    window.AddField(root.Fields->FindByID(GenreField));
    QCOMPARE(window.lvFields->item(0)->data(Qt::UserRole + 2).toInt(), int(TfmSelectFieldsBase::ImgGroup));
}

void TestSelectFields::columnTreeHasSortedCategories()
{
    TTestRoot root;
    TMemorySettingsStore store;
    SetFieldCustomName(root.Fields->FindByID(YearField), QStringLiteral("Anno"));
    TColumnFieldRefList list(ListKind::MainItems, &root);
    TfmSelectFields window(list, QString(), nullptr, store);
    QCOMPARE(window.tvFields->topLevelItemCount(), 2);
    QTreeWidgetItem *id = window.tvFields->topLevelItem(0);
    QTreeWidgetItem *main = window.tvFields->topLevelItem(1);
    QCOMPARE(id->text(0), QStringLiteral("ID"));
    QCOMPARE(main->text(0), QStringLiteral("Main"));
    QVERIFY(main->isExpanded());
    QVERIFY(!window.NodeField(main));
    QStringList names;
    for (int i = 0; i < main->childCount(); ++i)
        names << main->child(i)->text(0);
    // Sorted by the names the user sees; the file-list-only "Artist" text
    // field is not offered.
    QCOMPARE(names, (QStringList{"Anno", "Artist", "Genre", "Label", "Size", "Title", "VBR"}));
}

void TestSelectFields::doubleClickAddsAndSortDirectionToggles()
{
    TTestRoot root;
    TMemorySettingsStore store;
    TSortFieldRefList list(ListKind::MainItems, &root);
    TfmSelectFields window(list, QString(), nullptr, store);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!window.rgOrder->isEnabled());

    QTreeWidgetItem *main = window.tvFields->topLevelItem(1);
    QTreeWidgetItem *title = nullptr;
    for (int i = 0; i < main->childCount(); ++i) {
        if (main->child(i)->text(0) == QStringLiteral("Title"))
            title = main->child(i);
    }
    QVERIFY(title);
    doubleClick(window.tvFields, window.tvFields->indexFromItem(title));
    QCOMPARE(entryTexts(window), QStringList{"Title"});
    auto *sort = static_cast<TSortField *>(window.EntryRef(0));
    QCOMPARE(sort->Order, 1);
    QCOMPARE(window.lvFields->item(0)->data(Qt::UserRole + 2).toInt(), int(TfmSelectFieldsBase::ImgAscending));
    QVERIFY(window.rgOrder->isEnabled());
    QCOMPARE(window.rgOrder->ItemIndex(), 0);

    doubleClick(window.lvFields, window.lvFields->model()->index(0, 0));
    QCOMPARE(sort->Order, -1);
    QCOMPARE(window.lvFields->item(0)->data(Qt::UserRole + 2).toInt(), int(TfmSelectFieldsBase::ImgDescending));
    QCOMPARE(window.rgOrder->ItemIndex(), 1);

    window.rgOrder->Item(0)->click();
    QCOMPARE(sort->Order, 1);
    QCOMPARE(window.lvFields->item(0)->data(Qt::UserRole + 2).toInt(), int(TfmSelectFieldsBase::ImgAscending));
}

void TestSelectFields::movingAndRemovingEntries()
{
    TTestRoot root;
    TMemorySettingsStore store;
    TColumnFieldRefList list(ListKind::MainItems, &root);
    addColumns(root, list, {TitleField, ArtistField, YearField, SizeField});
    TfmSelectFields window(list, QString(), nullptr, store);
    window.MoveEntry(0, 2);
    QCOMPARE(entryTexts(window), (QStringList{"Artist", "Title", "Year", "Size"}));
    window.MoveEntry(3, 0);
    QCOMPARE(entryTexts(window), (QStringList{"Size", "Artist", "Title", "Year"}));
    window.MoveEntry(0, -1);
    QCOMPARE(entryTexts(window), (QStringList{"Artist", "Title", "Year", "Size"}));
    window.RemoveEntry(1);
    QCOMPARE(entryTexts(window), (QStringList{"Artist", "Year", "Size"}));
    QCOMPARE(window.lvFields->currentRow(), 1);
    window.RemoveEntry(2);
    QCOMPARE(window.lvFields->currentRow(), 1); // the last one
    QCOMPARE(list.Count(), 4);                  // nothing written yet
}

void TestSelectFields::deleteKeyRemovesTheSelectedEntry()
{
    TTestRoot root;
    TMemorySettingsStore store;
    TColumnFieldRefList list(ListKind::MainItems, &root);
    addColumns(root, list, {TitleField, ArtistField, YearField});
    TfmSelectFields window(list, QString(), nullptr, store);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.lvFields->setFocus();
    window.lvFields->setCurrentRow(1);
    QTest::keyClick(window.lvFields, Qt::Key_Delete);
    QCOMPARE(entryTexts(window), (QStringList{"Title", "Year"}));
    QCOMPARE(window.lvFields->currentRow(), 1);
    QTest::keyClick(window.lvFields, Qt::Key_Delete);
    QTest::keyClick(window.lvFields, Qt::Key_Delete);
    QVERIFY(entryTexts(window).isEmpty());
    QTest::keyClick(window.lvFields, Qt::Key_Delete); // nothing left: no harm
    // The tree's fields are not removed by the key.
    const int nodes = window.tvFields->topLevelItemCount();
    window.tvFields->setFocus();
    window.tvFields->setCurrentItem(window.tvFields->topLevelItem(0));
    QTest::keyClick(window.tvFields, Qt::Key_Delete);
    QCOMPARE(window.tvFields->topLevelItemCount(), nodes);
    window.btOk->click();
    QCOMPARE(list.Count(), 0);
}

void TestSelectFields::okWritesCopiesCancelLeavesTheList()
{
    TTestRoot root;
    TMemorySettingsStore store;
    TSortFieldRefList list(ListKind::MainItems, &root);
    list.Add(std::make_unique<TSortField>(root.field(ArtistField), -1, &list));
    list.Add(std::make_unique<TSortField>(root.field(TitleField), 1, &list));
    {
        TfmSelectFields window(list, QString(), nullptr, store);
        window.MoveEntry(1, 0);
        window.ToggleOrder(0);
        window.AddField(root.Fields->FindByID(SizeField));
        window.btCancel->click();
        QCOMPARE(window.result(), int(QDialog::Rejected));
    }
    QCOMPARE(fieldIDs(list), (QList<qint32>{ArtistField, TitleField}));
    QCOMPARE(list.Get(0)->Order, -1);
    {
        TfmSelectFields window(list, QString(), nullptr, store);
        window.MoveEntry(1, 0);
        window.ToggleOrder(0);
        window.AddField(root.Fields->FindByID(SizeField));
        window.btOk->click();
        QCOMPARE(window.result(), int(QDialog::Accepted));
    }
    QCOMPARE(fieldIDs(list), (QList<qint32>{TitleField, ArtistField, SizeField}));
    QCOMPARE(list.Get(0)->Order, -1);
    QCOMPARE(list.Get(1)->Order, -1);
    QCOMPARE(list.Get(2)->Order, 1);
    QCOMPARE(list.Get(0)->Owner, &list);
}

void TestSelectFields::sizeIsStored()
{
    TTestRoot root;
    TMemorySettingsStore store;
    TColumnFieldRefList list(ListKind::MainItems, &root);
    store.WriteInteger("SelectFieldsWindow", "Width", 610);
    store.WriteInteger("SelectFieldsWindow", "Height", 450);
    store.WriteInteger("SelectFieldsWindow", "TreeWidth", 250);
    {
        TfmSelectFields window(list, QString(), nullptr, store);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.size(), QSize(610, 450));
        QCOMPARE(window.spFields->sizes().value(0), 250);
        window.resize(640, 470);
        window.btCancel->click();
    }
    QCOMPARE(store.ReadInteger("SelectFieldsWindow", "Width", 0), 640);
    QCOMPARE(store.ReadInteger("SelectFieldsWindow", "Height", 0), 470);
}

QTEST_MAIN(TestSelectFields)
#include "tst_selectfields.moc"
