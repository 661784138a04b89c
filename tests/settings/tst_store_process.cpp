// The settings store seen from other processes: texts round-trip exactly
// through the file, reads never create anything, hand-edited values fall
// back to their defaults, sections follow the executable's name, and two
// copies writing at once keep each other's keys.
#include "settings/store.h"
#include "tests/settings/protocol.h"
#include "tests/settings/store_test_util.h"

#include <QtTest>

using namespace vq;
using namespace vq::testing;

namespace {

const QString section = QStringLiteral("VELMORA-QUORIX");

ToolResult writeInOtherProcess(const QMap<QString, QString>& values, const QString& sec = section,
                               const char* command = "write") {
    QByteArray in;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        in += it.key().toUtf8() + '\t' + toHexUnits(it.value()) + '\n';
    return runTool({QLatin1String(command), sec}, in);
}

// key -> default in, key -> text out
QMap<QString, QString>
readInOtherProcess(const QMap<QString, QString>& defaults, const QString& sec = section,
                   const QString& program = QStringLiteral(STORE_TOOL_PATH)) {
    QByteArray in;
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it)
        in += it.key().toUtf8() + '\t' + toHexUnits(it.value()) + '\n';
    const ToolResult r = runTool({QStringLiteral("read"), sec}, in, program);
    QMap<QString, QString> out;
    if (r.exitCode != 0)
        return out;
    for (const QByteArray& line : r.out.split('\n')) {
        const qsizetype tab = line.indexOf('\t');
        if (tab > 0)
            out.insert(QString::fromUtf8(line.left(tab)), fromHexUnits(line.mid(tab + 1)));
    }
    return out;
}

QString readOne(const QString& key, const QString& def, const QString& sec = section) {
    return readInOtherProcess({{key, def}}, sec).value(key, QStringLiteral("<<no answer>>"));
}

QStringList folderListing(const QString& root) {
    QStringList all;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        all << it.filePath() + QLatin1Char(' ') + QString::number(it.fileInfo().size()) +
                   QLatin1Char(' ') +
                   QString::number(it.fileInfo().lastModified().toMSecsSinceEpoch());
    }
    all.sort();
    return all;
}

} // namespace

class StoreProcessTest : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void roundTripAllAtOnce();
    void plainTextsStayPlain();
    void emptyValueIsNotDefault();
    void readNeverCreates();
    void handEditedValuesFallBack_data();
    void handEditedValuesFallBack();
    void sectionIsExecutableName();
    void generalSections();
    void lastWriterWinsPerKey();
    void concurrentCopiesKeepBothKeys();
};

static QMap<QString, QString> texts() {
    QMap<QString, QString> t;
    t.insert(QStringLiteral("empty"), QString());
    t.insert(QStringLiteral("blanks around"), QStringLiteral("  text  "));
    t.insert(QStringLiteral("only blanks"), QStringLiteral("   "));
    t.insert(QStringLiteral("tabs"), QStringLiteral("\ta\tb\t"));
    t.insert(QStringLiteral("line breaks"), QStringLiteral("one\ntwo\r\nthree\rfour\n"));
    t.insert(QStringLiteral("comma decimal"), QStringLiteral("1,5"));
    t.insert(QStringLiteral("comma list"), QStringLiteral("a, b"));
    t.insert(QStringLiteral("quotes"), QStringLiteral("\"quoted\" and 'single' \""));
    t.insert(QStringLiteral("backslashes"), QStringLiteral("C:\\path\\to\\ \\\\ end\\"));
    t.insert(QStringLiteral("leading @"), QStringLiteral("@ByteArray(x)"));
    t.insert(QStringLiteral("leading @@"), QStringLiteral("@@Invalid()"));
    t.insert(QStringLiteral("semicolon"), QStringLiteral(";comment? no"));
    t.insert(QStringLiteral("hash"), QStringLiteral("#not a comment"));
    t.insert(QStringLiteral("equals"), QStringLiteral("=a=b="));
    t.insert(QStringLiteral("section look"), QStringLiteral("[General]"));
    t.insert(QStringLiteral("percent"), QStringLiteral("%General %41"));
    t.insert(QStringLiteral("non-ASCII"), QStringLiteral("Grüße, 価格 € ₿ 😀 ё"));
    t.insert(QStringLiteral("escape look"), QStringLiteral("\\x41 \\0 \\n \\u0041"));
    t.insert(QStringLiteral("NUL"), QString(QChar(0)));
    t.insert(QStringLiteral("NUL then digits"),
             QStringLiteral("a") + QChar(0) + QStringLiteral("12b"));
    t.insert(QStringLiteral("control characters"),
             QString::fromLatin1("\x01\x02\x07\x08\x0b\x0c\x1b\x1f\x7f x"));
    t.insert(QStringLiteral("C1 and separators"),
             QString(QChar(0x85)) + QChar(0x2028) + QChar(0x2029) + QChar(0xA0));
    t.insert(QStringLiteral("BOM leading"), QString(QChar(0xFEFF)) + QStringLiteral("bom"));
    t.insert(QStringLiteral("BOM after escape"),
             QStringLiteral("\t") + QChar(0xFEFF) + QStringLiteral("x") + QChar(0xFEFF));
    t.insert(QStringLiteral("lone surrogates"),
             QString(QChar(0xD800)) + QStringLiteral("a") + QChar(0xDC00));
    QString longText;
    for (int i = 0; longText.size() < 100 * 1024; ++i)
        longText += QStringLiteral("line %1, \"x\"\t;#=@ äöü\n").arg(i);
    t.insert(QStringLiteral("100 kB"), longText);
    return t;
}

