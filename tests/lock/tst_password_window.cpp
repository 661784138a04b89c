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

void enter(PasswordWindow* w, const QString& first, const QString& second) {
    w->ENTER_NEW_PASSWORD_TEXTBOX->setText(first);
    w->RE_ENTER_NEW_PASSWORD_TEXTBOX->setText(second);
    w->CHANGE_PASSWORD_BUTTON_Click();
}

bool bothRed(PasswordWindow* w) {
    return w->ENTER_NEW_PASSWORD_TEXTBOX->backColor() == colours::red &&
           w->RE_ENTER_NEW_PASSWORD_TEXTBOX->backColor() == colours::red;
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
        QCOMPARE(w->focusWidget(), w->CANCEL_BUTTON);
        for (const char* mask : {"*", "", "*"}) {
            w->SHOW_PASSWORD_TICKBOX->setValue(*mask ? 0 : 1);
            for (TextBox* box : {w->ENTER_NEW_PASSWORD_TEXTBOX, w->RE_ENTER_NEW_PASSWORD_TEXTBOX}) {
                QVERIFY(box->text().isEmpty());
                QCOMPARE(box->passwordChar(), QString::fromLatin1(mask));
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
            QCOMPARE(w->CANCEL_BUTTON->text(), QStringLiteral("Cancel"));
        }
        enter(w, " Abc ", " Abc ");
        QVERIFY(stored() == " Abc ");
        QCOMPARE(w->CANCEL_BUTTON->text(), QStringLiteral("Close"));
        // Success is shown by the caption alone; the red stays.
        QVERIFY(bothRed(w));
        QVERIFY(w->ENTER_NEW_PASSWORD_TEXTBOX->text() == " Abc ");
        // A later refusal keeps what was stored, and the caption.
        enter(w, "x", "y");
        QVERIFY(stored() == " Abc ");
        QCOMPARE(w->CANCEL_BUTTON->text(), QStringLiteral("Close"));
        enter(w, "", "");
        QVERIFY(stored().isEmpty()); // an empty password is accepted
        // Closing never undoes a stored change.
        w->CANCEL_BUTTON_Click();
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
            w->CANCEL_BUTTON_Click();
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
