#include "fakesettingsstore.h"
#include "gui/settings/preferences.h"
#include "core/base/legacytext.h"
#include "core/settings/prefs.h"
#include "gui/settings/radiogroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

namespace {

// Runs `step` on the next modal dialog of type T once it is open.
template <typename T>
void whenOpen(std::function<void(T *)> step)
{
    QTimer::singleShot(0, [step] {
        QTRY_VERIFY(qobject_cast<T *>(QApplication::activeModalWidget()));
        step(qobject_cast<T *>(QApplication::activeModalWidget()));
    });
}

} // namespace

class TestPreferences : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void updateInterval_data();
    void updateInterval();
    void controlsFollowTheSettings();
    void cancelKeepsSettingsButProxyKeepsItsOwn();
    void proxyWindow();
    void passwordOnlyInPrivateSettingsFile();
    void legacyTagEncoding();
};

void TestPreferences::updateInterval_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("saved");
    QTest::newRow("always") << 0 << 0 << 0;
    QTest::newRow("week") << 7 << 1 << 7;
    QTest::newRow("14 by hand") << 14 << 1 << 7;
    QTest::newRow("month") << 30 << 2 << 30;
    QTest::newRow("never") << -1 << 3 << -1;
    QTest::newRow("odd negative") << -5 << 1 << 7;
}

void TestPreferences::updateInterval()
{
    QFETCH(int, stored);
    QFETCH(int, shown);
    QFETCH(int, saved);
    FakeSettingsStore store;
    TMp3Prefs prefs(store);
    prefs.NrDaysBetweenUpdateChecks = stored;
    TfmPrefs window(nullptr, prefs);
    QCOMPARE(window.rgUpdateCheck->ItemIndex(), shown);
    QCOMPARE(window.rgUpdateCheck->Item(shown)->text(),
             (QStringList{"&Always", "Once a &week", "Once a &month", "&Never"}.at(shown)));
    window.SaveToPrefs();
    QCOMPARE(prefs.NrDaysBetweenUpdateChecks, saved);
}

void TestPreferences::controlsFollowTheSettings()
{
    FakeSettingsStore store;
    TMp3Prefs prefs(store);
    prefs.ConfirmItemRemoval = false;
    prefs.ConfirmItemCancel = true;
    prefs.ShowLookupSortNames = true;
    prefs.AutoIncrementIndex = false;
    prefs.PlaylistType = 1;
    TfmPrefs window(nullptr, prefs);
    QCOMPARE(window.pcPrefs->currentWidget(), window.tsGeneral);
    QVERIFY(!window.ckConfirmItemRemoval->isChecked());
    QVERIFY(window.ckConfirmItemCancel->isChecked());
    QVERIFY(window.ckShowLookupSortNames->isChecked());
    QVERIFY(!window.ckAutoIncIndex->isChecked());
    QCOMPARE(window.rgPlaylistExtension->ItemIndex(), 1);

    window.ckConfirmItemRemoval->setChecked(true);
    window.ckConfirmItemCancel->setChecked(false);
    window.ckShowLookupSortNames->setChecked(false);
    window.ckAutoIncIndex->setChecked(true);
    window.rgPlaylistExtension->SetItemIndex(0);
    window.SaveToPrefs();
    QVERIFY(prefs.ConfirmItemRemoval);
    QVERIFY(!prefs.ConfirmItemCancel);
    QVERIFY(!prefs.ShowLookupSortNames);
    QVERIFY(prefs.AutoIncrementIndex);
    QCOMPARE(prefs.PlaylistType, 0);
}

void TestPreferences::cancelKeepsSettingsButProxyKeepsItsOwn()
{
    FakeSettingsStore store;
    TMp3Prefs prefs(store);
    prefs.NrDaysBetweenUpdateChecks = 30;
    whenOpen<TfmPrefs>([](TfmPrefs *window) {
        window->ckConfirmItemRemoval->setChecked(!window->ckConfirmItemRemoval->isChecked());
        window->rgUpdateCheck->SetItemIndex(3);
        whenOpen<TfmProxySettings>([window](TfmProxySettings *proxy) {
            proxy->edProxyServer->setText(QStringLiteral("proxy.lan"));
            proxy->edProxyPassword->setText(QStringLiteral("pw"));
            proxy->btOK->click();
            QTimer::singleShot(0, window->btCancel, &QPushButton::click);
        });
        window->btProxy->click();
    });
    QVERIFY(!ShowPreferences(nullptr, prefs));
    QVERIFY(prefs.ConfirmItemRemoval);
    QCOMPARE(prefs.NrDaysBetweenUpdateChecks, 30);
    QCOMPARE(prefs.ProxySettings.Server, QStringLiteral("proxy.lan"));
    QCOMPARE(prefs.ProxySettings.Port, QStringLiteral("8080"));
    QCOMPARE(prefs.ProxySettings.Password, QStringLiteral("pw"));
}

