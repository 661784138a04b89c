// A damaged store, a store that cannot be written: every window still
// opens, shows what can be read and defaults for the rest, keeps what the
// user types, says on the sheet's status bar that saving failed, and the
// next save that the disk takes leaves a clean file with nothing lost.
#include "about/about_window.h"
#include "app/all_windows.h"
#include "frame/main_window.h"
#include "frame/windows.h"
#include "lock/lock_window.h"
#include "lock/password_window.h"
#include "options/settings_window.h"
#include "settings/convert.h"
#include "settings/store.h"
#include "sheet/sheet_window.h"
#include "tests/settings/store_test_util.h"
#include "tests/support/testing.h"

#include <QGuiApplication>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QScreen>
#include <QtTest>

using namespace vq;
using namespace vq::testing;

namespace {

const QString section = QStringLiteral("VELMORA-QUORIX");
const QString statusOk = QStringLiteral("Status");
const QString statusFailed = QStringLiteral("Saving failed");
const QString password = QStringLiteral("pw-in-a-damaged-store");

// A store as a long-used tool leaves it: every one of the 73 keys.
QMap<QString, QString> fullStore() {
    QMap<QString, QString> m;
    for (const keys::CatalogueEntry& e : keys::catalogue()) {
        if (e.kind == keys::Kind::Geometry)
            m[e.name] = e.name.endsWith(QLatin1String("Left"))  ? QStringLiteral("1500")
                        : e.name.endsWith(QLatin1String("Top")) ? QStringLiteral("1200")
                                                                : QStringLiteral("9000");
        else if (e.kind == keys::Kind::TickBox)
            m[e.name] = QStringLiteral("1");
        else
            m[e.name] = QStringLiteral("text of ") + e.name;
    }
    m[keys::lockPassword.name] = password;
    m[keys::clientLocked.name] = QStringLiteral("0");
    m[keys::nameChangeLock.name] = QStringLiteral("0");
    return m;
}

QByteArray fileOf(const QMap<QString, QString>& values) {
    QByteArray out = "[" + section.toUtf8() + "]\n";
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        out += it.key().toUtf8() + '=' + it.value().toUtf8() + '\n';
    return out;
}

// Keys that no window writes when it closes: they must come through a
// rewrite of the file exactly as they were.
bool neverWrittenAtClose(const QString& name) {
    return name.endsWith(QLatin1String("Width")) || name.endsWith(QLatin1String("Height")) ||
           name == keys::lockPassword.name || name == keys::clientLocked.name ||
           name == keys::aboutWindow.left.name || name == keys::aboutWindow.top.name;
}

// Nothing QSettings would drop when it rewrites the file.
bool looksClean(const QByteArray& bytes) {
    if (bytes.contains('\0'))
        return false;
    for (const QByteArray& raw : bytes.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (!line.isEmpty() && !(line.startsWith('[') && line.endsWith(']')) && !line.contains('='))
            return false;
    }
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

QList<Form*> openEveryWindow() {
    QList<Form*> forms;
    for (auto kind : {WindowKind::Main, WindowKind::Sheet, WindowKind::Settings, WindowKind::Lock,
                      WindowKind::Password, WindowKind::About})
        forms << Windows::get(kind);
    // Shown, as the tool shows them: the registry unloads windows that
    // nobody can see.
    forms[0]->showModeless();
    forms[1]->showModeless(forms[0]);
    return forms;
}

bool onSomeScreen(Form* f) {
    const QRect r(f->pos(), f->frameGeometry().size());
    for (const QScreen* s : QGuiApplication::screens())
        if (s->geometry().intersects(r))
            return true;
    return false;
}

bool run(const QString& program, const QStringList& args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(10000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qInfo() << program << args << "failed:" << p.readAll().trimmed();
        return false;
    }
    return true;
}

} // namespace

class BadStoreTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void damagedFile_data();
    void damagedFile();
    void garbageInGeometryAndTickKeys_data();
    void garbageInGeometryAndTickKeys();
    void storeFileIsAFolder();
    void unwritable_data();
    void unwritable();

private:
    QString mounted_;
};

void BadStoreTest::initTestCase() {
    setUpTestApplication();
    registerAllWindows();
}

