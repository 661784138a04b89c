// The wallet sheet as a window: loading, saving, valuation through its
// handlers, colours, the coin name, the pocket calculator, the system
// calculator and the status bar.

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
QString stored(const QString& key) {
    return Store::instance().read(key, QStringLiteral("<missing>"));
}

// A fully typed sheet as the store would hold it.
QMap<QString, QString> seededSheet() {
    QMap<QString, QString> m;
    m[keys::sheet.left.name] = QStringLiteral("3000");
    m[keys::sheet.top.name] = QStringLiteral("2000");
    m[keys::cryptoNameForSheet.name] = QStringLiteral("BTC");
    m[keys::exchangeRate.name] = QStringLiteral("0.7");
    for (int n = 1; n <= 10; ++n) {
        m[keys::walletName(n).name] = QStringLiteral("Wallet %1").arg(n);
        m[keys::amountInWallet(n).name] = QString::number(n);
        m[keys::currentDollarValuation(n).name] = QString::number(100 * n);
        m[keys::rowTick(n).name] = QStringLiteral("0");
    }
    m[keys::rowTick(4).name] = QStringLiteral("1");
    m[keys::rowTick(7).name] = QStringLiteral("2");
    m[keys::rowTick(9).name] = QStringLiteral("abc");
    m[keys::usdTotalTick.name] = QStringLiteral("1");
    m[keys::convertedTotalTick.name] = QStringLiteral("1");
    m[keys::autosave.name] = QStringLiteral("1");
    m[keys::nameChangeLock.name] = QStringLiteral("1");
    return m;
}

} // namespace

class TestSheetWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void loadFromEmptyStore();
    void loadFromSeededStore();
    void tabOrder();
    void saveThenLoadRestoresEverything();
    void savedKeysInOrder();
    void autoSaveWritesFieldsButNotPosition();
    void rowTickAndSwitchColours();
    void totalsAddRowsAsShown_data();
    void totalsAddRowsAsShown();
    void focusColours();
    void coinNameTypedLetterByLetter();
    void coinNameWithoutMainWindow();
    void pocketCalculator();
    void calculatorButtonStartsSystemCalculator();
    void statusBarShowsFailedSaving();
    void lockButtonClosesSheet();
};

void TestSheetWindow::initTestCase() {
    testing::setUpTestApplication();
    Windows::registerFactory(WindowKind::Main, [] { return new MainWindow; });
    registerSheetWindow();
}

void TestSheetWindow::init() {
    testing::useFreshStore();
}

void TestSheetWindow::cleanup() {
    testing::unloadAll();
    QLocale::setDefault(QLocale::c());
}

void TestSheetWindow::loadFromEmptyStore() {
    MainWindow* main = openMain();
    SheetWindow* s = openSheet();
    QCOMPARE(s->windowTitle(), QStringLiteral("VELMORA - QUORIX-V2 - Example: BTC"));
    QCOMPARE(stored(keys::cryptoNameForSheet.name), QStringLiteral("<missing>"));
    QCOMPARE(main->CRYPTO_NAME_START_LABEL->text(), QStringLiteral("CRYPTO-NAME"));
    QCOMPARE(s->Width(), 14475.0);
    QCOMPARE(s->Height(), 8175.0);
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
    QVERIFY(s->DISABLE_BUTTONS_TIMER->isRunning());
    QCOMPARE(s->DISABLE_BUTTONS_TIMER->interval(), 1000);
    QVERIFY(!s->AUTO_CALCULATE_TIMER_TOTAL->isEnabled());
    QVERIFY(!s->AUTO_CALCULATE_USD_TIMER_TOTAL->isEnabled());
    QVERIFY(!s->AUTOSAVE_TIMER->isEnabled());
    QCOMPARE(s->AUTOSAVE_TIMER->interval(), 60000);
    QVERIFY(!s->ADD_BUTTON->isEnabled());
    QVERIFY(!s->CLEAR_BUTTON->isEnabled());
    QVERIFY(s->INPUT_A_TEXTBOX->text().isEmpty());
    QCOMPARE(s->COMPLETE_TOTAL_TEXTBOX->text(), QStringLiteral("CONVERTED TOTAL"));
}

