// The settings store on disk, and against other processes writing it (store_tool).
#include "settings/store.h"
#include "tests/support/testing.h"

#include <QSignalSpy>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace vq;

class StoreTest : public QObject {
    Q_OBJECT
    const QString section = QStringLiteral("VELMORA-QUORIX"), def = QStringLiteral("<default>");
    Store& store = Store::instance();

    QString read(const QString& key) { return store.read(key, def); }
    QString folder() { return QFileInfo(store.filePath()).path(); }
    QFileInfoList entries(const QString& filter = QStringLiteral("*")) {
        return QDir(folder()).entryInfoList({filter},
                                            QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    static void put(const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    // The folder 0700, the file and copies set aside 0600 (owner, group and other bits).
    void checkOwnerOnly() {
        QCOMPARE(int(QFileInfo(folder()).permissions()) & 0x7077, 0x7000);
        for (const QFileInfo& f : entries())
            QVERIFY(f.isDir() || (int(f.permissions()) & 0x7077) == 0x6000);
    }
    static bool onDisk(const char* line) { return testing::storeFileContents().contains(line); }
    // store_tool writing the texts in one batch; its exit code.
    int writeElsewhere(const QMap<QString, QString>& texts) {
        QProcess p;
        p.start(QStringLiteral(STORE_TOOL_PATH), {section});
        for (auto it = texts.cbegin(); it != texts.cend(); ++it) {
            const QByteArray units(reinterpret_cast<const char*>(it->utf16()), it->size() * 2);
            p.write(it.key().toUtf8() + '\t' + units.toHex() + '\n');
        }
        p.closeWriteChannel();
        return p.waitForFinished(30000) && p.exitStatus() == 0 ? p.exitCode() : -1;
    }

private slots:
    void init() { ::umask(0); } // what the store creates must not rely on the umask

    // A writer killed mid-save leaves an empty lock file (stalling the next save
    // for half a minute) or its temporary file; the next save clears both and
    // leaves a user's look-alike copy alone. First: orphans are cleared once a run.
    void leftoversOfAKilledWriter() {
        const QString file = testing::useFreshStore();
        const QStringList left{".lock", ".lock.rmlock", ".AbcDef"};
        for (const QString& end : left + QStringList{".backup"})
            put(file + end, {});
        QElapsedTimer clock;
        clock.start();
        store.write(QStringLiteral("A"), QStringLiteral("1"));
        QVERIFY(clock.elapsed() < 10000 && onDisk("\nA=1\n"));
        for (const QString& end : left)
            QVERIFY2(!QFileInfo::exists(file + end), qPrintable(end));
        QVERIFY(QFileInfo::exists(file + ".backup"));
    }

    // Nested batches end with the outermost, as one replacement of the file; owner-only modes.
    void batchIsOneOwnerOnlyReplacement() {
        const QString file = testing::useFreshStore();
        QVERIFY(read("A") == def && !QFileInfo::exists(folder())); // reads create nothing
        store.write(QStringLiteral("A"), QStringLiteral("0"));
        QVERIFY(onDisk("\nA=0\n"));
        checkOwnerOnly();
        QVERIFY(::chmod(QFile::encodeName(file).constData(), 0666) == 0);
        QFile old(file);
        QVERIFY(old.open(QIODevice::ReadOnly));
        const QByteArray before = testing::storeFileContents();
        {
            Store::Batch outer;
            store.write(QStringLiteral("A"), QStringLiteral("1"));
            {
                Store::Batch inner;
                store.write(keys::lockPassword, QStringLiteral("2"));
            }
            QCOMPARE(testing::storeFileContents(), before);
            QCOMPARE(read("A") + read("LOCK-PASSWORD"), "12");
        }
        QVERIFY(!store.hasPending());
        QCOMPARE(old.readAll(), before); // replaced, not rewritten in place
        QVERIFY(onDisk("\nA=1\nLOCK-PASSWORD=2\n"));
        checkOwnerOnly();
    }

    void damagedFile_data() {
        QTest::addColumn<QString>("readable");   // which of K1..K4 keep their values v1..v4
        QTest::addColumn<QByteArray>("content"); // null: a folder where the file belongs
        const QByteArray head = "[VELMORA-QUORIX]\nK1=v1", good = head + "\nK2=v2\nK3=v3\nK4=v4\n";
        QByteArray random(8192, '\0');
        QRandomGenerator(20240601).fillRange(reinterpret_cast<quint32*>(random.data()), 2048);
        QTest::newRow("random bytes") << "" << random;
        QTest::newRow("truncated in a key") << "12" << good.left(good.indexOf("K3=") + 1);
        QTest::newRow("truncated in a UTF-8 character") << "1" << head + "\nK9=Gr\xc3";
        QTest::newRow("oversized") << "12" << head + '\n' + QByteArray(8 << 20, 'x') + "\nK2=v2";
        QTest::newRow("NUL bytes") << "12" << head + QByteArray("\n\0\0\0\nK2=v2\n", 11);
        QTest::newRow("line without =") << "12" << head + "\nhello\nK2=v2\n";
        QTest::newRow("comment") << "1" << head + "\n;K2=v2\n";
        QTest::newRow("folder") << "" << QByteArray();
    }

    // Opens; the next write sets the damaged bytes aside and writes a clean file, keys kept.
    void damagedFile() {
        QFETCH(QByteArray, content);
        QFETCH(QString, readable);
        const QString file = testing::useFreshStore(), kept = content.isNull() ? "/kept" : "";
        const QByteArray bytes = content.isNull() ? QByteArray("mine") : content;
        put(file + kept, bytes);
        auto check = [&] {
            for (const QString k : {"1", "2", "3", "4"})
                QCOMPARE(read('K' + k), readable.contains(k) ? 'v' + k : def);
        };
        check();
        QCOMPARE(store.healthy(), !content.isNull()); // a folder cannot be read: reported
        store.write(QStringLiteral("NEW"), QStringLiteral("repaired"));
        QVERIFY(store.healthy() && !store.hasPending());
        const QFileInfoList aside = entries(QStringLiteral("VL_QUORIX.ini.broken-*"));
        QCOMPARE(aside.size(), 1);
        QFile copy(aside[0].filePath() + kept);
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), bytes);
        QVERIFY(onDisk("\nNEW=repaired\n"));
        check();
        store.write(QStringLiteral("NEW"), QStringLiteral("again")); // clean: nothing more aside
        QCOMPARE(entries(QStringLiteral("*.broken-*")).size(), 1);
        checkOwnerOnly();
    }

    void refusedWrite_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("a file where the folder belongs") << "file";
        if (::geteuid() != 0) { // root writes anyway
            QTest::newRow("read-only folder") << "ro folder";
            QTest::newRow("read-only file") << "ro file";
        }
        QTest::newRow("full disk") << "full";
    }

