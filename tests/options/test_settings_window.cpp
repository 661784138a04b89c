#include "tests/options/options_fixture.h"

#include <QTest>

using namespace vq;
using namespace vq::testing;

class TestSettingsWindow : public QObject {
    Q_OBJECT

    MainWindow* main = nullptr;
    SheetWindow* sheet = nullptr;

    // The settings window over the sheet, and the main window unless it was closed.
    SettingsWindow* openOver(const Seed& seed = {}, bool withMain = true) {
        seedStore(seed);
        main = withMain ? Windows::get<MainWindow>() : nullptr;
        sheet = Windows::get<SheetWindow>();
        return Windows::get<SettingsWindow>();
    }
    bool onTopRuns() const { return control<Timer>(main, "AlwaysOnTopTimer")->isEnabled(); }
    bool autoSaveRuns() const { return control<Timer>(sheet, "AUTOSAVE_TIMER")->isEnabled(); }

private slots:
    void initTestCase() { registerWindows(); }
    void init() { useFreshStore(); }
    void cleanup() { unloadAll(); }

    // Opening re-applies every stored switch to the other windows, even where
    // they have drifted from the store since the sheet loaded.
    void loadReappliesStoredSwitches_data() {
        QTest::addColumn<Seed>("seed");
        QTest::addColumn<int>("autosave");
        QTest::addColumn<int>("onTop");
        QTest::addColumn<int>("nameLock");
        QTest::addColumn<QStringList>("keysAfterLoad"); // autosave, on top, name lock

        // clang-format off
        QTest::newRow("empty store") << Seed{} << 0 << 0 << 0 << QStringList{"<none>", "0", "<none>"};
        QTest::newRow("all on") << Seed{{"AUTOSAVE_TICKBOX", "1"}, {"AlwaysOnTopTimer_TICKBOX", "1"}, {"NAME_CHANGE_LOCK_TICKBOX", "1"}}
            << 1 << 1 << 1 << QStringList{"1", "1", "1"};
        QTest::newRow("garbage counts as default") << Seed{{"AUTOSAVE_TICKBOX", "yes"}, {"AlwaysOnTopTimer_TICKBOX", "on"}, {"NAME_CHANGE_LOCK_TICKBOX", ""}}
            << 0 << 0 << 0 << QStringList{"yes", "0", ""};
        // clang-format on
    }
    void loadReappliesStoredSwitches() {
        QFETCH(Seed, seed);
        QFETCH(int, autosave);
        QFETCH(int, onTop);
        QFETCH(int, nameLock);
        QFETCH(QStringList, keysAfterLoad);

        seedStore(seed);
        main = Windows::get<MainWindow>();
        sheet = Windows::get<SheetWindow>();
        QVERIFY(onTopRuns()); // the main window's own default is on
        // Undo what the sheet's own load applied.
        sheet->setAutoSave(false);
        sheet->setNamesLocked(false);
        auto* w = Windows::get<SettingsWindow>();
        const auto tick = [w](const char* name) { return control<TickBox>(w, name)->value(); };
        QCOMPARE((QList<int>{tick("AUTOSAVE_TICKBOX"), tick("AlwaysOnTopTimer_TICKBOX"),
                             tick("NAME_CHANGE_LOCK_TICKBOX"), autoSaveRuns(), nameLockState(sheet),
                             onTopRuns()}),
                 (QList<int>{autosave, onTop, nameLock, autosave, nameLock, onTop}));
        const auto switches = [] {
            return QStringList{stored(keys::autosave), stored(keys::alwaysOnTopForSettings),
                               stored(keys::nameChangeLock)};
        };
        QCOMPARE(switches(), keysAfterLoad);
        w->close();
        QCOMPARE(switches(), (QStringList{QString::number(autosave), QString::number(onTop),
                                          QString::number(nameLock)}));
    }