void StoreProcessTest::roundTrip_data() {
    QTest::addColumn<QString>("text");
    const auto all = texts();
    for (auto it = all.cbegin(); it != all.cend(); ++it)
        QTest::newRow(it.key().toUtf8().constData()) << it.value();
}

// Written by one process, read by a new one, and by this one.
void StoreProcessTest::roundTrip() {
    QFETCH(QString, text);
    FreshStore fresh;
    QCOMPARE(writeInOtherProcess({{QStringLiteral("CRYPTO_NAME"), text}}).exitCode, 0);
    const QString back = readOne(QStringLiteral("CRYPTO_NAME"), QStringLiteral("<<default>>"));
    QCOMPARE(back.size(), text.size());
    QCOMPARE(back, text);
    QCOMPARE(Store::instance().read(QStringLiteral("CRYPTO_NAME"), QStringLiteral("<<default>>")),
             text);

    // And the other way round: this process writes, a new one reads.
    Store::instance().write(QStringLiteral("EXCHANGE_RATE_TEXTBOX"), text);
    QVERIFY(Store::instance().healthy());
    QCOMPARE(readOne(QStringLiteral("EXCHANGE_RATE_TEXTBOX"), QStringLiteral("<<default>>")), text);
}

// Every text in one batch, so that neighbours in the file cannot disturb
// each other.
void StoreProcessTest::roundTripAllAtOnce() {
    FreshStore fresh;
    const auto all = texts();
    QMap<QString, QString> byKey, defaults;
    int i = 0;
    for (const QString& text : all) {
        const QString key = QStringLiteral("KEY_%1").arg(i++);
        byKey.insert(key, text);
        defaults.insert(key, QStringLiteral("<<default>>"));
    }
    QCOMPARE(writeInOtherProcess(byKey).exitCode, 0);
    QCOMPARE(readInOtherProcess(defaults), byKey);
}

// Only texts QSettings would lose are encoded; every other text is in the
// file as the plain text an older reader expects.
void StoreProcessTest::plainTextsStayPlain() {
    FreshStore fresh;
    const auto all = texts();
    {
        Store::Batch batch;
        for (auto it = all.cbegin(); it != all.cend(); ++it)
            Store::instance().write(it.key(), it.value());
    }
    QVERIFY(Store::instance().healthy());
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
    QVERIFY(Store::needsEncoding(all.value(QStringLiteral("BOM leading"))));
    QVERIFY(Store::needsEncoding(all.value(QStringLiteral("lone surrogates"))));
    QVERIFY(!Store::needsEncoding(all.value(QStringLiteral("NUL"))));
    QVERIFY(!Store::needsEncoding(all.value(QStringLiteral("100 kB"))));
}

void StoreProcessTest::emptyValueIsNotDefault() {
    FreshStore fresh;
    QCOMPARE(writeInOtherProcess({{QStringLiteral("AMOUNT_IN_WALLET_3"), QString()},
                                  {QStringLiteral("LOCK-PASSWORD"), QString()}})
                 .exitCode,
             0);
    QCOMPARE(readOne(QStringLiteral("AMOUNT_IN_WALLET_3"), QStringLiteral("0")), QString());
    QCOMPARE(readOne(QStringLiteral("LOCK-PASSWORD"), QStringLiteral("secret")), QString());
    QCOMPARE(readOne(QStringLiteral("AMOUNT_IN_WALLET_4"), QStringLiteral("0")),
             QStringLiteral("0"));
    QCOMPARE(Store::instance().read(QStringLiteral("AMOUNT_IN_WALLET_3"), QStringLiteral("0")),
             QString());
}

