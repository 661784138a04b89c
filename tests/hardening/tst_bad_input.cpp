// Hostile text pasted into every field a user can type in: a megabyte, every
// control character, NULs, text in other scripts. The windows keep working
// and calculating, and every stored field and the password come back from
// the store exactly as pasted.
#include "app/all_windows.h"
#include "compact/main_window.h"
#include "frame/intentions.h"
#include "frame/windows.h"
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
QList<TextBox*> storedFields(Form* sheet) {
    QList<TextBox*> r{control<TextBox>(sheet, "CRYPTO_NAME_TEXTBOX"),
                      control<TextBox>(sheet, "EXCHANGE_RATE_TEXTBOX")};
    for (int n = 1; n <= SheetWindow::Rows; ++n)
        for (const char* field :
             {"WALLET_NAME_TEXTBOX_", "AMOUNT_IN_WALLET_", "CURRENT_DOLLAR_VALUATION_"})
            r << control<TextBox>(sheet, field + QString::number(n));
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
    Form* sheet = Windows::get(WindowKind::Sheet);
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
    for (auto* box :
         {control<TextBox>(sheet, "INPUT_A_TEXTBOX"), control<TextBox>(sheet, "INPUT_B_TEXTBOX")}) {
        paste(box, text);
        check(box->objectName() + " as pasted:", box->text(), text);
    }

    // Ticking goes on with whatever the fields hold.
    const auto calculateRows = [&] {
        for (int n = 1; n <= SheetWindow::Rows; ++n)
            fire(sheet, QStringLiteral("AUTO_CALCULATE_TIMER_%1").arg(n));
    };
    for (int n = 1; n <= SheetWindow::Rows; ++n)
        control<TickBox>(sheet, QStringLiteral("AUTOMATIC_CALCULATIONS_TICKBOX_%1").arg(n))
            ->setValue(1);
    calculateRows();
    control<TickBox>(sheet, "AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL")->setValue(1);
    control<TickBox>(sheet, "AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL")->setValue(1);
    fire(sheet, "AUTO_CALCULATE_TIMER_TOTAL");
    fire(sheet, "AUTO_CALCULATE_USD_TIMER_TOTAL");
    fire(sheet, "DISABLE_BUTTONS_TIMER");
    for (const char* op : {"ADD_BUTTON", "SUBTRACT_BUTTON", "MULTIPLY_BUTTON", "DIVIDE_BUTTON"})
        click(sheet, op);
    fire(sheet, "AUTOSAVE_TIMER");
    QVERIFY(Store::instance().healthy());
    QCOMPARE(control<Label>(main, "CRYPTO_NAME_START_LABEL")->text(), fields[0]->text());

    // Close, and a new sheet loads every field back from the store.
    click(sheet, "CLOSE_BUTTON");
    settle();
    QVERIFY(Store::instance().healthy());
    sheet = Windows::get(WindowKind::Sheet);
    sheet->showModeless(main);
    const QList<TextBox*> reloaded = storedFields(sheet);
    for (qsizetype i = 0; i < reloaded.size(); ++i)
        check(reloaded[i]->objectName() + " reloaded:", reloaded[i]->text(), variant(i));
    calculateRows();

    // The password: set in the password window, and the same paste unlocks
    // a lock window that reads it back from the store.
    const QString password = variant(-1);
    Form* pw = Windows::get(WindowKind::Password);
    paste(control<TextBox>(pw, "ENTER_NEW_PASSWORD_TEXTBOX"), password);
    paste(control<TextBox>(pw, "RE_ENTER_NEW_PASSWORD_TEXTBOX"), password);
    click(pw, "CHANGE_PASSWORD_BUTTON");
    check("stored password:", Store::instance().read(keys::lockPassword), password);
    pw->unload();
    settle();
    Form* lock = Windows::get(WindowKind::Lock);
    click(lock, "LOCK_BUTTON");
    QCOMPARE(Windows::find<MainIntentions>()->lockState(), 1);
    paste(control<TextBox>(lock, "ENTER_PASSWORD_TEXTBOX"), password);
    click(lock, "LOCK_BUTTON");
    const bool unlocked = Windows::find<MainIntentions>()->lockState() == 0;
    settle();

    QVERIFY2(lost.isEmpty(), qPrintable(lost.join(QLatin1Char('\n'))));
    QVERIFY2(unlocked, "the pasted password did not unlock");
}

QTEST_MAIN(BadInputTest)
#include "tst_bad_input.moc"
