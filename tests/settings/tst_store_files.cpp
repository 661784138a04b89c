// The store's file on disk: owner-only modes, one file replacement per
// batch, damaged files (kept aside, then repaired), writes the disk refuses
// (reported, kept in memory, retried), and the cost of one 46-key save.
#include "settings/keys.h"
#include "settings/store.h"
#include "tests/settings/store_test_util.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>
#include <algorithm>
#include <unistd.h>

using namespace vq;
using namespace vq::testing;

namespace {

const QString section = QStringLiteral("VELMORA-QUORIX");

QStringList asideCopies(const QString& storeFile) {
    const QFileInfo f(storeFile);
    return f.dir().entryList({f.fileName() + QStringLiteral(".broken-*")}, QDir::Files);
}

QStringList folderEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

// The 46 keys the wallet sheet writes when it closes.
QList<keys::Key> sheetSaveKeys() {
    QList<keys::Key> all{keys::sheet.left,   keys::sheet.top,    keys::cryptoNameForSheet,
                         keys::exchangeRate, keys::usdTotalTick, keys::convertedTotalTick};
    for (int n = 1; n <= keys::rowCount; ++n)
        all << keys::walletName(n) << keys::amountInWallet(n) << keys::currentDollarValuation(n)
            << keys::rowTick(n);
    return all;
}

} // namespace

class StoreFilesTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    // modes
    void ownerOnlyFromTheFirstWrite();
    void ownerOnlyWhateverTheUmask();
    void widerModesAreNarrowedAtTheNextWrite();
    // batches
    void batchIsOneReplacement();
    void writesAreVisibleAtOnce();
    // damaged files
    void damagedFile_data();
    void damagedFile();
    // failures
    void refusedWrite_data();
    void refusedWrite();
    void unreadableFileIsReported();
    void simulatedFailureThenLaterWrite();
    void simulatedFailureThenRetryTimer();
    // cost
    void costOfOneSheetSave();
};

void StoreFilesTest::init() {
    ::umask(022);
}

void StoreFilesTest::ownerOnlyFromTheFirstWrite() {
    FreshStore fresh;
    QVERIFY(!QFileInfo::exists(fresh.folder()));
    Store::instance().write(keys::clientLocked, QStringLiteral("1"));
    QVERIFY(Store::instance().healthy());
    QCOMPARE(modeOf(fresh.folder()), 0700);
    QCOMPARE(modeOf(fresh.file()), 0600);
    for (int i = 0; i < 5; ++i) {
        Store::Batch batch;
        Store::instance().write(keys::lockPassword, QStringLiteral("secret %1").arg(i));
        Store::instance().write(keys::mainWindow.left, QString::number(i));
    }
    QCOMPARE(modeOf(fresh.folder()), 0700);
    QCOMPARE(modeOf(fresh.file()), 0600);
    // Nothing else in the folder is readable by others either.
    for (const QString& name : folderEntries(fresh.folder()))
        QVERIFY2((modeOf(fresh.folder() + QLatin1Char('/') + name) & 077) == 0, qPrintable(name));
}

void StoreFilesTest::ownerOnlyWhateverTheUmask() {
    FreshStore fresh;
    ::umask(0);
    Store::instance().write(keys::lockPassword, QStringLiteral("secret"));
    ::umask(022);
    QCOMPARE(modeOf(fresh.folder()), 0700);
    QCOMPARE(modeOf(fresh.file()), 0600);
}

