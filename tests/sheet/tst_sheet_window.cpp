// The wallet sheet driven as a user drives it: loading, saving, valuation on
// the timers' ticks, colours, the coin name, the calculators and the status bar.

#include "compact/main_window.h"
#include "frame/colours.h"
#include "frame/windows.h"
#include "settings/keys.h"
#include "settings/store.h"
#include "sheet/sheet_window.h"
#include "tests/support/testing.h"

#include <QTest>

using namespace vq;
using vq::testing::click;
using vq::testing::control;
using vq::testing::fire;
using vq::testing::seedStore;

namespace {

const QString design = QStringLiteral("00000000.00000000");

TextBox* box(const QObject* w, const QString& name) {
    return control<TextBox>(w, name);
}
Timer* timer(const QObject* w, const QString& name) {
    return control<Timer>(w, name);
}
// Row n's control of the given name: "AMOUNT_IN_WALLET" and 3 find "AMOUNT_IN_WALLET_3".
template <class T = TextBox> T* cell(const QObject* w, const char* name, int n) {
    return control<T>(w, QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(n));
}
QString mainLabel(const MainWindow* main) {
    return control<QLabel>(main, "CRYPTO_NAME_START_LABEL")->text();
}

// What a read of the key finds, with a default no stored text can equal.
QString stored(const keys::Key& key) {
    return Store::instance().read(key.name, QStringLiteral("<missing>"));
}

// Every key the sheet stores its fields under, with what the sheet shows for it;
// each field's control bears its key's name, the coin name's aside.
QList<QPair<QString, QString>> shownFields(const QObject* s) {
    QList<QPair<QString, QString>> f{
        {keys::cryptoNameForSheet.name, box(s, "CRYPTO_NAME_TEXTBOX")->text()}};
    QList<keys::Key> rest{keys::exchangeRate, keys::usdTotalTick, keys::convertedTotalTick};
    for (const auto* column : {&keys::walletNames, &keys::amountsInWallet,
                               &keys::currentDollarValuations, &keys::rowTicks})
        rest.append(QList<keys::Key>(column->begin(), column->end()));
    for (const keys::Key& k : rest) {
        auto* t = s->findChild<TextBox*>(k.name);
        f.append({k.name, t ? t->text() : QString::number(control<TickBox>(s, k.name)->value())});
    }
    return f;
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
        MainWindow* main = Windows::get<MainWindow>();
        SheetWindow* s = Windows::get<SheetWindow>();
        QCOMPARE(s->windowTitle(), QStringLiteral("VELMORA - QUORIX-V2 - Example: BTC"));
        QCOMPARE(stored(keys::cryptoNameForSheet), QStringLiteral("<missing>"));
        QCOMPARE(mainLabel(main), QStringLiteral("CRYPTO-NAME"));
        QCOMPARE(box(s, "EXCHANGE_RATE_TEXTBOX")->text(), QStringLiteral("Example: 0.70"));
        // The design texts and colours of unstored rows are tst_looks' business.
        for (int n = 1; n <= 10; ++n) {
            QVERIFY(!cell<Timer>(s, "AUTO_CALCULATE_TIMER", n)->isEnabled());
            QVERIFY(!cell(s, "WALLET_NAME_TEXTBOX", n)->locked());
        }
        QVERIFY(timer(s, "DISABLE_BUTTONS_TIMER")->isRunning());
        for (const char* t :
             {"AUTO_CALCULATE_TIMER_TOTAL", "AUTO_CALCULATE_USD_TIMER_TOTAL", "AUTOSAVE_TIMER"})
            QVERIFY(!timer(s, t)->isEnabled());
        QVERIFY(!control(s, "ADD_BUTTON")->isEnabled() && !control(s, "CLEAR_BUTTON")->isEnabled());
    }