    // A refused write is reported, kept in memory and retried until the disk takes it.
    void refusedWrite() {
        QFETCH(QString, how);
        const QString file = testing::useFreshStore();
        store.setRetryInterval(100);
        store.write(QStringLiteral("A"), QStringLiteral("1"));
        const QByteArray ro = QFile::encodeName(how == "ro file" ? file : folder());
        if (how == "file" && QDir(folder()).removeRecursively())
            put(folder(), "not a folder");
        QVERIFY(!how.startsWith("ro") || ::chmod(ro.constData(), 0500) == 0);
        store.simulateWriteFailures(how == "full" ? 1000 : 0);
        QSignalSpy spy(&store, &Store::healthChanged);
        store.write(QStringLiteral("A"), QStringLiteral("-2000"));
        QVERIFY(!store.healthy() && !store.lastError().isEmpty());
        QVERIFY(!store.flush());
        QTest::qWait(300); // retries meanwhile fail as well
        QVERIFY(!store.healthy() && store.hasPending());
        QCOMPARE(spy.count(), 1);
        QCOMPARE(read("A"), "-2000");

        QVERIFY(how == "file" ? QFile::remove(folder())
                              : !how.startsWith("ro") || ::chmod(ro.constData(), 0700) == 0);
        store.simulateWriteFailures(0);
        QTRY_VERIFY_WITH_TIMEOUT(store.healthy(), 5000);
        QCOMPARE(spy.count(), 2);
        QVERIFY(store.lastError().isEmpty() && !store.hasPending());
        QVERIFY(onDisk("\nA=-2000\n"));
        checkOwnerOnly();
        QCOMPARE(entries().size(), 1); // no temporary file left
    }

