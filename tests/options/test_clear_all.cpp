#include "frame/colours.h"
#include "tests/options/options_fixture.h"

#include <QTest>

using namespace vq;
using namespace vq::testing;

namespace {
const QString zero = QStringLiteral("00000000.00000000");
const QList<int> tickedRows{1, 4, 10};

// A sheet as a user leaves it: every field typed, some rows calculating.
Seed typedSheet(bool nameLock) {
    // clang-format off
    Seed s{{"CRYPTO_NAME", "BTC"}, {"EXCHANGE_RATE_TEXTBOX", "0.93"}, {"AUTOSAVE_TICKBOX", "1"},
           {"AlwaysOnTopTimer_TICKBOX", "1"}, {"AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL", "1"},
           {"AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL", "1"}, {"NAME_CHANGE_LOCK_TICKBOX", nameLock ? "1" : "0"}};
    // clang-format on
    for (int n = 1; n <= SheetWindow::Rows; ++n) {
        s[keys::walletName(n).name] = QStringLiteral("Cold %1").arg(n);
        s[keys::amountInWallet(n).name] = QStringLiteral("%1.25").arg(n);
        s[keys::currentDollarValuation(n).name] = QStringLiteral("4%1000").arg(n);
        s[keys::rowTick(n).name] = tickedRows.contains(n) ? "1" : "0";
    }
    return s;
}
} // namespace

