// The wallet sheet as a window: loading, saving, valuation through its handlers,
// colours, the coin name, the calculators and the status bar.

#include "frame/colours.h"
#include "frame/main_window.h"
#include "frame/windows.h"
#include "settings/keys.h"
#include "settings/store.h"
#include "sheet/sheet_window.h"
#include "tests/support/testing.h"

#include <QTest>

using namespace vq;
using vq::testing::seedStore;

namespace {

const QString design = QStringLiteral("00000000.00000000");

SheetWindow* openSheet() {
    return Windows::get<SheetWindow>();
}
MainWindow* openMain() {
    return Windows::get<MainWindow>();
}

// What a read of the key finds, with a default no stored text can equal.
QString stored(const keys::Key& key) {
    return Store::instance().read(key.name, QStringLiteral("<missing>"));
}

// A fully typed sheet as the store would hold it.
QMap<QString, QString> seededSheet() {
    QMap<QString, QString> m{{keys::sheet.left.name, "3000"},
                             {keys::sheet.top.name, "2000"},
                             {keys::cryptoNameForSheet.name, "BTC"},
                             {keys::exchangeRate.name, "0.7"},
                             {keys::usdTotalTick.name, "1"},
                             {keys::convertedTotalTick.name, "1"},
                             {keys::autosave.name, "1"},
                             {keys::nameChangeLock.name, "1"}};
    for (int n = 1; n <= 10; ++n) {
        m[keys::walletName(n).name] = QStringLiteral("Wallet %1").arg(n);
        m[keys::amountInWallet(n).name] = QString::number(n);
        m[keys::currentDollarValuation(n).name] = QString::number(100 * n);
        m[keys::rowTick(n).name] = n == 4 ? "1" : n == 7 ? "2" : n == 9 ? "abc" : "0";
    }
    return m;
}

} // namespace

class TestSheetWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        testing::setUpTestApplication();
        Windows::registerFactory(WindowKind::Main, [] { return new MainWindow; });
        registerSheetWindow();
    }

    void init() { testing::useFreshStore(); }

    void cleanup() {
        testing::unloadAll();
        QLocale::setDefault(QLocale::c());
    }

    void loadFromEmptyStore() {
        MainWindow* main = openMain();
        SheetWindow* s = openSheet();
        QCOMPARE(s->windowTitle(), QStringLiteral("VELMORA - QUORIX-V2 - Example: BTC"));
        QCOMPARE(stored(keys::cryptoNameForSheet), QStringLiteral("<missing>"));
        QCOMPARE(main->CRYPTO_NAME_START_LABEL->text(), QStringLiteral("CRYPTO-NAME"));
        QCOMPARE(s->EXCHANGE_RATE_TEXTBOX->text(), QStringLiteral("Example: 0.70"));
        for (int n = 1; n <= 10; ++n) {
            WalletRow& r = s->row(n);
            QCOMPARE(r.WALLET_NAME_TEXTBOX->text(), QStringLiteral("Wallet Name"));
            QCOMPARE(r.AMOUNT_IN_WALLET->text(), QStringLiteral("0"));
            QCOMPARE(r.CURRENT_DOLLAR_VALUATION->text(), QStringLiteral("0"));
            QCOMPARE(r.TOTAL_USD_VALUATION_TEXTBOX->text(), design);
            QCOMPARE(r.TOTAL_VALUATION->backColor(), colours::red);
            QVERIFY(!r.AUTO_CALCULATE_TIMER->isEnabled());
            QCOMPARE(r.AUTO_CALCULATE_TIMER->interval(), 1000);
            QVERIFY(!r.WALLET_NAME_TEXTBOX->locked());
        }
        QVERIFY(testing::control<Timer>(s, "DISABLE_BUTTONS_TIMER")->isRunning());
        for (Timer* t :
             {s->AUTO_CALCULATE_TIMER_TOTAL, s->AUTO_CALCULATE_USD_TIMER_TOTAL, s->AUTOSAVE_TIMER})
            QVERIFY(!t->isEnabled());
        QCOMPARE(s->AUTOSAVE_TIMER->interval(), 60000);
        QVERIFY(!testing::control(s, "ADD_BUTTON")->isEnabled());
        QVERIFY(!testing::control(s, "CLEAR_BUTTON")->isEnabled());
        QVERIFY(testing::control<TextBox>(s, "INPUT_A_TEXTBOX")->text().isEmpty());
        QCOMPARE(s->COMPLETE_TOTAL_TEXTBOX->text(), QStringLiteral("CONVERTED TOTAL"));
    }

    void loadFromSeededStore() {
        MainWindow* main = openMain();
        seedStore(seededSheet());
        SheetWindow* s = openSheet();
        // The restored name ran the coin-name change.
        QCOMPARE(s->windowTitle(), QStringLiteral("VELMORA - QUORIX-V2 - BTC"));
        QCOMPARE(main->CRYPTO_NAME_START_LABEL->text(), QStringLiteral("BTC"));
        QCOMPARE(s->Left(), 3000.0);
        QCOMPARE(s->Top(), 2000.0);
        QCOMPARE(s->EXCHANGE_RATE_TEXTBOX->text(), QStringLiteral("0.7"));
        QCOMPARE(s->row(3).WALLET_NAME_TEXTBOX->text(), QStringLiteral("Wallet 3"));
        QCOMPARE(s->row(10).CURRENT_DOLLAR_VALUATION->text(), QStringLiteral("1000"));

        // Row 4 ticked: calculating, value fields on the window background at
        // once, the wallet name still red until the first tick.
        WalletRow& r4 = s->row(4);
        QCOMPARE(r4.AUTOMATIC_CALCULATIONS_TICKBOX->value(), 1);
        QVERIFY(r4.AUTO_CALCULATE_TIMER->isRunning());
        QCOMPARE(r4.TOTAL_USD_VALUATION_TEXTBOX->backColor(), colours::windowBackground);
        QCOMPARE(r4.TOTAL_VALUATION->backColor(), colours::windowBackground);
        QCOMPARE(r4.WALLET_NAME_TEXTBOX->backColor(), colours::red);
        QCOMPARE(r4.TOTAL_USD_VALUATION_TEXTBOX->text(), design);
        // Row 7 stored as "2": greyed, coloured as off, yet its timer runs.
        WalletRow& r7 = s->row(7);
        QCOMPARE(r7.AUTOMATIC_CALCULATIONS_TICKBOX->value(), 2);
        QCOMPARE(r7.TOTAL_VALUATION->backColor(), colours::red);
        QCOMPARE(r7.WALLET_NAME_TEXTBOX->foreColor(), colours::black);
        QVERIFY(r7.AUTO_CALCULATE_TIMER->isRunning());
        // Row 9's text does not convert: the key's default, off.
        QCOMPARE(s->row(9).AUTOMATIC_CALCULATIONS_TICKBOX->value(), 0);
        QVERIFY(!s->row(9).AUTO_CALCULATE_TIMER->isEnabled());
        QVERIFY(!s->row(1).AUTO_CALCULATE_TIMER->isEnabled());

        QVERIFY(s->AUTO_CALCULATE_TIMER_TOTAL->isRunning());
        QVERIFY(s->AUTO_CALCULATE_USD_TIMER_TOTAL->isRunning());
        QCOMPARE(s->COMPLETE_TOTAL_TEXTBOX->backColor(), colours::windowBackground);
        QCOMPARE(s->COMPLETE_USD_TOTAL_TEXTBOX->backColor(), colours::windowBackground);
        QCOMPARE(s->AUTOSAVE_TICKBOX->value(), 1);
        QVERIFY(s->AUTOSAVE_TIMER->isRunning());
        // The name lock covers the coin name and the wallet names only.
        QCOMPARE(s->NAME_CHANGE_LOCK_TICKBOX->value(), 1);
        QVERIFY(s->CRYPTO_NAME_TEXTBOX->locked());
        for (int n = 1; n <= 10; ++n) {
            QVERIFY(s->row(n).WALLET_NAME_TEXTBOX->locked());
            QVERIFY(!s->row(n).AMOUNT_IN_WALLET->locked());
            QVERIFY(!s->row(n).CURRENT_DOLLAR_VALUATION->locked());
        }
        QVERIFY(!s->EXCHANGE_RATE_TEXTBOX->locked());
    }

    // Empty texts stay empty, and the keys are written in their order.
    void saveThenLoadRestoresEverything() {
        SheetWindow* s = openSheet();
        s->CRYPTO_NAME_TEXTBOX->setText(QStringLiteral("ETH"));
        s->EXCHANGE_RATE_TEXTBOX->setText(QString());
        s->row(1).WALLET_NAME_TEXTBOX->setText(QString());
        s->row(2).AMOUNT_IN_WALLET->setText(QString());
        s->row(3).AMOUNT_IN_WALLET->setText(QStringLiteral("1,5 coins"));
        s->row(10).CURRENT_DOLLAR_VALUATION->setText(QStringLiteral("Example: 0.70"));
        s->row(5).AUTOMATIC_CALCULATIONS_TICKBOX->setValue(1);
        s->AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL->setValue(1);
        QStringList order{keys::sheet.left.name, keys::sheet.top.name,
                          keys::cryptoNameForSheet.name, keys::exchangeRate.name};
        for (auto key :
             {keys::walletName, keys::amountInWallet, keys::currentDollarValuation, keys::rowTick})
            for (int n = 1; n <= 10; ++n)
                order << key(n).name;
        order << keys::usdTotalTick.name << keys::convertedTotalTick.name;
        for (bool withPosition : {true, false}) {
            QStringList names;
            for (const auto& f : s->savedFields(withPosition))
                names << f.first;
            QCOMPARE(names, withPosition ? order : order.mid(2));
        }
        const auto before = s->savedFields(false);
        s->CLOSE_BUTTON_Click();
        QCOMPARE(Windows::find(WindowKind::Sheet), nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        SheetWindow* again = openSheet();
        QCOMPARE(again->savedFields(false), before);
        QVERIFY(again->row(5).AUTO_CALCULATE_TIMER->isRunning());
        QVERIFY(!again->AUTO_CALCULATE_USD_TIMER_TOTAL->isEnabled());
        QCOMPARE(again->row(2).AMOUNT_IN_WALLET->text(), QString());
        QCOMPARE(stored(keys::exchangeRate), QString());
    }

    void eachWayOfSaving_data() {
        QTest::addColumn<QString>("how");
        for (const char* how : {"auto-save", "close box", "lock button"})
            QTest::newRow(how) << QString::fromLatin1(how);
    }

    // The auto-save writes the fields but not the position and leaves the sheet
    // open; the close box and the lock button (no lock window here) save and close.
    void eachWayOfSaving() {
        QFETCH(QString, how);
        SheetWindow* s = openSheet();
        s->row(2).AMOUNT_IN_WALLET->setText(QStringLiteral("42"));
        s->row(6).AUTOMATIC_CALCULATIONS_TICKBOX->setValue(1);
        // One refused attempt: a save made of several writes would let the later ones through.
        Store::instance().simulateWriteFailures(1);
        if (how == "auto-save")
            s->AUTOSAVE_TIMER_Timer();
        else if (how == "close box")
            s->close();
        else
            s->LOCK_BUTTON_Click();
        QVERIFY(!testing::storeFileContents().contains("AMOUNT_IN_WALLET_2=42"));
        QVERIFY(Store::instance().flush());
        QVERIFY(testing::storeFileContents().contains("AMOUNT_IN_WALLET_2=42"));
        QCOMPARE(stored(keys::amountInWallet(2)), QStringLiteral("42"));
        QCOMPARE(stored(keys::rowTick(6)), QStringLiteral("1"));
        QCOMPARE(stored(keys::usdTotalTick), QStringLiteral("0"));
        QCOMPARE(stored(keys::cryptoNameForSheet), QStringLiteral("Example: BTC"));
        QCOMPARE(Windows::find(WindowKind::Sheet) != nullptr, how == "auto-save");
        if (how == "auto-save") {
            QCOMPARE(stored(keys::sheet.left), QStringLiteral("<missing>"));
            QCOMPARE(stored(keys::autosave), QStringLiteral("<missing>"));
        } else if (how == "lock button") {
            QVERIFY(stored(keys::sheet.left) != QStringLiteral("<missing>"));
        }
    }

    void rowTickAndSwitchColours() {
        SheetWindow* s = openSheet();
        WalletRow& r = s->row(2);
        s->EXCHANGE_RATE_TEXTBOX->setText(QStringLiteral("0.7"));
        r.AMOUNT_IN_WALLET->setText(QStringLiteral("2"));
        r.CURRENT_DOLLAR_VALUATION->setText(QStringLiteral("100"));

        r.AUTOMATIC_CALCULATIONS_TICKBOX->setValue(1);
        QVERIFY(r.AUTO_CALCULATE_TIMER->isRunning());
        QCOMPARE(r.TOTAL_USD_VALUATION_TEXTBOX->backColor(), colours::windowBackground);
        QCOMPARE(r.WALLET_NAME_TEXTBOX->backColor(), colours::red);
        QCOMPARE(r.TOTAL_VALUATION->text(), design); // nothing computed before the tick

        s->AUTO_CALCULATE_TIMER_Timer(2);
        QCOMPARE(r.CONVERTED_VALUATION->text(), QStringLiteral("70"));
        QCOMPARE(r.TOTAL_USD_VALUATION_TEXTBOX->text(), QStringLiteral("200"));
        QCOMPARE(r.TOTAL_VALUATION->text(), QStringLiteral("140"));
        QCOMPARE(r.WALLET_NAME_TEXTBOX->backColor(), colours::black);
        QCOMPARE(r.WALLET_NAME_TEXTBOX->foreColor(), colours::green);

        r.AMOUNT_IN_WALLET->setText(QStringLiteral("0"));
        s->AUTO_CALCULATE_TIMER_Timer(2);
        QCOMPARE(r.WALLET_NAME_TEXTBOX->foreColor(), colours::magenta);
        QCOMPARE(r.TOTAL_VALUATION->text(), QStringLiteral("0"));

        r.AUTOMATIC_CALCULATIONS_TICKBOX->setValue(0);
        QVERIFY(!r.AUTO_CALCULATE_TIMER->isEnabled());
        QCOMPARE(r.TOTAL_USD_VALUATION_TEXTBOX->backColor(), colours::red);
        QCOMPARE(r.TOTAL_VALUATION->backColor(), colours::red);
        QCOMPARE(r.WALLET_NAME_TEXTBOX->backColor(), colours::red);
        QCOMPARE(r.WALLET_NAME_TEXTBOX->foreColor(), colours::black);
        QCOMPARE(r.CONVERTED_VALUATION->text(), QStringLiteral("70")); // texts stay

        s->AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL->setValue(1);
        QVERIFY(s->AUTO_CALCULATE_TIMER_TOTAL->isRunning());
        QCOMPARE(s->COMPLETE_TOTAL_TEXTBOX->backColor(), colours::windowBackground);
        s->AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL->setValue(0);
        QCOMPARE(s->COMPLETE_TOTAL_TEXTBOX->backColor(), colours::red);
        QCOMPARE(s->COMPLETE_TOTAL_TEXTBOX->foreColor(), colours::windowText);
        QCOMPARE(s->COMPLETE_TOTAL_TEXTBOX->text(), QStringLiteral("CONVERTED TOTAL"));
    }

    void totalsAddRowsAsShown_data() {
        QTest::addColumn<QLocale>("locale");
        for (const char* column : {"price1", "price2", "usdTotal", "convertedTotal"})
            QTest::addColumn<QString>(column);
        auto add = [](const char* name, const QLocale& l, const char* p1, const char* p2,
                      const char* usd, const char* converted) {
            QTest::newRow(name) << l << p1 << p2 << usd << converted;
        };
        add("C", QLocale::c(), "140.5", "70.25", "210.75", "105.375");
        add("comma locale", QLocale(QLocale::German, QLocale::Germany), "140.5", "70.25", "210,75",
            "105,375");
        add("overflowed row", QLocale::c(), "1E400", "1", "Overflow", "Overflow");
    }

    void totalsAddRowsAsShown() {
        QFETCH(QLocale, locale);
        QFETCH(QString, price1);
        QFETCH(QString, price2);
        QLocale::setDefault(locale);
        SheetWindow* s = openSheet();
        s->EXCHANGE_RATE_TEXTBOX->setText(QStringLiteral("0.5"));
        for (int n : {1, 2}) {
            s->row(n).AMOUNT_IN_WALLET->setText(QStringLiteral("1"));
            s->row(n).CURRENT_DOLLAR_VALUATION->setText(n == 1 ? price1 : price2);
        }
        s->AUTO_CALCULATE_TIMER_Timer(1);
        s->AUTO_CALCULATE_TIMER_Timer(2);
        s->AUTO_CALCULATE_USD_TIMER_TOTAL_Timer();
        s->AUTO_CALCULATE_TIMER_TOTAL_Timer();
        QTEST(s->COMPLETE_USD_TOTAL_TEXTBOX->text(), "usdTotal");
        QTEST(s->COMPLETE_TOTAL_TEXTBOX->text(), "convertedTotal");
    }

    void focusColours() {
        SheetWindow* s = openSheet();
        s->show();
        QApplication::setActiveWindow(s);
        // Offscreen windows can be activated: a window that cannot be is a fault.
        QVERIFY(QTest::qWaitForWindowActive(s));
        WalletRow& r = s->row(1);
        TextBox* rate = s->EXCHANGE_RATE_TEXTBOX;
        auto* inputA = testing::control<TextBox>(s, "INPUT_A_TEXTBOX");
        for (TextBox* t : {r.AMOUNT_IN_WALLET, r.CURRENT_DOLLAR_VALUATION, rate, inputA}) {
            t->setFocus();
            QTRY_COMPARE(t->backColor(), colours::cyan);
            if (t == rate)
                QCOMPARE(rate->foreColor(), colours::black);
        }
        // Each field takes its own colours back when it loses the focus.
        QCOMPARE(r.AMOUNT_IN_WALLET->backColor(), colours::white);
        QCOMPARE(r.AMOUNT_IN_WALLET->foreColor(), colours::windowText);
        QCOMPARE(rate->backColor(), colours::windowBackground);
        QCOMPARE(rate->foreColor(), colours::windowText);
        s->CLOSE_BUTTON->setFocus();
        QTRY_COMPARE(inputA->backColor(), colours::windowText);
        QCOMPARE(inputA->foreColor(), colours::green);
    }

    void coinNameTypedLetterByLetter() {
        MainWindow* main = openMain();
        SheetWindow* s = openSheet();
        s->CRYPTO_NAME_TEXTBOX->setText(QString());
        QCOMPARE(stored(keys::cryptoNameForSheet), QString());
        QCOMPARE(main->CRYPTO_NAME_START_LABEL->text(), QString());
        QString typed;
        for (const char* letter : {"B", "T", "C"}) {
            QTest::keyClicks(s->CRYPTO_NAME_TEXTBOX, QLatin1String(letter));
            typed += QLatin1String(letter);
            QCOMPARE(s->windowTitle(), QStringLiteral("VELMORA - QUORIX-V2 - ") + typed);
            QCOMPARE(stored(keys::cryptoNameForSheet), typed);
            QCOMPARE(main->CRYPTO_NAME_START_LABEL->text(), typed);
        }
    }

    // The sums themselves are tst_numbers' business; here the buttons,
    // their colours and the guard, which looks at the exact texts.
    void pocketCalculator() {
        SheetWindow* s = openSheet();
        const auto box = [s](const char* name) { return testing::control<TextBox>(s, name); };
        const auto button = [s](const char* name) { return testing::control<Button>(s, name); };
        // The guard's once-a-second tick, without the wait.
        const auto guardTick = [s] {
            emit testing::control<Timer>(s, "DISABLE_BUTTONS_TIMER")->tick();
        };
        auto operands = [&](const char* a, const char* b) {
            box("INPUT_A_TEXTBOX")->setText(QLatin1String(a));
            box("INPUT_B_TEXTBOX")->setText(QLatin1String(b));
        };
        operands("10", "4");
        guardTick();
        button("MULTIPLY_BUTTON")->click();
        button("DIVIDE_BUTTON")->click();
        QCOMPARE(box("OUTPUT_TEXTBOX")->text(), QStringLiteral("2.5"));
        QCOMPARE(box("MATHS_SIGN_TEXTBOX")->text(), QStringLiteral("/"));
        QCOMPARE(button("DIVIDE_BUTTON")->backColor(), colours::green);
        QCOMPARE(button("MULTIPLY_BUTTON")->backColor(), colours::buttonFace);
        // Pressed before the next guard tick, a division by "0" gives a clear text.
        operands("1", "0");
        button("DIVIDE_BUTTON")->click();
        QCOMPARE(box("OUTPUT_TEXTBOX")->text(), QStringLiteral("Cannot divide by zero"));
        for (const auto& [a, b, usable] : {std::tuple{"10", "4", true},
                                           {"5", "0", false},
                                           {"", "2", false},
                                           {"5", "0.0", true},
                                           {"00", "5", true},
                                           {"0 ", "5", true},
                                           {"abc", "2", true}}) {
            operands(a, b);
            guardTick();
            for (const char* name : {"ADD_BUTTON", "SUBTRACT_BUTTON", "MULTIPLY_BUTTON",
                                     "DIVIDE_BUTTON", "CLEAR_BUTTON"})
                QVERIFY2(button(name)->isEnabled() == usable,
                         qPrintable(QString("'%1' '%2'").arg(a, b)));
        }
        button("CLEAR_BUTTON")->click();
        for (const char* name :
             {"INPUT_A_TEXTBOX", "INPUT_B_TEXTBOX", "MATHS_SIGN_TEXTBOX", "OUTPUT_TEXTBOX"})
            QVERIFY(box(name)->text().isEmpty());
        QCOMPARE(button("DIVIDE_BUTTON")->backColor(), colours::buttonFace);
    }

    void statusBarShowsFailedSaving() {
        SheetWindow* s = openSheet();
        QCOMPARE(testing::control<QLabel>(s, "STATUS_PANEL")->text(), QStringLiteral("Status"));
        Store::instance().simulateWriteFailures(1);
        s->CRYPTO_NAME_TEXTBOX->setText(QStringLiteral("DOGE"));
        QCOMPARE(testing::control<QLabel>(s, "STATUS_PANEL")->text(),
                 QStringLiteral("Saving failed"));
        QCOMPARE(s->CRYPTO_NAME_TEXTBOX->text(), QStringLiteral("DOGE"));
        QCOMPARE(stored(keys::cryptoNameForSheet), QStringLiteral("DOGE"));
        QCOMPARE(Windows::find(WindowKind::Main), nullptr); // the coin name never re-creates it
        s->AUTOSAVE_TIMER_Timer();                          // the next write succeeds
        QCOMPARE(testing::control<QLabel>(s, "STATUS_PANEL")->text(), QStringLiteral("Status"));
        QVERIFY(testing::storeFileContents().contains("DOGE"));
    }
};

QTEST_MAIN(TestSheetWindow)
#include "tst_sheet_window.moc"
