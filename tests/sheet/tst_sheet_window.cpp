// The wallet sheet driven as a user drives it.
#include "compact/main_window.h"
#include "sheet/sheet_window.h"
#include "tests/support/testing.h"

using namespace vq;
using namespace vq::testing;

static QString shown(const QWidget* c) {
    auto* t = qobject_cast<const TextBox*>(c);
    return t ? t->text() : QString::number(qobject_cast<const TickBox*>(c)->value());
}
// The stored fields by key: each control bears its key's name, the coin name's aside.
static QMap<QString, QWidget*> fieldsByKey(const QObject* s) {
    QMap<QString, QWidget*> f{{keys::cryptoNameForSheet.name, box(s, "CRYPTO_NAME_TEXTBOX")}};
    for (const auto& k : keys::catalogue())
        if (auto* c = s->findChild<QWidget*>(k.name); c && k.name != keys::nameChangeLock.name)
            f[k.name] = c;
    return f;
}

class TestSheetWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpTestApplication(registerAllWindows); }
    void init() { useFreshStore(); }
    void cleanup() { unloadAll(); }

    // Every field loads from its key, takes typing only where a user fills it
    // in, and is stored under its key on closing; no timer outlives the sheet.
    void everyFieldLoadsTakesTypingAndSaves() {
        QMap<QString, QString> seed{{keys::nameChangeLock.name, "1"}};
        for (const auto& k : keys::catalogue())
            if (k.kind != keys::Kind::Geometry && !seed.contains(k.name))
                seed[k.name] = k.kind == keys::Kind::Text ? QString("v%1").arg(seed.size())
                                                          : QString::number(seed.size() % 3);
        seed[keys::autosave.name] = "1";
        seedStore(seed);
        SheetWindow* s = Windows::get<SheetWindow>();
        const auto fields = fieldsByKey(s);
        QCOMPARE(int(fields.size()), 44);
        int calculating = 0;
        for (auto [key, c] : fields.asKeyValueRange()) {
            QCOMPARE(shown(c), seed[key]);
            calculating -= qobject_cast<TickBox*>(c) && shown(c) != "0";
        }
        for (Timer* t : s->findChildren<Timer*>(QRegularExpression("^AUTO_CALC")))
            calculating += t->isRunning();
        QCOMPARE(calculating, 0); // "2" greys a switch, yet its timer runs
        QVERIFY(running(s, "AUTOSAVE_TIMER") && running(s, "DISABLE_BUTTONS_TIMER"));

        for (TextBox* t : s->findChildren<TextBox*>()) {
            const QString name = t->objectName(), before = t->text();
            const bool free = (fields.key(t).isEmpty() ? name.startsWith("INPUT_")
                                                       : !name.contains("NAME_TEXTBOX"));
            QTest::keyClicks(t, "9");
            QVERIFY2(t->text() == (free ? before + "9" : before), qPrintable(name));
        }
        for (auto* tick : s->findChildren<TickBox*>(QRegularExpression("^AUTOMATIC")))
            click(s, tick->objectName());
        click(s, "CLOSE_BUTTON");
        for (Timer* t : s->findChildren<Timer*>())
            QVERIFY2(!t->isRunning(), qPrintable(t->objectName()));
        for (auto [key, c] : fields.asKeyValueRange())
            QCOMPARE(Store::instance().read(key, "<none>"), shown(c));
        for (auto [key, c] : fieldsByKey(Windows::get<SheetWindow>()).asKeyValueRange())
            QCOMPARE(shown(c), Store::instance().read(key, "<none>"));
    }

    // Only ticked rows are valued; both totals add every row, row 10 included.
    void valuationAndTotals() {
        SheetWindow* s = Windows::get<SheetWindow>();
        retype(box(s, "EXCHANGE_RATE_TEXTBOX"), "0.5");
        for (int n = 1; n <= SheetWindow::Rows; ++n) {
            retype(cell(s, "AMOUNT_IN_WALLET", n), "2");
            retype(cell(s, "CURRENT_DOLLAR_VALUATION", n), QString::number(1 << (n - 1)));
            if (n != 5)
                click(s, QString("AUTOMATIC_CALCULATIONS_TICKBOX_%1").arg(n));
        }
        click(s, "AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL");
        click(s, "AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL");
        advance(s);
        advance(s);
        QCOMPARE(QStringList({cell(s, "CONVERTED_VALUATION", 2)->text(),
                              cell(s, "TOTAL_USD_VALUATION_TEXTBOX", 2)->text(),
                              cell(s, "TOTAL_VALUATION", 2)->text(),
                              box(s, "COMPLETE_USD_TOTAL_TEXTBOX")->text(),
                              box(s, "COMPLETE_TOTAL_TEXTBOX")->text()}),
                 QStringList({"1", "4", "2", "2014", "1007"}));
    }

    // A field typed in is cyan while it has the focus, then as it was.
    void focusColours() {
        SheetWindow* s = Windows::get<SheetWindow>();
        s->show();
        QVERIFY(QTest::qWaitForWindowActive(s));
        const uint32_t plain = colours::windowBackground, ink = colours::windowText;
        for (const auto& [name, back, fore] :
             {std::tuple{"CURRENT_DOLLAR_VALUATION_10", colours::white, ink},
              {"EXCHANGE_RATE_TEXTBOX", plain, ink},
              {"CRYPTO_NAME_TEXTBOX", plain, ink},
              {"INPUT_A_TEXTBOX", ink, colours::green}}) {
            TextBox* t = box(s, name);
            t->setFocus();
            QTRY_COMPARE(t->backColor(), colours::cyan);
            QCOMPARE(t->foreColor(), back == colours::white ? ink : colours::black);
            t->selectAll();
            control(s, "CLOSE_BUTTON")->setFocus();
            QTRY_COMPARE(t->backColor(), back);
            QVERIFY(t->foreColor() == fore && !t->hasSelectedText()); // nor keeps its selection
        }
    }

    // The coin name follows typing; auto-save writes in one go, without the
    // place; the status bar shows a failed save; LOCK saves, then locks.
    void coinNameSavingAndStatusBar() {
        MainWindow* main = Windows::get<MainWindow>();
        SheetWindow* s = Windows::get<SheetWindow>();
        QCOMPARE(stored(keys::cryptoNameForSheet), QString("<none>"));
        QTest::keyClicks(box(s, "CRYPTO_NAME_TEXTBOX"), "!");
        QCOMPARE(stored(keys::cryptoNameForSheet), QString("Example: BTC!"));
        main->unload(); // (its label follows the name: tst_settings_window's clear-all)
        retype(cell(s, "AMOUNT_IN_WALLET", 2), "42");
        Store::instance().simulateWriteFailures(1);
        fire(s, "AUTOSAVE_TIMER");
        QCOMPARE(control<QLabel>(s, "STATUS_PANEL")->text(), QString("Saving failed"));
        QVERIFY(!storeFileContents().contains("AMOUNT_IN_WALLET_2="));
        QTest::keyClicks(box(s, "CRYPTO_NAME_TEXTBOX"), "D");
        QCOMPARE(control<QLabel>(s, "STATUS_PANEL")->text(), QString("Status"));
        QVERIFY(storeFileContents().contains("AMOUNT_IN_WALLET_2=42"));
        QVERIFY(!Windows::find(WindowKind::Main) && stored(keys::sheet.left) == "<none>");
        bool lockShown = false;
        QTimer::singleShot(0, this, [&] {
            lockShown = Windows::find(WindowKind::Lock)->isVisible();
            Windows::find(WindowKind::Lock)->unload();
        });
        click(s, "LOCK_BUTTON");
        QVERIFY(lockShown && !Windows::find(WindowKind::Sheet) &&
                stored(keys::sheet.left) != "<none>");
    }

    // The buttons, their guard and colours (the sums are tst_numbers' business).
    void pocketCalculator() {
        SheetWindow* s = Windows::get<SheetWindow>();
        for (const auto& [a, b, on] : {std::tuple{"5", "0", false}, {"10", "4", true}}) {
            retype(box(s, "INPUT_A_TEXTBOX"), a);
            retype(box(s, "INPUT_B_TEXTBOX"), b);
            fire(s, "DISABLE_BUTTONS_TIMER");
            for (auto* button : control(s, "POCKET_CALCULATOR")->findChildren<Button*>())
                QCOMPARE(button->isEnabled(), on);
        }
        click(s, "MULTIPLY_BUTTON");
        click(s, "DIVIDE_BUTTON");
        QCOMPARE(box(s, "OUTPUT_TEXTBOX")->text() + box(s, "MATHS_SIGN_TEXTBOX")->text(), "2.5/");
        QCOMPARE(control<Button>(s, "DIVIDE_BUTTON")->backColor(), colours::green);
        QCOMPARE(control<Button>(s, "MULTIPLY_BUTTON")->backColor(), colours::buttonFace);
        click(s, "CLEAR_BUTTON");
        for (const char* name :
             {"INPUT_A_TEXTBOX", "INPUT_B_TEXTBOX", "MATHS_SIGN_TEXTBOX", "OUTPUT_TEXTBOX"})
            QVERIFY(box(s, name)->text().isEmpty());
        QCOMPARE(control<Button>(s, "DIVIDE_BUTTON")->backColor(), colours::buttonFace);
        for (const char* name : {"INPUT_A_TEXTBOX", "INPUT_B_TEXTBOX"}) { // drawn centred
            retype(box(s, name), "8");
            const QImage img = box(s, name)->grab().toImage();
            const QRgb back = img.pixel(3, img.height() / 2);
            int left = img.width(), right = 0;
            for (int x = 3; x < img.width() - 3; ++x)
                for (int y = 3; y < img.height() - 3; ++y)
                    if (img.pixel(x, y) != back)
                        left = std::min(left, x), right = std::max(right, x);
            QVERIFY2(std::abs(left + right - img.width()) <= 8, name);
        }
        fakePlatform().calls.clear();
        click(s, "CALC_BUTTON");
        QCOMPARE(fakePlatform().calls.at(0).what, "calculator");
    }
};

QTEST_MAIN(TestSheetWindow)
#include "tst_sheet_window.moc"
