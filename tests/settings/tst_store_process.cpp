// The settings store seen from other processes: exact round trips, reads that
// create nothing, hand-edited values, sections by executable name, two copies,
// and what a killed writer leaves behind.
#include "settings/store.h"
#include "tests/settings/protocol.h"
#include "tests/settings/store_test_util.h"

#include <QSysInfo>
#include <QtTest>

using namespace vq;
using namespace vq::testing;

namespace {

const QString section = QStringLiteral("VELMORA-QUORIX");
const QString def = QStringLiteral("<<default>>");
using Texts = QMap<QString, QString>;

QByteArray encoded(const Texts& values) {
    QByteArray in;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        in += it.key().toUtf8() + '\t' + toHexUnits(it.value()) + '\n';
    return in;
}

int writeInOtherProcess(const Texts& values, const QString& sec = section) {
    return runTool({QStringLiteral("write"), sec}, encoded(values)).exitCode;
}

// key -> default in, key -> text out
Texts readInOtherProcess(const Texts& defaults, const QString& sec = section,
                         const QString& program = QStringLiteral(STORE_TOOL_PATH)) {
    const ToolResult r = runTool({QStringLiteral("read"), sec}, encoded(defaults), program);
    Texts out;
    for (const QByteArray& line : r.out.split('\n')) {
        const qsizetype tab = line.indexOf('\t');
        if (r.exitCode == 0 && tab > 0)
            out.insert(QString::fromUtf8(line.left(tab)), fromHexUnits(line.mid(tab + 1)));
    }
    return out;
}

// Reads every key of `expected` in another process, with the default.
Texts readBack(Texts expected) {
    for (QString& v : expected)
        v = def;
    return readInOtherProcess(expected);
}

QString readOne(const QString& key, const QString& dflt = def, const QString& sec = section) {
    return readInOtherProcess({{key, dflt}}, sec).value(key, QStringLiteral("<<no answer>>"));
}

QStringList folderListing(const QString& root) {
    QStringList all;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo f = it.nextFileInfo();
        all << QStringLiteral("%1 %2 %3")
                   .arg(f.filePath())
                   .arg(f.size())
                   .arg(f.lastModified().toMSecsSinceEpoch());
    }
    all.sort();
    return all;
}

} // namespace

class StoreProcessTest : public QObject {
    Q_OBJECT

private slots:
    void roundTrip();
    void readNeverCreates();
    void handEditedValuesFallBack_data();
    void handEditedValuesFallBack();
    void sectionIsExecutableName();
    void generalSections();
    void twoCopiesLoseNoKeys();
    void leftoversOfAKillAreCleared_data();
    void leftoversOfAKillAreCleared();
};

static Texts texts() {
    QString longText;
    for (int i = 0; longText.size() < 100 * 1024; ++i)
        longText += QStringLiteral("line %1, \"x\"\t;#=@ äöü\n").arg(i);
    const QChar bom(0xFEFF), nul(0);
    const QString empty, nonAscii = QStringLiteral("Grüße, 価格 € ₿ 😀 ё"),
                         nulAlone(nul), nulDigits = "a" + QString(nul) + "12b",
                         controls = QString::fromLatin1("\x01\x02\x07\x08\x0b\x0c\x1b\x1f\x7f x"),
                         c1 = QString(QChar(0x85)) + QChar(0x2028) + QChar(0x2029) + QChar(0xA0),
                         bomLeading = bom + QStringLiteral("bom"),
                         bomAfterEscape = "\t" + QString(bom) + "x" + bom,
                         surrogates = QString(QChar(0xD800)) + "a" + QChar(0xDC00);
    return {{"empty", empty},
            {"blanks around", "  text  "},
            {"only blanks", "   "},
            {"tabs", "\ta\tb\t"},
            {"line breaks", "one\ntwo\r\nthree\rfour\n"},
            {"comma decimal", "1,5"},
            {"comma list", "a, b"},
            {"quotes", "\"quoted\" and 'single' \""},
            {"backslashes", "C:\\path\\to\\ \\\\ end\\"},
            {"leading @", "@ByteArray(x)"},
            {"leading @@", "@@Invalid()"},
            {"semicolon", ";comment? no"},
            {"hash", "#not a comment"},
            {"equals", "=a=b="},
            {"section look", "[General]"},
            {"percent", "%General %41"},
            {"non-ASCII", nonAscii},
            {"escape look", "\\x41 \\0 \\n \\u0041"},
            {"NUL", nulAlone},
            {"NUL then digits", nulDigits},
            {"control characters", controls},
            {"C1 and separators", c1},
            {"BOM leading", bomLeading},
            {"BOM after escape", bomAfterEscape},
            {"lone surrogates", surrogates},
            {"100 kB", longText}};
}