void StoreProcessTest::readNeverCreates() {
    FreshStore fresh;
    const QMap<QString, QString> defaults{
        {QStringLiteral("MINI-MAIN-Left"), QStringLiteral("1000")},
        {QStringLiteral("CRYPTO_NAME"), QStringLiteral("CRYPTO-NAME")}};
    // No file yet: reads give the defaults and leave nothing behind.
    QCOMPARE(readInOtherProcess(defaults), defaults);
    QCOMPARE(Store::instance().read(QStringLiteral("CRYPTO_NAME"), QStringLiteral("x")),
             QStringLiteral("x"));
    QVERIFY(!QFileInfo::exists(fresh.folder()));
    QVERIFY(!QFileInfo::exists(fresh.file()));

    // With a file: reads of missing keys change nothing at all.
    Store::instance().write(QStringLiteral("CLIENT_LOCKED"), QStringLiteral("1"));
    const QByteArray before = fileBytes(fresh.file());
    const QStringList listing = folderListing(fresh.root());
    QTest::qWait(20); // a write now would show in the modification times
    QCOMPARE(readInOtherProcess(defaults), defaults);
    QCOMPARE(Store::instance().read(QStringLiteral("MINI-MAIN-Top"), QStringLiteral("1000")),
             QStringLiteral("1000"));
    QCOMPARE(readOne(QStringLiteral("CLIENT_LOCKED"), QStringLiteral("0")), QStringLiteral("1"));
    QCOMPARE(fileBytes(fresh.file()), before);
    QCOMPARE(folderListing(fresh.root()), listing);
}

void StoreProcessTest::handEditedValuesFallBack_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("expected"); // "<<default>>" for the default
    const QString def = QStringLiteral("<<default>>");
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
    QTest::newRow("plain") << QByteArray("K=1500") << QStringLiteral("1500");
    QTest::newRow("encoded by the store")
        << QByteArray("K=@ByteArray(VQ-UTF16:0041FEFF)") << QStringLiteral("A") + QChar(0xFEFF);
    QTest::newRow("bad encoding") << QByteArray("K=@ByteArray(VQ-UTF16:004)") << def;
}

void StoreProcessTest::handEditedValuesFallBack() {
    QFETCH(QByteArray, line);
    QFETCH(QString, expected);
    FreshStore fresh;
    writeBytes(fresh.file(), "[VELMORA-QUORIX]\n" + line + "\nOTHER=kept\n");
    const QString def = QStringLiteral("<<default>>");
    QCOMPARE(readOne(QStringLiteral("K"), def), expected);
    QCOMPARE(Store::instance().read(QStringLiteral("K"), def), expected);
    QCOMPARE(readOne(QStringLiteral("OTHER"), def), QStringLiteral("kept"));
}

