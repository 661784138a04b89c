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
        QVERIFY(main && sheet);
        QVERIFY(main->AlwaysOnTopTimer->isEnabled()); // the main window's own default is on
        // Undo what the sheet's own load applied.
        sheet->AUTOSAVE_TICKBOX->setValue(0);
        sheet->AUTOSAVE_TIMER->setEnabled(false);
        sheet->CRYPTO_NAME_TEXTBOX->setLocked(false);
        for (int n = 1; n <= SheetWindow::Rows; ++n)
            sheet->row(n).WALLET_NAME_TEXTBOX->setLocked(false);
        auto* w = Windows::get<SettingsWindow>();
        // The main window's own copy of the switch (last) is set only by its load.
        QCOMPARE((QList<int>{w->AUTOSAVE_TICKBOX->value(), w->AlwaysOnTopTimer_TICKBOX->value(),
                             w->NAME_CHANGE_LOCK_TICKBOX->value(), sheet->AUTOSAVE_TICKBOX->value(),
                             sheet->AUTOSAVE_TIMER->isEnabled(), nameLockState(sheet),
                             main->AlwaysOnTopTimer->isEnabled(),
                             main->AlwaysOnTopTimer_TICKBOX->value()}),
                 (QList<int>{autosave, onTop, nameLock, autosave, autosave, nameLock, onTop, 1}));
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
        auto* tick = w->findChild<TickBox*>(box);
        QVERIFY(tick);
        const keys::Key key{box, "<none>"};
        auto effect = [&]() -> bool {
            if (box == "AlwaysOnTopTimer_TICKBOX") // skipped without a main window
                return main ? main->AlwaysOnTopTimer->isEnabled() : tick->value() == 1;
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
        QCOMPARE(Windows::find<MainWindow>() != nullptr, withMain);
        // The amounts and prices are never locked.
        QVERIFY(!sheet->row(1).AMOUNT_IN_WALLET->locked());
        QVERIFY(!sheet->EXCHANGE_RATE_TEXTBOX->locked());
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
        userClick(w->AUTOSAVE_TICKBOX);
        userClick(w->AlwaysOnTopTimer_TICKBOX);
        // Values changed behind the handlers' backs are still what unload stores.
        w->NAME_CHANGE_LOCK_TICKBOX->blockSignals(true);
        w->NAME_CHANGE_LOCK_TICKBOX->setValue(0);
        w->NAME_CHANGE_LOCK_TICKBOX->blockSignals(false);
        for (bool armed : {true, false, true}) {
            userClick(w->ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX);
            QCOMPARE(w->CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON->isEnabled(), armed);
        }
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

        QVERIFY(!testing::storeFileContents().contains("ENABLE_CLEAR"));
        w = Windows::get<SettingsWindow>();
        QCOMPARE(w->Left(), 2400.0);
        QCOMPARE(w->Top(), 1800.0);
        QCOMPARE(w->ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX->value(), 0);
        QVERIFY(!w->CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON->isEnabled());
    }
};

QTEST_MAIN(TestSettingsWindow)
#include "test_settings_window.moc"