// Every text in one file, so that neighbours cannot disturb each other, each
// way between processes. Only texts QSettings would lose are encoded; the
// others stay the plain text an older reader expects. "empty" reads back
// empty, not the default.
void StoreProcessTest::roundTrip() {
    FreshStore fresh;
    Store& store = Store::instance();
    const Texts all = texts();
    QCOMPARE(writeInOtherProcess(all), 0);
    QCOMPARE(readBack(all), all);
    Texts own;
    {
        Store::Batch batch;
        for (auto it = all.cbegin(); it != all.cend(); ++it) {
            QCOMPARE(store.read(it.key(), def), it.value());
            store.write(QStringLiteral("OWN ") + it.key(), it.value());
            own.insert(QStringLiteral("OWN ") + it.key(), it.value());
        }
    }
    QVERIFY(store.healthy());
    QCOMPARE(readBack(own), own);
    const FileView view = viewOf(fresh.file());
    QCOMPARE(view.status, QSettings::NoError);
    for (auto it = all.cbegin(); it != all.cend(); ++it) {
        const QVariant raw = view.values.value(section + QLatin1Char('/') + it.key());
        if (Store::needsEncoding(it.value())) {
            QCOMPARE(raw.typeId(), QMetaType::QByteArray);
            QVERIFY(raw.toByteArray().startsWith("VQ-UTF16:"));
        } else {
            QCOMPARE(raw.typeId(), QMetaType::QString);
            QCOMPARE(raw.toString(), it.value());
        }
    }
    for (const char* name : {"BOM leading", "lone surrogates"})
        QVERIFY(Store::needsEncoding(all.value(name)));
    for (const char* name : {"NUL", "100 kB"})
        QVERIFY(!Store::needsEncoding(all.value(name)));
}

void StoreProcessTest::readNeverCreates() {
    FreshStore fresh;
    const Texts defaults{{"MINI-MAIN-Left", "1000"}, {"CRYPTO_NAME", "CRYPTO-NAME"}};
    // No file yet: reads give the defaults and leave nothing behind.
    QCOMPARE(readInOtherProcess(defaults), defaults);
    QCOMPARE(Store::instance().read(QStringLiteral("CRYPTO_NAME"), "x"), QStringLiteral("x"));
    QVERIFY(!QFileInfo::exists(fresh.folder()));
    // With a file: reads of missing keys change nothing at all.
    Store::instance().write(QStringLiteral("CLIENT_LOCKED"), QStringLiteral("1"));
    const QByteArray before = fileBytes(fresh.file());
    const QStringList listing = folderListing(fresh.root());
    QTest::qWait(20); // a write now would show in the modification times
    QCOMPARE(readInOtherProcess(defaults), defaults);
    QCOMPARE(Store::instance().read(QStringLiteral("MINI-MAIN-Top"), "1000"),
             QStringLiteral("1000"));
    QCOMPARE(readOne("CLIENT_LOCKED", "0"), QStringLiteral("1"));
    QCOMPARE(fileBytes(fresh.file()), before);
    QCOMPARE(folderListing(fresh.root()), listing);
}