void StoreFilesTest::widerModesAreNarrowedAtTheNextWrite() {
    FreshStore fresh;
    writeBytes(fresh.file(), "[VELMORA-QUORIX]\nCRYPTO_NAME=kept\n");
    QVERIFY(::chmod(QFile::encodeName(fresh.folder()).constData(), 0755) == 0);
    QVERIFY(::chmod(QFile::encodeName(fresh.file()).constData(), 0644) == 0);
    // Reading changes nothing...
    QCOMPARE(Store::instance().read(keys::cryptoNameForSheet), QStringLiteral("kept"));
    QCOMPARE(modeOf(fresh.file()), 0644);
    // ...the next write narrows both.
    Store::instance().write(keys::lockPassword, QStringLiteral("secret"));
    QVERIFY(Store::instance().healthy());
    QCOMPARE(modeOf(fresh.folder()), 0700);
    QCOMPARE(modeOf(fresh.file()), 0600);
    QCOMPARE(Store::instance().read(keys::cryptoNameForSheet), QStringLiteral("kept"));
    // And a later write keeps them so.
    QVERIFY(::chmod(QFile::encodeName(fresh.file()).constData(), 0666) == 0);
    Store::instance().write(keys::lockPassword, QStringLiteral("other"));
    QCOMPARE(modeOf(fresh.file()), 0600);
}

void StoreFilesTest::batchIsOneReplacement() {
    FreshStore fresh;
    Store& store = Store::instance();
    store.write(keys::clientLocked, QStringLiteral("0"));
    const QByteArray before = fileBytes(fresh.file());
    struct stat st0;
    QCOMPARE(::stat(QFile::encodeName(fresh.file()).constData(), &st0), 0);
    {
        Store::Batch outer;
        store.write(keys::clientLocked, QStringLiteral("1"));
        {
            Store::Batch inner;
            store.write(keys::lockPassword, QStringLiteral("pw"));
        }
        // Nested batches end with the outermost; reads see the values at once.
        QCOMPARE(fileBytes(fresh.file()), before);
        QVERIFY(store.hasPending());
        QCOMPARE(store.read(keys::clientLocked), QStringLiteral("1"));
        QCOMPARE(store.read(keys::lockPassword), QStringLiteral("pw"));
    }
    QVERIFY(!store.hasPending());
    struct stat st1;
    QCOMPARE(::stat(QFile::encodeName(fresh.file()).constData(), &st1), 0);
    QVERIFY(st1.st_ino != st0.st_ino); // replaced, not rewritten in place
    const FileView view = viewOf(fresh.file());
    QCOMPARE(view.values.value(section + QStringLiteral("/CLIENT_LOCKED")).toString(),
             QStringLiteral("1"));
    QCOMPARE(view.values.value(section + QStringLiteral("/LOCK-PASSWORD")).toString(),
             QStringLiteral("pw"));
}

void StoreFilesTest::writesAreVisibleAtOnce() {
    FreshStore fresh;
    Store& store = Store::instance();
    store.write(keys::cryptoNameForSheet, QStringLiteral("BTC"));
    // On disk when write() returns.
    QCOMPARE(viewOf(fresh.file()).values.value(section + QStringLiteral("/CRYPTO_NAME")).toString(),
             QStringLiteral("BTC"));
    QCOMPARE(store.read(keys::cryptoNameForLabel), QStringLiteral("BTC"));
}

