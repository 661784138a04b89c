#pragma once
// settings/ holds this store, the one key catalogue (keys.h, the only place
// that spells a key) and the conversions of stored texts (convert.h).
//
// The per-user settings store: text values under the application "VL_QUORIX",
// one INI group per executable name, in
// $XDG_CONFIG_HOME/VL_QUORIX/VL_QUORIX.ini (else ~/.config/VL_QUORIX/...).
// Every write of one handler goes to disk as one atomic replacement of the
// file; a write the disk refuses stays in memory, answers later reads and is
// tried again.

#include "settings/keys.h"

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTimer>
#include <optional>

namespace vq {

class Store : public QObject {
    Q_OBJECT
public:
    static Store& instance();

    // The stored text, or the default when the key does not exist or holds
    // something that is not a text. Never creates a key.
    QString read(const keys::Key& key);
    QString read(const QString& name, const QString& def);

    // Replaces the key's value. Outside a Batch the value is on disk when
    // this returns; inside one, when the outermost Batch ends.
    void write(const keys::Key& key, const QString& value);
    void write(const QString& name, const QString& value);

    // Writes what is pending; false if the disk refused it (it stays pending).
    bool flush();

    // True while the store works: the last attempt to write succeeded and no
    // later read found the file unreadable.
    bool healthy() const { return healthy_; }
    // What went wrong last, for a window to show; empty while healthy.
    QString lastError() const { return lastError_; }
    bool hasPending() const;
    // What is not on disk yet: section -> key -> text.
    QMap<QString, QMap<QString, QString>> pendingValues() const { return pending_; }

    QString filePath() const;
    QString section() const;
    // Tests and tools may address another section than the executable's name.
    void setSectionOverride(const QString& section) { sectionOverride_ = section; }

    // Groups the writes of one handler into one file replacement. Batches nest.
    class Batch {
    public:
        Batch();
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
    };
    // Held around a nested event loop (a modal window): what open Batches
    // hold goes to disk as it starts and every write inside goes at once;
    // the Batches go on when it ends. Held across the loop, they would keep
    // back every write made in it until the handler that opened it returns,
    // and for ever if the display is lost meanwhile.
    class NestedLoop {
    public:
        NestedLoop();
        ~NestedLoop();
        NestedLoop(const NestedLoop&) = delete;
        NestedLoop& operator=(const NestedLoop&) = delete;

    private:
        int depth_;
    };

    // Milliseconds between attempts while writing fails.
    static constexpr int retryInterval = 5000;
    void setRetryInterval(int ms) { retry_.setInterval(ms); }

    // Test hook: the next `count` attempts to write fail as if the disk had
    // refused them; nothing reaches the disk during them.
    void simulateWriteFailures(int count) { simulatedFailures_ = count; }

    // How a text is kept in the INI file. Texts that QSettings carries
    // unchanged are stored as they are; the few it would lose (any U+FEFF,
    // which its reader drops after the start of a line or of an escape, and
    // unpaired surrogates) are stored as @ByteArray(VQ-UTF16:<hex code units>),
    // which no plain text can look like. Public for tests.
    static bool needsEncoding(const QString& text);
    static QByteArray encode(const QString& text);
    static std::optional<QString> decode(const QByteArray& stored);

signals:
    void healthChanged(bool healthy);

private:
    Store();
    bool prepareFolder();
    void removeStaleLock();
    void cleanLeftovers();
    void keepDamagedCopy();
    void moveFolderAside();
    void setHealthy(bool ok, const QString& error = QString());

    // Section -> key -> text not yet on disk.
    QMap<QString, QMap<QString, QString>> pending_;
    int depth_ = 0;
    bool healthy_ = true;
    bool cleaned_ = false;
    int simulatedFailures_ = 0;
    QByteArray lastSetAside_;
    QString lastError_;
    QString sectionOverride_;
    QTimer retry_;
};

// Typed reads of the running store. A stored text that does not convert, as
// only a hand-edited file can hold, counts as the key's default.
int readTick(const keys::Key& key);
bool readTruth(const keys::Key& key);
float readFloat(const keys::Key& key);

} // namespace vq
