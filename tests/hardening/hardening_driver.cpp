// hardening_driver: the tool's real windows in a process of their own, for
// the tests that kill, race or eavesdrop on it. Run it offscreen.
//   save-loop START   opens the sheet as the tool does and, from generation
//                     START on, types the coin name key by key, fills every
//                     field, ticks rows and saves: by the auto-save tick in
//                     even generations, by CLOSE and a reopen in odd ones.
//                     Prints "begin G <ms since the epoch>", "save G
//                     tick|close", "done G".
//   secrets PASSWORD  sets the password in the password window, locks and
//                     unlocks with it in the lock window. Prints "ok".
// Exit code 0 when everything held, 3 when a reopened sheet did not show
// what was saved, 4 when the store refused a write.
#include "compact/main_window.h"
#include "frame/windows.h"
#include "lock/lock_window.h"
#include "settings/store.h"
#include "sheet/sheet_window.h"
#include "tests/hardening/generations.h"
#include "tests/support/testing.h"

#include <QApplication>
#include <QDateTime>
#include <QTest>
#include <cstdio>

using namespace vq;
using testing::control;

namespace {

void say(const QString& line) {
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Replaces the field's text the way a user does: select all, then type.
void typeInto(TextBox* box, const QString& text) {
    box->selectAll();
    QTest::keyClicks(box, text);
}

Form* openSheet(MainWindow* main) {
    Form* s = Windows::get(WindowKind::Sheet);
    s->showModeless(main);
    return s;
}

// The batch's keys are the names of the sheet's fields and tick boxes.
QString shown(Form* s, const QString& name) {
    if (auto* tick = s->findChild<TickBox*>(name))
        return QString::number(tick->value());
    return control<TextBox>(s, name)->text();
}

bool sheetShows(Form* s, qint64 g) {
    if (shown(s, QStringLiteral("CRYPTO_NAME_TEXTBOX")) != hardening::coinName(g) ||
        s->Left() != hardening::leftOf(g) || s->Top() != hardening::topOf(g))
        return false;
    for (const auto& [name, text] : hardening::batchOf(g))
        if (shown(s, name) != text)
            return false;
    return true;
}

int saveLoop(qint64 start) {
    Store::instance().setSectionOverride(hardening::section);
    auto* main = Windows::get<MainWindow>();
    main->showModeless();
    Form* s = openSheet(main);
    for (qint64 g = start;; ++g) {
        say(QStringLiteral("begin %1 %2").arg(g).arg(QDateTime::currentMSecsSinceEpoch()));
        typeInto(control<TextBox>(s, "CRYPTO_NAME_TEXTBOX"), hardening::coinName(g));
        for (const auto& [name, text] : hardening::batchOf(g)) {
            if (auto* tick = s->findChild<TickBox*>(name))
                tick->setValue(text.toInt());
            else
                control<TextBox>(s, name)->setText(text);
        }
        // The ticked rows keep calculating while the user types.
        for (int n = 1; n <= keys::rowCount; ++n) {
            const QString timer = QStringLiteral("AUTO_CALCULATE_TIMER_%1").arg(n);
            if (control<Timer>(s, timer)->isEnabled())
                testing::fire(s, timer);
        }
        testing::fire(s, "AUTO_CALCULATE_TIMER_TOTAL");
        testing::fire(s, "AUTO_CALCULATE_USD_TIMER_TOTAL");
        if (hardening::closesIn(g)) {
            s->setLeft(hardening::leftOf(g));
            s->setTop(hardening::topOf(g));
            say(QStringLiteral("save %1 close").arg(g));
            testing::click(s, "CLOSE_BUTTON");
            settle();
            s = openSheet(main);
            if (!sheetShows(s, g)) {
                say(QStringLiteral("mismatch %1").arg(g));
                return 3;
            }
        } else {
            say(QStringLiteral("save %1 tick").arg(g));
            testing::fire(s, "AUTOSAVE_TIMER");
        }
        if (!Store::instance().healthy() || Store::instance().hasPending())
            return 4;
        say(QStringLiteral("done %1").arg(g));
    }
}

// LOCK, a refused entry, then the password typed and UNLOCK; true when that
// locked the tool and the password alone unlocked it and closed the window.
bool locksAndUnlocks(MainWindow* main, const QString& password) {
    Form* lock = Windows::get(WindowKind::Lock);
    lock->showModeless(main);
    auto* entry = control<TextBox>(lock, "ENTER_PASSWORD_TEXTBOX");
    for (const QString& refused : {QString(), QStringLiteral("wrong")}) {
        QTest::keyClicks(entry, refused);
        testing::click(lock, "LOCK_BUTTON"); // the first click locks
        if (!Windows::find(WindowKind::Lock) || main->lockState() != 1)
            return false;
    }
    entry->clear();
    control<TickBox>(lock, "SHOW_PASSWORD_TICKBOX")->setValue(1);
    QTest::keyClicks(entry, password);
    testing::click(lock, "LOCK_BUTTON"); // unlocks and unloads
    settle();
    return !Windows::find(WindowKind::Lock) && main->lockState() == 0;
}

int secrets(const QString& password) {
    Store::instance().setSectionOverride(hardening::section);
    auto* main = Windows::get<MainWindow>();
    main->showModeless();
    Form* lock = Windows::get(WindowKind::Lock);
    lock->showModeless(main);
    Form* pw = Windows::get(WindowKind::Password);
    pw->showModeless(lock);
    QTest::keyClicks(control<TextBox>(pw, "ENTER_NEW_PASSWORD_TEXTBOX"), password);
    QTest::keyClicks(control<TextBox>(pw, "RE_ENTER_NEW_PASSWORD_TEXTBOX"), password);
    testing::click(pw, "SHOW_PASSWORD_TICKBOX");
    testing::click(pw, "CHANGE_PASSWORD_BUTTON");
    testing::click(pw, "CANCEL_BUTTON");
    settle();
    // The open lock window takes the new password; loaded again, it reads it
    // back from the store.
    const bool unlocked = locksAndUnlocks(main, password);
    const bool stored = locksAndUnlocks(main, password);
    main->unload();
    settle();
    if (!unlocked || !stored || !Store::instance().healthy())
        return 4;
    say(QStringLiteral("ok"));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    testing::setUpTestApplication();
    registerMainWindow();
    registerSheetWindow();
    registerLockWindows();
    const QStringList args = app.arguments();
    const QString mode = args.value(1);
    if (mode == QLatin1String("save-loop") && args.size() == 3)
        return saveLoop(args[2].toLongLong());
    if (mode == QLatin1String("secrets") && args.size() == 3)
        return secrets(args[2]);
    std::fputs("usage: hardening_driver save-loop START | secrets PASSWORD\n", stderr);
    return 2;
}
