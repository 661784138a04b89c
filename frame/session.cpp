#include "frame/session.h"

#include "frame/windows.h"
#include "settings/store.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSessionManager>
#include <QSettings>
#include <QSocketNotifier>
#include <QThread>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vq::session {

namespace {
int wakeUp[] = {-1, -1}; // read end, write end
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

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Why the settings folder takes no file: the store only learns that the write
// failed. A regular file where the folder belongs says "Not a directory", a
// full disk "No space left on device".
QString whyRefused(const QString& file) {
    const QByteArray folder = QFile::encodeName(QFileInfo(file).path());
    if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST)
        return systemError(errno);
    const int fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno == EOPNOTSUPP ? QStringLiteral("the file could not be replaced")
                                   : systemError(errno);
    const QByteArray block(4096, '\n');
    const bool held =
        ::write(fd, block.constData(), block.size()) == block.size() && ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    return held ? QStringLiteral("the file could not be replaced") : systemError(error);
}

// Writes what the store could not into a new file readable by the user only,
// in the store's own form so that its lines can be copied back: beside the
// settings folder, else in the home folder, else in the temporary folder.
// Returns its path, or an empty text if no folder took it.
QString keepAside(const QMap<QString, QMap<QString, QString>>& values) {
    const QString name =
        QStringLiteral("VL_QUORIX-unsaved-%1.ini")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss")));
    const QString configHome = QFileInfo(QFileInfo(Store::instance().filePath()).path()).path();
    for (const QString& folder : {configHome, QDir::homePath(), QDir::tempPath()}) {
        const QString path = folder + QLatin1Char('/') + name;
        const QByteArray p = QFile::encodeName(path);
        // Never over an existing file, nor through a link planted in its place.
        const int fd =
            ::open(p.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0)
            continue;
        ::close(fd);
        QSettings aside(path, QSettings::IniFormat); // keeps the 0600 of the file it replaces
        for (auto sec = values.cbegin(); sec != values.cend(); ++sec) {
            aside.beginGroup(sec.key());
            for (auto it = sec->cbegin(); it != sec->cend(); ++it)
                aside.setValue(it.key(), Store::needsEncoding(it.value())
                                             ? QVariant(Store::encode(it.value()))
                                             : QVariant(it.value()));
            aside.endGroup();
        }
        aside.sync();
        if (aside.status() == QSettings::NoError)
            return path;
        ::unlink(p.constData());
    }
    return {};
}

// The last attempt to write what is pending. If the disk still refuses it,
// it is kept aside and one line on standard error (the journal of a desktop
// session keeps it) says what, where and why. True when all is on disk.
bool savedAtEnd() {
    static bool told = false; // the close and the quit that follows it both ask
    Store& store = Store::instance();
    if (store.flush())
        return true;
    if (told)
        return false;
    told = true;
    const auto values = store.pendingValues();
    qsizetype count = 0;
    for (const auto& keys : values)
        count += keys.size();
    const QString aside = keepAside(values);
    const QString line =
        QStringLiteral("VELMORA-QUORIX: %1 changed setting(s) could not be saved to %2 (%3); ")
            .arg(count)
            .arg(store.filePath(), whyRefused(store.filePath())) +
        (aside.isEmpty() ? QStringLiteral("nowhere else took them either, so they are lost")
                         : QStringLiteral("they are kept, readable by you only, in %1").arg(aside));
    std::fprintf(stderr, "%s\n", qPrintable(line));
    std::fflush(stderr);
    return false;
}

// A lost display makes Qt's X11 plugin print a line and call exit(1) from
// inside the event loop: the windows still hold their texts, though none can
// be closed on screen any more. exit() runs the main thread's thread-local
// destructors before anything registered with atexit(); Qt 6.8 takes down its
// per-thread data among them, deleting the windows whose deletion was still
// pending (those a close unloaded just before) after the thread storage that
// deletion needs is gone: a crash at every logout. This object's destructor
// is registered after Qt's (the application exists by then), so it runs
// first: it saves what the windows hold and ends the process at once, with
// the status 1 Qt's plugin asks for (glibc does not tell a destructor what
// exit() was given); nothing of the teardown is worth running without a
// display.
// After main() has returned there is no application: nothing to do.
struct LostDisplay {
    ~LostDisplay() {
        if (!QCoreApplication::instance())
            return;
        saveAll();
        savedAtEnd();
        std::fflush(nullptr);
        ::_exit(1);
    }
};

class QuitFilter : public QObject {
public:
    using QObject::QObject;
    // Qt's quit (the session manager's, or QCoreApplication::quit) closes the
    // windows itself and gives up at the first that refuses the close event,
    // as every window does that takes its close as its unload: the tool would
    // live on with its compact window. The windows close here instead.
    // Once the last window has closed, a quit ends the tool, with status 1 if
    // the disk still refuses what the closes saved.
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched != qApp || e->type() != QEvent::Quit)
            return false;
        if (Windows::loadedCount() > 0)
            closeAll();
        else if (!savedAtEnd())
            QCoreApplication::exit(1);
        else
            return false;
        return true;
    }
};

// A modal window's unload ends the event loop it runs in; the window under it
// closes once control is back in the loop outside, as after a user's close.
void closeNext(int loopToLeave, int tries) {
    const int level = QThread::currentThread()->loopLevel();
    if (level >= loopToLeave && tries < 100) {
        QMetaObject::invokeMethod(
            qApp, [=] { closeNext(loopToLeave, tries + 1); }, Qt::QueuedConnection);
        return;
    }
    const QList<Form*> open = Windows::innermostFirst();
    if (open.isEmpty()) {
        QCoreApplication::exit(savedAtEnd() ? 0 : 1);
        return;
    }
    Form* form = open.first();
    const int next = form->isModal() && level > 1 ? level : INT_MAX;
    form->unload();
    QMetaObject::invokeMethod(
        qApp, [=] { closeNext(next, 0); }, Qt::QueuedConnection);
}
} // namespace

void install(QApplication& app) {
    if (::pipe2(wakeUp, O_CLOEXEC | O_NONBLOCK) == 0) {
        auto* notifier = new QSocketNotifier(wakeUp[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
            // A byte a signal; any left over from a burst wakes this again,
            // and closing twice changes nothing.
            char bytes[64];
            [[maybe_unused]] const auto n = ::read(wakeUp[0], bytes, sizeof bytes);
            closeAll();
        });
        for (int signal : {SIGTERM, SIGHUP, SIGINT})
            catchSignal(signal);
    }
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                     [](QSessionManager&) { saveAll(); });
    app.installEventFilter(new QuitFilter(&app));
    static thread_local LostDisplay lostDisplay; // made now, so destroyed before Qt's own
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
