#include "tests/options/options_fixture.h"

#include <QTest>

using namespace vq;
using namespace vq::testing;

class TestSettingsWindow : public QObject {
    Q_OBJECT

    MainWindow* main = nullptr;
    SheetWindow* sheet = nullptr;

    SettingsWindow* openOver(const Seed& seed = {}) {
        seedStore(seed);
        main = Windows::get<MainWindow>();
        sheet = Windows::get<SheetWindow>();
        return Windows::get<SettingsWindow>();
    }

private slots:
    void initTestCase() { registerWindows(); }
    void init() { useFreshStore(); }
    void cleanup() { unloadAll(); }

    void designState() {
        SettingsWindow w;
        QCOMPARE(w.windowTitle(), QStringLiteral("VELMORA - QUORIX-V2 - SETTINGS"));
        QCOMPARE(w.ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX->text(),
                 QStringLiteral("Enable \"Clear All Saved Crypto Data\" Button"));
        QCOMPARE(w.AlwaysOnTopTimer_TICKBOX->value(), 1);
        QCOMPARE(w.AUTOSAVE_TICKBOX->value(), 0);
        QCOMPARE(w.NAME_CHANGE_LOCK_TICKBOX->value(), 0);
        QCOMPARE(w.ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX->value(), 0);
        QVERIFY(!w.CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON->isEnabled());
        QVERIFY(w.ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX->isEnabled());
        QVERIFY(w.windowFlags().testFlag(Qt::Tool));
        QVERIFY(!w.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));