void TestSheetWindow::loadFromSeededStore() {
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

void TestSheetWindow::tabOrder() {
    SheetWindow* s = openSheet();
    QStringList expected{"CLOSE_BUTTON"};
    for (int n = 1; n <= 10; ++n)
        expected << QStringLiteral("WALLET_NAME_TEXTBOX_%1").arg(n)
                 << QStringLiteral("AMOUNT_IN_WALLET_%1").arg(n)
                 << QStringLiteral("CURRENT_DOLLAR_VALUATION_%1").arg(n);
    for (int n = 1; n <= 10; ++n)
        expected << QStringLiteral("TOTAL_USD_VALUATION_TEXTBOX_%1").arg(n);
    expected << "COMPLETE_USD_TOTAL_TEXTBOX";
    for (int n = 1; n <= 10; ++n)
        expected << QStringLiteral("CONVERTED_VALUATION_%1").arg(n);
    for (int n = 1; n <= 10; ++n)
        expected << QStringLiteral("TOTAL_VALUATION_%1").arg(n);
    expected << "COMPLETE_TOTAL_TEXTBOX";
    for (int n = 1; n <= 10; ++n)
        expected << QStringLiteral("AUTOMATIC_CALCULATIONS_TICKBOX_%1").arg(n);
    expected << "AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL"
             << "AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL"
             << "EXCHANGE_RATE_TEXTBOX"
             << "CALC_BUTTON"
             << "INPUT_A_TEXTBOX"
             << "INPUT_B_TEXTBOX"
             << "ADD_BUTTON"
             << "SUBTRACT_BUTTON"
             << "MULTIPLY_BUTTON"
             << "DIVIDE_BUTTON"
             << "OUTPUT_TEXTBOX"
             << "CLEAR_BUTTON"
             << "SETTINGS_BUTTON"
             << "ABOUT_BUTTON"
             << "CRYPTO_NAME_TEXTBOX"
             << "LOCK_BUTTON"
             << "NAME_CHANGE_LOCK_TICKBOX";

    QStringList chain;
    QWidget* w = s->CLOSE_BUTTON;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && !w->isHidden() && w->isWindow() == false &&
            !w->objectName().isEmpty() && w->parentWidget() == s)
            chain << w->objectName();
        w = w->nextInFocusChain();
    } while (w != s->CLOSE_BUTTON && chain.size() <= expected.size());
    QCOMPARE(chain, expected);
}

