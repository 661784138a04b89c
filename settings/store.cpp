#include "settings/store.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vq {

namespace {

const QString application = QStringLiteral("VL_QUORIX");

QString folderPath() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.config");
    return base + QLatin1Char('/') + application;
}

// Owner-only from the very first moment: the store holds the lock password.
void makeOwnerOnlyFolder(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    ::mkdir(QFile::encodeName(path).constData(), 0700);
    ::chmod(QFile::encodeName(path).constData(), 0700);
}

void makeOwnerOnlyFile(const QString& path) {
    const QByteArray p = QFile::encodeName(path);
    const int fd = ::open(p.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0) ::close(fd);
    ::chmod(p.constData(), 0600);
}

} // namespace

Store& Store::instance() {
    static Store* store = new Store; // lives as long as the process
    return *store;
}

Store::Store() {
    retry_.setSingleShot(true);
    retry_.setInterval(retryInterval);
    connect(&retry_, &QTimer::timeout, this, [this] { flush(); });
}

QString Store::filePath() const {
    return folderPath() + QLatin1Char('/') + application + ".ini";
}

QString Store::section() const {
    QString s = sectionOverride_;
    if (s.isEmpty()) s = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (s.isEmpty()) s = QStringLiteral("VELMORA-QUORIX");
    // The INI format reserves "General" for keys outside any group, and
    // other spellings of it cannot be read back.
    if (s.compare(QLatin1String("general"), Qt::CaseInsensitive) == 0) s += QLatin1Char('_');
    return s;
}

QString Store::read(const keys::Key& key) {
    return read(key.name, key.def);
}

QString Store::read(const QString& name, const QString& def) {
    const auto it = pending_.constFind(name);
    if (it != pending_.constEnd()) return *it;
    QSettings s(filePath(), QSettings::IniFormat);
    s.setFallbacksEnabled(false);
    s.beginGroup(section());
    const QVariant v = s.value(name);
    // A hand-edited "1,5" comes back as a list: anything but text is missing.
    if (!v.isValid() || v.typeId() != QMetaType::QString) return def;
    return v.toString();
}

void Store::write(const keys::Key& key, const QString& value) {
    write(key.name, value);
}

void Store::write(const QString& name, const QString& value) {
    pending_.insert(name, value);
    if (depth_ == 0) flush();
}

Store::Batch::Batch() {
    ++Store::instance().depth_;
}

Store::Batch::~Batch() {
    Store& s = Store::instance();
    if (--s.depth_ == 0) s.flush();
}

void Store::prepareFolder() {
    const QString folder = folderPath();
    makeOwnerOnlyFolder(folder);
    makeOwnerOnlyFile(filePath());
    if (!cleaned_) {
        cleaned_ = true;
        cleanLeftovers();
    }
}

void Store::cleanLeftovers() {
    const QFileInfo file(filePath());
    // A crash while the lock file was being created leaves it empty, and an
    // empty lock file stalls the next write for half a minute.
    const QFileInfo lock(file.filePath() + QStringLiteral(".lock"));
    if (lock.exists() && lock.size() == 0) QFile::remove(lock.filePath());
    // A crash during a write leaves its temporary file beside the store.
    const QDateTime old = QDateTime::currentDateTime().addSecs(-60);
    const QDir dir = file.dir();
    for (const QFileInfo& f :
         dir.entryInfoList({file.fileName() + QStringLiteral(".*")}, QDir::Files | QDir::Hidden)) {
        const QString suffix = f.fileName().mid(file.fileName().size() + 1);
        if (suffix.size() == 6 && suffix != QLatin1String("broken") && f.lastModified() < old)
            QFile::remove(f.filePath());
    }
}

bool Store::flush() {
    if (pending_.isEmpty()) return healthy_;
    prepareFolder();
    bool ok = false;
    {
        // A fresh object each time: QSettings keeps an error for its lifetime.
        QSettings s(filePath(), QSettings::IniFormat);
        s.setFallbacksEnabled(false);
        if (s.status() == QSettings::FormatError) {
            // The next sync drops what it cannot parse: keep a copy aside.
            const QString aside =
                filePath() + QStringLiteral(".broken-") +
                QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
            QFile::copy(filePath(), aside);
            ::chmod(QFile::encodeName(aside).constData(), 0600);
        }
        s.beginGroup(section());
        for (auto it = pending_.cbegin(); it != pending_.cend(); ++it)
            s.setValue(it.key(), it.value());
        s.endGroup();
        s.sync();
        ok = s.status() == QSettings::NoError;
    }
    if (ok) {
        pending_.clear();
        ::chmod(QFile::encodeName(filePath()).constData(), 0600);
        retry_.stop();
    } else if (!retry_.isActive()) {
        retry_.start();
    }
    setHealthy(ok);
    return ok;
}

void Store::setHealthy(bool ok) {
    if (ok == healthy_) return;
    healthy_ = ok;
    emit healthChanged(ok);
}

} // namespace vq