        QStringList order;
        QWidget* first = w.NAME_CHANGE_LOCK_TICKBOX;
        for (QWidget* c = first; order.size() < 6; c = c->nextInFocusChain())
            if (c->focusPolicy() & Qt::TabFocus)
                order << c->objectName();
        QCOMPARE(order, (QStringList{"NAME_CHANGE_LOCK_TICKBOX", "AUTOSAVE_TICKBOX",
                                     "CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON",
                                     "ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX",
                                     "AlwaysOnTopTimer_TICKBOX", "OK_BUTTON"}));
    }

    // Opening re-applies every stored switch to the other windows, even where
    // they have drifted from the store since the sheet loaded.
    void loadReappliesStoredSwitches_data() {
        QTest::addColumn<Seed>("seed");
        QTest::addColumn<int>("autosave");
        QTest::addColumn<int>("onTop");
        QTest::addColumn<int>("nameLock");
        QTest::addColumn<QStringList>("keysAfterLoad"); // autosave, on top, name lock

        QTest::newRow("empty store")
            << Seed{} << 0 << 0 << 0 << QStringList{"<none>", "0", "<none>"};
        QTest::newRow("all on") << Seed{{"AUTOSAVE_TICKBOX", "1"},
                                        {"AlwaysOnTopTimer_TICKBOX", "1"},
                                        {"NAME_CHANGE_LOCK_TICKBOX", "1"}}
                                << 1 << 1 << 1 << QStringList{"1", "1", "1"};
        QTest::newRow("garbage counts as default") << Seed{{"AUTOSAVE_TICKBOX", "yes"},
                                                           {"AlwaysOnTopTimer_TICKBOX", "on"},
                                                           {"NAME_CHANGE_LOCK_TICKBOX", ""}}
                                                   << 0 << 0 << 0 << QStringList{"yes", "0", ""};
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
        QVERIFY(main && sheet);
        QVERIFY(main->AlwaysOnTopTimer->isEnabled()); // the main window's own default is on
        // Undo what the sheet's own load applied.
        sheet->AUTOSAVE_TICKBOX->setValue(0);
        sheet->AUTOSAVE_TIMER->setEnabled(false);
        sheet->CRYPTO_NAME_TEXTBOX->setLocked(false);
        for (int n = 1; n <= SheetWindow::Rows; ++n)
            sheet->row(n).WALLET_NAME_TEXTBOX->setLocked(false);

        auto* w = Windows::get<SettingsWindow>();
        QVERIFY(w);
        QCOMPARE(w->AUTOSAVE_TICKBOX->value(), autosave);
        QCOMPARE(w->AlwaysOnTopTimer_TICKBOX->value(), onTop);
        QCOMPARE(w->NAME_CHANGE_LOCK_TICKBOX->value(), nameLock);
        QCOMPARE(sheet->AUTOSAVE_TICKBOX->value(), autosave);
        QCOMPARE(sheet->AUTOSAVE_TIMER->isEnabled(), autosave == 1);
        QCOMPARE(nameLockState(sheet), nameLock);
        QCOMPARE(main->AlwaysOnTopTimer->isEnabled(), onTop == 1);
        // The main window's own copy of the switch is set only by its load.
        QCOMPARE(main->AlwaysOnTopTimer_TICKBOX->value(), 1);
        QCOMPARE((QStringList{stored(keys::autosave), stored(keys::alwaysOnTopForSettings),
                              stored(keys::nameChangeLock)}),
                 keysAfterLoad);

        w->close();
        QCOMPARE((QStringList{stored(keys::autosave), stored(keys::alwaysOnTopForSettings),
                              stored(keys::nameChangeLock)}),
                 (QStringList{QString::number(autosave), QString::number(onTop),
                              QString::number(nameLock)}));
    }

    void switchClickActsAndStores_data() {
        QTest::addColumn<QString>("box");
        QTest::newRow("always on top") << "AlwaysOnTopTimer_TICKBOX";
        QTest::newRow("auto-save") << "AUTOSAVE_TICKBOX";
        QTest::newRow("name lock") << "NAME_CHANGE_LOCK_TICKBOX";
    }
    void switchClickActsAndStores() {
        QFETCH(QString, box);
        auto* w = openOver();
        auto* tick = w->findChild<TickBox*>(box);
        QVERIFY(tick);
        const keys::Key key{box, "<none>"};
        auto effect = [&]() -> bool {
            if (box == "AlwaysOnTopTimer_TICKBOX")
                return main->AlwaysOnTopTimer->isEnabled();
            if (box == "AUTOSAVE_TICKBOX")
                return sheet->AUTOSAVE_TICKBOX->value() == 1 && sheet->AUTOSAVE_TIMER->isEnabled();
            return nameLockState(sheet) == 1;
        };
        const int start = tick->value();
        for (int i = 1; i <= 3; ++i) {
            userClick(tick);
            const int now = i % 2 ? 1 - start : start;
            QCOMPARE(tick->value(), now);
            QCOMPARE(effect(), now == 1);
            QCOMPARE(Store::instance().read(key), QString::number(now));
        }
        // The amounts and prices are never locked.
        QVERIFY(!sheet->row(1).AMOUNT_IN_WALLET->locked());
        QVERIFY(!sheet->EXCHANGE_RATE_TEXTBOX->locked());
    }

    void switchesSkipAnAbsentMainWindow() {
        sheet = Windows::get<SheetWindow>(); // a sheet left open on its own
        auto* w = Windows::get<SettingsWindow>();
        QVERIFY(w);
        userClick(w->AlwaysOnTopTimer_TICKBOX);
        QVERIFY(!Windows::find<MainWindow>());
        QCOMPARE(stored(keys::alwaysOnTopForSettings), QStringLiteral("1"));
    }

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
        userClick(w->AUTOSAVE_TICKBOX);
        userClick(w->AlwaysOnTopTimer_TICKBOX);
        // Values changed behind the handlers' backs are still what unload stores.
        w->NAME_CHANGE_LOCK_TICKBOX->blockSignals(true);
        w->NAME_CHANGE_LOCK_TICKBOX->setValue(0);
        w->NAME_CHANGE_LOCK_TICKBOX->blockSignals(false);
        if (viaOk)
            w->OK_BUTTON->click();
        else
            w->close();
        QVERIFY(!Windows::find<SettingsWindow>());
        const auto& g = keys::settingsWindow;
        QCOMPARE((QStringList{stored(g.left), stored(g.top), stored(keys::nameChangeLock),
                              stored(keys::autosave), stored(keys::alwaysOnTopForSettings),
                              stored(g.width), stored(g.height)}),
                 (QStringList{"2400", "1800", "0", "1", "1", "<none>", "<none>"}));
        // The switches' effects outlive the window.
        QVERIFY(sheet->AUTOSAVE_TIMER->isEnabled());
        QVERIFY(main->AlwaysOnTopTimer->isEnabled());

        w = Windows::get<SettingsWindow>();
        QCOMPARE(w->Left(), 2400.0);
        QCOMPARE(w->Top(), 1800.0);
    }

    void armingLastsOneInstance() {
        auto* w = openOver();
        auto* arm = w->ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX;
        userClick(arm);
        QVERIFY(w->CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON->isEnabled());
        userClick(arm);
        QVERIFY(!w->CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON->isEnabled());
        userClick(arm);
        w->OK_BUTTON->click();
        QVERIFY(!testing::storeFileContents().contains("ENABLE_CLEAR"));

        w = Windows::get<SettingsWindow>();
        QCOMPARE(w->ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX->value(), 0);
        QVERIFY(!w->CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON->isEnabled());
    }
};

QTEST_MAIN(TestSettingsWindow)
#include "test_settings_window.moc"