    void switchClickActsAndStores_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("withMain");
        QTest::newRow("always on top") << "AlwaysOnTopTimer_TICKBOX" << true;
        QTest::newRow("always on top, main window closed") << "AlwaysOnTopTimer_TICKBOX" << false;
        QTest::newRow("auto-save") << "AUTOSAVE_TICKBOX" << true;
        QTest::newRow("name lock") << "NAME_CHANGE_LOCK_TICKBOX" << true;
    }
    void switchClickActsAndStores() {
        QFETCH(QString, box);
        QFETCH(bool, withMain);
        auto* w = openOver({}, withMain);
        auto* tick = control<TickBox>(w, box);
        const keys::Key key{box, "<none>"};
        auto effect = [&]() -> bool {
            if (box == "AlwaysOnTopTimer_TICKBOX") // skipped without a main window
                return main ? onTopRuns() : tick->value() == 1;
            if (box == "AUTOSAVE_TICKBOX")
                return autoSaveRuns();
            return nameLockState(sheet) == 1;
        };
        const int start = tick->value();
        for (int i = 1; i <= 3; ++i) {
            click(w, box);
            const int now = i % 2 ? 1 - start : start;
            QCOMPARE(tick->value(), now);
            QCOMPARE(effect(), now == 1);
            QCOMPARE(Store::instance().read(key), QString::number(now));
        }
        QCOMPARE(Windows::find<MainWindow>() != nullptr, withMain);
        // The amounts and prices are never locked.
        QVERIFY(!cell(sheet, "AMOUNT_IN_WALLET", 1)->locked());
        QVERIFY(!control<TextBox>(sheet, "EXCHANGE_RATE_TEXTBOX")->locked());
    }

    // OK and the close box store the same; arming lasts one instance, never stored.
    void okAndCloseBoxStoreTheSame_data() {
        QTest::addColumn<bool>("viaOk");
        QTest::newRow("OK") << true;
        QTest::newRow("close box") << false;
    }
    void okAndCloseBoxStoreTheSame() {
        QFETCH(bool, viaOk);
        auto* w = openOver({{"NAME_CHANGE_LOCK_TICKBOX", "1"}});
        w->setLeft(2400);
        w->setTop(1800);
        click(w, "AUTOSAVE_TICKBOX");
        click(w, "AlwaysOnTopTimer_TICKBOX");
        click(w, "NAME_CHANGE_LOCK_TICKBOX");
        // Unload stores the boxes as they stand, whatever the store came to hold since.
        for (const auto& k : {keys::nameChangeLock, keys::autosave, keys::alwaysOnTopForSettings})
            Store::instance().write(k, QStringLiteral("x"));
        for (bool armed : {true, false, true}) {
            click(w, armingBox);
            QCOMPARE(control(w, clearAllButton)->isEnabled(), armed);
        }
        if (viaOk)
            click(w, "OK_BUTTON");
        else
            w->close();
        QVERIFY(!Windows::find<SettingsWindow>());
        const auto& g = keys::settingsWindow;
        QCOMPARE((QStringList{stored(g.left), stored(g.top), stored(keys::nameChangeLock),
                              stored(keys::autosave), stored(keys::alwaysOnTopForSettings),
                              stored(g.width), stored(g.height)}),
                 (QStringList{"2400", "1800", "0", "1", "1", "<none>", "<none>"}));
        // The switches' effects outlive the window.
        QVERIFY(autoSaveRuns());
        QVERIFY(onTopRuns());

        QVERIFY(!testing::storeFileContents().contains("ENABLE_CLEAR"));
        w = Windows::get<SettingsWindow>();
        QCOMPARE(w->Left(), 2400.0);
        QCOMPARE(w->Top(), 1800.0);
        QCOMPARE(control<TickBox>(w, armingBox)->value(), 0);
        QVERIFY(!control(w, clearAllButton)->isEnabled());
    }
};

QTEST_MAIN(TestSettingsWindow)
#include "test_settings_window.moc"
