// Every window worked with the keyboard alone: Tab and Shift+Tab walk the
// documented order and wrap round, Space presses buttons and ticks boxes,
// Enter presses the compact window's default button and Escape the cancel
// buttons of the lock and password windows.

#include "about/about_window.h"
#include "app/all_windows.h"
#include "frame/main_window.h"
#include "frame/windows.h"
#include "lock/lock_window.h"
#include "lock/password_window.h"
#include "options/settings_window.h"
#include "settings/store.h"
#include "sheet/sheet_window.h"
#include "tests/support/testing.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

using namespace vq;

namespace {

using Seed = QMap<QString, QString>;

// Shows the window, makes it the active one and puts the focus on its first
// control, as a user arriving at it finds it.
template <class W> W* open(const char* first = nullptr) {
    auto* w = Windows::get<W>();
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w))
        return nullptr;
    if (first)
        w->template findChild<QWidget*>(QLatin1String(first))->setFocus(Qt::TabFocusReason);
    return w;
}

QString focused() {
    QWidget* f = QApplication::focusWidget();
    return f ? f->objectName() : QStringLiteral("<none>");
}

void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, mods);
}

// Where the focus goes on each of `steps` presses of Tab, or Shift+Tab.
QStringList walk(qsizetype steps, bool backwards = false) {
    QStringList seen;
    for (qsizetype i = 0; i < steps; ++i) {
        press(Qt::Key_Tab, backwards ? Qt::ShiftModifier : Qt::NoModifier);
        seen << focused();
    }
    return seen;
}

// Starting on the first control, Tab visits the rest and comes back to the
// first; Shift+Tab goes the same way round in reverse.
void checkChain(const QStringList& order) {
    QCOMPARE(focused(), order.first());
    QCOMPARE(walk(order.size()), order.mid(1) + order.mid(0, 1));
    QStringList reversed(order.crbegin(), order.crend());
    QCOMPARE(walk(order.size(), true), reversed);
}

