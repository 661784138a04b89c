// The store's file on disk: owner-only modes, one file replacement per
// batch, damaged files (kept aside, then repaired), and writes the disk
// refuses (reported, kept in memory, retried).
#include "settings/keys.h"
#include "settings/store.h"
#include "tests/settings/store_test_util.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>
#include <unistd.h>

using namespace vq;
using namespace vq::testing;

namespace {

QStringList asideCopies(const QString& storeFile) {
    const QFileInfo f(storeFile);
    return f.dir().entryList({f.fileName() + QStringLiteral(".broken-*")}, QDir::Files);
}

QStringList folderEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

// The raw text of a key as the file on disk holds it.
QString onDisk(const FileView& view, const char* key) {
    return view.values.value(QStringLiteral("VELMORA-QUORIX/") + QLatin1String(key)).toString();
}

void checkOwnerOnly(const FreshStore& fresh) {
    QCOMPARE(modeOf(fresh.folder()), 0700);
    QCOMPARE(modeOf(fresh.file()), 0600);
}

} // namespace

class StoreFilesTest : public QObject {
    Q_OBJECT

private slots:
    void init() { ::umask(022); }
    void ownerOnlyFromTheFirstWrite_data();
    void ownerOnlyFromTheFirstWrite();
    void batchIsOneReplacement();
    void damagedFile_data();
    void damagedFile();
    void refusedWrite_data();
    void refusedWrite();
    void unreadableFileIsReported();
};

void StoreFilesTest::ownerOnlyFromTheFirstWrite_data() {
    QTest::addColumn<int>("mask");
    QTest::addColumn<bool>("wider"); // a file and folder others could read exist already
    QTest::newRow("umask 022") << 022 << false;
    QTest::newRow("umask 0") << 0 << false;
    QTest::newRow("wider modes narrowed") << 022 << true;
}

void StoreFilesTest::ownerOnlyFromTheFirstWrite() {
    QFETCH(int, mask);
    QFETCH(bool, wider);
    FreshStore fresh;
    Store& store = Store::instance();
    QVERIFY(!QFileInfo::exists(fresh.folder()));
    if (wider) {
        writeBytes(fresh.file(), "[VELMORA-QUORIX]\nCRYPTO_NAME=kept\n");
        QVERIFY(::chmod(QFile::encodeName(fresh.folder()).constData(), 0755) == 0);
        QVERIFY(::chmod(QFile::encodeName(fresh.file()).constData(), 0644) == 0);
        QCOMPARE(store.read(keys::cryptoNameForSheet), QStringLiteral("kept"));
        QCOMPARE(modeOf(fresh.file()), 0644); // reading changes nothing
    }
    ::umask(mode_t(mask));
    store.write(keys::clientLocked, QStringLiteral("1"));
    QVERIFY(store.healthy());
    checkOwnerOnly(fresh);
    // Later writes narrow again whatever widened the file meanwhile.
    QVERIFY(::chmod(QFile::encodeName(fresh.file()).constData(), 0666) == 0);
    for (int i = 0; i < 5; ++i) {
        Store::Batch batch;
        store.write(keys::lockPassword, QStringLiteral("secret %1").arg(i));
        store.write(keys::mainWindow.left, QString::number(i));
    }
    checkOwnerOnly(fresh);
    QCOMPARE(store.read(keys::cryptoNameForSheet), QString(wider ? "kept" : "Example: BTC"));
    for (const QString& name : folderEntries(fresh.folder()))
        QVERIFY2((modeOf(fresh.folder() + QLatin1Char('/') + name) & 077) == 0, qPrintable(name));
}

void StoreFilesTest::batchIsOneReplacement() {
    FreshStore fresh;
    Store& store = Store::instance();
    store.write(keys::clientLocked, QStringLiteral("0"));
    QCOMPARE(onDisk(viewOf(fresh.file()), "CLIENT_LOCKED"), QStringLiteral("0")); // at once
    const QByteArray before = fileBytes(fresh.file());
    struct stat st0, st1;
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
    QCOMPARE(::stat(QFile::encodeName(fresh.file()).constData(), &st1), 0);
    QVERIFY(st1.st_ino != st0.st_ino); // replaced, not rewritten in place
    const FileView view = viewOf(fresh.file());
    QCOMPARE(onDisk(view, "CLIENT_LOCKED"), QStringLiteral("1"));
    QCOMPARE(onDisk(view, "LOCK-PASSWORD"), QStringLiteral("pw"));
}

