#include "settings/store.h"

#include "settings/convert.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStringDecoder>

#include <algorithm>
#include <cctype>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

// What QSettings 6.4 does and what this layer does about it:
// - Nothing reaches the disk before sync(); flush() syncs once per batch and
//   checks status().
// - status() keeps its first error for the life of the object: every read and
//   every flush uses a fresh QSettings, and a flush whose object was already
//   in error when it read the file asks a fresh object whether the write held.
// - setFallbacksEnabled(false), so that no system-wide file answers a read.
// - A value that is not a text (a hand-edited "1,5" is a list, "@Invalid()"
//   invalid) counts as missing.
// - Files and folders would be created 0644/0755: the folder is made 0700 and
//   the file 0600 before QSettings first touches them; QSaveFile then keeps
//   0600 on every replacement.
// - sync() writes an unnamed O_TMPFILE, fdatasyncs it, links it under
//   "VL_QUORIX.ini.XXXXXX" (six random letters) and renames that over the
//   file, all while holding "VL_QUORIX.ini.lock" (a QLockFile). A kill can
//   leave that named temp file (cleanLeftovers) or an empty lock file (or an
//   empty ".lock.rmlock"), which stalls the next sync for ~32 s
//   (removeStaleLock).
// - A file QSettings cannot fully parse is rewritten without the unparsable
//   part at the next sync: keepDamagedCopy keeps a copy aside first.
// - Every spelling of the group "general" is written as [%General], which
//   reads back only as "General" (section()).

