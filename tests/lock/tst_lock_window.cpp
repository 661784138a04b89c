// The lock window and its password window over the real main window and sheet.
#include "compact/main_window.h"
#include "frame/credits.h"
#include "lock/lock_window.h"
#include "lock/password_window.h"
#include "settings/convert.h"
#include "tests/support/testing.h"

using namespace vq;
using namespace vq::testing;

template <class W = LockWindow> W* open() {
    auto* w = Windows::get<W>();
    w->show(); // without an owner, as the sheet's lock button opens it
    return w;
}
static TextBox* entry(QObject* w, const char* name = "ENTER_PASSWORD_TEXTBOX") {
    return control<TextBox>(w, name);
}
// The caption, the password manager usable or not, a refused entry red.
static QString layout(LockWindow* w) {
    return control<QPushButton>(w, "LOCK_BUTTON")->text() +
           (control(w, "PASSWORD_MANAGER_BUTTON")->isEnabled() ? "+" : "-") +
           (entry(w)->backColor() == colours::red ? " red" : "");
}

class LockWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpTestApplication(registerAllWindows); }
    void init() { useFreshStore(); }
    void cleanup() { unloadAll(); }

    // Each event's outcome: window and layout, lock state, stored state, entry colour.
    void stateTable() {
        // clang-format off
        const struct { const char *what, *startLocked, *password, *typed, *event, *outcome; } cases[] = {
            {"LOCK with a stored password", "0", "pw", "", "LOCK_BUTTON", "open 1 1 UNLOCK- red"},
            {"LOCK with an empty password locks and unlocks", "0", "", "", "LOCK_BUTTON", "closed 0 0"},
            {"Cancel returns to the sheet", "0", "pw", "", "CANCEL_BUTTON", "closed 0 0"},
            {"Escape does nothing while locked", "1", "pw", "", "Escape", "open 1 1 UNLOCK-"},
            {"UNLOCK with the right entry", "1", "pässwörd", "pässwörd", "LOCK_BUTTON", "closed 0 0"},
            {"UNLOCK, letter case differs", "1", "Secret", "secret", "LOCK_BUTTON", "open 1 1 UNLOCK- red"},
            {"close box while locked", "1", "pw", "", "close box", "closed 1 1"},
            {"EXIT leaves the ending to the main window", "1", "pw", "", "EXIT_QUORIX_BUTTON", "open 1 1 UNLOCK-"}};
        // clang-format on
        for (const auto& c : cases) {
            unloadAll();
            useFreshStore();
            seedStore({{"LOCK-PASSWORD", QString::fromUtf8(c.password)},
                       {"CLIENT_LOCKED", c.startLocked}});
            auto* main = Windows::get<MainWindow>();
            main->show(); // so that closing the lock window does not end the program
            LockWindow* lock = open();
            const QString place = convert::floatText(float(lock->Left())) + "<none>";
            if (*c.typed) // only the locked layout shows the entry
                retype(entry(lock), QString::fromUtf8(c.typed));
            const QString event = c.event;
            if (event.endsWith("_BUTTON"))
                click(lock, event);
            else if (event == "Escape")
                QTest::keyClick(lock, Qt::Key_Escape);
            else if (event == "close box")
                lock->close();
            QString outcome =
                QString("%1 %2").arg(main->lockState()).arg(stored(keys::clientLocked));
            if (Windows::find<LockWindow>()) {
                outcome = "open " + outcome + " " + layout(lock);
                QCOMPARE(entry(lock)->text(), QString::fromUtf8(c.typed)); // kept to be corrected
            } else { // every close writes the place, never the size
                outcome = "closed " + outcome;
                QCOMPARE(stored(keys::lockWindow.left) + stored(keys::lockWindow.height), place);
            }
            QCOMPARE(QString(c.what) + ": " + outcome, QString(c.what) + ": " + c.outcome);
            QCOMPARE(control<QPushButton>(main, "VL_QUORIX_MAIN_BUTTON")->text().at(0),
                     main->lockState() ? 'U' : 'M'); // Unlock Main Screen, Main Screen
            QCOMPARE(running(main, "LOCK_UNLOAD_TIMER"), event == "EXIT_QUORIX_BUTTON");
            Form* sheet = Windows::find(WindowKind::Sheet);
            QCOMPARE(sheet && sheet->isVisible() && !sheet->isModal(), event == "CANCEL_BUTTON");
        }
    }

    // A password stored before fields had a length limit still unlocks.
    void longStoredPasswordStaysEnterable() {
        const QString password(5000, 'p');
        seedStore({{"LOCK-PASSWORD", password}, {"CLIENT_LOCKED", "1"}});
        LockWindow* lock = open();
        entry(lock)->insert(password); // as a paste
        click(lock, "LOCK_BUTTON");
        QVERIFY(!Windows::find<LockWindow>() && stored(keys::clientLocked) == "0");
    }

    // Both entries must agree; the open lock window takes the new password at once;
    // without the main window the stored state rules and no main window returns.
    void passwordChangeAndLockWithoutMainWindow() {
        seedStore({{"LOCK-PASSWORD", "old"}});
        LockWindow* lock = open();
        PasswordWindow* pw = nullptr;
        QTimer::singleShot(0, [&] { (pw = Windows::find<PasswordWindow>())->hide(); });
        click(lock, "PASSWORD_MANAGER_BUTTON"); // returns once the modal window hides
        QVERIFY(pw && pw->isModal());
        pw->show();
        TextBox* first = entry(pw, "ENTER_NEW_PASSWORD_TEXTBOX");
        TextBox* again = entry(pw, "RE_ENTER_NEW_PASSWORD_TEXTBOX");
        // first entry, second entry, password stored, Cancel's caption
        for (const QString row : {"Abc|abc|old|Cancel", "Abc|Abc |old|Cancel", "|Abc|old|Cancel",
                                  " New | New | New |Close", "x|y| New |Close"}) {
            const QStringList v = row.split('|');
            retype(first, v[0]);
            retype(again, v[1]);
            click(pw, "CHANGE_PASSWORD_BUTTON");
            QCOMPARE(stored(keys::lockPassword) + "|" +
                         control<QPushButton>(pw, "CANCEL_BUTTON")->text(),
                     v[2] + "|" + v[3]);
            QVERIFY(first->backColor() == colours::red && again->backColor() == colours::red);
        }
        for (const char* shown : {"x|y", "*|*", "x|y"}) {
            click(pw, "SHOW_PASSWORD_TICKBOX");
            QCOMPARE(first->displayText() + "|" + again->displayText(), QString(shown));
        }
        const QString left = convert::floatText(float(pw->Left()));
        QTest::keyClick(pw, Qt::Key_Escape); // Cancel: the place is written, never the size
        QCOMPARE(stored(keys::passwordWindow.left) + stored(keys::passwordWindow.width),
                 left + "<none>");
        QTest::mouseClick(control(lock, "VL_QUORIX_CREATOR"), Qt::LeftButton);
        QCOMPARE(control<Label>(lock, "VL_QUORIX_CREATOR")->text(), QString(authorContact));
        click(lock, "LOCK_BUTTON");
        retype(entry(lock), "old");
        click(lock, "SHOW_PASSWORD_TICKBOX");
        QCOMPARE(entry(lock)->displayText(), QString("old"));
        click(lock, "LOCK_BUTTON");
        QVERIFY(Windows::find<LockWindow>()); // the old password no longer opens
        click(lock, "EXIT_QUORIX_BUTTON");    // without the main window: closes, still locked
        QVERIFY(!Windows::find<LockWindow>() && stored(keys::clientLocked) == "1");
        lock = open();
        QCOMPARE(layout(lock), QString("UNLOCK-"));
        retype(entry(lock), " New ");
        QCOMPARE(entry(lock)->displayText(), QString("*****"));
        click(lock, "LOCK_BUTTON");
        QVERIFY(!Windows::find<LockWindow>() && !Windows::find<MainWindow>() &&
                stored(keys::clientLocked) == "0");
    }
};

QTEST_MAIN(LockWindowTest)
#include "tst_lock_window.moc"
