// Every window worked with the keyboard alone: Tab and Shift+Tab walk the order
// and wrap round, Space presses buttons and ticks boxes, Enter the compact
// window's default button, Escape the lock and password windows' cancel buttons.

#include "about/about_window.h"
#include "app/all_windows.h"
#include "compact/main_window.h"
#include "frame/windows.h"
#include "lock/lock_window.h"
#include "lock/password_window.h"
#include "options/settings_window.h"
#include "settings/store.h"
#include "sheet/sheet_window.h"
#include "tests/support/testing.h"

#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace vq;
using testing::control;

namespace {

using Seed = QMap<QString, QString>;

// Shows the window, makes it the active one and, where given, puts the focus
// on a control, as a user arriving at it finds it.
template <class W = Form> W* open(WindowKind kind = W::Kind, const QString& first = {}) {
    auto* w = static_cast<W*>(Windows::get(kind));
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w))
        return nullptr;
    if (!first.isEmpty())
        w->template findChild<QWidget*>(first)->setFocus(Qt::TabFocusReason);
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

QStringList names(const char* spaced) {
    return QString::fromLatin1(spaced).split(' ');
}

QStringList sheetOrder(bool calculatorUsable) {
    QStringList o{"CLOSE_BUTTON"};
    const auto rows = [&o](const char* prefixes) {
        for (int n = 1; n <= SheetWindow::Rows; ++n)
            for (const QString& p : names(prefixes))
                o << p + QString::number(n);
    };
    rows("WALLET_NAME_TEXTBOX_ AMOUNT_IN_WALLET_ CURRENT_DOLLAR_VALUATION_");
    rows("TOTAL_USD_VALUATION_TEXTBOX_");
    o << "COMPLETE_USD_TOTAL_TEXTBOX";
    rows("CONVERTED_VALUATION_");
    rows("TOTAL_VALUATION_");
    o << "COMPLETE_TOTAL_TEXTBOX";
    rows("AUTOMATIC_CALCULATIONS_TICKBOX_");
    o += names("AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL "
               "EXCHANGE_RATE_TEXTBOX CALC_BUTTON INPUT_A_TEXTBOX INPUT_B_TEXTBOX");
    // The guard greys the calculator's buttons while an operand is empty or
    // "0"; greyed buttons are passed over.
    if (calculatorUsable)
        o += names("ADD_BUTTON SUBTRACT_BUTTON MULTIPLY_BUTTON DIVIDE_BUTTON");
    o << "OUTPUT_TEXTBOX";
    if (calculatorUsable)
        o << "CLEAR_BUTTON";
    return o + names("SETTINGS_BUTTON ABOUT_BUTTON CRYPTO_NAME_TEXTBOX LOCK_BUTTON "
                     "NAME_CHANGE_LOCK_TICKBOX");
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
        const Seed locked{{"CLIENT_LOCKED", "1"}, {"LOCK-PASSWORD", "pw"}};
        // clang-format off
        QTest::newRow("compact main: the button alone") << Seed{} << int(WindowKind::Main) << names("VL_QUORIX_MAIN_BUTTON");
        QTest::newRow("sheet, calculator greyed") << Seed{} << int(WindowKind::Sheet) << sheetOrder(false);
        QTest::newRow("sheet, calculator usable") << Seed{} << int(WindowKind::Sheet) << sheetOrder(true);
        QTest::newRow("settings, clear-all not armed") << Seed{} << int(WindowKind::Settings) << names("NAME_CHANGE_LOCK_TICKBOX AUTOSAVE_TICKBOX ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX AlwaysOnTopTimer_TICKBOX OK_BUTTON");
        QTest::newRow("lock, unlocked layout") << Seed{} << int(WindowKind::Lock) << names("CANCEL_BUTTON LOCK_BUTTON PASSWORD_MANAGER_BUTTON");
        QTest::newRow("lock, locked layout") << locked << int(WindowKind::Lock) << names("LOCK_BUTTON ENTER_PASSWORD_TEXTBOX SHOW_PASSWORD_TICKBOX EXIT_QUORIX_BUTTON");
        QTest::newRow("password") << Seed{} << int(WindowKind::Password) << names("CANCEL_BUTTON ENTER_NEW_PASSWORD_TEXTBOX RE_ENTER_NEW_PASSWORD_TEXTBOX SHOW_PASSWORD_TICKBOX CHANGE_PASSWORD_BUTTON");
        QTest::newRow("about: OK alone") << Seed{} << int(WindowKind::About) << names("OK_BUTTON");
        // clang-format on
    }
    // Each window opens with the focus on the first control of its order.
    void tabOrder() {
        QFETCH(Seed, seed);
        QFETCH(int, window);
        QFETCH(QStringList, order);
        testing::seedStore(seed);
        const WindowKind kind = WindowKind(window);
        Form* w = open(kind);
        QVERIFY(w);
        if (order.contains("ADD_BUTTON")) {
            control<TextBox>(w, "INPUT_A_TEXTBOX")->setText("10");
            control<TextBox>(w, "INPUT_B_TEXTBOX")->setText("4");
            testing::fire(w, "DISABLE_BUTTONS_TIMER");
        }
        QCOMPARE(focused(), order.first());
        // Enter's button is the default, for the eye and for screen readers;
        // no other window has one.
        for (auto* b : w->findChildren<QPushButton*>())
            QCOMPARE(QAccessible::queryAccessibleInterface(b)->state().defaultButton,
                     b->objectName() == QStringLiteral("VL_QUORIX_MAIN_BUTTON"));
        // Tab visits the rest and comes back to the first; Shift+Tab goes back round.
        QCOMPARE(walk(order.size()), order.mid(1) + order.mid(0, 1));
        QCOMPARE(walk(order.size(), true), QStringList(order.crbegin(), order.crend()));
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
        QCOMPARE(control<TextBox>(sheet, "CURRENT_DOLLAR_VALUATION_1")->text(),
                 QStringLiteral("100"));
        auto* tickBox = control<TickBox>(sheet, "AUTOMATIC_CALCULATIONS_TICKBOX_1");
        tickBox->setFocus(Qt::TabFocusReason);
        for (int tick : {1, 0}) {
            press(Qt::Key_Space);
            QCOMPARE(tickBox->value(), tick);
            QCOMPARE(control<Timer>(sheet, "AUTO_CALCULATE_TIMER_1")->isEnabled(), tick == 1);
        }
        // Space on CLOSE saves and closes the sheet.
        control(sheet, "CLOSE_BUTTON")->setFocus(Qt::TabFocusReason);
        press(Qt::Key_Space);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Windows::find(WindowKind::Sheet));
        QCOMPARE(Store::instance().read(keys::amountInWallet(1)), QStringLiteral("2"));
    }

    // Enter presses the main button: the sheet opens, or, locked, the lock window.
    void enterPressesTheMainButton() {
        for (const auto& [locked, opens] :
             {std::pair{"0", WindowKind::Sheet}, {"1", WindowKind::Lock}}) {
            testing::seedStore({{"CLIENT_LOCKED", locked}});
            QVERIFY(open<MainWindow>());
            QCOMPARE(focused(), QStringLiteral("VL_QUORIX_MAIN_BUTTON"));
            const WindowKind kind = opens;
            // The window opens modally; note it and close it so the press returns.
            bool shown = false;
            QTimer::singleShot(0, this, [&] {
                Form* f = Windows::find(kind);
                shown = f && f->isVisible();
                if (f)
                    f->unload();
            });
            press(Qt::Key_Return);
            QVERIFY2(shown, locked);
            testing::unloadAll();
        }
    }

    // Locked, Escape does nothing (Cancel is hidden); the password is typed,
    // shown with Space on its tick box, and tested with Space on UNLOCK.
    void lockedLockWindowFromTheKeyboard() {
        testing::seedStore({{"CLIENT_LOCKED", "1"}, {"LOCK-PASSWORD", "Open Sesame"}});
        auto* lock = open<LockWindow>();
        QVERIFY(lock);
        press(Qt::Key_Escape);
        QCOMPARE(Windows::find(WindowKind::Lock), lock);
        press(Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), "Open Sesame");
        press(Qt::Key_Tab);
        press(Qt::Key_Space);
        QCOMPARE(control<TextBox>(lock, "ENTER_PASSWORD_TEXTBOX")->echoMode(), QLineEdit::Normal);
        walk(2, true);
        press(Qt::Key_Space);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Windows::find(WindowKind::Lock));
        QCOMPARE(Store::instance().read(keys::clientLocked), QStringLiteral("0"));
    }

    void passwordWindowFromTheKeyboard() {
        auto* pw = open<PasswordWindow>();
        QVERIFY(pw);
        for (int field = 0; field < 2; ++field) {
            press(Qt::Key_Tab);
            QTest::keyClicks(QApplication::focusWidget(), "new one");
        }
        walk(2);
        press(Qt::Key_Space);
        QCOMPARE(Store::instance().read(keys::lockPassword), QStringLiteral("new one"));
        QCOMPARE(control<Button>(pw, "CANCEL_BUTTON")->text(), QStringLiteral("Close"));
        press(Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Windows::find(WindowKind::Password));
    }

    void settingsArmedFromTheKeyboard() {
        testing::seedStore({{"AMOUNT_IN_WALLET_1", "5"}});
        auto* settings = open<SettingsWindow>(WindowKind::Settings,
                                              "ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX");
        QVERIFY(settings);
        press(Qt::Key_Space);
        QVERIFY(control(settings, "CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON")->isEnabled());
        // Armed, the clear-all button takes its place in the order again.
        press(Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(focused(), QStringLiteral("CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON"));
        press(Qt::Key_Space);
        QCOMPARE(Store::instance().read(keys::amountInWallet(1)),
                 QStringLiteral("00000000.00000000"));
        // Both clear-all controls grey out; the focus moves on rather than being lost.
        QCOMPARE(focused(), QStringLiteral("AlwaysOnTopTimer_TICKBOX"));
        press(Qt::Key_Tab);
        press(Qt::Key_Space); // OK
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Windows::find(WindowKind::Settings));
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