void StoreProcessTest::handEditedValuesFallBack_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("a, b unquoted") << QByteArray("K=a, b") << def;
    QTest::newRow("1,5 unquoted") << QByteArray("K=1,5") << def;
    QTest::newRow("trailing comma") << QByteArray("K=1,") << def;
    QTest::newRow("invalid variant") << QByteArray("K=@Invalid()") << def;
    QTest::newRow("byte array") << QByteArray("K=@ByteArray(abc)") << def;
    QTest::newRow("variant garbage") << QByteArray("K=@Variant(\\0\\0\\0\\x7f)") << def;
    QTest::newRow("rect") << QByteArray("K=@Rect(1 2 3 4)") << def;
    QTest::newRow("quoted 1,5") << QByteArray("K=\"1,5\"") << QStringLiteral("1,5");
    QTest::newRow("empty") << QByteArray("K=") << QString();
    QTest::newRow("blanks trimmed") << QByteArray("K=   12   ") << QStringLiteral("12");
    QTest::newRow("encoded by the store")
        << QByteArray("K=@ByteArray(VQ-UTF16:0041FEFF)") << QStringLiteral("A") + QChar(0xFEFF);
    QTest::newRow("bad encoding") << QByteArray("K=@ByteArray(VQ-UTF16:004)") << def;
}

void StoreProcessTest::handEditedValuesFallBack() {
    QFETCH(QByteArray, line);
    QFETCH(QString, expected);
    FreshStore fresh;
    writeBytes(fresh.file(), "[VELMORA-QUORIX]\n" + line + "\nOTHER=kept\n");
    QCOMPARE(readOne("K"), expected);
    QCOMPARE(Store::instance().read(QStringLiteral("K"), def), expected);
    QCOMPARE(readOne("OTHER"), QStringLiteral("kept"));
}

