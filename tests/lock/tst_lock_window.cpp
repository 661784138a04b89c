#include "compact/main_window.h"
#include "frame/colours.h"
#include "frame/credits.h"
#include "frame/windows.h"
#include "lock/lock_window.h"
#include "lock/password_window.h"
#include "settings/convert.h"
#include "settings/store.h"
#include "tests/lock/fake_sheet.h"
#include "tests/support/testing.h"

#include <QTest>
#include <QTimer>

using namespace vq;

namespace {
const QString absent = QStringLiteral("<absent>");

QString stored(const keys::Key& key) {
    return Store::instance().read(key.name, absent);
}

// Shown, so that closing the lock window does not end the program.
MainWindow* startMain() {
    auto* main = Windows::get<MainWindow>();
    main->show();
    return main;
}

// Opened without an owner, as the sheet's lock button does.
LockWindow* openLock() {
    auto* lock = Windows::get<LockWindow>();
    lock->show();
    return lock;
}

using testing::click;
using testing::control;

TextBox* entryBox(LockWindow* w) {
    return control<TextBox>(w, "ENTER_PASSWORD_TEXTBOX");
}

// Replaces the entry's text as a user does: select all, delete, then one key
// press per character (QTest::keyClicks refuses those beyond Latin-1).
void type(LockWindow* w, const QString& text) {
    QTest::keyClick(entryBox(w), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(entryBox(w), Qt::Key_Backspace);
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, entryBox(w), Qt::Key_unknown, QString(c), {});
}

bool layoutIs(LockWindow* w, bool locked) {
    auto hidden = [w](const char* name) { return control(w, name)->isHidden(); };
    return control<QPushButton>(w, "LOCK_BUTTON")->text() == (locked ? "UNLOCK" : "LOCK") &&
           hidden("ENTER_PASSWORD_TEXTBOX") != locked &&
           hidden("SHOW_PASSWORD_TICKBOX") != locked && hidden("EXIT_QUORIX_BUTTON") != locked &&
           hidden("CANCEL_BUTTON") == locked && hidden("PASSWORD_MANAGER_BUTTON") == locked &&
           control(w, "PASSWORD_MANAGER_BUTTON")->isEnabled() != locked;
}

void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}
} // namespace

class LockWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        testing::setUpTestApplication();
        registerLockWindows();
        Windows::registerFactory(WindowKind::Main, [] { return new MainWindow; });
        testing::registerFakeSheet();
    }
    void init() { testing::useFreshStore(); }
    void cleanup() { testing::unloadAll(); }

    void stateTable_data() {
        QTest::addColumn<bool>("startLocked");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("event");
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("locked"); // layout, when open
        QTest::addColumn<int>("tick");
        QTest::addColumn<QString>("storedState");
        QTest::addColumn<uint>("entryColour"); // when open
        QTest::addColumn<bool>("sheetShown");

        const uint plain = colours::windowBackground, red = colours::red;
        // clang-format off
        QTest::newRow("sheet's lock path opens unlocked") << false << "pw" << "" << "open" << true << false << 0 << absent << plain << false;
        QTest::newRow("main button while locked") << true << "pw" << "" << "mainButton" << true << true << 1 << "1" << plain << false;
        QTest::newRow("LOCK with a stored password") << false << "pw" << "" << "lock" << true << true << 1 << "1" << red << false;
        QTest::newRow("LOCK with an empty password locks and unlocks") << false << "" << "" << "lock" << false << false << 0 << "0" << plain << false;
        QTest::newRow("Cancel returns to the sheet") << false << "pw" << "" << "cancel" << false << false << 0 << "0" << plain << true;
        QTest::newRow("Escape presses Cancel") << false << "pw" << "" << "escape" << false << false << 0 << "0" << plain << true;
        QTest::newRow("Escape does nothing while locked") << true << "pw" << "" << "escape" << true << true << 1 << "1" << plain << false;
        QTest::newRow("password manager returns unlocked") << false << "pw" << "" << "passwordManager" << true << false << 0 << absent << plain << false;
        QTest::newRow("UNLOCK with the right entry") << true << "pw" << "pw" << "lock" << false << false << 0 << "0" << plain << false;
        QTest::newRow("UNLOCK with a wrong entry") << true << "pw" << "px" << "lock" << true << true << 1 << "1" << red << false;
        QTest::newRow("UNLOCK, entry differs in case") << true << "Secret" << "secret" << "lock" << true << true << 1 << "1" << red << false;
        QTest::newRow("UNLOCK, entry has a trailing blank") << true << "Secret" << "Secret " << "lock" << true << true << 1 << "1" << red << false;
        QTest::newRow("UNLOCK, password has a trailing blank") << true << "Secret " << "Secret" << "lock" << true << true << 1 << "1" << red << false;
        QTest::newRow("UNLOCK, composed against decomposed") << true << "\u00e9" << "e\u0301" << "lock" << true << true << 1 << "1" << red << false;
        QTest::newRow("UNLOCK, accented letters") << true << "pässwörd" << "pässwörd" << "lock" << false << false << 0 << "0" << plain << false;
        QTest::newRow("close box while locked") << true << "pw" << "" << "closeBox" << false << false << 1 << "1" << plain << false;
        QTest::newRow("close box while unlocked") << false << "pw" << "" << "closeBox" << false << false << 0 << absent << plain << false;
        // clang-format on
    }

    void stateTable() {
        QFETCH(bool, startLocked);
        QFETCH(QString, password);
        QFETCH(QString, entry);
        QFETCH(QString, event);
        QMap<QString, QString> seed;
        if (startLocked)
            seed[keys::clientLocked.name] = "1";
        if (!password.isEmpty())
            seed[keys::lockPassword.name] = password;
        testing::seedStore(seed);
        MainWindow* main = startMain();

        QPointer<LockWindow> lock;
        QString left, top;
        if (event == "mainButton") {
            // The modal show waits in a nested loop: hide the window from inside it.
            QTimer::singleShot(0, [&] {
                lock = Windows::find<LockWindow>();
                if (lock)
                    lock->hide();
            });
            click(main, "VL_QUORIX_MAIN_BUTTON");
            QVERIFY(lock);
        } else {
            lock = openLock();
            lock->setLeft(2400);
            lock->setTop(1800);
            left = convert::floatText(float(lock->Left()));
            top = convert::floatText(float(lock->Top()));
            if (!entry.isEmpty()) // only the locked layout shows the entry
                type(lock, entry);
            if (event == "lock")
                click(lock, "LOCK_BUTTON");
            else if (event == "cancel")
                click(lock, "CANCEL_BUTTON");
            else if (event == "escape")
                QTest::keyClick(lock, Qt::Key_Escape);
            else if (event == "closeBox")
                lock->close();
            else if (event == "passwordManager") {
                bool shown = false;
                QTimer::singleShot(0, [&] {
                    auto* pw = Windows::find<PasswordWindow>();
                    shown = pw && pw->isVisible() && pw->isModal();
                    if (pw)
                        click(pw, "CANCEL_BUTTON");
                });
                click(lock, "PASSWORD_MANAGER_BUTTON");
                QVERIFY(shown);
                QVERIFY(!Windows::find(WindowKind::Password));
            }
        }

        QFETCH(bool, open);
        QFETCH(bool, locked);
        QFETCH(int, tick);
        QFETCH(QString, storedState);
        QFETCH(uint, entryColour);
        QFETCH(bool, sheetShown);
        QCOMPARE(Windows::find<LockWindow>() != nullptr, open);
        if (open) {
            QVERIFY(layoutIs(lock, locked));
            QCOMPARE(entryBox(lock)->backColor(), entryColour);
            QVERIFY(entryBox(lock)->text() == entry); // kept to be corrected
        } else {
            // Every close writes the place; sizes are read, never written.
            QCOMPARE(stored(keys::lockWindow.left), left);
            QCOMPARE(stored(keys::lockWindow.top), top);
            QCOMPARE(stored(keys::lockWindow.height), absent);
        }
        QCOMPARE(main->lockState(), tick);
        QCOMPARE(stored(keys::clientLocked), storedState);
        QCOMPARE(control<QPushButton>(main, "VL_QUORIX_MAIN_BUTTON")->text(),
                 QString(tick ? "Unlock Main Screen" : "Main Screen"));
        Form* sheet = Windows::find(WindowKind::Sheet);
        QCOMPARE(sheet != nullptr, sheetShown);
        if (sheetShown)
            QVERIFY(sheet->isVisible() && !sheet->isModal() &&
                    (!sheet->windowHandle() || !sheet->windowHandle()->transientParent()));
        // No window vanished with nothing left: the main window keeps the tool alive.
        settle();
        QVERIFY(Windows::find<MainWindow>());
    }

    void exitEndsTheProgramLocked() {
        testing::seedStore({{keys::clientLocked.name, "1"}, {keys::lockPassword.name, "pw"}});
        MainWindow* main = startMain();
        LockWindow* lock = openLock();
        QVERIFY(layoutIs(lock, true));
        click(lock, "EXIT_QUORIX_BUTTON");
        // The button only starts the main window's timer; the timer ends.
        QVERIFY(control<Timer>(main, "LOCK_UNLOAD_TIMER")->isEnabled());
        QVERIFY(Windows::find<LockWindow>());
        testing::fire(main, "LOCK_UNLOAD_TIMER");
        settle();
        QVERIFY(!Windows::find<LockWindow>() && !Windows::find<MainWindow>());
        QCOMPARE(stored(keys::clientLocked), QStringLiteral("1"));
        QVERIFY(stored(keys::lockWindow.left) != absent);
    }

    // The main window was closed while the sheet stood open on its own: the lock
    // window works from the stored state and never brings it back.
    void withoutMainWindowAndReopened() {
        testing::seedStore({{keys::lockPassword.name, "pw"}});
        LockWindow* lock = openLock();
        auto* creator = control<Label>(lock, "VL_QUORIX_CREATOR");
        QTest::mouseClick(creator, Qt::LeftButton, {}, creator->rect().center());
        QCOMPARE(creator->text(), QString::fromLatin1(authorContact));
        click(lock, "LOCK_BUTTON");
        QVERIFY(layoutIs(lock, true));
        type(lock, "typed");
        click(lock, "SHOW_PASSWORD_TICKBOX");
        QCOMPARE(entryBox(lock)->passwordChar(), QString());
        click(lock, "EXIT_QUORIX_BUTTON");
        QVERIFY(!Windows::find<LockWindow>());
        QCOMPARE(stored(keys::clientLocked), QStringLiteral("1"));

        // Each opening starts locked, with the name shown and an empty, masked entry.
        lock = openLock();
        QVERIFY(layoutIs(lock, true));
        QCOMPARE(control<Label>(lock, "VL_QUORIX_CREATOR")->text(),
                 QStringLiteral("Created By Tavrin88"));
        QVERIFY(entryBox(lock)->text().isEmpty());
        QCOMPARE(entryBox(lock)->passwordChar(), QStringLiteral("*"));
        type(lock, "pw");
        click(lock, "LOCK_BUTTON");
        QVERIFY(!Windows::find<LockWindow>());
        QCOMPARE(stored(keys::clientLocked), QStringLiteral("0"));
        QVERIFY(!Windows::find<MainWindow>());
    }

    void passwordChangeTakesEffectAtOnce() {
        testing::seedStore({{keys::lockPassword.name, "old"}});
        MainWindow* main = startMain();
        LockWindow* lock = openLock();
        auto* pw = Windows::get<PasswordWindow>();
        pw->show();
        QTest::keyClicks(control(pw, "ENTER_NEW_PASSWORD_TEXTBOX"), "New Pass");
        QTest::keyClicks(control(pw, "RE_ENTER_NEW_PASSWORD_TEXTBOX"), "New Pass");
        click(pw, "CHANGE_PASSWORD_BUTTON");
        click(pw, "CANCEL_BUTTON");

        // The lock window, open all along, tests against the new password.
        click(lock, "LOCK_BUTTON");
        type(lock, "old");
        click(lock, "LOCK_BUTTON");
        QVERIFY(Windows::find<LockWindow>());
        type(lock, "New Pass");
        click(lock, "LOCK_BUTTON");
        QVERIFY(!Windows::find<LockWindow>());
        QCOMPARE(main->lockState(), 0);
    }
};

QTEST_MAIN(LockWindowTest)
#include "tst_lock_window.moc"