void StoreFilesTest::damagedFile_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("readable"); // keys that still read their values
    QTest::addColumn<QStringList>("lost");     // keys that read their defaults

    const QByteArray good = "[VELMORA-QUORIX]\nK1=one\nK2=two\nK3=three\nK4=four\n";
    const QStringList all{"K1", "K2", "K3", "K4"};

    QRandomGenerator rng(20240601);
    QByteArray random(8192, '\0');
    for (char& c : random)
        c = char(rng.bounded(256));
    QTest::newRow("random bytes") << random << QStringList() << all;

    QByteArray randomAfter = good;
    randomAfter.append(random.left(2000));
    QTest::newRow("random bytes after good lines")
        << randomAfter << QStringList{"K1", "K2", "K3"} << QStringList();

    const qsizetype cut = good.indexOf("K3=") + 1;
    QTest::newRow("truncated in a key")
        << good.left(cut) << QStringList{"K1", "K2"} << QStringList{"K3", "K4"};
    QTest::newRow("truncated in a section header")
        << QByteArray(good + "[VELMORA-QU") << QStringList{"K1", "K2", "K3", "K4"} << QStringList();
    QTest::newRow("truncated in a UTF-8 character")
        << QByteArray("[VELMORA-QUORIX]\nK1=one\nK2=Gr\xc3") << QStringList{"K1"}
        << QStringList{"K3", "K4"};
    QTest::newRow("huge garbage line")
        << QByteArray("[VELMORA-QUORIX]\nK1=one\n" + QByteArray(8 * 1024 * 1024, 'x') +
                      "\nK2=two\n")
        << QStringList{"K1", "K2"} << QStringList{"K3", "K4"};
    QTest::newRow("NUL bytes") << QByteArray(QByteArray("[VELMORA-QUORIX]\nK1=one") +
                                             QByteArray(3, '\0') + "\nK2=two\n")
                               << QStringList{"K2"} << QStringList{"K3", "K4"};
    QTest::newRow("line without =") << QByteArray("[VELMORA-QUORIX]\nK1=one\nhello\nK2=two\n")
                                    << QStringList{"K1", "K2"} << QStringList{"K3", "K4"};
}

// Reads give what is readable and defaults for the rest, without a crash;
// the next write keeps the damaged bytes aside and writes a clean file.
void StoreFilesTest::damagedFile() {
    QFETCH(QByteArray, content);
    QFETCH(QStringList, readable);
    QFETCH(QStringList, lost);
    FreshStore fresh;
    Store& store = Store::instance();
    writeBytes(fresh.file(), content);
    const QMap<QString, QString> values{
        {"K1", "one"}, {"K2", "two"}, {"K3", "three"}, {"K4", "four"}};
    for (const QString& k : readable)
        QCOMPARE(store.read(k, QStringLiteral("default")), values.value(k));
    for (const QString& k : lost)
        QCOMPARE(store.read(k, QStringLiteral("default")), QStringLiteral("default"));
    for (const keys::CatalogueEntry& e : keys::catalogue())
        QCOMPARE(store.read(e.name, QStringLiteral("<<d>>")), QStringLiteral("<<d>>"));

    store.write(keys::cryptoNameForSheet, QStringLiteral("repaired"));
    QVERIFY(store.healthy());
    QVERIFY(!store.hasPending());
    const QStringList aside = asideCopies(fresh.file());
    QCOMPARE(aside.size(), 1);
    const QString asidePath = fresh.folder() + QLatin1Char('/') + aside.first();
    QCOMPARE(fileBytes(asidePath), content);
    QCOMPARE(modeOf(asidePath), 0600);

    const FileView view = viewOf(fresh.file());
    QCOMPARE(view.status, QSettings::NoError);
    QCOMPARE(view.values.value(section + QStringLiteral("/CRYPTO_NAME")).toString(),
             QStringLiteral("repaired"));
    for (const QString& k : readable)
        QCOMPARE(store.read(k, QStringLiteral("default")), values.value(k));
    QCOMPARE(store.read(keys::cryptoNameForSheet), QStringLiteral("repaired"));

    // The repaired file is clean: later writes set nothing more aside.
    store.write(keys::clientLocked, QStringLiteral("1"));
    QVERIFY(store.healthy());
    QCOMPARE(asideCopies(fresh.file()).size(), 1);
}

void StoreFilesTest::refusedWrite_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("store folder is a file") << QStringLiteral("folder-is-file");
    // Permissions bind only a user other than root; as root the folder stays
    // writable and that case cannot be made (the one above fails as root too).
    if (::geteuid() != 0)
        QTest::newRow("read-only folder") << QStringLiteral("read-only");
    else
        qInfo("running as root, where a read-only folder does not refuse writes: that case "
              "runs only for other users");
}