// The section is the executable's base name; a renamed copy starts afresh.
void StoreProcessTest::sectionIsExecutableName() {
    FreshStore fresh;
    QCOMPARE(writeInOtherProcess({{QStringLiteral("CRYPTO_NAME"), QStringLiteral("BTC")}},
                                 QStringLiteral("-"))
                 .exitCode,
             0);
    const FileView view = viewOf(fresh.file());
    QCOMPARE(view.values.value(QStringLiteral("store_tool/CRYPTO_NAME")).toString(),
             QStringLiteral("BTC"));
    QCOMPARE(readOne(QStringLiteral("CRYPTO_NAME"), QStringLiteral("d"), QStringLiteral("-")),
             QStringLiteral("BTC"));

    const QString renamed = fresh.root() + QStringLiteral("/renamed-tool.bin");
    QVERIFY(QFile::copy(QStringLiteral(STORE_TOOL_PATH), renamed));
    QVERIFY(QFile::setPermissions(renamed, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const auto other = readInOtherProcess({{QStringLiteral("CRYPTO_NAME"), QStringLiteral("d")}},
                                          QStringLiteral("-"), renamed);
    QCOMPARE(other.value(QStringLiteral("CRYPTO_NAME")), QStringLiteral("d"));
    QCOMPARE(writeInOtherProcess({{QStringLiteral("CRYPTO_NAME"), QStringLiteral("ETH")}},
                                 QStringLiteral("renamed-tool"))
                 .exitCode,
             0);
    QCOMPARE(readInOtherProcess({{QStringLiteral("CRYPTO_NAME"), QStringLiteral("d")}},
                                QStringLiteral("-"), renamed)
                 .value(QStringLiteral("CRYPTO_NAME")),
             QStringLiteral("ETH"));
}

// QSettings writes every spelling of the group "general" as [%General] and
// reads back only "General": each name still gets a section of its own.
void StoreProcessTest::generalSections() {
    FreshStore fresh;
    const QStringList names{QStringLiteral("general"),  QStringLiteral("General"),
                            QStringLiteral("GENERAL"),  QStringLiteral("gEnErAl"),
                            QStringLiteral("general_"), QStringLiteral("General_"),
                            QStringLiteral("general__")};
    for (const QString& name : names)
        QCOMPARE(writeInOtherProcess({{QStringLiteral("CRYPTO_NAME"), QStringLiteral("v-") + name}},
                                     name)
                     .exitCode,
                 0);
    for (const QString& name : names)
        QCOMPARE(readOne(QStringLiteral("CRYPTO_NAME"), QStringLiteral("d"), name),
                 QStringLiteral("v-") + name);
    QCOMPARE(viewOf(fresh.file()).status, QSettings::NoError);
}

// Two copies under one executable name: each write replaces only its key.
void StoreProcessTest::lastWriterWinsPerKey() {
    FreshStore fresh;
    Store& store = Store::instance();
    QCOMPARE(writeInOtherProcess({{QStringLiteral("CRYPTO_NAME"), QStringLiteral("first")},
                                  {QStringLiteral("ONLY_FIRST"), QStringLiteral("1")}})
                 .exitCode,
             0);
    QCOMPARE(store.read(QStringLiteral("CRYPTO_NAME"), QStringLiteral("d")),
             QStringLiteral("first"));
    QCOMPARE(writeInOtherProcess({{QStringLiteral("CRYPTO_NAME"), QStringLiteral("second")},
                                  {QStringLiteral("ONLY_SECOND"), QStringLiteral("2")}})
                 .exitCode,
             0);
    // This copy sees the other's write at its next read, and its own write
    // keeps every key the others wrote.
    QCOMPARE(store.read(QStringLiteral("CRYPTO_NAME"), QStringLiteral("d")),
             QStringLiteral("second"));
    store.write(QStringLiteral("ONLY_THIRD"), QStringLiteral("3"));
    const QMap<QString, QString> expected{{QStringLiteral("CRYPTO_NAME"), QStringLiteral("second")},
                                          {QStringLiteral("ONLY_FIRST"), QStringLiteral("1")},
                                          {QStringLiteral("ONLY_SECOND"), QStringLiteral("2")},
                                          {QStringLiteral("ONLY_THIRD"), QStringLiteral("3")}};
    QMap<QString, QString> defaults;
    for (const QString& k : expected.keys())
        defaults.insert(k, QStringLiteral("missing"));
    QCOMPARE(readInOtherProcess(defaults), expected);
    store.write(QStringLiteral("CRYPTO_NAME"), QStringLiteral("third"));
    QCOMPARE(readOne(QStringLiteral("CRYPTO_NAME"), QStringLiteral("d")), QStringLiteral("third"));
}

// Two copies writing different keys at the same time, each write its own
// file replacement: no key is lost.
void StoreProcessTest::concurrentCopiesKeepBothKeys() {
    FreshStore fresh;
    const int count = 80;
    QProcess a, b;
    for (auto [p, prefix] : {std::pair{&a, "A"}, std::pair{&b, "B"}}) {
        p->setProcessChannelMode(QProcess::ForwardedChannels);
        p->start(QStringLiteral(STORE_TOOL_PATH),
                 {QStringLiteral("spam"), section, QLatin1String(prefix), QString::number(count)});
    }
    QVERIFY(a.waitForFinished(60000));
    QVERIFY(b.waitForFinished(60000));
    QCOMPARE(a.exitCode(), 0);
    QCOMPARE(b.exitCode(), 0);
    const FileView view = viewOf(fresh.file());
    QCOMPARE(view.status, QSettings::NoError);
    for (const char* prefix : {"A", "B"})
        for (int i = 0; i < count; ++i)
            QCOMPARE(view.values.value(QStringLiteral("%1/%2_%3").arg(section).arg(prefix).arg(i))
                         .toString(),
                     QString::number(i));
}

QTEST_GUILESS_MAIN(StoreProcessTest)
#include "tst_store_process.moc"