    void loadFromSeededStore() {
        MainWindow* main = Windows::get<MainWindow>();
        seedStore(seededSheet());
        SheetWindow* s = Windows::get<SheetWindow>();
        // The restored name ran the coin-name change.
        QCOMPARE(s->windowTitle(), QStringLiteral("VELMORA - QUORIX-V2 - BTC"));
        QCOMPARE(mainLabel(main), QStringLiteral("BTC"));
        // The texts themselves: saveThenLoadRestoresEverything.
        QCOMPARE(QPointF(s->Left(), s->Top()), QPointF(3000, 2000));

        // Row 4 ticked: calculating, value fields on the window background at
        // once, the wallet name still red until the first tick.
        QCOMPARE(cell<TickBox>(s, "AUTOMATIC_CALCULATIONS_TICKBOX", 4)->value(), 1);
        QVERIFY(cell<Timer>(s, "AUTO_CALCULATE_TIMER", 4)->isRunning());
        QCOMPARE(cell(s, "TOTAL_USD_VALUATION_TEXTBOX", 4)->backColor(), colours::windowBackground);
        QCOMPARE(cell(s, "TOTAL_VALUATION", 4)->backColor(), colours::windowBackground);
        QCOMPARE(cell(s, "WALLET_NAME_TEXTBOX", 4)->backColor(), colours::red);
        QCOMPARE(cell(s, "TOTAL_USD_VALUATION_TEXTBOX", 4)->text(), design);
        // Row 7 stored as "2": greyed, coloured as off, yet its timer runs.
        QCOMPARE(cell<TickBox>(s, "AUTOMATIC_CALCULATIONS_TICKBOX", 7)->value(), 2);
        QCOMPARE(cell(s, "TOTAL_VALUATION", 7)->backColor(), colours::red);
        QCOMPARE(cell(s, "WALLET_NAME_TEXTBOX", 7)->foreColor(), colours::black);
        QVERIFY(cell<Timer>(s, "AUTO_CALCULATE_TIMER", 7)->isRunning());
        // Row 9's text does not convert: the key's default, off.
        QCOMPARE(cell<TickBox>(s, "AUTOMATIC_CALCULATIONS_TICKBOX", 9)->value(), 0);
        QVERIFY(!cell<Timer>(s, "AUTO_CALCULATE_TIMER", 9)->isEnabled());
        QVERIFY(!cell<Timer>(s, "AUTO_CALCULATE_TIMER", 1)->isEnabled());

        QVERIFY(timer(s, "AUTO_CALCULATE_TIMER_TOTAL")->isRunning());
        QVERIFY(timer(s, "AUTO_CALCULATE_USD_TIMER_TOTAL")->isRunning());
        QCOMPARE(box(s, "COMPLETE_TOTAL_TEXTBOX")->backColor(), colours::windowBackground);
        QCOMPARE(box(s, "COMPLETE_USD_TOTAL_TEXTBOX")->backColor(), colours::windowBackground);
        QVERIFY(timer(s, "AUTOSAVE_TIMER")->isRunning());
        // The name lock covers the coin name and the wallet names only.
        QCOMPARE(control<TickBox>(s, "NAME_CHANGE_LOCK_TICKBOX")->value(), 1);
        QVERIFY(box(s, "CRYPTO_NAME_TEXTBOX")->locked());
        for (int n = 1; n <= 10; ++n)
            QVERIFY(cell(s, "WALLET_NAME_TEXTBOX", n)->locked() &&
                    !cell(s, "AMOUNT_IN_WALLET", n)->locked() &&
                    !cell(s, "CURRENT_DOLLAR_VALUATION", n)->locked());
        QVERIFY(!box(s, "EXCHANGE_RATE_TEXTBOX")->locked());
    }