// The disk refuses a write: the store says so, keeps the value in memory for
// reads, and writes it once the disk takes it again, by its retry timer.
void StoreFilesTest::refusedWrite() {
    QFETCH(QString, how);
    FreshStore fresh;
    Store& store = Store::instance();
    store.setRetryInterval(100);
    store.write(keys::mainWindow.left, QStringLiteral("1500"));
    QVERIFY(store.healthy());
    const QByteArray folder = QFile::encodeName(fresh.folder());
    if (how == QLatin1String("file-is-folder")) {
        QVERIFY(QFile::remove(fresh.file()));
        QVERIFY(QDir().mkdir(fresh.file()));
    } else if (how == QLatin1String("folder-is-file")) {
        QVERIFY(QDir(fresh.folder()).removeRecursively());
        writeBytes(fresh.folder(), "not a folder");
    } else {
        QVERIFY(::chmod(folder.constData(), 0500) == 0);
    }

    QSignalSpy spy(&store, &Store::healthChanged);
    store.write(keys::mainWindow.top, QStringLiteral("-2000"));
    QVERIFY(!store.healthy());
    QVERIFY(!store.lastError().isEmpty());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toBool(), false);
    QVERIFY(store.hasPending());
    // Readable from memory; other keys give their defaults or stored values.
    QCOMPARE(store.read(keys::mainWindow.top), QStringLiteral("-2000"));
    QCOMPARE(store.read(keys::mainWindow.width), QStringLiteral("2400"));
    // Further writes fail quietly too and are kept.
    store.write(keys::cryptoNameForSheet, QStringLiteral("kept in memory"));
    QVERIFY(!store.healthy());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(store.read(keys::cryptoNameForSheet), QStringLiteral("kept in memory"));
    QTest::qWait(300); // retries meanwhile fail as well
    QVERIFY(!store.healthy());

    // The disk takes writes again: the retry timer saves everything.
    if (how == QLatin1String("file-is-folder")) {
        QVERIFY(QDir().rmdir(fresh.file()));
    } else if (how == QLatin1String("folder-is-file")) {
        QVERIFY(QFile::remove(fresh.folder()));
    } else {
        QVERIFY(::chmod(folder.constData(), 0700) == 0);
    }
    QTRY_VERIFY_WITH_TIMEOUT(store.healthy(), 5000);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toBool(), true);
    QVERIFY(store.lastError().isEmpty());
    QVERIFY(!store.hasPending());
    const FileView view = viewOf(fresh.file());
    QCOMPARE(view.status, QSettings::NoError);
    QCOMPARE(view.values.value(section + QStringLiteral("/MINI-MAIN-Top")).toString(),
             QStringLiteral("-2000"));
    QCOMPARE(view.values.value(section + QStringLiteral("/CRYPTO_NAME")).toString(),
             QStringLiteral("kept in memory"));
    QCOMPARE(modeOf(fresh.folder()), 0700);
    QCOMPARE(modeOf(fresh.file()), 0600);
    // No temporary file of a failed attempt is left behind.
    QCOMPARE(folderEntries(fresh.folder()), QStringList{QStringLiteral("VL_QUORIX.ini")});
    store.setRetryInterval(Store::retryInterval);
}

// A file that cannot be read gives the defaults and is reported; once it
// reads again, the report clears.
void StoreFilesTest::unreadableFileIsReported() {
    FreshStore fresh;
    Store& store = Store::instance();
    store.write(keys::mainWindow.left, QStringLiteral("1500"));
    QVERIFY(QFile::remove(fresh.file()));
    QVERIFY(QDir().mkdir(fresh.file()));
    QSignalSpy spy(&store, &Store::healthChanged);
    QCOMPARE(store.read(keys::mainWindow.left), QStringLiteral("1000"));
    QVERIFY(!store.healthy());
    QVERIFY(!store.lastError().isEmpty());
    QCOMPARE(spy.count(), 1);
    QVERIFY(QDir().rmdir(fresh.file()));
    writeBytes(fresh.file(), "[VELMORA-QUORIX]\nMINI-MAIN-Left=-300\n");
    QCOMPARE(store.read(keys::mainWindow.left), QStringLiteral("-300"));
    QVERIFY(store.healthy());
    QCOMPARE(spy.count(), 2);
}

