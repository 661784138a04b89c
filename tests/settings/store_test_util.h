#pragma once
// Helpers shared by the settings store tests: a private config folder per
// test, a look at the file through a QSettings of its own, the helper process.

#include "settings/store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>
#include <memory>
#include <sys/stat.h>

namespace vq::testing {

// Points HOME and XDG_CONFIG_HOME at a new empty folder for as long as it
// lives, so that the store, and every helper process started meanwhile, use
// a file of their own.
class FreshStore {
public:
    explicit FreshStore(const QString& section = QStringLiteral("VELMORA-QUORIX")) {
        Store& store = Store::instance();
        store.simulateWriteFailures(0);
        store.flush(); // whatever an earlier test left pending goes to its own folder
        dir_ = std::make_unique<QTemporaryDir>();
        qputenv("HOME", dir_->path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (dir_->path() + QStringLiteral("/.config")).toUtf8());
        store.setSectionOverride(section);
        store.setRetryInterval(Store::retryInterval);
    }
    QString root() const { return dir_->path(); }
    QString file() const { return Store::instance().filePath(); }
    QString folder() const { return QFileInfo(file()).path(); }

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

inline QByteArray fileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

inline int modeOf(const QString& path) {
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return int(st.st_mode & 07777);
}

// Parses a copy of the store file under a name no QSettings of this process
// has seen, so that nothing cached stands in for the bytes on disk.
struct FileView {
    QSettings::Status status = QSettings::AccessError;
    QMap<QString, QVariant> values; // "section/key" -> raw value
};
inline FileView viewOf(const QString& path) {
    FileView view;
    const QString copy = QDir::tempPath() + QStringLiteral("/vq-view-") +
                         QUuid::createUuid().toString(QUuid::Id128) + QStringLiteral(".ini");
    if (!QFile::copy(path, copy))
        return view;
    {
        QSettings s(copy, QSettings::IniFormat);
        view.status = s.status();
        for (const QString& key : s.allKeys())
            view.values.insert(key, s.value(key));
    }
    QFile::remove(copy);
    return view;
}

#ifdef STORE_TOOL_PATH
struct ToolResult {
    int exitCode = -1;
    QByteArray out;
};
inline ToolResult runTool(const QStringList& args, const QByteArray& input = {},
                          const QString& program = QStringLiteral(STORE_TOOL_PATH)) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, args);
    if (!p.waitForStarted(10000))
        return {};
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    ToolResult r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    return r;
}
#endif

} // namespace vq::testing
