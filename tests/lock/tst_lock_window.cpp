#include "frame/colours.h"
#include "frame/credits.h"
#include "frame/main_window.h"
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

bool layoutIs(LockWindow* w, bool locked) {
    return w->LOCK_BUTTON->text() == (locked ? "UNLOCK" : "LOCK") &&
           w->ENTER_PASSWORD_TEXTBOX->isHidden() != locked &&
           w->SHOW_PASSWORD_TICKBOX->isHidden() != locked &&
           w->EXIT_QUORIX_BUTTON->isHidden() != locked && w->CANCEL_BUTTON->isHidden() == locked &&
           w->PASSWORD_MANAGER_BUTTON->isHidden() == locked &&
           w->PASSWORD_MANAGER_BUTTON->isEnabled() != locked;
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
            main->VL_QUORIX_MAIN_BUTTON_Click();
            QVERIFY(lock);
        } else {
            lock = openLock();
            lock->setLeft(2400);
            lock->setTop(1800);
            left = convert::floatText(float(lock->Left()));
            top = convert::floatText(float(lock->Top()));
            lock->ENTER_PASSWORD_TEXTBOX->setText(entry);
            if (event == "lock")
                lock->LOCK_BUTTON_Click();
            else if (event == "cancel")
                lock->CANCEL_BUTTON_Click();
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
                        pw->CANCEL_BUTTON_Click();
                });
                lock->PASSWORD_MANAGER_BUTTON_Click();
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
            QCOMPARE(lock->ENTER_PASSWORD_TEXTBOX->backColor(), entryColour);
            QVERIFY(lock->ENTER_PASSWORD_TEXTBOX->text() == entry); // kept to be corrected
        } else {
            // Every close writes the place; sizes are read, never written.
            QCOMPARE(stored(keys::lockWindow.left), left);
            QCOMPARE(stored(keys::lockWindow.top), top);
            QCOMPARE(stored(keys::lockWindow.height), absent);
        }
        QCOMPARE(main->CLIENT_LOCKED_TICKBOX->value(), tick);
        QCOMPARE(stored(keys::clientLocked), storedState);
        QCOMPARE(main->VL_QUORIX_MAIN_BUTTON->text(),
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
        lock->EXIT_QUORIX_BUTTON_Click();
        // The button only starts the main window's timer; the timer ends.
        QVERIFY(main->LOCK_UNLOAD_TIMER->isEnabled());
        QVERIFY(Windows::find<LockWindow>());
        const int ends = testing::emptyCount();
        main->LOCK_UNLOAD_TIMER_Timer();
        settle();
        QVERIFY(!Windows::find<LockWindow>() && !Windows::find<MainWindow>());
        QCOMPARE(testing::emptyCount(), ends + 1);
        QCOMPARE(stored(keys::clientLocked), QStringLiteral("1"));
        QVERIFY(stored(keys::lockWindow.left) != absent);
        // The next start is still locked.
        QCOMPARE(startMain()->VL_QUORIX_MAIN_BUTTON->text(), QStringLiteral("Unlock Main Screen"));
    }

    // The main window was closed while the sheet stood open on its own: the lock
    // window works from the stored state and never brings it back.
    void withoutMainWindowAndReopened() {
        testing::seedStore({{keys::lockPassword.name, "pw"}});
        LockWindow* lock = openLock();
        lock->VL_QUORIX_CREATOR_Click();
        QCOMPARE(lock->VL_QUORIX_CREATOR->text(), QString::fromLatin1(authorContact));
        lock->LOCK_BUTTON_Click();
        QVERIFY(layoutIs(lock, true));
        lock->ENTER_PASSWORD_TEXTBOX->setText("typed");
        lock->SHOW_PASSWORD_TICKBOX->setValue(1);
        QCOMPARE(lock->ENTER_PASSWORD_TEXTBOX->passwordChar(), QString());
        lock->EXIT_QUORIX_BUTTON_Click();
        QVERIFY(!Windows::find<LockWindow>());
        QCOMPARE(stored(keys::clientLocked), QStringLiteral("1"));

        // Each opening starts locked, with the name shown and an empty, masked entry.
        lock = openLock();
        QVERIFY(layoutIs(lock, true));
        QCOMPARE(lock->VL_QUORIX_CREATOR->text(), QStringLiteral("Created By Tavrin88"));
        QVERIFY(lock->ENTER_PASSWORD_TEXTBOX->text().isEmpty());
        QCOMPARE(lock->ENTER_PASSWORD_TEXTBOX->passwordChar(), QStringLiteral("*"));
        lock->ENTER_PASSWORD_TEXTBOX->setText("pw");
        lock->LOCK_BUTTON_Click();
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
        pw->ENTER_NEW_PASSWORD_TEXTBOX->setText("New Pass");
        pw->RE_ENTER_NEW_PASSWORD_TEXTBOX->setText("New Pass");
        pw->CHANGE_PASSWORD_BUTTON_Click();
        TextBox* current = lock->CURRENT_PASSWORD_TEXTBOX;
        QVERIFY(current->text() == "New Pass");
        QVERIFY(current->isHidden() && current->locked());
        QCOMPARE(current->passwordChar(), QStringLiteral("*"));
        pw->CANCEL_BUTTON_Click();

        lock->LOCK_BUTTON_Click();
        lock->ENTER_PASSWORD_TEXTBOX->setText("old");
        lock->LOCK_BUTTON_Click();
        QVERIFY(Windows::find<LockWindow>());
        lock->ENTER_PASSWORD_TEXTBOX->setText("New Pass");
        lock->LOCK_BUTTON_Click();
        QVERIFY(!Windows::find<LockWindow>());
        QCOMPARE(main->CLIENT_LOCKED_TICKBOX->value(), 0);
    }
};

QTEST_MAIN(LockWindowTest)
#include "tst_lock_window.moc"