class TestClearAll : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerWindows(); }
    void init() { useFreshStore(); }
    void cleanup() { unloadAll(); }

    void clearAll_data() {
        QTest::addColumn<Seed>("seed");
        QTest::addColumn<bool>("typed");
        QTest::newRow("typed, ticked rows, name lock on") << typedSheet(true) << true;
        QTest::newRow("typed, ticked rows, name lock off") << typedSheet(false) << true;
        QTest::newRow("factory sheet") << Seed{} << false; // the coin name is stored all the same
    }
    void clearAll() {
        QFETCH(Seed, seed);
        QFETCH(bool, typed);
        seedStore(seed);
        auto* main = Windows::get<MainWindow>();
        auto* sheet = Windows::get<SheetWindow>();
        // One round of the running timers, so that results and colours show.
        QStringList timers{"AUTO_CALCULATE_USD_TIMER_TOTAL", "AUTO_CALCULATE_TIMER_TOTAL"};
        for (int n : tickedRows)
            timers.prepend(QStringLiteral("AUTO_CALCULATE_TIMER_%1").arg(n));
        for (const QString& t : timers)
            if (control<Timer>(sheet, t)->isEnabled())
                fire(sheet, t);
        if (typed)
            QVERIFY(cell(sheet, "TOTAL_USD_VALUATION_TEXTBOX", 4)->text() != zero);

        auto* w = Windows::get<SettingsWindow>();
        click(w, armingBox);
        click(w, clearAllButton);

        // The sheet: factory texts, every row and total frozen and red, names editable.
        for (int n = 1; n <= SheetWindow::Rows; ++n) {
            QCOMPARE(cell(sheet, "WALLET_NAME_TEXTBOX", n)->text(), QStringLiteral("Wallet Name"));
            for (const char* f :
                 {"AMOUNT_IN_WALLET", "CURRENT_DOLLAR_VALUATION", "TOTAL_USD_VALUATION_TEXTBOX",
                  "CONVERTED_VALUATION", "TOTAL_VALUATION"})
                QCOMPARE(cell(sheet, f, n)->text(), zero);
            QCOMPARE(cell<TickBox>(sheet, "AUTOMATIC_CALCULATIONS_TICKBOX", n)->value(), 0);
            QVERIFY(!cell<Timer>(sheet, "AUTO_CALCULATE_TIMER", n)->isEnabled());
            for (const char* f :
                 {"WALLET_NAME_TEXTBOX", "TOTAL_USD_VALUATION_TEXTBOX", "TOTAL_VALUATION"})
                QCOMPARE(cell(sheet, f, n)->backColor(), colours::red);
            // A row that calculated is left black on red.
            if (typed && tickedRows.contains(n))
                QCOMPARE(cell(sheet, "WALLET_NAME_TEXTBOX", n)->foreColor(), colours::black);
        }
        const auto box = [sheet](const char* name) { return control<TextBox>(sheet, name); };
        QCOMPARE(box("COMPLETE_USD_TOTAL_TEXTBOX")->backColor(), colours::red);
        QCOMPARE(box("COMPLETE_TOTAL_TEXTBOX")->backColor(), colours::red);
        // The coin-name change ran: the sheet and the main window show the name.
        QCOMPARE((QStringList{box("COMPLETE_USD_TOTAL_TEXTBOX")->text(),
                              box("COMPLETE_TOTAL_TEXTBOX")->text(),
                              box("EXCHANGE_RATE_TEXTBOX")->text(),
                              box("CRYPTO_NAME_TEXTBOX")->text(), sheet->windowTitle().right(12)}),
                 (QStringList{"TOTAL USD", "CONVERTED TOTAL", "Example: 0.70", "Example: BTC",
                              "Example: BTC"}));
        if (typed)
            QCOMPARE(control<QLabel>(main, "CRYPTO_NAME_START_LABEL")->text(),
                     QStringLiteral("Example: BTC"));
        // Totals frozen, names editable; the settings window's lock off and
        // clear-all locked out until it closes.
        const auto tick = [](const QObject* on, const QString& name) {
            return control<TickBox>(on, name)->value();
        };
        QCOMPARE((QList<int>{tick(sheet, "AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL"),
                             tick(sheet, "AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL"),
                             control<Timer>(sheet, "AUTO_CALCULATE_USD_TIMER_TOTAL")->isEnabled(),
                             control<Timer>(sheet, "AUTO_CALCULATE_TIMER_TOTAL")->isEnabled(),
                             nameLockState(sheet), tick(w, "NAME_CHANGE_LOCK_TICKBOX"),
                             control(w, clearAllButton)->isEnabled(),
                             control(w, armingBox)->isEnabled(), tick(w, armingBox)}),
                 QList<int>(9, 0));
        QCOMPARE(Windows::find<SettingsWindow>(), w);

        // The store: the 33 keys overwritten, everything else (row ticks too) as it was.
        const auto was = [&](const keys::Key& k) { return seed.value(k.name, "<none>"); };
        for (int n = 1; n <= SheetWindow::Rows; ++n)
            QCOMPARE(
                (QStringList{stored(keys::walletName(n)), stored(keys::amountInWallet(n)),
                             stored(keys::currentDollarValuation(n)), stored(keys::rowTick(n))}),
                (QStringList{"Wallet Name", zero, zero, was(keys::rowTick(n))}));
        QCOMPARE((QStringList{stored(keys::cryptoNameForSheet), stored(keys::exchangeRate),
                              stored(keys::nameChangeLock), stored(keys::usdTotalTick),
                              stored(keys::convertedTotalTick), stored(keys::autosave),
                              stored(keys::settingsWindow.left)}),
                 (QStringList{"Example: BTC", "Example: 0.70", "0", was(keys::usdTotalTick),
                              was(keys::convertedTotalTick), was(keys::autosave), "<none>"}));
        // What was written is on disk, not only in memory.
        QVERIFY(!Store::instance().hasPending());
        QVERIFY(!storeFileContents().contains("Cold "));

        // A fresh window is armed again.
        click(w, "OK_BUTTON");
        w = Windows::get<SettingsWindow>();
        QVERIFY(control(w, armingBox)->isEnabled());
        QVERIFY(!control(w, clearAllButton)->isEnabled());
    }
};

QTEST_MAIN(TestClearAll)
#include "test_clear_all.moc"
