#include "core/data/lookupitems.h"
#include "core/settings/prefs.h"
#include "core/settings/shellservices.h"
#include "gui/browse/browse.h"
#include "gui/explorer/brimlowlistview.h"
#include "gui/explorer/explorertreemodel.h"
#include "gui/output/stats.h"
#include "gui/settings/updatewindow.h"
#include "gui/shell/mainbase.h"

#include "fixedshellservices.h"
#include "memorysettingsstore.h"
#include "scripteddesktopservices.h"
#include "testroot.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QToolButton>
#include <QTimer>
#include <QtTest>

namespace {

class Window : public TfmMainBase {
public:
    using TfmMainBase::TfmMainBase;
    std::unique_ptr<TRootItem> CreateRootItem() override { return std::make_unique<TTestRoot>(); }
    void RegisterFileAssociation() override {}
    TTestRoot *testRoot() const { return static_cast<TTestRoot *>(Root()); }
};

struct Shell {
    Shell() { prefs.FirstRun = false; }
    TMemorySettingsStore store;
    TMp3Prefs prefs{store};
    FixedClock clock;
    FixedConnection connection{false};
    TUpdateService updates{prefs, clock, connection};
    ScriptedDesktopServices services;
};

std::unique_ptr<Window> openWindow(Shell &shell)
{
    auto window = std::make_unique<Window>(shell.prefs, shell.updates);
    window->FormCreate({});
    TTestRoot &root = *window->testRoot();
    auto *adams = static_cast<TPersonLookupItem *>(root.Artists->AddNew(QStringLiteral("adams")));
    for (const char *title : {"One", "Two", "Three"}) {
        TTestItem *item = root.addItem(QLatin1String(title));
        item->Artist = adams;
        item->GetID();
    }
    window->LoadSettings();
    window->show();
    return window;
}

TExplorerNode *child(const TExplorerNode *node, const QString &text)
{
    for (const auto &c : node->Children)
        if (c->Text == text)
            return c.get();
    return nullptr;
}

QMap<QString, bool> enabled(const TfmMainBase &window)
{
    QMap<QString, bool> states;
    for (const char *name : {"acPrintListReportofSelectedItems", "acPrintListReportofCollection",
                             "acExportAsciiSelectedItems", "acExportAsciiAllItems", "acExportHtmlSelectedItems",
                             "acExportHtmlAllItems", "acBrowseSelectedItems", "acStats"})
        states.insert(QLatin1String(name), window.Action(QLatin1String(name))->isEnabled());
    return states;
}

} // namespace

class TestOutputCommands : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void enabledRule()
    {
        Shell shell;
        auto window = openWindow(shell);
        // The collection node lists folders: only the whole-collection
        // commands.
        window->SelectNode(window->RootNode);
        window->lvMain->SelectOnly(0);
        QMap<QString, bool> states = enabled(*window);
        for (const char *name : {"acPrintListReportofCollection", "acExportAsciiAllItems", "acExportHtmlAllItems",
                                    "acStats"})
            QVERIFY2(states.value(QLatin1String(name)), name);
        for (const char *name : {"acPrintListReportofSelectedItems", "acExportAsciiSelectedItems",
                                    "acExportHtmlSelectedItems", "acBrowseSelectedItems"})
            QVERIFY2(!states.value(QLatin1String(name)), name);

        // Tracks with a selected row: everything.
        window->SelectNode(child(window->RootNode, QStringLiteral("adams")));
        window->lvMain->SelectOnly(1);
        states = enabled(*window);
        for (auto it = states.cbegin(); it != states.cend(); ++it)
            QVERIFY2(it.value(), qPrintable(it.key()));

        // No row selected: none of the selected-items commands.
        window->lvMain->SelectOnly(-1);
        states = enabled(*window);
        QVERIFY(!states.value(QStringLiteral("acPrintListReportofSelectedItems")));
        QVERIFY(!states.value(QStringLiteral("acBrowseSelectedItems")));
        QVERIFY(states.value(QStringLiteral("acExportAsciiAllItems")));
    }

    void browseOpensOnTheSelectedRows()
    {
        Shell shell;
        auto window = openWindow(shell);
        window->SelectNode(child(window->RootNode, QStringLiteral("adams")));
        window->lvMain->SelectAll();
        QString status;
        QTimer::singleShot(0, [&status] {
            QTRY_VERIFY(qobject_cast<TfmBrowseBase *>(QApplication::activeModalWidget()));
            auto *browse = qobject_cast<TfmBrowseBase *>(QApplication::activeModalWidget());
            status = browse->laStatus->text();
            browse->reject();
        });
        window->Action(QStringLiteral("acBrowseSelectedItems"))->trigger();
        QCOMPARE(status, QStringLiteral("Item 1 of 3"));
    }

    void statisticsOpenOnTheFirstGroupField()
    {
        Shell shell;
        auto window = openWindow(shell);
        QString menu;
        QString count;
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(qobject_cast<TfmStats *>(QApplication::activeModalWidget()));
            auto *stats = qobject_cast<TfmStats *>(QApplication::activeModalWidget());
            menu = stats->btLookupLists->text();
            count = stats->pnCount->text();
            stats->reject();
        });
        window->Action(QStringLiteral("acStats"))->trigger();
        QCOMPARE(menu, QStringLiteral("List: Artist"));
        QCOMPARE(count, QStringLiteral("Nr Items in database: 3"));
    }
};

QTEST_MAIN(TestOutputCommands)
#include "tst_outputcommands.moc"
