#include "frame/session.h"

#include "frame/windows.h"
#include "settings/store.h"

#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

namespace vq::session {

namespace {
int wakeUp[2] = {-1, -1};
bool closing = false;

extern "C" void onSignal(int) {
    // Only what is safe in a signal handler: the event loop does the rest.
    const int saved = errno;
    const char byte = 0;
    [[maybe_unused]] const auto n = ::write(wakeUp[1], &byte, 1);
    errno = saved;
}

void catchSignal(int signal) {
    struct sigaction current {};
    ::sigaction(signal, nullptr, &current);
    if (current.sa_handler == SIG_IGN)
        return; // nohup, or a shell's background job: the starter chose so
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
}

// A lost X connection makes Qt print a line and call exit(1) from inside the
// event loop: the windows still hold their texts, though none can be closed
// on screen any more. The handler is registered after the registry and the
// store's first read, so the statics it uses are destroyed after it runs.
// After main() has returned there is no application, and nothing to save.
void saveAtExit() {
    if (QCoreApplication::instance())
        saveAll();
}

class QuitFilter : public QObject {
public:
    using QObject::QObject;
    // Qt's quit (the session manager's, or QCoreApplication::quit) closes the
    // windows itself and gives up at the first that refuses the close event,
    // as every window does that takes its close as its unload: the tool would
    // live on with its compact window. The windows close here instead.
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched != qApp || e->type() != QEvent::Quit || Windows::loadedCount() == 0)
            return false;
        closeAll();
        return true;
    }
};

// A modal window's unload ends the event loop it runs in; the window under it
// closes once control is back in the loop outside, as after a user's close.
void closeNext(int loopToLeave, int tries) {
    const int level = QThread::currentThread()->loopLevel();
    if (level >= loopToLeave && tries < 100) {
        QTimer::singleShot(0, qApp, [=] { closeNext(loopToLeave, tries + 1); });
        return;
    }
    const QList<Form*> open = Windows::innermostFirst();
    if (open.isEmpty()) {
        QCoreApplication::exit(0);
        return;
    }
    Form* form = open.first();
    const int next = form->isModal() && level > 1 ? level : INT_MAX;
    form->unload();
    QTimer::singleShot(0, qApp, [=] { closeNext(next, 0); });
}
} // namespace

void install(QApplication& app) {
    if (::pipe2(wakeUp, O_CLOEXEC | O_NONBLOCK) == 0) {
        auto* notifier = new QSocketNotifier(wakeUp[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
            char bytes[64];
            while (::read(wakeUp[0], bytes, sizeof bytes) > 0) {
            }
            closeAll();
        });
        for (int signal : {SIGTERM, SIGHUP, SIGINT})
            catchSignal(signal);
    }
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                     [](QSessionManager&) { saveAll(); });
    app.installEventFilter(new QuitFilter(&app));
    // What the disk refused earlier, once more.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, [] { Store::instance().flush(); });
    std::atexit(saveAtExit);
}

void saveAll() {
    // One replacement of the file for every window, and anything still pending.
    Store::Batch batch;
    for (Form* form : Windows::innermostFirst())
        form->runUnloadSaves();
}

void closeAll() {
    if (closing)
        return;
    closing = true;
    closeNext(INT_MAX, 0);
}

} // namespace vq::session
