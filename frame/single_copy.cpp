#include "frame/single_copy.h"

#include "frame/windows.h"
#include "settings/store.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QSocketNotifier>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vq {

namespace {
// Long enough for a copy busy drawing a window; a copy that stays silent
// longer is hung, and a second copy would still lose what it holds.
constexpr int answerMs = 5000;
const char request[] = "raise\n";
const char answer[] = "ok\n";

bool privateFolder(const QString& path) {
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

// A name the socket's path can hold whatever the executable is called.
QByteArray socketPath(const QString& folder, const QString& name, const char* suffix) {
    const QByteArray hash =
        QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha256).toHex().left(32);
    return QFile::encodeName(folder) + "/VL_QUORIX-" + hash + suffix;
}

bool toAddress(const QByteArray& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    return true;
}

bool waitFor(int fd, short events) {
    pollfd p{fd, events, 0};
    int r;
    do
        r = ::poll(&p, 1, answerMs);
    while (r < 0 && errno == EINTR);
    return r == 1 && (p.revents & events);
}

// Asks the copy listening at the address to raise its window: Unanswered if
// one listens but does not answer, First if none listens.
StartRole askRunningCopy(const sockaddr_un& address) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return StartRole::First;
    StartRole role = StartRole::First;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        role = StartRole::Unanswered;
        char got[sizeof answer] = {};
        if (::send(fd, request, sizeof request - 1, MSG_NOSIGNAL) == sizeof request - 1 &&
            waitFor(fd, POLLIN) && ::recv(fd, got, sizeof got - 1, 0) > 0 &&
            qstrcmp(got, answer) == 0)
            role = StartRole::HandedOver;
    }
    ::close(fd);
    return role;
}

void raiseFrontmostWindow() {
    for (Form* f : Windows::innermostFirst()) {
        if (!f->isVisible())
            continue;
        f->setWindowState(f->windowState() & ~Qt::WindowMinimized);
        f->raise();
        f->activateWindow();
        return;
    }
}

void answerLaterStart(int listener) {
    const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0)
        return;
    // The request follows the connection at once; a client that sends
    // nothing is not waited for long.
    char got[sizeof request] = {};
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 500) == 1 && ::recv(fd, got, sizeof got - 1, 0) > 0 &&
        qstrcmp(got, request) == 0) {
        raiseFrontmostWindow();
        ::send(fd, answer, sizeof answer - 1, MSG_NOSIGNAL);
    }
    ::close(fd);
}

int listenAt(const sockaddr_un& address) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    // A socket left behind by a copy that was killed: nobody listens there.
    ::unlink(address.sun_path);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 8) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}
} // namespace

QString singleCopyFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && privateFolder(runtime))
        return runtime;
    const QString own = QDir::tempPath() + QStringLiteral("/VL_QUORIX-%1").arg(::geteuid());
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    return privateFolder(own) ? own : QString();
}

StartRole claimSingleCopy() {
    const Store& store = Store::instance();
    const QString name = store.filePath() + QStringLiteral("\n") + store.section();
    const QString folder = singleCopyFolder();
    sockaddr_un address;
    if (folder.isEmpty() || !toAddress(socketPath(folder, name, ".socket"), address))
        return StartRole::First;
    const int lock = ::open(socketPath(folder, name, ".lock").constData(),
                            O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lock < 0 || ::flock(lock, LOCK_EX) != 0) {
        if (lock >= 0)
            ::close(lock);
        return StartRole::First;
    }
    StartRole role = askRunningCopy(address);
    if (role == StartRole::First) {
        const int listener = listenAt(address);
        if (listener >= 0) {
            auto* notifier = new QSocketNotifier(listener, QSocketNotifier::Read, qApp);
            QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                             [listener] { answerLaterStart(listener); });
        }
    }
    ::close(lock);
    if (role == StartRole::Unanswered)
        std::fprintf(stderr, "%s: a copy already runs for this user but does not answer.\n",
                     qPrintable(store.section()));
    return role;
}

} // namespace vq