// The section is the executable's base name ("-"); a renamed copy starts afresh.
void StoreProcessTest::sectionIsExecutableName() {
    FreshStore fresh;
    QCOMPARE(writeInOtherProcess({{"CRYPTO_NAME", "BTC"}}, "-"), 0);
    QCOMPARE(viewOf(fresh.file()).values.value("store_tool/CRYPTO_NAME").toString(),
             QStringLiteral("BTC"));
    QCOMPARE(readOne("CRYPTO_NAME", "d", "-"), QStringLiteral("BTC"));
    const QString renamed = fresh.root() + QStringLiteral("/renamed-tool.bin");
    QVERIFY(QFile::copy(QStringLiteral(STORE_TOOL_PATH), renamed));
    QVERIFY(QFile::setPermissions(renamed, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    auto readRenamed = [&] { return readInOtherProcess({{"CRYPTO_NAME", "d"}}, "-", renamed); };
    QCOMPARE(readRenamed().value("CRYPTO_NAME"), QStringLiteral("d"));
    QCOMPARE(writeInOtherProcess({{"CRYPTO_NAME", "ETH"}}, "renamed-tool"), 0);
    QCOMPARE(readRenamed().value("CRYPTO_NAME"), QStringLiteral("ETH"));
}

// QSettings writes every spelling of the group "general" as [%General] and
// reads back only "General": each name still gets a section of its own.
void StoreProcessTest::generalSections() {
    FreshStore fresh;
    const QStringList names{"general",  "General",  "GENERAL",  "gEnErAl",
                            "general_", "General_", "general__"};
    for (const QString& name : names)
        QCOMPARE(writeInOtherProcess({{"CRYPTO_NAME", "v-" + name}}, name), 0);
    for (const QString& name : names)
        QCOMPARE(readOne("CRYPTO_NAME", "d", name), "v-" + name);
    QCOMPARE(viewOf(fresh.file()).status, QSettings::NoError);
}

// Two copies under one executable name, one after the other and then at once
// (each key its own file replacement): each write replaces only its own keys,
// and a copy sees the other's writes at its next read.
void StoreProcessTest::twoCopiesLoseNoKeys() {
    FreshStore fresh;
    Store& store = Store::instance();
    QCOMPARE(writeInOtherProcess({{"CRYPTO_NAME", "first"}, {"ONLY_FIRST", "1"}}), 0);
    QCOMPARE(store.read(QStringLiteral("CRYPTO_NAME"), def), QStringLiteral("first"));
    QCOMPARE(writeInOtherProcess({{"CRYPTO_NAME", "second"}, {"ONLY_SECOND", "2"}}), 0);
    QCOMPARE(store.read(QStringLiteral("CRYPTO_NAME"), def), QStringLiteral("second"));
    store.write(QStringLiteral("ONLY_THIRD"), QStringLiteral("3"));
    Texts expected{
        {"CRYPTO_NAME", "second"}, {"ONLY_FIRST", "1"}, {"ONLY_SECOND", "2"}, {"ONLY_THIRD", "3"}};
    const int count = 80;
    QProcess a, b;
    for (auto [p, prefix] : {std::pair{&a, "A"}, std::pair{&b, "B"}}) {
        p->setProcessChannelMode(QProcess::ForwardedChannels);
        p->start(QStringLiteral(STORE_TOOL_PATH),
                 {QStringLiteral("spam"), section, QLatin1String(prefix), QString::number(count)});
        for (int i = 0; i < count; ++i)
            expected.insert(QStringLiteral("%1_%2").arg(QLatin1String(prefix)).arg(i),
                            QString::number(i));
    }
    for (QProcess* p : {&a, &b}) {
        QVERIFY(p->waitForFinished(60000));
        QCOMPARE(p->exitCode(), 0);
    }
    QCOMPARE(readBack(expected), expected);
}

void StoreProcessTest::leftoversOfAKillAreCleared_data() {
    QTest::addColumn<bool>("deadOwner");
    QTest::newRow("empty lock and orphan temporary files") << false;
    // A kill while QLockFile removes a dead writer's lock leaves the lock and
    // an empty "<lock>.rmlock", which QLockFile alone waits ~32 s to age.
    QTest::newRow("dead writer's lock and empty .rmlock") << true;
}

// The next writer neither waits for a killed writer's leftovers to age nor
// leaves them behind; a user's own file that merely looks alike ("backup",
// one case only) stays.
void StoreProcessTest::leftoversOfAKillAreCleared() {
    QFETCH(bool, deadOwner);
    FreshStore fresh;
    QCOMPARE(writeInOtherProcess({{"CRYPTO_NAME", "before"}}), 0);
    const QString file = fresh.file();
    QByteArray lock;
    if (deadOwner) {
        QProcess gone;
        gone.start(QStringLiteral(STORE_TOOL_PATH), {});
        QVERIFY(gone.waitForStarted(10000) && gone.processId() > 0);
        lock = QByteArray::number(gone.processId()) + "\nstore_tool\n" +
               QSysInfo::machineHostName().toUtf8() + '\n' + QSysInfo::machineUniqueId() + '\n' +
               QSysInfo::bootUniqueId() + '\n';
        QVERIFY(gone.waitForFinished(10000));
        writeBytes(file + QStringLiteral(".lock.rmlock"), QByteArray());
    }
    writeBytes(file + QStringLiteral(".lock"), lock);
    const QStringList orphans{".wSkTFP", ".AbCdEf"}, own{".backup", ".Backup1"};
    for (const QString& name : orphans + own)
        writeBytes(file + name, "[VELMORA-QUORIX]\nCRYPTO_NAME=torn\n");
    QElapsedTimer t;
    t.start();
    QCOMPARE(writeInOtherProcess({{"CRYPTO_NAME", "after"}}), 0);
    QVERIFY2(t.elapsed() < 5000, "a killed writer's leftovers stalled the write");
    for (const QString& name : orphans + QStringList{".lock", ".lock.rmlock"})
        QVERIFY2(!QFileInfo::exists(file + name), qPrintable(name));
    for (const QString& name : own)
        QVERIFY2(QFileInfo::exists(file + name), qPrintable(name));
    QCOMPARE(readOne("CRYPTO_NAME"), QStringLiteral("after"));
}

QTEST_GUILESS_MAIN(StoreProcessTest)
#include "tst_store_process.moc"
