// Durability: a process writing 46-key batches in a loop is killed with
// SIGKILL at random moments, over and over; after every kill the file parses
// and holds one whole batch, never a mix. Leftovers of a kill (an empty lock
// file, a named temporary file) neither stall the next writer nor pile up.
#include "settings/store.h"
#include "tests/settings/protocol.h"
#include "tests/settings/store_test_util.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSysInfo>
#include <QThread>
#include <QtTest>

using namespace vq;
using namespace vq::testing;

namespace {

const QString section = QStringLiteral("VELMORA-QUORIX");
constexpr int batchKeys = 46;

QString genKey(int i) {
    return QStringLiteral("%1/GEN_%2").arg(section).arg(i, 2, 10, QLatin1Char('0'));
}

// What QSaveFile leaves when killed between its link and its rename: the
// name plus six random letters. The store clears those in mixed case (the
// others could be a user's "backup"), so only those must not pile up.
QStringList tempFiles(const QString& storeFile, bool mixedCaseOnly = false) {
    const QFileInfo file(storeFile);
    static const QRegularExpression any(QStringLiteral("^[A-Za-z]{6}$"));
    static const QRegularExpression mixed(QStringLiteral("^(?=.*[a-z])(?=.*[A-Z])[A-Za-z]{6}$"));
    const QRegularExpression& pattern = mixedCaseOnly ? mixed : any;
    QStringList found;
    const QString prefix = file.fileName() + QLatin1Char('.');
    for (const QString& name : file.dir().entryList(QDir::Files | QDir::Hidden))
        if (name.startsWith(prefix) && pattern.match(name.mid(prefix.size())).hasMatch())
            found << name;
    return found;
}

} // namespace

class StoreKillTest : public QObject {
    Q_OBJECT

private slots:
    void killedWriterNeverTearsTheFile();
    void leftoversOfAKillAreCleared();
    void emptyRemovalLockDoesNotStall();
};

void StoreKillTest::killedWriterNeverTearsTheFile() {
    FreshStore fresh;
    const quint32 seed = QRandomGenerator::global()->generate();
    qInfo("random seed %u", seed);
    QRandomGenerator rng(seed);

    QElapsedTimer clock;
    clock.start();
    int kills = 0, lastGeneration = 0, emptyLocks = 0, locks = 0, temps = 0, maxTemps = 0;
    int killedBeforeFirstBatch = 0, removalLocks = 0;
    qint64 slowestStart = 0;
    // At least 200 kills; as many as 600 while the run stays well under 40 s.
    const int wanted = 600;
    while (kills < wanted && clock.elapsed() < 25000) {
        QProcess writer;
        writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer.start(QStringLiteral(STORE_TOOL_PATH),
                     {QStringLiteral("loop"), section, QString::number(batchKeys)});
        QVERIFY(writer.waitForStarted(10000));
        const int how = rng.bounded(5);
        if (how == 0) {
            // Anywhere from start-up to the first batches.
            QThread::usleep(rng.bounded(20000));
        } else {
            // In the middle of the loop. A stalled first write (a stale lock
            // file waits ~32 s) fails here.
            QElapsedTimer started;
            started.start();
            if (!writer.waitForReadyRead(10000)) {
                const QString lock = fresh.file() + QStringLiteral(".lock");
                qWarning() << "writer state" << writer.state() << "lock exists"
                           << QFileInfo::exists(lock) << "size" << QFileInfo(lock).size()
                           << "content" << fileBytes(lock) << "age ms"
                           << QFileInfo(lock).lastModified().msecsTo(QDateTime::currentDateTime())
                           << QDir(fresh.folder()).entryList(QDir::AllEntries | QDir::Hidden);
                QFAIL("the writer did not get its first batch out");
            }
            slowestStart = std::max(slowestStart, started.elapsed());
            // Mostly within the next few batches, at times a good many later.
            QThread::usleep(rng.bounded(4) ? rng.bounded(5000) : rng.bounded(30000));
        }
        writer.kill(); // SIGKILL
        QVERIFY(writer.waitForFinished(10000));
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
        ++kills;

        if (QFileInfo::exists(fresh.file() + QStringLiteral(".lock"))) {
            ++locks;
            if (QFileInfo(fresh.file() + QStringLiteral(".lock")).size() == 0)
                ++emptyLocks;
        }
        if (QFileInfo::exists(fresh.file() + QStringLiteral(".lock.rmlock")))
            ++removalLocks;
        temps += int(tempFiles(fresh.file()).size());
        maxTemps = std::max(maxTemps, int(tempFiles(fresh.file(), true).size()));

        if (!QFileInfo::exists(fresh.file()) || QFileInfo(fresh.file()).size() == 0) {
            // Killed before the first batch ever reached the disk.
            QCOMPARE(lastGeneration, 0);
            ++killedBeforeFirstBatch;
            continue;
        }
        const FileView view = viewOf(fresh.file());
        QCOMPARE(view.status, QSettings::NoError);
        const QVariant first = view.values.value(genKey(0));
        if (!first.isValid()) {
            QCOMPARE(lastGeneration, 0);
            ++killedBeforeFirstBatch;
            continue;
        }
        const int generation = first.toString().toInt();
        for (int i = 1; i < batchKeys; ++i)
            QVERIFY2(
                view.values.value(genKey(i)).toString() == first.toString(),
                qPrintable(QStringLiteral("torn batch after kill %1: key %2 holds %3, key 0 "
                                          "holds %4")
                               .arg(kills)
                               .arg(i)
                               .arg(view.values.value(genKey(i)).toString(), first.toString())));
        QVERIFY2(generation >= lastGeneration, "a later file holds an older batch");
        lastGeneration = generation;
    }
    qInfo("SIGKILL test: %d kills in %lld ms (%d before the first batch reached the disk), "
          "%d batches written in all; after a kill: lock file present %d times (empty %d), "
          ".lock.rmlock present %d times, "
          "temporary files seen %d (at most %d mixed-case ones at once); slowest first batch "
          "%lld ms",
          kills, clock.elapsed(), killedBeforeFirstBatch, lastGeneration, locks, emptyLocks,
          removalLocks, temps, maxTemps, slowestStart);
    QVERIFY2(kills >= 200, "fewer than 200 kills in the time allowed");
    QVERIFY(lastGeneration > kills / 2);
    // Leftovers never pile up: each new writer clears those of the last kill.
    QVERIFY(maxTemps <= 1);
}