void TestSheetWindow::saveThenLoadRestoresEverything() {
    SheetWindow* s = openSheet();
    s->CRYPTO_NAME_TEXTBOX->setText(QStringLiteral("ETH"));
    s->EXCHANGE_RATE_TEXTBOX->setText(QString());
    s->row(1).WALLET_NAME_TEXTBOX->setText(QString());
    s->row(2).AMOUNT_IN_WALLET->setText(QString());
    s->row(3).AMOUNT_IN_WALLET->setText(QStringLiteral("1,5 coins"));
    s->row(10).CURRENT_DOLLAR_VALUATION->setText(QStringLiteral("Example: 0.70"));
    s->row(5).AUTOMATIC_CALCULATIONS_TICKBOX->setValue(1);
    s->AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL->setValue(1);
    const auto before = s->savedFields(false);
    s->CLOSE_BUTTON_Click();
    QCOMPARE(Windows::find(WindowKind::Sheet), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    SheetWindow* again = openSheet();
    QVERIFY(again != nullptr);
    QCOMPARE(again->savedFields(false), before);
    QVERIFY(again->row(5).AUTO_CALCULATE_TIMER->isRunning());
    QVERIFY(!again->AUTO_CALCULATE_USD_TIMER_TOTAL->isEnabled());
    QCOMPARE(again->row(2).AMOUNT_IN_WALLET->text(), QString());
    QCOMPARE(stored(keys::exchangeRate.name), QString());
}

void TestSheetWindow::savedKeysInOrder() {
    SheetWindow* s = openSheet();
    QStringList expected{keys::sheet.left.name, keys::sheet.top.name, keys::cryptoNameForSheet.name,
                         keys::exchangeRate.name};
    for (int n = 1; n <= 10; ++n)
        expected << keys::walletName(n).name;
    for (int n = 1; n <= 10; ++n)
        expected << keys::amountInWallet(n).name;
    for (int n = 1; n <= 10; ++n)
        expected << keys::currentDollarValuation(n).name;
    for (int n = 1; n <= 10; ++n)
        expected << keys::rowTick(n).name;
    expected << keys::convertedTotalTick.name << keys::usdTotalTick.name;

    QStringList names;
    for (const auto& f : s->savedFields(true))
        names << f.first;
    QCOMPARE(names.size(), 46);
    QCOMPARE(names, expected);
    names.clear();
    for (const auto& f : s->savedFields(false))
        names << f.first;
    QCOMPARE(names, expected.mid(2));

    // The close box saves as well.
    s->row(6).AUTOMATIC_CALCULATIONS_TICKBOX->setValue(1);
    s->close();
    QCOMPARE(stored(keys::rowTick(6).name), QStringLiteral("1"));
    QCOMPARE(stored(keys::cryptoNameForSheet.name), QStringLiteral("Example: BTC"));
    QCOMPARE(stored(keys::amountInWallet(1).name), QStringLiteral("0"));
}

void TestSheetWindow::autoSaveWritesFieldsButNotPosition() {
    SheetWindow* s = openSheet();
    s->row(2).AMOUNT_IN_WALLET->setText(QStringLiteral("42"));
    s->AUTOSAVE_TIMER_Timer();
    QCOMPARE(stored(keys::amountInWallet(2).name), QStringLiteral("42"));
    QCOMPARE(stored(keys::usdTotalTick.name), QStringLiteral("0"));
    QCOMPARE(stored(keys::sheet.left.name), QStringLiteral("<missing>"));
    QCOMPARE(stored(keys::autosave.name), QStringLiteral("<missing>"));
    QVERIFY(Windows::find(WindowKind::Sheet) == s);
}

void TestSheetWindow::rowTickAndSwitchColours() {
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

void TestSheetWindow::totalsAddRowsAsShown_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("price1");
    QTest::addColumn<QString>("price2");
    QTest::addColumn<QString>("usdTotal");
    QTest::addColumn<QString>("convertedTotal");
    const QLocale german(QLocale::German, QLocale::Germany);
    QTest::newRow("C") << QLocale::c() << "140.5"
                       << "70.25"
                       << "210.75"
                       << "105.375";
    QTest::newRow("comma locale") << german << "140.5"
                                  << "70.25"
                                  << "210,75"
                                  << "105,375";
    QTest::newRow("overflowed row") << QLocale::c() << "1E400"
                                    << "1"
                                    << "Overflow"
                                    << "Overflow";
}

void TestSheetWindow::totalsAddRowsAsShown() {
    QFETCH(QLocale, locale);
    QFETCH(QString, price1);
    QFETCH(QString, price2);
    QLocale::setDefault(locale);
    SheetWindow* s = openSheet();
    s->EXCHANGE_RATE_TEXTBOX->setText(QStringLiteral("0.5"));
    s->row(1).AMOUNT_IN_WALLET->setText(QStringLiteral("1"));
    s->row(1).CURRENT_DOLLAR_VALUATION->setText(price1);
    s->row(2).AMOUNT_IN_WALLET->setText(QStringLiteral("1"));
    s->row(2).CURRENT_DOLLAR_VALUATION->setText(price2);
    s->AUTO_CALCULATE_TIMER_Timer(1);
    s->AUTO_CALCULATE_TIMER_Timer(2);
    s->AUTO_CALCULATE_USD_TIMER_TOTAL_Timer();
    s->AUTO_CALCULATE_TIMER_TOTAL_Timer();
    QTEST(s->COMPLETE_USD_TOTAL_TEXTBOX->text(), "usdTotal");
    QTEST(s->COMPLETE_TOTAL_TEXTBOX->text(), "convertedTotal");
}

void TestSheetWindow::focusColours() {
    SheetWindow* s = openSheet();
    s->show();
    QApplication::setActiveWindow(s);
    if (!QTest::qWaitForWindowActive(s))
        QSKIP("the window could not be activated");
    WalletRow& r = s->row(1);
    r.AMOUNT_IN_WALLET->setFocus();
    QTRY_COMPARE(r.AMOUNT_IN_WALLET->backColor(), colours::cyan);
    r.CURRENT_DOLLAR_VALUATION->setFocus();
    QTRY_COMPARE(r.CURRENT_DOLLAR_VALUATION->backColor(), colours::cyan);
    QCOMPARE(r.AMOUNT_IN_WALLET->backColor(), colours::white);
    QCOMPARE(r.AMOUNT_IN_WALLET->foreColor(), colours::windowText);

    s->EXCHANGE_RATE_TEXTBOX->setFocus();
    QTRY_COMPARE(s->EXCHANGE_RATE_TEXTBOX->backColor(), colours::cyan);
    QCOMPARE(s->EXCHANGE_RATE_TEXTBOX->foreColor(), colours::black);
    s->INPUT_A_TEXTBOX->setFocus();
    QTRY_COMPARE(s->INPUT_A_TEXTBOX->backColor(), colours::cyan);
    QCOMPARE(s->EXCHANGE_RATE_TEXTBOX->backColor(), colours::windowBackground);
    QCOMPARE(s->EXCHANGE_RATE_TEXTBOX->foreColor(), colours::windowText);
    s->CLOSE_BUTTON->setFocus();
    QTRY_COMPARE(s->INPUT_A_TEXTBOX->backColor(), colours::windowText);
    QCOMPARE(s->INPUT_A_TEXTBOX->foreColor(), colours::green);
}

void TestSheetWindow::coinNameTypedLetterByLetter() {
    MainWindow* main = openMain();
    SheetWindow* s = openSheet();
    s->CRYPTO_NAME_TEXTBOX->setText(QString());
    QCOMPARE(stored(keys::cryptoNameForSheet.name), QString());
    QCOMPARE(main->CRYPTO_NAME_START_LABEL->text(), QString());
    QString typed;
    for (const char* letter : {"B", "T", "C"}) {
        QTest::keyClicks(s->CRYPTO_NAME_TEXTBOX, QLatin1String(letter));
        typed += QLatin1String(letter);
        QCOMPARE(s->windowTitle(), QStringLiteral("VELMORA - QUORIX-V2 - ") + typed);
        QCOMPARE(stored(keys::cryptoNameForSheet.name), typed);
        QCOMPARE(main->CRYPTO_NAME_START_LABEL->text(), typed);
    }
}

void TestSheetWindow::coinNameWithoutMainWindow() {
    SheetWindow* s = openSheet();
    s->CRYPTO_NAME_TEXTBOX->setText(QStringLiteral("XMR"));
    QCOMPARE(stored(keys::cryptoNameForSheet.name), QStringLiteral("XMR"));
    QCOMPARE(Windows::find(WindowKind::Main), nullptr); // never re-created
}

void TestSheetWindow::pocketCalculator() {
    SheetWindow* s = openSheet();
    s->INPUT_A_TEXTBOX->setText(QStringLiteral("10"));
    s->INPUT_B_TEXTBOX->setText(QStringLiteral("4"));
    s->DISABLE_BUTTONS_TIMER_Timer();
    for (Button* b :
         {s->ADD_BUTTON, s->SUBTRACT_BUTTON, s->MULTIPLY_BUTTON, s->DIVIDE_BUTTON, s->CLEAR_BUTTON})
        QVERIFY(b->isEnabled());

    s->MULTIPLY_BUTTON_Click();
    QCOMPARE(s->OUTPUT_TEXTBOX->text(), QStringLiteral("40"));
    QCOMPARE(s->MATHS_SIGN_TEXTBOX->text(), QStringLiteral("x"));
    s->DIVIDE_BUTTON_Click();
    QCOMPARE(s->OUTPUT_TEXTBOX->text(), QStringLiteral("2.5"));
    QCOMPARE(s->MATHS_SIGN_TEXTBOX->text(), QStringLiteral("/"));
    QCOMPARE(s->DIVIDE_BUTTON->backColor(), colours::green);
    QCOMPARE(s->MULTIPLY_BUTTON->backColor(), colours::buttonFace);
    QCOMPARE(s->ADD_BUTTON->backColor(), colours::buttonFace);

    s->INPUT_A_TEXTBOX->setText(QStringLiteral("1"));
    s->INPUT_B_TEXTBOX->setText(QStringLiteral("3"));
    s->DIVIDE_BUTTON_Click();
    QCOMPARE(s->OUTPUT_TEXTBOX->text(), QStringLiteral("0.333333333333333"));

    // "0" disables at the next guard tick; pressed before it, the division
    // gives a clear text.
    s->INPUT_B_TEXTBOX->setText(QStringLiteral("0"));
    s->DIVIDE_BUTTON_Click();
    QCOMPARE(s->OUTPUT_TEXTBOX->text(), QStringLiteral("Cannot divide by zero"));
    s->DISABLE_BUTTONS_TIMER_Timer();
    QVERIFY(!s->DIVIDE_BUTTON->isEnabled());
    QVERIFY(!s->CLEAR_BUTTON->isEnabled());
    s->INPUT_B_TEXTBOX->setText(QStringLiteral("0.0"));
    s->DISABLE_BUTTONS_TIMER_Timer();
    QVERIFY(s->DIVIDE_BUTTON->isEnabled());

    s->CLEAR_BUTTON_Click();
    for (TextBox* t :
         {s->INPUT_A_TEXTBOX, s->INPUT_B_TEXTBOX, s->MATHS_SIGN_TEXTBOX, s->OUTPUT_TEXTBOX})
        QVERIFY(t->text().isEmpty());
    QCOMPARE(s->DIVIDE_BUTTON->backColor(), colours::buttonFace);
    s->DISABLE_BUTTONS_TIMER_Timer();
    QVERIFY(!s->ADD_BUTTON->isEnabled());
    QVERIFY(!s->CLEAR_BUTTON->isEnabled());
}

void TestSheetWindow::calculatorButtonStartsSystemCalculator() {
    SheetWindow* s = openSheet();
    testing::fakePlatform().calls.clear();
    s->CALC_BUTTON_Click();
    const auto& calls = testing::fakePlatform().calls;
    QCOMPARE(calls.size(), size_t(1));
    QCOMPARE(calls[0].what, QStringLiteral("shell"));
    QCOMPARE(calls[0].window, s->handle());
    QCOMPARE(calls[0].args, QStringList({"runas", "calc.exe", "", "", "1"}));
}

void TestSheetWindow::statusBarShowsFailedSaving() {
    SheetWindow* s = openSheet();
    QCOMPARE(s->STATUS_PANEL->text(), QStringLiteral("Status"));
    Store::instance().simulateWriteFailures(1);
    s->CRYPTO_NAME_TEXTBOX->setText(QStringLiteral("DOGE"));
    QCOMPARE(s->STATUS_PANEL->text(), QStringLiteral("Saving failed"));
    QCOMPARE(s->CRYPTO_NAME_TEXTBOX->text(), QStringLiteral("DOGE"));
    QCOMPARE(stored(keys::cryptoNameForSheet.name), QStringLiteral("DOGE"));
    s->AUTOSAVE_TIMER_Timer(); // the next write succeeds
    QCOMPARE(s->STATUS_PANEL->text(), QStringLiteral("Status"));
    QVERIFY(testing::storeFileContents().contains("DOGE"));
}

void TestSheetWindow::lockButtonClosesSheet() {
    // No lock window is registered here: the sheet still saves and closes.
    SheetWindow* s = openSheet();
    s->row(1).AMOUNT_IN_WALLET->setText(QStringLiteral("7"));
    s->LOCK_BUTTON_Click();
    QCOMPARE(Windows::find(WindowKind::Sheet), nullptr);
    QCOMPARE(stored(keys::amountInWallet(1).name), QStringLiteral("7"));
    QVERIFY(stored(keys::sheet.left.name) != QStringLiteral("<missing>"));
}

QTEST_MAIN(TestSheetWindow)
#include "tst_sheet_window.moc"
