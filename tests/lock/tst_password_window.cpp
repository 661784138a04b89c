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

QString stored(const QString& name = keys::lockPassword.name) {
    return Store::instance().read(name, absent);
}

PasswordWindow* openPassword() {
    auto* w = Windows::get<PasswordWindow>();
    w->show();
    return w;
}

using testing::click;
using testing::control;

TextBox* entry(PasswordWindow* w, bool again = false) {
    return control<TextBox>(w,
                            again ? "RE_ENTER_NEW_PASSWORD_TEXTBOX" : "ENTER_NEW_PASSWORD_TEXTBOX");
}
QString cancelCaption(PasswordWindow* w) {
    return control<QPushButton>(w, "CANCEL_BUTTON")->text();
}

// Replaces both entries' texts as a user does (select all, delete, type),
// then presses Change Password.
void enter(PasswordWindow* w, const QString& a, const QString& b) {
    for (auto [box, text] : {std::pair{entry(w), a}, {entry(w, true), b}}) {
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
    }
    click(w, "CHANGE_PASSWORD_BUTTON");
}

bool bothRed(PasswordWindow* w) {
    return entry(w)->backColor() == colours::red && entry(w, true)->backColor() == colours::red;
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

    void opensEmptyAndShowPasswordUnmasksBoth() {
        PasswordWindow* w = openPassword();
        QCOMPARE(w->focusWidget(), control(w, "CANCEL_BUTTON"));
        for (int clicks = 0; clicks < 3; ++clicks) { // masked, shown, masked again
            if (clicks)
                click(w, "SHOW_PASSWORD_TICKBOX");
            for (TextBox* box : {entry(w), entry(w, true)}) {
                QVERIFY(box->text().isEmpty());
                QCOMPARE(box->passwordChar(), clicks == 1 ? QString() : QStringLiteral("*"));
            }
        }
    }

    void refusalsThenSuccess() {
        testing::seedStore({{keys::lockPassword.name, "old"}});
        PasswordWindow* w = openPassword();
        // Letter case, a trailing blank, either entry empty: nothing is stored.
        for (const auto& [a, b] :
             {std::pair{"Abc", "abc"}, {"Abc", "Abc "}, {"Abc", ""}, {"", "Abc"}}) {
            enter(w, a, b);
            QVERIFY(bothRed(w));
            QVERIFY(stored() == "old");
            QCOMPARE(cancelCaption(w), QStringLiteral("Cancel"));
        }
        enter(w, " Abc ", " Abc ");
        QVERIFY(stored() == " Abc ");
        QCOMPARE(cancelCaption(w), QStringLiteral("Close"));
        // Success is shown by the caption alone; the red stays.
        QVERIFY(bothRed(w));
        QVERIFY(entry(w)->text() == " Abc ");
        // A later refusal keeps what was stored, and the caption.
        enter(w, "x", "y");
        QVERIFY(stored() == " Abc ");
        QCOMPARE(cancelCaption(w), QStringLiteral("Close"));
        enter(w, "", "");
        QVERIFY(stored().isEmpty()); // an empty password is accepted
        // Closing never undoes a stored change.
        click(w, "CANCEL_BUTTON");
        QVERIFY(!Windows::find<PasswordWindow>());
        QVERIFY(stored().isEmpty());
    }

    void geometryWrittenAtClose_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel button") << "cancel";
        QTest::newRow("Escape") << "escape";
        QTest::newRow("close box") << "closeBox";
    }
    void geometryWrittenAtClose() {
        QFETCH(QString, how);
        PasswordWindow* w = openPassword();
        w->setLeft(3000);
        w->setTop(1500);
        const QString left = convert::floatText(float(w->Left()));
        const QString top = convert::floatText(float(w->Top()));
        if (how == "cancel")
            click(w, "CANCEL_BUTTON");
        else if (how == "escape")
            QTest::keyClick(w, Qt::Key_Escape);
        else
            w->close();
        QVERIFY(!Windows::find<PasswordWindow>());
        const auto& g = keys::passwordWindow;
        QCOMPARE(QStringList({stored(g.left.name), stored(g.top.name), stored(g.width.name),
                              stored(g.height.name)}),
                 QStringList({left, top, absent, absent}));
        QVERIFY(stored() == absent); // closing without a change stores no password
    }
};

QTEST_MAIN(PasswordWindowTest)
#include "tst_password_window.moc"
