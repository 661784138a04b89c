#pragma once
// The per-user settings store: text values under the application "VL_QUORIX",
// one INI group per executable name. Every write of one handler goes to disk
// as one atomic replacement of the file; a write the disk refuses stays in
// memory, answers later reads and is tried again.

#include "settings/keys.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <QTimer>

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

    // True while the last attempt to write succeeded.
    bool healthy() const { return healthy_; }
    bool hasPending() const { return !pending_.isEmpty(); }

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

    // Milliseconds between attempts while writing fails.
    static constexpr int retryInterval = 5000;

signals:
    void healthChanged(bool healthy);

private:
    Store();
    void prepareFolder();
    void cleanLeftovers();
    void setHealthy(bool ok);

    QMap<QString, QString> pending_;
    int depth_ = 0;
    bool healthy_ = true;
    bool cleaned_ = false;
    QString sectionOverride_;
    QTimer retry_;
};

} // namespace vq