namespace vq {

namespace {

const QString application = QStringLiteral("VL_QUORIX");
const QByteArray encodedPrefix = QByteArrayLiteral("VQ-UTF16:");

QString folderPath() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QLatin1Char('/') + application;
}

// Owner-only from the very first moment: the store holds the lock password.
bool makeOwnerOnlyFolder(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    const QByteArray p = QFile::encodeName(path);
    ::mkdir(p.constData(), 0700);
    struct stat st;
    if (::stat(p.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    // Narrowed, never widened: a folder its owner made read-only stays so.
    if (st.st_mode & 077)
        ::chmod(p.constData(), st.st_mode & 0700);
    return true;
}

// Any right of group and others, and the owner's right to run the file: a
// settings file is only ever read and written.
constexpr mode_t notOwnerOnly = 0177;

// Creates the file empty and 0600 if it is missing, and takes every other
// right from an existing one; QSaveFile gives each replacement the mode of
// the file it replaces.
void makeOwnerOnlyFile(const QString& path) {
    const QByteArray p = QFile::encodeName(path);
    const int fd = ::open(p.constData(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0600);
    if (fd < 0)
        return; // a folder in its place, say: the write reports it
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & notOwnerOnly))
        ::fchmod(fd, st.st_mode & 0600);
    ::close(fd);
}

// True if rewriting the file through QSettings would lose part of it: bytes
// that are not UTF-8, NULs, comments, lines that are neither a section header
// nor a key=value pair. QSettings writes none of these itself.
bool looksDamaged(const QByteArray& bytes) {
    if (bytes.contains('\0'))
        return true;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    (void)QString(utf8.decode(bytes));
    if (utf8.hasError())
        return true;
    for (const QByteArray& raw : bytes.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith('[')) {
            if (!line.endsWith(']'))
                return true;
        } else if (line.startsWith(';') || !line.contains('=')) {
            return true;
        }
    }
    return false;
}

// A stored value as text: a text, or a text this store had to encode.
std::optional<QString> textOf(const QVariant& v) {
    if (v.typeId() == QMetaType::QString)
        return v.toString();
    if (v.typeId() == QMetaType::QByteArray)
        return Store::decode(v.toByteArray());
    return std::nullopt;
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
    return folderPath() + QLatin1Char('/') + application + QStringLiteral(".ini");
}

QString Store::section() const {
    QString s = sectionOverride_;
    if (s.isEmpty())
        s = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (s.isEmpty())
        s = QStringLiteral("VELMORA-QUORIX");
    // QSettings writes every spelling of the group "general" as [%General]
    // and reads it back only as "General". Other spellings get an underscore
    // appended, and so does every spelling of "general" followed by
    // underscores, so that no two executable names share a section.
    QString bare = s;
    while (bare.endsWith(QLatin1Char('_')))
        bare.chop(1);
    if (s != QLatin1String("General") &&
        bare.compare(QLatin1String("general"), Qt::CaseInsensitive) == 0)
        s += QLatin1Char('_');
    return s;
}

bool Store::hasPending() const {
    for (const auto& keys : pending_)
        if (!keys.isEmpty())
            return true;
    return false;
}

bool Store::needsEncoding(const QString& text) {
    return text.contains(QChar(0xFEFF)) || !text.isValidUtf16();
}

QByteArray Store::encode(const QString& text) {
    QByteArray units;
    units.reserve(text.size() * 2);
    for (QChar c : text) {
        units.append(char(c.unicode() >> 8));
        units.append(char(c.unicode() & 0xFF));
    }
    return encodedPrefix + units.toHex().toUpper();
}

std::optional<QString> Store::decode(const QByteArray& stored) {
    if (!stored.startsWith(encodedPrefix))
        return std::nullopt;
    const QByteArray hex = stored.mid(encodedPrefix.size());
    const bool hexUnits = hex.size() % 4 == 0 && std::all_of(hex.cbegin(), hex.cend(), [](char c) {
                              return std::isxdigit(static_cast<unsigned char>(c));
                          });
    if (!hexUnits)
        return std::nullopt;
    const QByteArray units = QByteArray::fromHex(hex);
    QString text;
    text.reserve(units.size() / 2);
    for (qsizetype i = 0; i + 1 < units.size(); i += 2)
        text.append(QChar(char16_t((uchar(units[i]) << 8) | uchar(units[i + 1]))));
    return text;
}

QString Store::read(const keys::Key& key) {
    return read(key.name, key.def);
}

QString Store::read(const QString& name, const QString& def) {
    const QString sec = section();
    const auto pending = pending_.constFind(sec);
    if (pending != pending_.constEnd()) {
        const auto it = pending->constFind(name);
        if (it != pending->constEnd())
            return *it;
    }
    // A fresh object reads the file again if another copy has changed it.
    QSettings s(filePath(), QSettings::IniFormat);
    s.setFallbacksEnabled(false);
    if (!hasPending()) { // else a failed write is what health reports
        if (s.status() == QSettings::AccessError)
            setHealthy(false, tr("The settings file %1 cannot be read.").arg(filePath()));
        else if (!healthy_)
            setHealthy(true); // it was a read that failed, and reading works again
    }
    s.beginGroup(sec);
    return textOf(s.value(name)).value_or(def);
}

void Store::write(const keys::Key& key, const QString& value) {
    write(key.name, value);
}

void Store::write(const QString& name, const QString& value) {
    pending_[section()].insert(name, value);
    if (depth_ == 0)
        flush();
}

Store::Batch::Batch() {
    ++Store::instance().depth_;
}

Store::Batch::~Batch() {
    Store& s = Store::instance();
    if (--s.depth_ == 0)
        s.flush();
}

Store::NestedLoop::NestedLoop() : depth_(Store::instance().depth_) {
    Store& s = Store::instance();
    s.depth_ = 0;
    if (depth_ > 0)
        s.flush();
}

Store::NestedLoop::~NestedLoop() {
    Store::instance().depth_ += depth_;
}

bool Store::prepareFolder() {
    if (!makeOwnerOnlyFolder(folderPath()))
        return false;
    makeOwnerOnlyFile(filePath());
    return true;
}

// A kill between the creation of the lock file and the writing of its
// content leaves it empty; QLockFile then waits ~32 s before it calls it
// stale. The same holds for the "<lock>.rmlock" file (and its own .rmlock)
// that QLockFile takes while it removes a stale lock of a dead process. A
// live QLockFile holds a flock() on its file, so an empty lock file that can
// be flock()ed has no owner any more.
void Store::removeStaleLock() {
    QString name = filePath() + QStringLiteral(".lock");
    for (int level = 0; level < 4; ++level, name += QStringLiteral(".rmlock")) {
        const QByteArray lock = QFile::encodeName(name);
        const int fd = ::open(lock.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat st;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0 &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(lock.constData());
        ::close(fd);
    }
}

// A kill between QSaveFile's link and rename leaves "VL_QUORIX.ini.XXXXXX"
// (six random letters) beside the store. Every writer holds the store's lock
// from before it creates that file until after the rename, so while this
// process holds the lock, any such file is an orphan. Names in one case only
// ("backup", "BEFORE") are left alone: they are as likely a user's copy.
void Store::cleanLeftovers() {
    QLockFile lock(filePath() + QStringLiteral(".lock"));
    if (!lock.tryLock(200))
        return;
    const QFileInfo file(filePath());
    // Six letters with both cases, as the temporary names are made.
    auto mixedCase = [](const QString& name) {
        bool lower = false, upper = false;
        for (QChar c : name) {
            if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
                lower = true;
            else if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
                upper = true;
            else
                return false;
        }
        return name.size() == 6 && lower && upper;
    };
    const QString prefix = file.fileName() + QLatin1Char('.');
    // Matched by hand: a wildcard name filter would load the regular
    // expression engine, about 400 kB of resident memory, for one listing.
    QDirIterator it(file.path(), QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (name.startsWith(prefix) && mixedCase(name.mid(prefix.size())))
            QFile::remove(it.filePath());
    }
    cleaned_ = true;
}

// Keeps the file's current bytes beside it, owner-only, before a rewrite
// that would drop what QSettings cannot parse.
void Store::keepDamagedCopy() {
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    file.close();
    if (bytes == lastSetAside_)
        return; // already kept by an earlier attempt
    const QString stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss-zzz"));
    for (int n = 0; n < 100; ++n) {
        QString aside = filePath() + QStringLiteral(".broken-") + stamp;
        if (n > 0)
            aside += QLatin1Char('-') + QString::number(n);
        const int fd = ::open(QFile::encodeName(aside).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return;
        }
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t w = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
            if (w <= 0)
                break;
            done += w;
        }
        ::fdatasync(fd);
        ::close(fd);
        if (done == bytes.size())
            lastSetAside_ = bytes;
        return;
    }
}

// A folder where the store file belongs (made by hand or by another
// program) would refuse every write: move it aside, keeping what it holds.
void Store::moveFolderAside() {
    const QString stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss-zzz"));
    const QString aside = filePath() + QStringLiteral(".broken-") + stamp;
    if (::rename(QFile::encodeName(filePath()).constData(), QFile::encodeName(aside).constData()))
        qWarning("the settings file is a folder and cannot be moved aside");
}

bool Store::flush() {
    if (!hasPending())
        return healthy_;
    const QString path = filePath();
    bool ok = false;
    if (QFileInfo(path).isDir())
        moveFolderAside();
    if (simulatedFailures_ > 0) {
        --simulatedFailures_;
    } else if (prepareFolder()) {
        removeStaleLock();
        if (!cleaned_)
            cleanLeftovers();
        bool damaged = false;
        {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                damaged = looksDamaged(file.readAll());
        }
        bool readClean = false;
        {
            // A fresh object each time: QSettings keeps an error for its lifetime.
            QSettings s(path, QSettings::IniFormat);
            s.setFallbacksEnabled(false);
            readClean = s.status() == QSettings::NoError;
            if (damaged || s.status() == QSettings::FormatError)
                keepDamagedCopy();
            for (auto sec = pending_.cbegin(); sec != pending_.cend(); ++sec) {
                s.beginGroup(sec.key());
                for (auto it = sec->cbegin(); it != sec->cend(); ++it) {
                    if (needsEncoding(it.value()))
                        s.setValue(it.key(), encode(it.value()));
                    else
                        s.setValue(it.key(), it.value());
                }
                s.endGroup();
            }
            s.sync();
            ok = s.status() == QSettings::NoError;
            // sync() parses the file again if it changed since it was cached,
            // and a parse error there hides whether the write held.
            if (s.status() == QSettings::FormatError)
                readClean = false;
        }
        if (!readClean) {
            // That object's status still tells of the read. A fresh one retries
            // the write itself if it did not hold, and says so.
            QSettings check(path, QSettings::IniFormat);
            check.setFallbacksEnabled(false);
            ok = check.status() == QSettings::NoError;
        }
        if (ok) {
            struct stat st;
            const QByteArray p = QFile::encodeName(path);
            if (::stat(p.constData(), &st) == 0 && (st.st_mode & notOwnerOnly))
                ::chmod(p.constData(), st.st_mode & 0600);
        }
    }
    if (ok) {
        pending_.clear();
        retry_.stop();
        setHealthy(true);
    } else {
        cleaned_ = false; // a failed attempt may leave its temporary file
        if (!retry_.isActive())
            retry_.start();
        setHealthy(false, tr("The settings could not be saved to %1; they are kept in memory "
                             "and saved again shortly.")
                              .arg(path));
    }
    return ok;
}

void Store::setHealthy(bool ok, const QString& error) {
    lastError_ = ok ? QString() : error;
    if (ok == healthy_)
        return;
    healthy_ = ok;
    emit healthChanged(ok);
}

int readTick(const keys::Key& key) {
    return convert::tickValue(Store::instance().read(key)).value_or(*convert::tickValue(key.def));
}

bool readTruth(const keys::Key& key) {
    return convert::truthValue(Store::instance().read(key)).value_or(*convert::truthValue(key.def));
}

float readFloat(const keys::Key& key) {
    return convert::floatValue(Store::instance().read(key)).value_or(*convert::floatValue(key.def));
}

} // namespace vq