// A refused write (full disk, say), then the user's next save succeeds.
void StoreFilesTest::simulatedFailureThenLaterWrite() {
    FreshStore fresh;
    Store& store = Store::instance();
    QSignalSpy spy(&store, &Store::healthChanged);
    store.simulateWriteFailures(1);
    store.write(keys::lockPassword, QStringLiteral("secret"));
    QVERIFY(!store.healthy());
    QCOMPARE(spy.count(), 1);
    QVERIFY(!QFileInfo::exists(fresh.file()));
    QCOMPARE(store.read(keys::lockPassword), QStringLiteral("secret"));
    store.write(keys::clientLocked, QStringLiteral("1"));
    QVERIFY(store.healthy());
    QCOMPARE(spy.count(), 2);
    const FileView view = viewOf(fresh.file());
    QCOMPARE(view.values.value(section + QStringLiteral("/LOCK-PASSWORD")).toString(),
             QStringLiteral("secret"));
    QCOMPARE(view.values.value(section + QStringLiteral("/CLIENT_LOCKED")).toString(),
             QStringLiteral("1"));
}

void StoreFilesTest::simulatedFailureThenRetryTimer() {
    FreshStore fresh;
    Store& store = Store::instance();
    store.setRetryInterval(50);
    store.simulateWriteFailures(3);
    {
        Store::Batch batch;
        store.write(keys::lockPassword, QStringLiteral("secret"));
        store.write(keys::clientLocked, QStringLiteral("1"));
    }
    QVERIFY(!store.healthy());
    QVERIFY(store.flush() == false); // a flush of its own fails as well (2nd)
    QTRY_VERIFY_WITH_TIMEOUT(store.healthy(), 3000);
    QVERIFY(store.flush()); // nothing pending: healthy
    const FileView view = viewOf(fresh.file());
    QCOMPARE(view.values.value(section + QStringLiteral("/LOCK-PASSWORD")).toString(),
             QStringLiteral("secret"));
    store.setRetryInterval(Store::retryInterval);
}

// Measured, not asserted: one sheet save (46 keys, one file replacement),
// and the same 46 keys as 46 separate writes.
void StoreFilesTest::costOfOneSheetSave() {
    FreshStore fresh;
    Store& store = Store::instance();
    const QList<keys::Key> saveKeys = sheetSaveKeys();
    QCOMPARE(saveKeys.size(), 46);
    auto median = [](QList<qint64> v) {
        std::sort(v.begin(), v.end());
        return v.at(v.size() / 2);
    };
    QList<qint64> batched, separate;
    for (int round = 0; round < 31; ++round) {
        QElapsedTimer t;
        t.start();
        {
            Store::Batch batch;
            for (const keys::Key& k : saveKeys)
                store.write(k, QStringLiteral("%1.%2").arg(round).arg(k.name.size()));
        }
        batched << t.nsecsElapsed();
        QVERIFY(store.healthy());
    }
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer t;
        t.start();
        for (const keys::Key& k : saveKeys)
            store.write(k, QStringLiteral("%1").arg(round));
        separate << t.nsecsElapsed();
    }
    qInfo("one 46-key batch save: median %.2f ms, min %.2f ms (31 rounds); "
          "46 separate writes: median %.2f ms; file %lld bytes",
          median(batched) / 1e6, *std::min_element(batched.begin(), batched.end()) / 1e6,
          median(separate) / 1e6, QFileInfo(fresh.file()).size());
}

QTEST_GUILESS_MAIN(StoreFilesTest)
#include "tst_store_files.moc"