void BadStoreTest::cleanup() {
    Store::instance().simulateWriteFailures(0);
    unloadAll();
    if (!mounted_.isEmpty()) {
        run(QStringLiteral("umount"), {QStringLiteral("-l"), mounted_});
        mounted_.clear();
    }
    Store::instance().flush();
    Store::instance().setRetryInterval(Store::retryInterval);
}

void BadStoreTest::damagedFile_data() {
    QTest::addColumn<QByteArray>("content");
    const QByteArray good = fileOf(fullStore());
    QTest::newRow("truncated") << good.left(good.size() / 2);
    QTest::newRow("truncated to nothing") << QByteArray();
    QRandomGenerator rng(6);
    QByteArray random(16384, '\0');
    for (char& c : random)
        c = char(rng.bounded(256));
    QTest::newRow("random bytes") << random;
    QTest::newRow("random bytes after the keys") << QByteArray(good + random);
    const qsizetype middle = good.indexOf("WALLET_NAME_TEXTBOX_1=");
    QTest::newRow("2 MB line among the keys") << QByteArray(
        good.left(middle) + QByteArray(2 * 1024 * 1024, 'x') + '\n' + good.mid(middle));
    QTest::newRow("2 MB value") << QByteArray(good + "HUGE=" + QByteArray(2 * 1024 * 1024, 'y') +
                                              '\n');
}

// Every window opens on the damaged file and shows what can still be read;
// closing them all writes a clean file that keeps every key they do not
// write, and the damaged bytes are kept aside.
void BadStoreTest::damagedFile() {
    QFETCH(QByteArray, content);
    FreshStore fresh;
    writeBytes(fresh.file(), content);
    const FileView before = viewOf(fresh.file());

    const QList<Form*> forms = openEveryWindow();
    for (Form* f : forms) {
        QVERIFY(f && f->isLoaded());
        QVERIFY2(onSomeScreen(f), f->objectName().toLatin1());
    }
    auto* sheet = Windows::find<SheetWindow>();
    auto* lock = Windows::find<LockWindow>();
    const auto readable = [&](const QString& name, const QString& def) {
        const QVariant v = before.values.value(section + QLatin1Char('/') + name);
        return v.typeId() == QMetaType::QString ? v.toString() : def;
    };
    for (int n = 1; n <= 10; ++n)
        QCOMPARE(sheet->row(n).WALLET_NAME_TEXTBOX->text(),
                 readable(keys::walletName(n).name, keys::walletName(n).def));
    QVERIFY(lock->CURRENT_PASSWORD_TEXTBOX->text() == readable(keys::lockPassword.name, QString()));

    // The sheet still works and takes what the user types.
    sheet->row(3).AMOUNT_IN_WALLET->setText(QStringLiteral("2.5"));
    sheet->row(3).CURRENT_DOLLAR_VALUATION->setText(QStringLiteral("4"));
    sheet->row(3).AUTOMATIC_CALCULATIONS_TICKBOX->setValue(1);
    sheet->AUTO_CALCULATE_TIMER_Timer(3);
    QCOMPARE(sheet->row(3).TOTAL_USD_VALUATION_TEXTBOX->text().toDouble(), 10.0);
    sheet->row(1).WALLET_NAME_TEXTBOX->setText(QStringLiteral("typed after the damage"));
    unloadAll();

    Store& store = Store::instance();
    QVERIFY(store.healthy());
    QVERIFY(!store.hasPending());
    const QByteArray after = fileBytes(fresh.file());
    QVERIFY2(looksClean(after), "the save left a file QSettings cannot fully parse");
    const FileView view = viewOf(fresh.file());
    QCOMPARE(view.status, QSettings::NoError);
    const auto stored = [&](const QString& name) {
        return view.values.value(section + QLatin1Char('/') + name).toString();
    };
    QCOMPARE(stored(keys::walletName(1).name), QStringLiteral("typed after the damage"));
    QCOMPARE(stored(keys::rowTick(3).name), QStringLiteral("1"));
    for (const keys::CatalogueEntry& e : keys::catalogue()) {
        const QString k = section + QLatin1Char('/') + e.name;
        if (neverWrittenAtClose(e.name))
            QVERIFY2(view.values.value(k) == before.values.value(k), qPrintable(e.name));
        else if (e.kind != keys::Kind::Text)
            QVERIFY2(convert::floatValue(stored(e.name)).has_value(), qPrintable(e.name));
    }
    if (!looksClean(content)) {
        // The damaged bytes are kept beside the store, owner-only.
        const QStringList aside =
            QDir(fresh.folder())
                .entryList({QStringLiteral("VL_QUORIX.ini.broken-*")}, QDir::Files | QDir::Hidden);
        QCOMPARE(aside.size(), 1);
        QCOMPARE(fileBytes(fresh.folder() + QLatin1Char('/') + aside.first()), content);
    }
}

