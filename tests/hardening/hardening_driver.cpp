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
#include "frame/main_window.h"
#include "frame/windows.h"
#include "lock/lock_window.h"
#include "lock/password_window.h"
#include "settings/store.h"
#include "sheet/sheet_window.h"
#include "tests/hardening/generations.h"
#include "tests/support/testing.h"

#include <QApplication>
#include <QDateTime>
#include <QTest>
#include <cstdio>

using namespace vq;

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

SheetWindow* openSheet(MainWindow* main) {
    auto* s = Windows::get<SheetWindow>();
    s->showModeless(main);
    return s;
}

bool sheetShows(SheetWindow* s, qint64 g) {
    if (s->CRYPTO_NAME_TEXTBOX->text() != hardening::coinName(g) ||
        s->Left() != hardening::leftOf(g) || s->Top() != hardening::topOf(g))
        return false;
    const auto saved = s->savedFields(false);
    for (const auto& [key, text] : hardening::batchOf(g)) {
        bool found = false;
        for (const auto& [k, t] : saved)
            if (k == key)
                found = t == text;
        if (!found)
            return false;
    }
    return true;
}

int saveLoop(qint64 start) {
    Store::instance().setSectionOverride(hardening::section);
    auto* main = Windows::get<MainWindow>();
    main->showModeless();
    SheetWindow* s = openSheet(main);
    for (qint64 g = start;; ++g) {
        say(QStringLiteral("begin %1 %2").arg(g).arg(QDateTime::currentMSecsSinceEpoch()));
        typeInto(s->CRYPTO_NAME_TEXTBOX, hardening::coinName(g));
        const auto batch = hardening::batchOf(g);
        int i = 0;
        s->EXCHANGE_RATE_TEXTBOX->setText(batch[i++].second);
        for (int n = 1; n <= SheetWindow::Rows; ++n)
            s->row(n).WALLET_NAME_TEXTBOX->setText(batch[i++].second);
        for (int n = 1; n <= SheetWindow::Rows; ++n)
            s->row(n).AMOUNT_IN_WALLET->setText(batch[i++].second);
        for (int n = 1; n <= SheetWindow::Rows; ++n)
            s->row(n).CURRENT_DOLLAR_VALUATION->setText(batch[i++].second);
        for (int n = 1; n <= SheetWindow::Rows; ++n)
            s->row(n).AUTOMATIC_CALCULATIONS_TICKBOX->setValue(batch[i++].second.toInt());
        s->AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL->setValue(batch[i++].second.toInt());
        s->AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL->setValue(batch[i++].second.toInt());
        // The ticked rows keep calculating while the user types.
        for (int n = 1; n <= SheetWindow::Rows; ++n)
            if (s->row(n).AUTO_CALCULATE_TIMER->isEnabled())
                s->AUTO_CALCULATE_TIMER_Timer(n);
        s->AUTO_CALCULATE_TIMER_TOTAL_Timer();
        s->AUTO_CALCULATE_USD_TIMER_TOTAL_Timer();
        if (hardening::closesIn(g)) {
            s->setLeft(hardening::leftOf(g));
            s->setTop(hardening::topOf(g));
            say(QStringLiteral("save %1 close").arg(g));
            s->CLOSE_BUTTON_Click();
            settle();
            s = openSheet(main);
            if (!sheetShows(s, g)) {
                say(QStringLiteral("mismatch %1").arg(g));
                return 3;
            }
        } else {
            say(QStringLiteral("save %1 tick").arg(g));
            s->AUTOSAVE_TIMER_Timer();
        }
        if (!Store::instance().healthy() || Store::instance().hasPending())
            return 4;
        say(QStringLiteral("done %1").arg(g));
    }
}

int secrets(const QString& password) {
    Store::instance().setSectionOverride(hardening::section);
    auto* main = Windows::get<MainWindow>();
    main->showModeless();
    auto* lock = Windows::get<LockWindow>();
    lock->showModeless(main);
    lock->PASSWORD_MANAGER_BUTTON->setEnabled(true);
    auto* pw = Windows::get<PasswordWindow>();
    pw->showModeless(lock);
    QTest::keyClicks(pw->ENTER_NEW_PASSWORD_TEXTBOX, password);
    QTest::keyClicks(pw->RE_ENTER_NEW_PASSWORD_TEXTBOX, password);
    pw->SHOW_PASSWORD_TICKBOX->setValue(1);
    pw->CHANGE_PASSWORD_BUTTON->click();
    pw->CANCEL_BUTTON->click();
    settle();
    lock->LOCK_BUTTON->click(); // locks; the empty entry is refused
    QTest::keyClicks(lock->ENTER_PASSWORD_TEXTBOX, QStringLiteral("wrong"));
    lock->LOCK_BUTTON->click();
    lock->ENTER_PASSWORD_TEXTBOX->clear();
    lock->SHOW_PASSWORD_TICKBOX->setValue(1);
    QTest::keyClicks(lock->ENTER_PASSWORD_TEXTBOX, password);
    lock->LOCK_BUTTON->click(); // unlocks and unloads
    settle();
    const bool unlocked = !Windows::find<LockWindow>() && main->CLIENT_LOCKED_TICKBOX->value() == 0;
    // The lock window, loaded again, reads the password back from the store.
    auto* again = Windows::get<LockWindow>();
    const bool stored = again->CURRENT_PASSWORD_TEXTBOX->text() == password;
    again->unload();
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
    Windows::registerFactory(WindowKind::Main, [] { return new MainWindow; });
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
