// Hostile text pasted into every field a user can type in: a megabyte, every
// control character, NULs, text in other scripts. The windows keep working
// and calculating, and every stored field and the password come back from
// the store exactly as pasted.
#include "app/all_windows.h"
#include "frame/main_window.h"
#include "frame/windows.h"
#include "lock/lock_window.h"
#include "lock/password_window.h"
#include "settings/store.h"
#include "sheet/sheet_window.h"
#include "tests/support/testing.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QtTest>

using namespace vq;
using namespace vq::testing;

namespace {

// Where two texts first differ, without printing a megabyte.
QString difference(const QString& got, const QString& want) {
    if (got == want)
        return {};
    qsizetype i = 0;
    while (i < got.size() && i < want.size() && got[i] == want[i])
        ++i;
    return QStringLiteral("length %1 instead of %2, first difference at %3: U+%4 instead of U+%5")
        .arg(got.size())
        .arg(want.size())
        .arg(i)
        .arg(i < got.size() ? got[i].unicode() : 0, 4, 16, QLatin1Char('0'))
        .arg(i < want.size() ? want[i].unicode() : 0, 4, 16, QLatin1Char('0'));
}

// Pastes over whatever the box holds, as Ctrl+A, Ctrl+V would.
void paste(TextBox* box, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    box->selectAll();
    box->paste();
}

void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Every field of the sheet that is saved.
QList<TextBox*> storedFields(SheetWindow* sheet) {
    QList<TextBox*> r{sheet->CRYPTO_NAME_TEXTBOX, sheet->EXCHANGE_RATE_TEXTBOX};
    for (int n = 1; n <= SheetWindow::Rows; ++n)
        r << sheet->row(n).WALLET_NAME_TEXTBOX << sheet->row(n).AMOUNT_IN_WALLET
          << sheet->row(n).CURRENT_DOLLAR_VALUATION;
    return r;
}

} // namespace

class BadInputTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        setUpTestApplication();
        registerAllWindows();
    }
    void init() { useFreshStore(); }
    void cleanup() { unloadAll(); }
    void pastedIntoEveryField_data();
    void pastedIntoEveryField();
};

void BadInputTest::pastedIntoEveryField_data() {
    QTest::addColumn<QString>("text");
    const QString chunk = QStringLiteral("123.45 Grüße 日本 🚀 ");
    QString mega;
    while (mega.size() < 1024 * 1024)
        mega += chunk;
    QTest::newRow("1 MB") << mega.left(1024 * 1024);
    QString controls = QStringLiteral("ctl");
    for (char16_t c = 1; c < 0x20; ++c)
        controls += QChar(c) + QStringLiteral("x");
    controls += QChar(0x7F) + QStringLiteral("\u0085\u2028\u2029end\r\n");
    QTest::newRow("control characters") << controls;
    QTest::newRow("NULs") << QStringLiteral("a") + QChar(0) + QStringLiteral("b") + QChar(0) +
                                 QChar(0) + QStringLiteral("12") + QChar(0);
    QTest::newRow("non-ASCII") << QStringLiteral(
        "Grüße 日本語 🚀 עברית \u202Eabc\u202C \u200B zero-width \uFEFF bom "
        "e\u0301 ℵ ½ ١٢٣");
    QTest::newRow("quotes, separators, escapes") << QStringLiteral(
        "\"a\",b;c=d [VELMORA-QUORIX] \\x41 \\n @Invalid() @ByteArray(x) %General");
}