QStringList sheetOrder(bool calculatorUsable) {
    QStringList o{"CLOSE_BUTTON"};
    const auto rows = [&o](const char* prefix) {
        for (int n = 1; n <= SheetWindow::Rows; ++n)
            o << QLatin1String(prefix) + QString::number(n);
    };
    for (int n = 1; n <= SheetWindow::Rows; ++n)
        o << QStringLiteral("WALLET_NAME_TEXTBOX_%1").arg(n)
          << QStringLiteral("AMOUNT_IN_WALLET_%1").arg(n)
          << QStringLiteral("CURRENT_DOLLAR_VALUATION_%1").arg(n);
    rows("TOTAL_USD_VALUATION_TEXTBOX_");
    o << "COMPLETE_USD_TOTAL_TEXTBOX";
    rows("CONVERTED_VALUATION_");
    rows("TOTAL_VALUATION_");
    o << "COMPLETE_TOTAL_TEXTBOX";
    rows("AUTOMATIC_CALCULATIONS_TICKBOX_");
    o << "AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL"
      << "AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL"
      << "EXCHANGE_RATE_TEXTBOX"
      << "CALC_BUTTON"
      << "INPUT_A_TEXTBOX"
      << "INPUT_B_TEXTBOX";
    // The guard greys the calculator's buttons while an operand is empty or
    // "0"; greyed buttons are passed over.
    if (calculatorUsable)
        o << "ADD_BUTTON"
          << "SUBTRACT_BUTTON"
          << "MULTIPLY_BUTTON"
          << "DIVIDE_BUTTON";
    o << "OUTPUT_TEXTBOX";
    if (calculatorUsable)
        o << "CLEAR_BUTTON";
    o << "SETTINGS_BUTTON"
      << "ABOUT_BUTTON"
      << "CRYPTO_NAME_TEXTBOX"
      << "LOCK_BUTTON"
      << "NAME_CHANGE_LOCK_TICKBOX";
    return o;
}

} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        testing::setUpTestApplication();
        registerAllWindows();
    }
    void init() { testing::useFreshStore(); }
    void cleanup() { testing::unloadAll(); }

    void tabOrder_data() {
        QTest::addColumn<Seed>("seed");
        QTest::addColumn<int>("window");
        QTest::addColumn<QStringList>("order");
        const auto kind = [](WindowKind k) { return int(k); };
        QTest::newRow("compact main: the button alone")
            << Seed{} << kind(WindowKind::Main) << QStringList{"VL_QUORIX_MAIN_BUTTON"};
        QTest::newRow("sheet, calculator greyed")
            << Seed{} << kind(WindowKind::Sheet) << sheetOrder(false);
        QTest::newRow("settings, clear-all not armed")
            << Seed{} << kind(WindowKind::Settings)
            << QStringList{"NAME_CHANGE_LOCK_TICKBOX", "AUTOSAVE_TICKBOX",
                           "ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX",
                           "AlwaysOnTopTimer_TICKBOX", "OK_BUTTON"};
        QTest::newRow("lock, unlocked layout")
            << Seed{} << kind(WindowKind::Lock)
            << QStringList{"CANCEL_BUTTON", "LOCK_BUTTON", "PASSWORD_MANAGER_BUTTON"};
        QTest::newRow("lock, locked layout")
            << Seed{{"CLIENT_LOCKED", "1"}, {"LOCK-PASSWORD", "pw"}} << kind(WindowKind::Lock)
            << QStringList{"LOCK_BUTTON", "ENTER_PASSWORD_TEXTBOX", "SHOW_PASSWORD_TICKBOX",
                           "EXIT_QUORIX_BUTTON"};
        QTest::newRow("password") << Seed{} << kind(WindowKind::Password)
                                  << QStringList{"CANCEL_BUTTON", "ENTER_NEW_PASSWORD_TEXTBOX",
                                                 "RE_ENTER_NEW_PASSWORD_TEXTBOX",
                                                 "SHOW_PASSWORD_TICKBOX", "CHANGE_PASSWORD_BUTTON"};
        QTest::newRow("about: OK alone")
            << Seed{} << kind(WindowKind::About) << QStringList{"OK_BUTTON"};
    }
    // Each window opens with the focus on the first control of its order,
    // except the settings window, which sets no focus of its own.
    void tabOrder() {
        QFETCH(Seed, seed);
        QFETCH(int, window);
        QFETCH(QStringList, order);
        testing::seedStore(seed);
        Form* w = Windows::get(WindowKind(window));
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        if (WindowKind(window) == WindowKind::Settings)
            w->findChild<QWidget*>(order.first())->setFocus(Qt::TabFocusReason);
        checkChain(order);
    }

    void sheetWithCalculatorUsable() {
        auto* sheet = open<SheetWindow>();
        QVERIFY(sheet);
        sheet->INPUT_A_TEXTBOX->setText("10");
        sheet->INPUT_B_TEXTBOX->setText("4");
        sheet->DISABLE_BUTTONS_TIMER_Timer();
        checkChain(sheetOrder(true));
    }

    void sheetTypedAndTickedFromTheKeyboard() {
        auto* sheet = open<SheetWindow>();
        QVERIFY(sheet);
        // Tab selects the field's text, so typing replaces the "0" it holds.
        walk(2);
        QCOMPARE(focused(), QStringLiteral("AMOUNT_IN_WALLET_1"));
        QTest::keyClicks(QApplication::focusWidget(), "2");
        press(Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), "100");
        QCOMPARE(sheet->row(1).AMOUNT_IN_WALLET->text(), QStringLiteral("2"));
        QCOMPARE(sheet->row(1).CURRENT_DOLLAR_VALUATION->text(), QStringLiteral("100"));

        sheet->row(1).AUTOMATIC_CALCULATIONS_TICKBOX->setFocus(Qt::TabFocusReason);
        press(Qt::Key_Space);
        QCOMPARE(sheet->row(1).AUTOMATIC_CALCULATIONS_TICKBOX->value(), 1);
        QVERIFY(sheet->row(1).AUTO_CALCULATE_TIMER->isEnabled());
        press(Qt::Key_Space);
        QCOMPARE(sheet->row(1).AUTOMATIC_CALCULATIONS_TICKBOX->value(), 0);
        QVERIFY(!sheet->row(1).AUTO_CALCULATE_TIMER->isEnabled());

        // The calculator, operands typed and operation pressed with Space.
        sheet->INPUT_A_TEXTBOX->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(QApplication::focusWidget(), "10");
        press(Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), "4");
        sheet->DISABLE_BUTTONS_TIMER_Timer();
        walk(3);
        QCOMPARE(focused(), QStringLiteral("MULTIPLY_BUTTON"));
        press(Qt::Key_Space);
        QCOMPARE(sheet->OUTPUT_TEXTBOX->text(), QStringLiteral("40"));

        // Space on CLOSE saves and closes the sheet.
        sheet->CLOSE_BUTTON->setFocus(Qt::TabFocusReason);
        press(Qt::Key_Space);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Windows::find(WindowKind::Sheet));
        QCOMPARE(Store::instance().read(keys::amountInWallet(1)), QStringLiteral("2"));
    }

    void enterPressesTheMainButton_data() {
        QTest::addColumn<QString>("locked");
        QTest::addColumn<int>("opens");
        QTest::newRow("unlocked: the sheet") << "0" << int(WindowKind::Sheet);
        QTest::newRow("locked: the lock window") << "1" << int(WindowKind::Lock);
    }
    void enterPressesTheMainButton() {
        QFETCH(QString, locked);
        QFETCH(int, opens);
        testing::seedStore({{"CLIENT_LOCKED", locked}});
        QVERIFY(open<MainWindow>());
        QCOMPARE(focused(), QStringLiteral("VL_QUORIX_MAIN_BUTTON"));
        // The window opens modally; note it and close it so the press returns.
        bool shown = false;
        QTimer::singleShot(0, this, [&] {
            Form* f = Windows::find(WindowKind(opens));
            shown = f && f->isVisible();
            if (f)
                f->unload();
        });
        press(Qt::Key_Return);
        QVERIFY(shown);
    }

    void escapeAndSpaceInTheLockWindow() {
        // Unlocked: Escape is Cancel, which brings the sheet back.
        auto* lock = open<LockWindow>();
        QVERIFY(lock);
        press(Qt::Key_Tab);
        QCOMPARE(focused(), QStringLiteral("LOCK_BUTTON"));
        press(Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Windows::find(WindowKind::Lock));
        QVERIFY(Windows::find(WindowKind::Sheet) && Windows::find(WindowKind::Sheet)->isVisible());
        testing::unloadAll();

        // Locked: Escape does nothing (Cancel is hidden); the password is
        // typed, shown with Space on its tick box, and tested with Space on
        // UNLOCK.
        testing::seedStore({{"CLIENT_LOCKED", "1"}, {"LOCK-PASSWORD", "Open Sesame"}});
        lock = open<LockWindow>();
        QVERIFY(lock);
        press(Qt::Key_Escape);
        QCOMPARE(Windows::find(WindowKind::Lock), lock);
        press(Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), "Open Sesame");
        press(Qt::Key_Tab);
        QCOMPARE(focused(), QStringLiteral("SHOW_PASSWORD_TICKBOX"));
        press(Qt::Key_Space);
        QCOMPARE(lock->ENTER_PASSWORD_TEXTBOX->echoMode(), QLineEdit::Normal);
        press(Qt::Key_Tab, Qt::ShiftModifier);
        press(Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(focused(), QStringLiteral("LOCK_BUTTON"));
        press(Qt::Key_Space);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Windows::find(WindowKind::Lock));
        QCOMPARE(Store::instance().read(keys::clientLocked), QStringLiteral("0"));
    }

    void passwordWindowFromTheKeyboard() {
        auto* pw = open<PasswordWindow>();
        QVERIFY(pw);
        press(Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), "new one");
        press(Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), "new one");
        walk(2);
        QCOMPARE(focused(), QStringLiteral("CHANGE_PASSWORD_BUTTON"));
        press(Qt::Key_Space);
        QCOMPARE(Store::instance().read(keys::lockPassword), QStringLiteral("new one"));
        QCOMPARE(pw->CANCEL_BUTTON->text(), QStringLiteral("Close"));
        press(Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Windows::find(WindowKind::Password));
    }

    void settingsArmedFromTheKeyboard() {
        testing::seedStore({{"AMOUNT_IN_WALLET_1", "5"}});
        auto* settings = open<SettingsWindow>("ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX");
        QVERIFY(settings);
        press(Qt::Key_Space);
        QVERIFY(settings->CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON->isEnabled());
        // Armed, the clear-all button takes its place in the order again.
        press(Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(focused(), QStringLiteral("CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON"));
        press(Qt::Key_Space);
        QCOMPARE(Store::instance().read(keys::amountInWallet(1)),
                 QStringLiteral("00000000.00000000"));
        // Both clear-all controls grey out after the clearing; the focus
        // moves on to the next usable control rather than being lost.
        QCOMPARE(focused(), QStringLiteral("AlwaysOnTopTimer_TICKBOX"));
        press(Qt::Key_Tab);
        QCOMPARE(focused(), QStringLiteral("OK_BUTTON"));
        press(Qt::Key_Space);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Windows::find(WindowKind::Settings));
    }

    void aboutClosedWithSpace() {
        QVERIFY(open<AboutWindow>());
        QCOMPARE(focused(), QStringLiteral("OK_BUTTON"));
        press(Qt::Key_Space);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Windows::find(WindowKind::About));
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