    // Hand-edited non-texts read as defaults; any text comes back exactly, only three encoded.
    void exactTexts() {
        put(testing::useFreshStore(),
            "[VELMORA-QUORIX]\nH0=a, b\nH1=1,\nH2=@Invalid()\nH3=@ByteArray(a)\n"
            "H4=@Rect(1 2 3 4)\nH5=@ByteArray(VQ-UTF16:004)\n"
            "H6=@ByteArray(VQ-UTF16:0041FEF)\nH7=@ByteArray(VQ-UTF16:00zz)\n"
            "AUTOSAVE_TICKBOX=2\nCLIENT_LOCKED=nonsense\nMINI-MAIN-Left=-1500.5");
        for (int i = 0; i < 8; ++i)
            QCOMPARE(read(QStringLiteral("H%1").arg(i)), def);
        QVERIFY(readTick(keys::autosave) == 2 && !readTruth(keys::clientLocked) &&
                readFloat(keys::mainWindow.left) == -1500.5f);

        const QChar bom(0xFEFF), nul(0), high(0xD800), low(0xDC00);
        QStringList texts =
            QStringLiteral("|  a  |one\ntwo\r\nthree\rfour\n|1,5 a, b \"q\" 's' "
                           "\" C:\\p\\ \\\\ \\n \\|@ByteArray(x)|@@Invalid() ;c #h "
                           "=a=b= [General] %General %41 \\x41 \\0|Grüße, 価格 € ₿ 😀 ё")
                .split('|');
        texts << QString(nul) + "a" + nul + "12"
              << QStringLiteral("line, \"x\"\t;#=@ ä\n").repeated(5000)
              << QString::fromLatin1("\x01\x07\x08\x0b\x0c\x1b\x1f\x7f x\t\x85\xa0") + QChar(0x2028)
              << bom + QStringLiteral("bom") << "\t" + QString(bom) + "x" + bom
              << high + QString("a") + low;
        QMap<QString, QString> all;
        for (int i = 0; i < texts.size(); ++i)
            all.insert(QString::number(i), texts[i]);
        QCOMPARE(writeElsewhere(all), 0);
        for (auto it = all.cbegin(); it != all.cend(); ++it)
            QCOMPARE(read(it.key()), it.value());
        QCOMPARE(testing::storeFileContents().count("=@ByteArray(VQ-UTF16:"), 3 + 3);
    }

    // Two copies lose no key, the later write wins, and no reader sees half of a batch.
    void twoCopies() {
        testing::useFreshStore();
        QCOMPARE(writeElsewhere({{"BOTH", "first"}, {"FIRST", "1"}}), 0);
        QCOMPARE(read("BOTH"), "first");
        QCOMPARE(writeElsewhere({{"BOTH", "second"}}), 0);
        store.write(QStringLiteral("OWN"), QStringLiteral("3"));
        QProcess a, b;
        a.start(QStringLiteral(STORE_TOOL_PATH), {section, "A", "60"});
        b.start(QStringLiteral(STORE_TOOL_PATH), {section, "B", "60"});
        for (bool done = false; !done;) {
            done = a.state() == QProcess::NotRunning && b.state() == QProcess::NotRunning;
            a.waitForFinished(5);
            b.waitForFinished(5);
            const QString file = QString::fromLatin1(testing::storeFileContents());
            for (const QString p : {"A", "B"})
                for (int i = file.section('\n' + p + '=', 1).section('\n', 0, 0).toInt(); i; --i)
                    QVERIFY(file.contains(QStringLiteral("\n%1_%2=%2\n").arg(p).arg(i)));
        }
        QCOMPARE(a.exitCode() + b.exitCode(), 0);
        QVERIFY(onDisk("\nA=59\n") && onDisk("\nB=59\n"));
        QCOMPARE(read("FIRST") + read("BOTH") + read("OWN"), "1second3");
    }
};

QTEST_GUILESS_MAIN(StoreTest)
#include "tst_store.moc"
