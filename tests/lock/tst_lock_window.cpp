#include "frame/colours.h"
#include "frame/contact.h"
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

// The compact main window as the tool starts it, shown so that closing the
// lock window does not end the program.
MainWindow* startMain() {
    auto* main = Windows::get<MainWindow>();
    main->show();
    return main;
}

// The lock window opened without an owner, as the sheet's lock button does.
LockWindow* openLock() {
    auto* lock = Windows::get<LockWindow>();
    lock->show();
    return lock;
}

bool lockedLayout(LockWindow* w) {
    return w->LOCK_BUTTON->text() == "UNLOCK" && !w->ENTER_PASSWORD_TEXTBOX->isHidden() &&
           !w->SHOW_PASSWORD_TICKBOX->isHidden() && !w->EXIT_QUORIX_BUTTON->isHidden() &&
           w->CANCEL_BUTTON->isHidden() && w->PASSWORD_MANAGER_BUTTON->isHidden() &&
           !w->PASSWORD_MANAGER_BUTTON->isEnabled();
}

bool unlockedLayout(LockWindow* w) {
    return w->LOCK_BUTTON->text() == "LOCK" && w->ENTER_PASSWORD_TEXTBOX->isHidden() &&
           w->SHOW_PASSWORD_TICKBOX->isHidden() && w->EXIT_QUORIX_BUTTON->isHidden() &&
           !w->CANCEL_BUTTON->isHidden() && !w->PASSWORD_MANAGER_BUTTON->isHidden() &&
           w->PASSWORD_MANAGER_BUTTON->isEnabled();
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

    void stateTable_data();
    void stateTable();
    void exitEndsTheProgramLocked();
    void entryComparedExactly_data();
    void entryComparedExactly();
    void withoutMainWindow();
    void firstFocusShowPasswordAndCreator();
    void passwordChangeTakesEffectAtOnce();
    void geometryWrittenAtEveryClose_data();
    void geometryWrittenAtEveryClose();
    void garbageGeometryFallsBack();
};

void LockWindowTest::stateTable_data() {
    QTest::addColumn<bool>("startLocked");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("event");
    QTest::addColumn<bool>("open");
    QTest::addColumn<bool>("locked"); // layout, when open
    QTest::addColumn<int>("tick");
    QTest::addColumn<QString>("storedState");
    QTest::addColumn<QString>("mainCaption");
    QTest::addColumn<uint>("entryColour"); // when open
    QTest::addColumn<bool>("sheetShown");

    const uint plain = colours::windowBackground;
    const QString unlockMain = "Unlock Main Screen";
    const QString main = "Main Screen";
    // clang-format off
    QTest::newRow("sheet's lock path opens the unlocked layout")
        << false << "pw" << "" << "open" << true << false << 0 << absent << main << plain << false;
    QTest::newRow("main button while locked opens the locked layout")
        << true << "pw" << "" << "mainButton" << true << true << 1 << "1" << unlockMain << plain << false;
    QTest::newRow("LOCK with a stored password")
        << false << "pw" << "" << "lock" << true << true << 1 << "1" << unlockMain << uint(colours::red) << false;
    QTest::newRow("LOCK with an empty password locks and unlocks")
        << false << "" << "" << "lock" << false << false << 0 << "0" << main << plain << false;
    QTest::newRow("Cancel returns to the sheet")
        << false << "pw" << "" << "cancel" << false << false << 0 << "0" << main << plain << true;
    QTest::newRow("Escape presses Cancel")
        << false << "pw" << "" << "escape" << false << false << 0 << "0" << main << plain << true;
    QTest::newRow("Escape does nothing while locked")
        << true << "pw" << "" << "escape" << true << true << 1 << "1" << unlockMain << plain << false;
    QTest::newRow("password manager returns to the unlocked layout")
        << false << "pw" << "" << "passwordManager" << true << false << 0 << absent << main << plain << false;
    QTest::newRow("UNLOCK with the right entry")
        << true << "pw" << "pw" << "lock" << false << false << 0 << "0" << main << plain << false;
    QTest::newRow("UNLOCK with a wrong entry")
        << true << "pw" << "px" << "lock" << true << true << 1 << "1" << unlockMain << uint(colours::red) << false;
    QTest::newRow("close box while locked")
        << true << "pw" << "" << "closeBox" << false << false << 1 << "1" << unlockMain << plain << false;
    QTest::newRow("close box while unlocked")
        << false << "pw" << "" << "closeBox" << false << false << 0 << absent << main << plain << false;
    // clang-format on
}