void StoreFilesTest::damagedFile_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("readable"); // keys that still read their values
    QTest::addColumn<QStringList>("lost");     // keys that read their defaults
    const QByteArray good = "[VELMORA-QUORIX]\nK1=one\nK2=two\nK3=three\nK4=four\n";
    const QByteArray head = "[VELMORA-QUORIX]\nK1=one";
    const QStringList k12{"K1", "K2"}, k34{"K3", "K4"};
    QRandomGenerator rng(20240601);
    QByteArray random(8192, '\0');
    for (char& c : random)
        c = char(rng.bounded(256));
    QTest::newRow("random bytes") << random << QStringList() << k12 + k34;
    QTest::newRow("random bytes after good lines")
        << good + random.left(2000) << QStringList{"K1", "K2", "K3"} << QStringList();
    QTest::newRow("truncated in a key") << good.left(good.indexOf("K3=") + 1) << k12 << k34;
    QTest::newRow("truncated in a section header")
        << good + "[VELMORA-QU" << k12 + k34 << QStringList();
    QTest::newRow("truncated in a UTF-8 character")
        << head + "\nK2=Gr\xc3" << QStringList{"K1"} << k34;
    QTest::newRow("huge garbage line")
        << head + "\n" + QByteArray(8 * 1024 * 1024, 'x') + "\nK2=two\n"
        << k12 << k34;
    QTest::newRow("NUL bytes") << head + QByteArray(3, '\0') + "\nK2=two\n"
                               << QStringList{"K2"} << k34;
    QTest::newRow("line without =") << head + "\nhello\nK2=two\n" << k12 << k34;
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
    const QString def = QStringLiteral("default");
    auto checkReadable = [&] {
        for (const QString& k : readable)
            QCOMPARE(store.read(k, def), values.value(k));
    };
    checkReadable();
    for (const QString& k : lost)
        QCOMPARE(store.read(k, def), def);

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
    QCOMPARE(onDisk(view, "CRYPTO_NAME"), QStringLiteral("repaired"));
    checkReadable();
    // The repaired file is clean: later writes set nothing more aside.
    store.write(keys::clientLocked, QStringLiteral("1"));
    QVERIFY(store.healthy());
    QCOMPARE(asideCopies(fresh.file()).size(), 1);
}

enum Refusal { FolderIsFile, ReadOnly, FullDisk, FullDiskThenSave };

void StoreFilesTest::refusedWrite_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("store folder is a file") << int(FolderIsFile);
    // As root a read-only folder stays writable, so that case runs only for other users.
    if (::geteuid() != 0)
        QTest::newRow("read-only folder") << int(ReadOnly);
    QTest::newRow("full disk, healed by the retry timer") << int(FullDisk);
    QTest::newRow("full disk, healed by the next save") << int(FullDiskThenSave);
}

// The disk refuses a write: the store says so, keeps the value in memory for
// reads, and writes it once the disk takes it again, by its retry timer or the next save.
void StoreFilesTest::refusedWrite() {
    QFETCH(int, how);
    FreshStore fresh;
    Store& store = Store::instance();
    store.setRetryInterval(100);
    store.write(keys::mainWindow.left, QStringLiteral("1500"));
    QVERIFY(store.healthy());
    const QByteArray folder = QFile::encodeName(fresh.folder());
    if (how == ReadOnly) {
        QVERIFY(::chmod(folder.constData(), 0500) == 0);
    } else if (how == FolderIsFile) {
        QVERIFY(QDir(fresh.folder()).removeRecursively());
        writeBytes(fresh.folder(), "not a folder");
    } else {
        store.simulateWriteFailures(1000);
    }
    QSignalSpy spy(&store, &Store::healthChanged);
    store.write(keys::mainWindow.top, QStringLiteral("-2000"));
    QVERIFY(!store.healthy());
    QVERIFY(!store.lastError().isEmpty());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toBool(), false);
    QCOMPARE(store.read(keys::mainWindow.top), QStringLiteral("-2000"));
    QCOMPARE(store.read(keys::mainWindow.width), QStringLiteral("2400"));
    // Further writes and flushes fail quietly too; the values are kept.
    store.write(keys::cryptoNameForSheet, QStringLiteral("kept in memory"));
    QVERIFY(!store.flush());
    QVERIFY(!store.healthy());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(store.read(keys::cryptoNameForSheet), QStringLiteral("kept in memory"));
    QTest::qWait(300); // retries meanwhile fail as well
    QVERIFY(!store.healthy());

    // The disk takes writes again.
    if (how == ReadOnly)
        QVERIFY(::chmod(folder.constData(), 0700) == 0);
    else if (how == FolderIsFile)
        QVERIFY(QFile::remove(fresh.folder()));
    else
        store.simulateWriteFailures(0);
    if (how == FullDiskThenSave) {
        store.write(keys::clientLocked, QStringLiteral("1"));
        QVERIFY(store.healthy());
    }
    QTRY_VERIFY_WITH_TIMEOUT(store.healthy(), 5000);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toBool(), true);
    QVERIFY(store.lastError().isEmpty());
    QVERIFY(!store.hasPending());
    const FileView view = viewOf(fresh.file());
    QCOMPARE(view.status, QSettings::NoError);
    QCOMPARE(onDisk(view, "MINI-MAIN-Top"), QStringLiteral("-2000"));
    QCOMPARE(onDisk(view, "CRYPTO_NAME"), QStringLiteral("kept in memory"));
    checkOwnerOnly(fresh);
    // No temporary file of a failed attempt is left behind.
    QCOMPARE(folderEntries(fresh.folder()), QStringList{QStringLiteral("VL_QUORIX.ini")});
}

// A file that cannot be read gives the defaults and is reported until it reads again.
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
    QTest::qWait(20); // a later modification time, as any real repair has
    writeBytes(fresh.file(), "[VELMORA-QUORIX]\nMINI-MAIN-Left=-300\n");
    QCOMPARE(store.read(keys::mainWindow.left), QStringLiteral("-300"));
    QVERIFY(store.healthy());
    QCOMPARE(spy.count(), 2);
}

QTEST_GUILESS_MAIN(StoreFilesTest)
#include "tst_store_files.moc"