void BadInputTest::pastedIntoEveryField() {
    QFETCH(QString, text);
    QGuiApplication::clipboard()->setText(text);
    QVERIFY2(difference(QGuiApplication::clipboard()->text(), text).isEmpty(),
             "the clipboard itself does not carry the text");

    auto* main = Windows::get<MainWindow>();
    main->showModeless();
    auto* sheet = Windows::get<SheetWindow>();
    sheet->showModeless(main);
    // Each stored field gets its own variant of the text, so that a field
    // saved under another's key shows.
    const QList<TextBox*> fields = storedFields(sheet);
    const auto variant = [&](qsizetype i) { return QString::number(i) + text; };
    QStringList lost;
    const auto check = [&](const QString& what, const QString& got, const QString& want) {
        if (const QString d = difference(got, want); !d.isEmpty())
            lost << what + QLatin1Char(' ') + d;
    };
    for (qsizetype i = 0; i < fields.size(); ++i) {
        paste(fields[i], variant(i));
        check(fields[i]->objectName() + " as pasted:", fields[i]->text(), variant(i));
    }
    // The pocket calculator keeps nothing, but takes the paste and works.
    for (auto* box : {testing::control<TextBox>(sheet, "INPUT_A_TEXTBOX"),
                      testing::control<TextBox>(sheet, "INPUT_B_TEXTBOX")}) {
        paste(box, text);
        check(box->objectName() + " as pasted:", box->text(), text);
    }

    // Ticking goes on with whatever the fields hold.
    for (int n = 1; n <= SheetWindow::Rows; ++n) {
        sheet->row(n).AUTOMATIC_CALCULATIONS_TICKBOX->setValue(1);
        sheet->AUTO_CALCULATE_TIMER_Timer(n);
    }
    sheet->AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL->setValue(1);
    sheet->AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL->setValue(1);
    sheet->AUTO_CALCULATE_TIMER_TOTAL_Timer();
    sheet->AUTO_CALCULATE_USD_TIMER_TOTAL_Timer();
    emit testing::control<Timer>(sheet, "DISABLE_BUTTONS_TIMER")->tick();
    for (const char* op : {"ADD_BUTTON", "SUBTRACT_BUTTON", "MULTIPLY_BUTTON", "DIVIDE_BUTTON"})
        testing::control<Button>(sheet, op)->click();
    sheet->AUTOSAVE_TIMER_Timer();
    QVERIFY(Store::instance().healthy());
    QCOMPARE(main->CRYPTO_NAME_START_LABEL->text(), sheet->CRYPTO_NAME_TEXTBOX->text());

    // Close, and a new sheet loads every field back from the store.
    sheet->CLOSE_BUTTON_Click();
    settle();
    QVERIFY(Store::instance().healthy());
    sheet = Windows::get<SheetWindow>();
    sheet->showModeless(main);
    const QList<TextBox*> reloaded = storedFields(sheet);
    for (qsizetype i = 0; i < reloaded.size(); ++i)
        check(reloaded[i]->objectName() + " reloaded:", reloaded[i]->text(), variant(i));
    for (int n = 1; n <= SheetWindow::Rows; ++n)
        sheet->AUTO_CALCULATE_TIMER_Timer(n);

    // The password: set in the password window, read back by the lock
    // window, and the same paste unlocks.
    const QString password = variant(-1);
    auto* lock = Windows::get<LockWindow>();
    auto* pw = Windows::get<PasswordWindow>();
    paste(pw->ENTER_NEW_PASSWORD_TEXTBOX, password);
    paste(pw->RE_ENTER_NEW_PASSWORD_TEXTBOX, password);
    pw->CHANGE_PASSWORD_BUTTON_Click();
    check("stored password:", Store::instance().read(keys::lockPassword), password);
    pw->unload();
    lock->unload();
    settle();
    lock = Windows::get<LockWindow>();
    check("password reloaded:", lock->CURRENT_PASSWORD_TEXTBOX->text(), password);
    lock->LOCK_BUTTON_Click();
    QCOMPARE(main->CLIENT_LOCKED_TICKBOX->value(), 1);
    paste(lock->ENTER_PASSWORD_TEXTBOX, password);
    lock->LOCK_BUTTON_Click();
    const bool unlocked = main->CLIENT_LOCKED_TICKBOX->value() == 0;
    settle();

    QVERIFY2(lost.isEmpty(), qPrintable(lost.join(QLatin1Char('\n'))));
    QVERIFY2(unlocked, "the pasted password did not unlock");
}

QTEST_MAIN(BadInputTest)
#include "tst_bad_input.moc"