void BadStoreTest::garbageInGeometryAndTickKeys_data() {
    QTest::addColumn<QString>("garbage");
    QTest::addColumn<bool>("number"); // a float, if not a sensible one
    QTest::addColumn<bool>("words");  // not even a number to test for truth
    QTest::newRow("empty") << QString() << false << true;
    QTest::newRow("letters") << QStringLiteral("abc") << false << true;
    QTest::newRow("beyond float range") << QStringLiteral("1e40") << false << false;
    QTest::newRow("far negative") << QStringLiteral("-99999") << true << false;
    QTest::newRow("fraction") << QStringLiteral("2.5") << true << false;
    QTest::newRow("tick out of range") << QStringLiteral("7") << true << false;
}

void BadStoreTest::garbageInGeometryAndTickKeys() {
    QFETCH(QString, garbage);
    QFETCH(bool, number);
    QFETCH(bool, words);
    FreshStore fresh;
    QMap<QString, QString> values = fullStore();
    for (const keys::CatalogueEntry& e : keys::catalogue())
        if (e.kind != keys::Kind::Text)
            values[e.name] = garbage;
    writeBytes(fresh.file(), fileOf(values));

    const QList<Form*> forms = openEveryWindow();
    for (Form* f : forms) {
        QVERIFY(f && f->isLoaded());
        QVERIFY2(onSomeScreen(f), f->objectName().toLatin1());
        if (!number) {
            QCOMPARE(f->Left(), 1000.0);
            QCOMPARE(f->Top(), 1000.0);
        }
    }
    auto* main = Windows::find<MainWindow>();
    auto* sheet = Windows::find<SheetWindow>();
    auto* settings = Windows::find<SettingsWindow>();
    QVERIFY(Windows::find<PasswordWindow>());
    // Text keys are untouched by the garbage around them.
    QCOMPARE(sheet->row(5).WALLET_NAME_TEXTBOX->text(), values[keys::walletName(5).name]);
    QCOMPARE(main->CRYPTO_NAME_START_LABEL->text(), values[keys::cryptoNameForLabel.name]);
    QVERIFY(Windows::find<LockWindow>()->CURRENT_PASSWORD_TEXTBOX->text() == password);
    if (!number) {
        QCOMPARE(sheet->Width(), 14475.0);
        QCOMPARE(sheet->Height(), 8175.0);
    }
    // Every tick box holds a value a tick box can hold; text that is no
    // number gives each box its default.
    QList<TickBox*> boxes{main->CLIENT_LOCKED_TICKBOX,
                          main->AlwaysOnTopTimer_TICKBOX,
                          sheet->AUTOSAVE_TICKBOX,
                          sheet->NAME_CHANGE_LOCK_TICKBOX,
                          sheet->AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL,
                          sheet->AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL,
                          settings->AUTOSAVE_TICKBOX,
                          settings->AlwaysOnTopTimer_TICKBOX,
                          settings->NAME_CHANGE_LOCK_TICKBOX};
    for (int n = 1; n <= 10; ++n)
        boxes << sheet->row(n).AUTOMATIC_CALCULATIONS_TICKBOX;
    for (TickBox* b : boxes)
        QVERIFY2(b->value() >= 0 && b->value() <= 2, qPrintable(b->objectName()));
    if (!number) {
        QCOMPARE(main->CLIENT_LOCKED_TICKBOX->value(), 0);
        QCOMPARE(main->AlwaysOnTopTimer_TICKBOX->value(), 1);
        QCOMPARE(sheet->row(1).AUTOMATIC_CALCULATIONS_TICKBOX->value(), 0);
    }
    // A timer follows the key read as a truth value: any number but 0 runs
    // it, even one no tick box can show ("1e40", "7").
    if (words) {
        QVERIFY(!sheet->row(1).AUTO_CALCULATE_TIMER->isEnabled());
        QVERIFY(!sheet->AUTOSAVE_TIMER->isEnabled());
    }
    // Ticking on: the timers of the rows that run still value them.
    for (int n = 1; n <= 10; ++n)
        sheet->AUTO_CALCULATE_TIMER_Timer(n);
    sheet->AUTO_CALCULATE_TIMER_TOTAL_Timer();

    unloadAll();
    QVERIFY(Store::instance().healthy());
    const FileView view = viewOf(fresh.file());
    QCOMPARE(view.status, QSettings::NoError);
    // Every key a window writes now converts back; the sizes, which no
    // window writes, keep what was there.
    for (const keys::CatalogueEntry& e : keys::catalogue()) {
        const QString v = view.values.value(section + QLatin1Char('/') + e.name).toString();
        if (neverWrittenAtClose(e.name))
            QCOMPARE(v, values[e.name]);
        else if (e.kind == keys::Kind::Geometry)
            QVERIFY2(convert::floatValue(v).has_value(), qPrintable(e.name + "=" + v));
        else if (e.kind == keys::Kind::TickBox)
            QVERIFY2(convert::tickValue(v).has_value(), qPrintable(e.name + "=" + v));
    }
}