    // Closing stores every field as shown, empty texts staying empty, and the
    // next opening shows them again.
    void saveThenLoadRestoresEverything() {
        SheetWindow* s = Windows::get<SheetWindow>();
        box(s, "CRYPTO_NAME_TEXTBOX")->setText(QStringLiteral("ETH"));
        box(s, "EXCHANGE_RATE_TEXTBOX")->setText(QString());
        cell(s, "WALLET_NAME_TEXTBOX", 1)->setText(QString());
        cell(s, "AMOUNT_IN_WALLET", 2)->setText(QString());
        cell(s, "AMOUNT_IN_WALLET", 3)->setText(QStringLiteral("1,5 coins"));
        cell(s, "CURRENT_DOLLAR_VALUATION", 10)->setText(QStringLiteral("Example: 0.70"));
        click(s, "AUTOMATIC_CALCULATIONS_TICKBOX_5");
        click(s, "AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL");
        const auto before = shownFields(s);
        click(s, "CLOSE_BUTTON");
        QCOMPARE(Windows::find(WindowKind::Sheet), nullptr);
        for (const auto& [key, text] : before)
            QCOMPARE(Store::instance().read(key, QStringLiteral("<missing>")), text);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(shownFields(Windows::get<SheetWindow>()), before);
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
        SheetWindow* s = Windows::get<SheetWindow>();
        cell(s, "AMOUNT_IN_WALLET", 2)->setText(QStringLiteral("42"));
        click(s, "AUTOMATIC_CALCULATIONS_TICKBOX_6");
        // One refused attempt: a save made of several writes would let the later ones through.
        Store::instance().simulateWriteFailures(1);
        if (how == "auto-save")
            fire(s, "AUTOSAVE_TIMER");
        else if (how == "close box")
            s->close();
        else
            click(s, "LOCK_BUTTON");
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
        } else {
            QVERIFY(stored(keys::sheet.left) != QStringLiteral("<missing>"));
        }
    }

    void rowTickAndSwitchColours() {
        SheetWindow* s = Windows::get<SheetWindow>();
        const auto at2 = [s](const char* name) { return cell(s, name, 2); };
        TextBox* name = at2("WALLET_NAME_TEXTBOX");
        box(s, "EXCHANGE_RATE_TEXTBOX")->setText(QStringLiteral("0.7"));
        at2("AMOUNT_IN_WALLET")->setText(QStringLiteral("2"));
        at2("CURRENT_DOLLAR_VALUATION")->setText(QStringLiteral("100"));

        click(s, "AUTOMATIC_CALCULATIONS_TICKBOX_2");
        QVERIFY(timer(s, "AUTO_CALCULATE_TIMER_2")->isRunning());
        QCOMPARE(at2("TOTAL_USD_VALUATION_TEXTBOX")->backColor(), colours::windowBackground);
        QCOMPARE(name->backColor(), colours::red);
        QCOMPARE(at2("TOTAL_VALUATION")->text(), design); // nothing computed before the tick

        fire(s, "AUTO_CALCULATE_TIMER_2");
        QCOMPARE(at2("CONVERTED_VALUATION")->text(), QStringLiteral("70"));
        QCOMPARE(at2("TOTAL_USD_VALUATION_TEXTBOX")->text(), QStringLiteral("200"));
        QCOMPARE(at2("TOTAL_VALUATION")->text(), QStringLiteral("140"));
        QCOMPARE(name->backColor(), colours::black);
        QCOMPARE(name->foreColor(), colours::green);

        at2("AMOUNT_IN_WALLET")->setText(QStringLiteral("0"));
        fire(s, "AUTO_CALCULATE_TIMER_2");
        QCOMPARE(name->foreColor(), colours::magenta);
        QCOMPARE(at2("TOTAL_VALUATION")->text(), QStringLiteral("0"));

        click(s, "AUTOMATIC_CALCULATIONS_TICKBOX_2");
        QVERIFY(!timer(s, "AUTO_CALCULATE_TIMER_2")->isEnabled());
        QCOMPARE(at2("TOTAL_USD_VALUATION_TEXTBOX")->backColor(), colours::red);
        QCOMPARE(at2("TOTAL_VALUATION")->backColor(), colours::red);
        QCOMPARE(name->backColor(), colours::red);
        QCOMPARE(name->foreColor(), colours::black);
        QCOMPARE(at2("CONVERTED_VALUATION")->text(), QStringLiteral("70")); // texts stay

        TextBox* total = box(s, "COMPLETE_TOTAL_TEXTBOX");
        click(s, "AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL");
        QVERIFY(timer(s, "AUTO_CALCULATE_TIMER_TOTAL")->isRunning());
        QCOMPARE(total->backColor(), colours::windowBackground);
        click(s, "AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL");
        QCOMPARE(total->backColor(), colours::red);
        QCOMPARE(total->foreColor(), colours::windowText);
        QCOMPARE(total->text(), QStringLiteral("CONVERTED TOTAL"));
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
        SheetWindow* s = Windows::get<SheetWindow>();
        box(s, "EXCHANGE_RATE_TEXTBOX")->setText(QStringLiteral("0.5"));
        for (int n : {1, 2}) {
            cell(s, "AMOUNT_IN_WALLET", n)->setText(QStringLiteral("1"));
            cell(s, "CURRENT_DOLLAR_VALUATION", n)->setText(n == 1 ? price1 : price2);
        }
        for (const char* t : {"AUTO_CALCULATE_TIMER_1", "AUTO_CALCULATE_TIMER_2",
                              "AUTO_CALCULATE_USD_TIMER_TOTAL", "AUTO_CALCULATE_TIMER_TOTAL"})
            fire(s, t);
        QTEST(box(s, "COMPLETE_USD_TOTAL_TEXTBOX")->text(), "usdTotal");
        QTEST(box(s, "COMPLETE_TOTAL_TEXTBOX")->text(), "convertedTotal");
    }

    void focusColours() {
        SheetWindow* s = Windows::get<SheetWindow>();
        s->show();
        QApplication::setActiveWindow(s);
        // Offscreen windows can be activated: a window that cannot be is a fault.
        QVERIFY(QTest::qWaitForWindowActive(s));
        TextBox* amount = cell(s, "AMOUNT_IN_WALLET", 1);
        TextBox* rate = box(s, "EXCHANGE_RATE_TEXTBOX");
        TextBox* inputA = box(s, "INPUT_A_TEXTBOX");
        for (TextBox* t : {amount, cell(s, "CURRENT_DOLLAR_VALUATION", 1), rate, inputA}) {
            t->setFocus();
            QTRY_COMPARE(t->backColor(), colours::cyan);
            if (t == rate)
                QCOMPARE(rate->foreColor(), colours::black);
        }
        // Each field takes its own colours back when it loses the focus.
        QCOMPARE(amount->backColor(), colours::white);
        QCOMPARE(amount->foreColor(), colours::windowText);
        QCOMPARE(rate->backColor(), colours::windowBackground);
        QCOMPARE(rate->foreColor(), colours::windowText);
        control(s, "CLOSE_BUTTON")->setFocus();
        QTRY_COMPARE(inputA->backColor(), colours::windowText);
        QCOMPARE(inputA->foreColor(), colours::green);
    }

    void coinNameTypedLetterByLetter() {
        MainWindow* main = Windows::get<MainWindow>();
        SheetWindow* s = Windows::get<SheetWindow>();
        TextBox* coin = box(s, "CRYPTO_NAME_TEXTBOX");
        coin->setText(QString());
        QCOMPARE(stored(keys::cryptoNameForSheet), QString());
        QCOMPARE(mainLabel(main), QString());
        QString typed;
        for (const char* letter : {"B", "T", "C"}) {
            QTest::keyClicks(coin, QLatin1String(letter));
            typed += QLatin1String(letter);
            QCOMPARE(s->windowTitle(), QStringLiteral("VELMORA - QUORIX-V2 - ") + typed);
            QCOMPARE(stored(keys::cryptoNameForSheet), typed);
            QCOMPARE(mainLabel(main), typed);
        }
    }

    // The sums themselves are tst_numbers' business; here the buttons,
    // their colours and the guard, which looks at the exact texts.
    void pocketCalculator() {
        SheetWindow* s = Windows::get<SheetWindow>();
        const auto button = [s](const char* name) { return control<Button>(s, name); };
        // The guard's once-a-second tick, without the wait.
        const auto guardTick = [s] { fire(s, "DISABLE_BUTTONS_TIMER"); };
        auto operands = [&](const char* a, const char* b) {
            box(s, "INPUT_A_TEXTBOX")->setText(QLatin1String(a));
            box(s, "INPUT_B_TEXTBOX")->setText(QLatin1String(b));
        };
        // What the sheet works out is for reading only.
        for (const char* name :
             {"MATHS_SIGN_TEXTBOX", "OUTPUT_TEXTBOX", "TOTAL_USD_VALUATION_TEXTBOX_10",
              "CONVERTED_VALUATION_10", "TOTAL_VALUATION_10", "COMPLETE_USD_TOTAL_TEXTBOX",
              "COMPLETE_TOTAL_TEXTBOX"}) {
            const QString before = box(s, name)->text();
            QTest::keyClicks(box(s, name), "9");
            QVERIFY2(box(s, name)->text() == before, name);
        }
        operands("10", "4");
        guardTick();
        button("MULTIPLY_BUTTON")->click();
        button("DIVIDE_BUTTON")->click();
        QCOMPARE(box(s, "OUTPUT_TEXTBOX")->text(), QStringLiteral("2.5"));
        QCOMPARE(box(s, "MATHS_SIGN_TEXTBOX")->text(), QStringLiteral("/"));
        QCOMPARE(button("DIVIDE_BUTTON")->backColor(), colours::green);
        QCOMPARE(button("MULTIPLY_BUTTON")->backColor(), colours::buttonFace);
        // Pressed before the next guard tick, a division by "0" gives a clear text.
        operands("1", "0");
        button("DIVIDE_BUTTON")->click();
        QCOMPARE(box(s, "OUTPUT_TEXTBOX")->text(), QStringLiteral("Cannot divide by zero"));
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
            QVERIFY(box(s, name)->text().isEmpty());
        QCOMPARE(button("DIVIDE_BUTTON")->backColor(), colours::buttonFace);
    }

    void statusBarShowsFailedSaving() {
        SheetWindow* s = Windows::get<SheetWindow>();
        auto* status = control<QLabel>(s, "STATUS_PANEL");
        QCOMPARE(status->text(), QStringLiteral("Status"));
        Store::instance().simulateWriteFailures(1);
        box(s, "CRYPTO_NAME_TEXTBOX")->setText(QStringLiteral("DOGE"));
        QCOMPARE(status->text(), QStringLiteral("Saving failed"));
        QCOMPARE(box(s, "CRYPTO_NAME_TEXTBOX")->text(), QStringLiteral("DOGE"));
        QCOMPARE(stored(keys::cryptoNameForSheet), QStringLiteral("DOGE"));
        QCOMPARE(Windows::find(WindowKind::Main), nullptr); // the coin name never re-creates it
        fire(s, "AUTOSAVE_TIMER");                          // the next write succeeds
        QCOMPARE(status->text(), QStringLiteral("Status"));
        QVERIFY(testing::storeFileContents().contains("DOGE"));
    }
};

QTEST_MAIN(TestSheetWindow)
#include "tst_sheet_window.moc"