void LockWindowTest::stateTable() {
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
    if (event == "mainButton") {
        // The modal show waits in a nested loop: hide the window from inside
        // it so that the click returns with the window still loaded.
        QTimer::singleShot(0, [&] {
            lock = Windows::find<LockWindow>();
            if (lock)
                lock->hide();
        });
        main->VL_QUORIX_MAIN_BUTTON_Click();
        QVERIFY(lock);
    } else {
        lock = openLock();
        lock->ENTER_PASSWORD_TEXTBOX->setText(entry);
        if (event == "lock") {
            lock->LOCK_BUTTON_Click();
        } else if (event == "cancel") {
            lock->CANCEL_BUTTON_Click();
        } else if (event == "escape") {
            QTest::keyClick(lock, Qt::Key_Escape);
        } else if (event == "closeBox") {
            lock->close();
        } else if (event == "passwordManager") {
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
    QFETCH(QString, mainCaption);
    QFETCH(uint, entryColour);
    QFETCH(bool, sheetShown);

    QCOMPARE(Windows::find<LockWindow>() != nullptr, open);
    if (open) {
        QVERIFY(locked ? lockedLayout(lock) : unlockedLayout(lock));
        QCOMPARE(lock->ENTER_PASSWORD_TEXTBOX->backColor(), entryColour);
        // A wrong entry is kept for the user to correct.
        QVERIFY(lock->ENTER_PASSWORD_TEXTBOX->text() == entry);
    }
    QCOMPARE(main->CLIENT_LOCKED_TICKBOX->value(), tick);
    QCOMPARE(stored(keys::clientLocked), storedState);
    QCOMPARE(main->VL_QUORIX_MAIN_BUTTON->text(), mainCaption);
    if (!open)
        QVERIFY(stored(keys::lockWindow.left) != absent);

    Form* sheet = Windows::find(WindowKind::Sheet);
    QCOMPARE(sheet != nullptr, sheetShown);
    if (sheetShown) {
        QVERIFY(sheet->isVisible());
        QVERIFY(!sheet->isModal());
        QVERIFY(!sheet->windowHandle() || !sheet->windowHandle()->transientParent());
    }
    // No window vanished with nothing left: the main window keeps the tool alive.
    settle();
    QVERIFY(Windows::find<MainWindow>());
}

void LockWindowTest::exitEndsTheProgramLocked() {
    testing::seedStore({{keys::clientLocked.name, "1"}, {keys::lockPassword.name, "pw"}});
    MainWindow* main = startMain();
    LockWindow* lock = openLock();
    QVERIFY(lockedLayout(lock));

    lock->EXIT_QUORIX_BUTTON_Click();
    // The button only starts the main window's timer; the timer ends.
    QVERIFY(main->LOCK_UNLOAD_TIMER->isEnabled());
    QVERIFY(Windows::find<LockWindow>());

    const int ends = testing::emptyCount();
    main->LOCK_UNLOAD_TIMER_Timer();
    settle();
    QVERIFY(!Windows::find<LockWindow>());
    QVERIFY(!Windows::find<MainWindow>());
    QCOMPARE(testing::emptyCount(), ends + 1);
    QCOMPARE(stored(keys::clientLocked), QStringLiteral("1"));
    QVERIFY(stored(keys::lockWindow.left) != absent);

    // The next start is still locked.
    QCOMPARE(startMain()->VL_QUORIX_MAIN_BUTTON->text(), QStringLiteral("Unlock Main Screen"));
}

void LockWindowTest::entryComparedExactly_data() {
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("opens");

    QTest::newRow("same text") << "Secret"
                               << "Secret" << true;
    QTest::newRow("lower case") << "Secret"
                                << "secret" << false;
    QTest::newRow("upper case") << "Secret"
                                << "SECRET" << false;
    QTest::newRow("trailing blank") << "Secret"
                                    << "Secret " << false;
    QTest::newRow("leading blank") << "Secret"
                                   << " Secret" << false;
    QTest::newRow("stored trailing blank") << "Secret "
                                           << "Secret" << false;
    QTest::newRow("empty entry") << "Secret"
                                 << "" << false;
    QTest::newRow("blank against empty") << ""
                                         << " " << false;
    QTest::newRow("accented letters")
        << QString::fromUtf8("pässwörd") << QString::fromUtf8("pässwörd") << true;
    QTest::newRow("composed against decomposed")
        << QString::fromUtf8("\u00e9") << QString::fromUtf8("e\u0301") << false;
}

void LockWindowTest::entryComparedExactly() {
    QFETCH(QString, password);
    QFETCH(QString, entry);
    QFETCH(bool, opens);

    testing::seedStore({{keys::clientLocked.name, "1"}, {keys::lockPassword.name, password}});
    startMain();
    LockWindow* lock = openLock();
    lock->ENTER_PASSWORD_TEXTBOX->setText(entry);
    lock->LOCK_BUTTON_Click();
    QCOMPARE(Windows::find<LockWindow>() == nullptr, opens);
    QCOMPARE(stored(keys::clientLocked), QString(opens ? "0" : "1"));
    if (!opens)
        QCOMPARE(lock->ENTER_PASSWORD_TEXTBOX->backColor(), uint32_t(colours::red));
}

void LockWindowTest::withoutMainWindow() {
    // The main window was closed while the sheet stood open on its own: the
    // lock window works from the stored state and never brings it back.
    testing::seedStore({{keys::lockPassword.name, "pw"}});
    LockWindow* lock = openLock();
    QVERIFY(unlockedLayout(lock));
    lock->LOCK_BUTTON_Click();
    QVERIFY(lockedLayout(lock));
    QCOMPARE(stored(keys::clientLocked), QStringLiteral("1"));
    QVERIFY(!Windows::find<MainWindow>());

    lock->EXIT_QUORIX_BUTTON_Click();
    QVERIFY(!Windows::find<LockWindow>());
    QVERIFY(!Windows::find<MainWindow>());
    QCOMPARE(stored(keys::clientLocked), QStringLiteral("1"));

    lock = openLock();
    QVERIFY(lockedLayout(lock));
    lock->ENTER_PASSWORD_TEXTBOX->setText("pw");
    lock->LOCK_BUTTON_Click();
    QVERIFY(!Windows::find<LockWindow>());
    QCOMPARE(stored(keys::clientLocked), QStringLiteral("0"));
    QVERIFY(!Windows::find<MainWindow>());
}

void LockWindowTest::firstFocusShowPasswordAndCreator() {
    testing::seedStore({{keys::lockPassword.name, "pw"}});
    startMain();
    LockWindow* lock = openLock();
    QCOMPARE(lock->focusWidget(), lock->CANCEL_BUTTON);
    lock->VL_QUORIX_CREATOR_Click();
    QCOMPARE(lock->VL_QUORIX_CREATOR->text(), QString::fromLatin1(authorContact));
    lock->close();

    Windows::get<MainWindow>()->CLIENT_LOCKED_TICKBOX->setValue(1);
    lock = openLock();
    QCOMPARE(lock->focusWidget(), lock->LOCK_BUTTON);
    QCOMPARE(lock->VL_QUORIX_CREATOR->text(), QStringLiteral("Created By Tavrin88"));
    // Each opening starts with an empty, masked entry.
    QVERIFY(lock->ENTER_PASSWORD_TEXTBOX->text().isEmpty());
    QCOMPARE(lock->ENTER_PASSWORD_TEXTBOX->passwordChar(), QStringLiteral("*"));
    lock->SHOW_PASSWORD_TICKBOX->setValue(1);
    QCOMPARE(lock->ENTER_PASSWORD_TEXTBOX->passwordChar(), QString());
    lock->SHOW_PASSWORD_TICKBOX->setValue(0);
    QCOMPARE(lock->ENTER_PASSWORD_TEXTBOX->passwordChar(), QStringLiteral("*"));
}

void LockWindowTest::passwordChangeTakesEffectAtOnce() {
    testing::seedStore({{keys::lockPassword.name, "old"}});
    MainWindow* main = startMain();
    LockWindow* lock = openLock();

    auto* pw = Windows::get<PasswordWindow>();
    pw->show();
    pw->ENTER_NEW_PASSWORD_TEXTBOX->setText("New Pass");
    pw->RE_ENTER_NEW_PASSWORD_TEXTBOX->setText("New Pass");
    pw->CHANGE_PASSWORD_BUTTON_Click();
    QVERIFY(lock->CURRENT_PASSWORD_TEXTBOX->text() == "New Pass");
    pw->CANCEL_BUTTON_Click();

    lock->LOCK_BUTTON_Click();
    QVERIFY(lockedLayout(lock));
    for (const char* wrong : {"old", "new pass"}) {
        lock->ENTER_PASSWORD_TEXTBOX->setText(wrong);
        lock->LOCK_BUTTON_Click();
        QVERIFY(Windows::find<LockWindow>());
    }
    lock->ENTER_PASSWORD_TEXTBOX->setText("New Pass");
    lock->LOCK_BUTTON_Click();
    QVERIFY(!Windows::find<LockWindow>());
    QCOMPARE(main->CLIENT_LOCKED_TICKBOX->value(), 0);
}

void LockWindowTest::geometryWrittenAtEveryClose_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("close box") << "closeBox";
    QTest::newRow("Cancel") << "cancel";
    QTest::newRow("unlock") << "unlock";
    QTest::newRow("exit timer") << "exit";
}

void LockWindowTest::geometryWrittenAtEveryClose() {
    QFETCH(QString, how);
    const bool locked = how == "unlock" || how == "exit";
    testing::seedStore({{keys::clientLocked.name, locked ? "1" : "0"},
                        {keys::lockPassword.name, "pw"},
                        {keys::lockWindow.width.name, "7000"}});
    MainWindow* main = startMain();
    LockWindow* lock = openLock();
    lock->setLeft(2400);
    lock->setTop(1800);
    const QString left = convert::floatText(float(lock->Left()));
    const QString top = convert::floatText(float(lock->Top()));

    if (how == "closeBox")
        lock->close();
    if (how == "cancel")
        lock->CANCEL_BUTTON_Click();
    if (how == "unlock") {
        lock->ENTER_PASSWORD_TEXTBOX->setText("pw");
        lock->LOCK_BUTTON_Click();
    }
    if (how == "exit") {
        lock->EXIT_QUORIX_BUTTON_Click();
        main->LOCK_UNLOAD_TIMER_Timer();
    }
    QVERIFY(!Windows::find<LockWindow>());
    QCOMPARE(stored(keys::lockWindow.left), left);
    QCOMPARE(stored(keys::lockWindow.top), top);
    // Sizes are read, never written.
    QCOMPARE(stored(keys::lockWindow.width), QStringLiteral("7000"));
    QCOMPARE(stored(keys::lockWindow.height), absent);
}

void LockWindowTest::garbageGeometryFallsBack() {
    testing::seedStore({{keys::lockWindow.left.name, "left"},
                        {keys::lockWindow.top.name, "1e99"},
                        {keys::lockWindow.width.name, ""},
                        {keys::lockWindow.height.name, "3690px"}});
    LockWindow* lock = openLock();
    QCOMPARE(lock->Left(), 1000.0);
    QCOMPARE(lock->Top(), 1000.0);
    QCOMPARE(lock->Width(), 6615.0);
    QCOMPARE(lock->Height(), 3690.0);
}

QTEST_MAIN(LockWindowTest)
#include "tst_lock_window.moc"
