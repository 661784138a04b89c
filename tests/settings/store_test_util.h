#pragma once
// Settings store test helpers: a private config folder, a fresh look at the file, the tool.

#include "settings/store.h"

#include <QTest>
#include <QtCore>
#include <memory>
#include <sys/stat.h>

namespace vq::testing {

// HOME and XDG_CONFIG_HOME point at a new empty folder (for helper processes too).
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
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

inline int modeOf(const QString& path) {
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

// Parses a copy under a new name, so that nothing QSettings cached stands in for the disk.
struct FileView {
    QSettings::Status status = QSettings::AccessError;
    QMap<QString, QVariant> values; // "section/key" -> raw value
};
inline FileView viewOf(const QString& path) {
    FileView view;
    const QString copy = QDir::tempPath() + "/vq-view-" + QUuid::createUuid().toString() + ".ini";
    if (QFile::copy(path, copy)) {
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
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput()};
}
#endif

} // namespace vq::testing