void TestPreferences::proxyWindow()
{
    FakeSettingsStore store;
    TProxySettings proxy;
    proxy.UserID = QStringLiteral("me");
    TfmProxySettings window(nullptr, proxy, store);
    QCOMPARE(window.windowTitle(), QStringLiteral("Proxy Settings"));
    QCOMPARE(window.edProxyPort->text(), QStringLiteral("8080"));
    QCOMPARE(window.edProxyUser->text(), QStringLiteral("me"));
    QCOMPARE(window.edProxyPassword->echoMode(), QLineEdit::Password);
    window.edProxyServer->setText(QStringLiteral("  cache.example  "));
    window.reject();
    QCOMPARE(proxy.Server, QString());
    QVERIFY(store.ValueExists(QStringLiteral("WindowPlacement"), QStringLiteral("fmProxySettings")));
}

void TestPreferences::passwordOnlyInPrivateSettingsFile()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Tunebase.ini"));
    TMp3Prefs prefs(file);
    whenOpen<TfmPrefs>([](TfmPrefs *window) {
        whenOpen<TfmProxySettings>([window](TfmProxySettings *proxy) {
            proxy->edProxyServer->setText(QStringLiteral("proxy.lan"));
            proxy->edProxyPassword->setText(QStringLiteral("s3cret"));
            proxy->btOK->click();
            QTimer::singleShot(0, window->btOK, &QPushButton::click);
        });
        window->btProxy->click();
    });
    QVERIFY(ShowPreferences(nullptr, prefs));
    // Confirmed settings reach the file at once, readable by the user only.
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.readAll().contains("s3cret"));
    QCOMPARE(saved.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteGroup
                                    | QFileDevice::WriteOther),
             QFileDevice::Permissions());
}

QTEST_MAIN(TestPreferences)
// The code page of old tags: offered in the window, kept in the settings
// under its own key, and in effect as soon as OK is pressed.
void TestPreferences::legacyTagEncoding()
{
    FakeSettingsStore store;
    store.WriteString(QStringLiteral("Settings"), QStringLiteral("Legacy Tag Encoding"), QStringLiteral("koi8-r"));
    {
        TMp3Prefs prefs(store);
        QCOMPARE(prefs.LegacyTagEncoding, QStringLiteral("KOI8-R"));
        TfmPrefs window(nullptr, prefs);
        QComboBox *combo = window.findChild<QComboBox *>(QStringLiteral("cbLegacyEncoding"));
        QVERIFY(combo);
        QCOMPARE(combo->count(), 14);
        QCOMPARE(combo->currentData().toString(), QStringLiteral("KOI8-R"));
        combo->setCurrentIndex(combo->findData(QStringLiteral("Shift_JIS")));
        window.SaveToPrefs();
        QCOMPARE(prefs.LegacyTagEncoding, QStringLiteral("Shift_JIS"));
        QCOMPARE(LegacyTagEncoding(), QStringLiteral("Shift_JIS"));
    }
    QCOMPARE(store.ReadString(QStringLiteral("Settings"), QStringLiteral("Legacy Tag Encoding"), QString()),
             QStringLiteral("Shift_JIS"));
    SetLegacyTagEncoding(DefaultLegacyTagEncoding());

    // A name that is no offered code page reads as the default.
    store.WriteString(QStringLiteral("Settings"), QStringLiteral("Legacy Tag Encoding"), QStringLiteral("EBCDIC"));
    TMp3Prefs prefs(store);
    QCOMPARE(prefs.LegacyTagEncoding, DefaultLegacyTagEncoding());
}

#include "tst_preferences.moc"