// A folder standing where the store file belongs is moved aside, with what
// it holds, at the first save, and the save goes through.
void BadStoreTest::storeFileIsAFolder() {
    FreshStore fresh;
    QVERIFY(QDir().mkpath(fresh.file() + QStringLiteral("/kept")));
    Store& store = Store::instance();
    openEveryWindow();
    auto* sheet = Windows::find<SheetWindow>();
    QCOMPARE(sheet->row(2).WALLET_NAME_TEXTBOX->text(), QStringLiteral("Wallet Name"));
    sheet->row(2).WALLET_NAME_TEXTBOX->setText(QStringLiteral("typed over a folder"));
    sheet->CLOSE_BUTTON_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(store.healthy());
    QVERIFY(QFileInfo(fresh.file()).isFile());
    const QStringList aside = QDir(fresh.folder())
                                  .entryList({QFileInfo(fresh.file()).fileName() + ".broken-*"},
                                             QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(aside.size(), 1);
    QVERIFY(QFileInfo(fresh.folder() + QLatin1Char('/') + aside.first() + "/kept").isDir());
    const FileView view = viewOf(fresh.file());
    QCOMPARE(view.status, QSettings::NoError);
    QCOMPARE(view.values.value(section + QStringLiteral("/WALLET_NAME_TEXTBOX_2")).toString(),
             QStringLiteral("typed over a folder"));
}

void BadStoreTest::unwritable_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("injected write failure") << QStringLiteral("injected");
    QTest::newRow("read-only file system") << QStringLiteral("read-only");
    QTest::newRow("full disk") << QStringLiteral("full");
}

