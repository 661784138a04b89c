#include "frame/colours.h"
#include "frame/windows.h"
#include "lock/lock_window.h"
#include "lock/password_window.h"
#include "settings/convert.h"
#include "settings/store.h"
#include "tests/support/testing.h"

#include <QTest>

using namespace vq;

namespace {
const QString absent = QStringLiteral("<absent>");

QString storedPassword() {
    return Store::instance().read(keys::lockPassword.name, absent);
}

PasswordWindow* openPassword() {
    auto* w = Windows::get<PasswordWindow>();
    w->show();
    return w;
}

void enter(PasswordWindow* w, const QString& first, const QString& second) {
    w->ENTER_NEW_PASSWORD_TEXTBOX->setText(first);
    w->RE_ENTER_NEW_PASSWORD_TEXTBOX->setText(second);
    w->CHANGE_PASSWORD_BUTTON_Click();
}
} // namespace

class PasswordWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        testing::setUpTestApplication();
        registerLockWindows();
    }
    void init() { testing::useFreshStore(); }
    void cleanup() { testing::unloadAll(); }

    void opensEmptyAndMasked();
    void showPasswordUnmasksBoth();
    void refusalThenSuccess();
    void refusedEntries_data();
    void refusedEntries();
    void emptyPasswordAccepted();
    void geometryWrittenAtClose_data();
    void geometryWrittenAtClose();
    void garbageGeometryFallsBack();
};

void PasswordWindowTest::opensEmptyAndMasked() {
    PasswordWindow* w = openPassword();
    QVERIFY(w->ENTER_NEW_PASSWORD_TEXTBOX->text().isEmpty());
    QVERIFY(w->RE_ENTER_NEW_PASSWORD_TEXTBOX->text().isEmpty());
    QCOMPARE(w->ENTER_NEW_PASSWORD_TEXTBOX->passwordChar(), QStringLiteral("*"));
    QCOMPARE(w->RE_ENTER_NEW_PASSWORD_TEXTBOX->passwordChar(), QStringLiteral("*"));
    QCOMPARE(w->CANCEL_BUTTON->text(), QStringLiteral("Cancel"));
    QCOMPARE(w->focusWidget(), w->CANCEL_BUTTON);
}

void PasswordWindowTest::showPasswordUnmasksBoth() {
    PasswordWindow* w = openPassword();
    w->SHOW_PASSWORD_TICKBOX->setValue(1);
    QCOMPARE(w->ENTER_NEW_PASSWORD_TEXTBOX->passwordChar(), QString());
    QCOMPARE(w->RE_ENTER_NEW_PASSWORD_TEXTBOX->passwordChar(), QString());
    w->SHOW_PASSWORD_TICKBOX->setValue(0);
    QCOMPARE(w->ENTER_NEW_PASSWORD_TEXTBOX->passwordChar(), QStringLiteral("*"));
    QCOMPARE(w->RE_ENTER_NEW_PASSWORD_TEXTBOX->passwordChar(), QStringLiteral("*"));
}

void PasswordWindowTest::refusalThenSuccess() {
    testing::seedStore({{keys::lockPassword.name, "old"}});
    PasswordWindow* w = openPassword();
    enter(w, "Abc", "abc");
    QCOMPARE(w->ENTER_NEW_PASSWORD_TEXTBOX->backColor(), uint32_t(colours::red));
    QCOMPARE(w->RE_ENTER_NEW_PASSWORD_TEXTBOX->backColor(), uint32_t(colours::red));
    QVERIFY(storedPassword() == "old");
    QCOMPARE(w->CANCEL_BUTTON->text(), QStringLiteral("Cancel"));

    enter(w, " Abc ", " Abc ");
    QVERIFY(storedPassword() == " Abc ");
    QCOMPARE(w->CANCEL_BUTTON->text(), QStringLiteral("Close"));
    // Success is shown by the caption alone; the red stays.
    QCOMPARE(w->ENTER_NEW_PASSWORD_TEXTBOX->backColor(), uint32_t(colours::red));
    QCOMPARE(w->RE_ENTER_NEW_PASSWORD_TEXTBOX->backColor(), uint32_t(colours::red));
    QVERIFY(w->ENTER_NEW_PASSWORD_TEXTBOX->text() == " Abc ");

    // A later refusal keeps what was stored, and the caption.
    enter(w, "x", "y");
    QVERIFY(storedPassword() == " Abc ");
    QCOMPARE(w->CANCEL_BUTTON->text(), QStringLiteral("Close"));

    // Closing never undoes a stored change.
    w->CANCEL_BUTTON_Click();
    QVERIFY(!Windows::find<PasswordWindow>());
    QVERIFY(storedPassword() == " Abc ");
}

void PasswordWindowTest::refusedEntries_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("letter case") << "Secret"
                                 << "secret";
    QTest::newRow("trailing blank") << "Secret"
                                    << "Secret ";
    QTest::newRow("second empty") << "Secret"
                                  << "";
    QTest::newRow("first empty") << ""
                                 << "Secret";
}

void PasswordWindowTest::refusedEntries() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    PasswordWindow* w = openPassword();
    enter(w, first, second);
    QVERIFY(storedPassword() == absent);
    QCOMPARE(w->ENTER_NEW_PASSWORD_TEXTBOX->backColor(), uint32_t(colours::red));
    QCOMPARE(w->CANCEL_BUTTON->text(), QStringLiteral("Cancel"));
}

void PasswordWindowTest::emptyPasswordAccepted() {
    testing::seedStore({{keys::lockPassword.name, "old"}});
    PasswordWindow* w = openPassword();
    enter(w, "", "");
    QVERIFY(storedPassword().isEmpty());
    QCOMPARE(w->CANCEL_BUTTON->text(), QStringLiteral("Close"));
}

void PasswordWindowTest::geometryWrittenAtClose_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel button") << "cancel";
    QTest::newRow("Escape") << "escape";
    QTest::newRow("close box") << "closeBox";
}

void PasswordWindowTest::geometryWrittenAtClose() {
    QFETCH(QString, how);
    PasswordWindow* w = openPassword();
    w->setLeft(3000);
    w->setTop(1500);
    const QString left = convert::floatText(float(w->Left()));
    const QString top = convert::floatText(float(w->Top()));
    if (how == "cancel")
        w->CANCEL_BUTTON_Click();
    if (how == "escape")
        QTest::keyClick(w, Qt::Key_Escape);
    if (how == "closeBox")
        w->close();
    QVERIFY(!Windows::find<PasswordWindow>());
    QCOMPARE(Store::instance().read(keys::passwordWindow.left.name, absent), left);
    QCOMPARE(Store::instance().read(keys::passwordWindow.top.name, absent), top);
    QCOMPARE(Store::instance().read(keys::passwordWindow.width.name, absent), absent);
    QCOMPARE(Store::instance().read(keys::passwordWindow.height.name, absent), absent);
    // Closing without a change stores no password.
    QVERIFY(storedPassword() == absent);
}

void PasswordWindowTest::garbageGeometryFallsBack() {
    testing::seedStore({{keys::passwordWindow.left.name, "abc"},
                        {keys::passwordWindow.top.name, "--5"},
                        {keys::passwordWindow.width.name, "wide"},
                        {keys::passwordWindow.height.name, "NaN"}});
    PasswordWindow* w = openPassword();
    QCOMPARE(w->Left(), 1000.0);
    QCOMPARE(w->Top(), 1000.0);
    QCOMPARE(w->Width(), 6360.0);
    QCOMPARE(w->Height(), 4110.0);
}

QTEST_MAIN(PasswordWindowTest)
#include "tst_password_window.moc"