// A stale empty lock file and orphan temporary files from an earlier kill:
// the next write neither waits for the lock to age nor leaves them behind.
// A user's own file that merely looks alike ("backup", one case only) stays.
void StoreKillTest::leftoversOfAKillAreCleared() {
    FreshStore fresh;
    QByteArray in = "CRYPTO_NAME\t" + toHexUnits(QStringLiteral("before")) + '\n';
    QCOMPARE(runTool({QStringLiteral("write"), section}, in).exitCode, 0);

    const QString file = fresh.file();
    writeBytes(file + QStringLiteral(".lock"), QByteArray()); // empty, no owner
    writeBytes(file + QStringLiteral(".wSkTFP"), "[VELMORA-QUORIX]\nCRYPTO_NAME=torn\n");
    writeBytes(file + QStringLiteral(".AbCdEf"), "[VELMORA-QUORIX]\n");
    writeBytes(file + QStringLiteral(".backup"), "my own copy");
    writeBytes(file + QStringLiteral(".Backup1"), "my own copy too");

    QElapsedTimer t;
    t.start();
    in = "CRYPTO_NAME\t" + toHexUnits(QStringLiteral("after")) + '\n';
    QCOMPARE(runTool({QStringLiteral("write"), section}, in).exitCode, 0);
    qInfo("write with a stale empty lock file took %lld ms", t.elapsed());
    QVERIFY2(t.elapsed() < 5000, "a stale empty lock file stalled the write");

    QVERIFY(!QFileInfo::exists(file + QStringLiteral(".lock")));
    QVERIFY(!QFileInfo::exists(file + QStringLiteral(".wSkTFP")));
    QVERIFY(!QFileInfo::exists(file + QStringLiteral(".AbCdEf")));
    QVERIFY(QFileInfo::exists(file + QStringLiteral(".backup")));
    QVERIFY(QFileInfo::exists(file + QStringLiteral(".Backup1")));
    const FileView view = viewOf(file);
    QCOMPARE(view.status, QSettings::NoError);
    QCOMPARE(view.values.value(section + QStringLiteral("/CRYPTO_NAME")).toString(),
             QStringLiteral("after"));
}

// A kill while QLockFile removes the stale lock of a dead writer leaves the
// lock (naming the dead process) and an empty "<lock>.rmlock": QLockFile
// alone waits ~32 s for the latter to age.
void StoreKillTest::emptyRemovalLockDoesNotStall() {
    FreshStore fresh;
    QByteArray in = "CRYPTO_NAME\t" + toHexUnits(QStringLiteral("before")) + '\n';
    QCOMPARE(runTool({QStringLiteral("write"), section}, in).exitCode, 0);

    QProcess gone; // a process id that no longer runs
    gone.start(QStringLiteral(STORE_TOOL_PATH), {});
    QVERIFY(gone.waitForStarted(10000));
    const qint64 deadPid = gone.processId();
    QVERIFY(deadPid > 0);
    QVERIFY(gone.waitForFinished(10000));
    const QByteArray lockContent =
        QByteArray::number(deadPid) + "\nstore_tool\n" + QSysInfo::machineHostName().toUtf8() +
        '\n' + QSysInfo::machineUniqueId() + '\n' + QSysInfo::bootUniqueId() + '\n';
    const QString file = fresh.file();
    writeBytes(file + QStringLiteral(".lock"), lockContent);
    writeBytes(file + QStringLiteral(".lock.rmlock"), QByteArray());

    QElapsedTimer t;
    t.start();
    in = "CRYPTO_NAME\t" + toHexUnits(QStringLiteral("after")) + '\n';
    QCOMPARE(runTool({QStringLiteral("write"), section}, in).exitCode, 0);
    qInfo("write with a dead writer's lock and an empty .rmlock took %lld ms", t.elapsed());
    QVERIFY2(t.elapsed() < 5000, "an empty .rmlock file stalled the write");
    QVERIFY(!QFileInfo::exists(file + QStringLiteral(".lock")));
    QCOMPARE(viewOf(file).values.value(section + QStringLiteral("/CRYPTO_NAME")).toString(),
             QStringLiteral("after"));
}

QTEST_GUILESS_MAIN(StoreKillTest)
#include "tst_store_kill.moc"