// Writing stops working while the sheet is open with typed data: the tool
// keeps running and calculating, shows the failure, keeps every typed
// text, and saves all of it once writing works again.
void BadStoreTest::unwritable() {
    QFETCH(QString, how);
    FreshStore fresh;
    Store& store = Store::instance();
    store.setRetryInterval(100);
    const QString filler = fresh.folder() + QStringLiteral("/filler");
    if (how != QLatin1String("injected")) {
        QVERIFY(QDir().mkpath(fresh.folder()));
        if (!run(QStringLiteral("mount"),
                 {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                  QStringLiteral("size=64k,mode=0700"), QStringLiteral("tmpfs"), fresh.folder()}))
            QSKIP("no small file system can be mounted here; the injected failure stands in");
        mounted_ = fresh.folder();
    }
    // Unmounted before the folder beneath is removed.
    const auto unmount = qScopeGuard([this] {
        Store::instance().simulateWriteFailures(0);
        unloadAll();
        if (!mounted_.isEmpty())
            run(QStringLiteral("umount"), {QStringLiteral("-l"), mounted_});
        mounted_.clear();
    });
    seedStore({{keys::autosave.name, QStringLiteral("1")},
               {keys::walletName(1).name, QStringLiteral("saved before")}});
    QVERIFY(store.healthy());

    openEveryWindow();
    auto* main = Windows::find<MainWindow>();
    auto* sheet = Windows::find<SheetWindow>();
    QCOMPARE(sheet->STATUS_PANEL->text(), statusOk);

    if (how == QLatin1String("injected")) {
        store.simulateWriteFailures(1000000);
    } else if (how == QLatin1String("read-only")) {
        QVERIFY(run(QStringLiteral("mount"),
                    {QStringLiteral("-o"), QStringLiteral("remount,ro"), mounted_}));
    } else {
        QFile fill(filler);
        QVERIFY(fill.open(QIODevice::WriteOnly));
        const QByteArray block(1024, 'f');
        while (fill.write(block) == block.size() && fill.flush()) {
        }
        fill.close();
    }

    for (int n = 1; n <= 10; ++n) {
        sheet->row(n).WALLET_NAME_TEXTBOX->setText(QStringLiteral("typed %1 while failing").arg(n));
        sheet->row(n).AMOUNT_IN_WALLET->setText(QString::number(n));
        sheet->row(n).CURRENT_DOLLAR_VALUATION->setText(QStringLiteral("10"));
    }
    sheet->row(4).AUTOMATIC_CALCULATIONS_TICKBOX->setValue(1);
    sheet->AUTOSAVE_TIMER_Timer();
    QVERIFY(!store.healthy());
    QCOMPARE(sheet->STATUS_PANEL->text(), statusFailed);
    sheet->AUTO_CALCULATE_TIMER_Timer(4);
    QCOMPARE(sheet->row(4).TOTAL_USD_VALUATION_TEXTBOX->text().toDouble(), 40.0);
    QTest::keyClicks(sheet->CRYPTO_NAME_TEXTBOX, QStringLiteral("-kept"));
    QTest::qWait(250); // failed retries change nothing
    QVERIFY(!store.healthy());

    // Closing and reopening the sheet shows everything typed.
    sheet->CLOSE_BUTTON_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    sheet = Windows::get<SheetWindow>();
    sheet->showModeless(main);
    QCOMPARE(sheet->STATUS_PANEL->text(), statusFailed);
    QCOMPARE(sheet->row(7).WALLET_NAME_TEXTBOX->text(), QStringLiteral("typed 7 while failing"));
    QCOMPARE(sheet->CRYPTO_NAME_TEXTBOX->text(), QStringLiteral("Example: BTC-kept"));
    QCOMPARE(sheet->row(4).AUTOMATIC_CALCULATIONS_TICKBOX->value(), 1);

    if (how == QLatin1String("injected")) {
        store.simulateWriteFailures(0);
    } else if (how == QLatin1String("read-only")) {
        QVERIFY(run(QStringLiteral("mount"),
                    {QStringLiteral("-o"), QStringLiteral("remount,rw"), mounted_}));
    } else {
        QVERIFY(QFile::remove(filler));
    }
    QTRY_VERIFY_WITH_TIMEOUT(store.healthy(), 5000);
    QCOMPARE(sheet->STATUS_PANEL->text(), statusOk);
    QVERIFY(!store.hasPending());
    const FileView view = viewOf(fresh.file());
    QCOMPARE(view.status, QSettings::NoError);
    for (int n = 1; n <= 10; ++n)
        QCOMPARE(
            view.values.value(section + QLatin1Char('/') + keys::walletName(n).name).toString(),
            QStringLiteral("typed %1 while failing").arg(n));
    QCOMPARE(view.values.value(section + QStringLiteral("/CRYPTO_NAME")).toString(),
             QStringLiteral("Example: BTC-kept"));
    QCOMPARE(view.values.value(section + QLatin1Char('/') + keys::rowTick(4).name).toString(),
             QStringLiteral("1"));
    QCOMPARE(modeOf(fresh.file()), 0600);
}

QTEST_MAIN(BadStoreTest)
#include "tst_bad_store.moc"
