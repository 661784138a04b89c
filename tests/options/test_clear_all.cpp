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
        for (int n : tickedRows)
            if (sheet->row(n).AUTO_CALCULATE_TIMER->isEnabled())
                sheet->AUTO_CALCULATE_TIMER_Timer(n);
        if (sheet->AUTO_CALCULATE_USD_TIMER_TOTAL->isEnabled())
            sheet->AUTO_CALCULATE_USD_TIMER_TOTAL_Timer();
        if (sheet->AUTO_CALCULATE_TIMER_TOTAL->isEnabled())
            sheet->AUTO_CALCULATE_TIMER_TOTAL_Timer();
        if (typed)
            QVERIFY(sheet->row(4).TOTAL_USD_VALUATION_TEXTBOX->text() != zero);

        auto* w = Windows::get<SettingsWindow>();
        userClick(w->ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX);
        w->CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON->click();

        // The sheet: factory texts, every row and total frozen and red, names editable.
        for (int n = 1; n <= SheetWindow::Rows; ++n) {
            const WalletRow& r = sheet->row(n);
            QCOMPARE(r.WALLET_NAME_TEXTBOX->text(), QStringLiteral("Wallet Name"));
            for (TextBox* t :
                 {r.AMOUNT_IN_WALLET, r.CURRENT_DOLLAR_VALUATION, r.TOTAL_USD_VALUATION_TEXTBOX,
                  r.CONVERTED_VALUATION, r.TOTAL_VALUATION})
                QCOMPARE(t->text(), zero);
            QCOMPARE(r.AUTOMATIC_CALCULATIONS_TICKBOX->value(), 0);
            QVERIFY(!r.AUTO_CALCULATE_TIMER->isEnabled());
            for (TextBox* t :
                 {r.WALLET_NAME_TEXTBOX, r.TOTAL_USD_VALUATION_TEXTBOX, r.TOTAL_VALUATION})
                QCOMPARE(t->backColor(), colours::red);
            // A row that calculated is left black on red.
            if (typed && tickedRows.contains(n))
                QCOMPARE(r.WALLET_NAME_TEXTBOX->foreColor(), colours::black);
        }
        QCOMPARE(sheet->COMPLETE_USD_TOTAL_TEXTBOX->backColor(), colours::red);
        QCOMPARE(sheet->COMPLETE_TOTAL_TEXTBOX->backColor(), colours::red);
        // The coin-name change ran: the sheet and the main window show the name.
        QCOMPARE((QStringList{sheet->COMPLETE_USD_TOTAL_TEXTBOX->text(),
                              sheet->COMPLETE_TOTAL_TEXTBOX->text(),
                              sheet->EXCHANGE_RATE_TEXTBOX->text(),
                              sheet->CRYPTO_NAME_TEXTBOX->text(), sheet->windowTitle().right(12)}),
                 (QStringList{"TOTAL USD", "CONVERTED TOTAL", "Example: 0.70", "Example: BTC",
                              "Example: BTC"}));
        if (typed)
            QCOMPARE(main->CRYPTO_NAME_START_LABEL->text(), QStringLiteral("Example: BTC"));
        // Totals frozen, names editable; the settings window's lock off and
        // clear-all locked out until it closes.
        QCOMPARE((QList<int>{sheet->AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL->value(),
                             sheet->AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL->value(),
                             sheet->AUTO_CALCULATE_USD_TIMER_TOTAL->isEnabled(),
                             sheet->AUTO_CALCULATE_TIMER_TOTAL->isEnabled(), nameLockState(sheet),
                             w->NAME_CHANGE_LOCK_TICKBOX->value(),
                             w->CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON->isEnabled(),
                             w->ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX->isEnabled(),
                             w->ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX->value()}),
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
        w->OK_BUTTON->click();
        w = Windows::get<SettingsWindow>();
        QVERIFY(w->ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX->isEnabled());
        QVERIFY(!w->CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON->isEnabled());
    }
};

QTEST_MAIN(TestClearAll)
#include "test_clear_all.moc"
