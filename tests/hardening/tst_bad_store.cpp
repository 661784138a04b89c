// The real windows over a damaged store, one that refuses writes, and secrets: every window
// opens, nothing typed is lost, and the password shows in no output.
#include "app/all_windows.h"
#include "frame/controls.h"
#include "frame/intentions.h"
#include "frame/windows.h"
#include "settings/store.h"
#include "tests/support/testing.h"

#include <QGuiApplication>
#include <QRandomGenerator>
#include <QScreen>
#include <QtTest>

using namespace vq;
using namespace vq::testing;

namespace {

// Every key set (boxes ticked but the locks, figures 1); `garbage` in each geometry and tick key.
QByteArray fullStore(const char* garbage = nullptr) {
    QByteArray out = "[VELMORA-QUORIX]\n";
    for (const keys::CatalogueEntry& e : keys::catalogue()) {
        QByteArray v = garbage ? garbage : e.name.contains("LOCK") ? "0" : "1";
        out += e.name.toUtf8() + '=' + (e.kind == keys::Kind::Text ? "text" : v) + '\n';
    }
    return out;
}

TextBox* box(Form* window, const QString& name) {
    return control<TextBox>(window, name);
}

// Main window and sheet shown, as the tool starts them.
Form* openSheet() {
    Form* main = Windows::get(WindowKind::Main);
    main->showModeless();
    Windows::get(WindowKind::Sheet)->showModeless(main);
    return Windows::find(WindowKind::Sheet);
}

} // namespace

class BadStoreTest : public QObject {
    Q_OBJECT
    QString mounted; // a file system of its own for the store, mounted by a test
private slots:
    void initTestCase() {
        setUpTestApplication();
        registerAllWindows();
    }
    void cleanup() {
        Store::instance().simulateWriteFailures(0);
        Store::instance().setRetryInterval(Store::retryInterval);
        unloadAll(); // before the folder beneath is unmounted
        if (!mounted.isEmpty())
            QProcess::execute("umount", {"-l", std::exchange(mounted, QString())});
    }

    void damagedStore_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("noNumbers"); // no number in any geometry or tick key
        QByteArray good = fullStore();
        const qsizetype middle = good.indexOf("WALLET_NAME_TEXTBOX_1=");
        QByteArray random(16384, '\0');
        QRandomGenerator(6).fillRange(reinterpret_cast<quint32*>(random.data()), 4096);
        QTest::newRow("truncated") << good.left(good.size() / 2) << false;
        QTest::newRow("random bytes") << random << false;
        QTest::newRow("random bytes after the keys") << good + random << false;
        QTest::newRow("2 MB line") << good.insert(middle, QByteArray(2 << 20, 'x') + '\n') << false;
        for (const char* garbage : {"", "abc", "1e40", "-99999"})
            QTest::addRow("\"%s\" in geometry and ticks", garbage)
                << fullStore(garbage) << (QByteArray(garbage).toDouble() == 0);
    }
    // Every window opens on the damaged store, on screen, showing what can be read and each
    // key's own default for the rest; closing them saves what was typed, keeps what they don't.
    void damagedStore() {
        QFETCH(QByteArray, content);
        QFETCH(bool, noNumbers);
        QFile file(useFreshStore());
        QVERIFY(QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::WriteOnly) &&
                file.write(content) == content.size() && file.flush());
        Store& store = Store::instance();
        QMap<QString, QString> before;
        for (const keys::CatalogueEntry& e : keys::catalogue())
            before[e.name] = store.read(e.name, "<none>");
        Form* sheet = openSheet();
        // Read before the settings window, which follows its own default, loads.
        QVERIFY(!noNumbers ||
                control<Timer>(Windows::find(WindowKind::Main), "AlwaysOnTopTimer")->isEnabled());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        for (auto kind : {WindowKind::Main, WindowKind::Sheet, WindowKind::Settings,
                          WindowKind::Lock, WindowKind::Password, WindowKind::About}) {
            Form* f = Windows::get(kind);
            QVERIFY(f->isLoaded() && screen.intersects(f->frameGeometry()) &&
                    (!noNumbers || (f->Left() == 1000.0 && f->Top() == 1000.0)));
        }
        for (int n = 1; n <= keys::rowCount; ++n)
            QCOMPARE(box(sheet, keys::walletName(n).name)->text(), store.read(keys::walletName(n)));
        QVERIFY(!noNumbers || (sheet->Width() == 14475.0 && sheet->Height() == 8175.0 &&
                               !control<Timer>(sheet, "AUTOSAVE_TIMER")->isEnabled() &&
                               !control<Timer>(sheet, "AUTO_CALCULATE_TIMER_1")->isEnabled() &&
                               Windows::find<MainIntentions>()->lockState() == 0));
        box(sheet, "WALLET_NAME_TEXTBOX_1")->setText("typed");
        unloadAll();
        QVERIFY(!store.hasPending() &&
                storeFileContents().contains("WALLET_NAME_TEXTBOX_1=typed\n"));
        const QRegularExpression kept("Width|Height|^About|^LOCK-PASSWORD$|^CLIENT_LOCKED$");
        for (const keys::CatalogueEntry& e : keys::catalogue())
            QVERIFY2(!e.name.contains(kept) || store.read(e.name, "<none>") == before[e.name],
                     qPrintable(e.name));
    }

    // Writing stops while the sheet is open (a read-only file system where one can be mounted,
    // as root, else an injected failure): the sheet says so, keeps everything typed across a
    // close and reopen, and saves it all once writing works again.
    void refusedWrite() {
        const QString folder = QFileInfo(useFreshStore()).path();
        Store& store = Store::instance();
        store.setRetryInterval(100);
        if (QDir().mkpath(folder) && !QProcess::execute("mount", {"-t", "tmpfs", "tmpfs", folder}))
            mounted = folder;
        seedStore({{keys::autosave.name, "1"}});
        Form* sheet = openSheet();
        store.simulateWriteFailures(mounted.isEmpty() ? 1000000 : 0);
        QVERIFY(mounted.isEmpty() || !QProcess::execute("mount", {"-o", "remount,ro", folder}));
        for (int n = 1; n <= keys::rowCount; ++n)
            box(sheet, keys::walletName(n).name)->setText(QStringLiteral("typed %1").arg(n));
        control<TickBox>(sheet, "AUTOMATIC_CALCULATIONS_TICKBOX_4")->setValue(1);
        fire(sheet, "AUTOSAVE_TIMER");
        QTest::keyClicks(box(sheet, "CRYPTO_NAME_TEXTBOX"), "-kept");
        click(sheet, "CLOSE_BUTTON");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        sheet = openSheet();
        QCOMPARE(control<QLabel>(sheet, "STATUS_PANEL")->text(), QStringLiteral("Saving failed"));
        QCOMPARE(box(sheet, "WALLET_NAME_TEXTBOX_7")->text(), "typed 7");
        QCOMPARE(box(sheet, "CRYPTO_NAME_TEXTBOX")->text(), "Example: BTC-kept");
        QCOMPARE(control<TickBox>(sheet, "AUTOMATIC_CALCULATIONS_TICKBOX_4")->value(), 1);
        store.simulateWriteFailures(0);
        QVERIFY(mounted.isEmpty() || !QProcess::execute("mount", {"-o", "remount,rw", folder}));
        QTRY_VERIFY_WITH_TIMEOUT(store.healthy() && !store.hasPending(), 5000);
        QCOMPARE(control<QLabel>(sheet, "STATUS_PANEL")->text(), QStringLiteral("Status"));
        QCOMPARE(store.read(keys::walletName(7)) + store.read(keys::rowTick(4)), "typed 71");
        QCOMPARE(store.read(keys::cryptoNameForSheet), "Example: BTC-kept");
    }

    // Run again in a process of its own with every Qt log category on, this
    // sets a password, locks and unlocks with it; nothing printed holds it.
    void passwordInNoOutput() {
        useFreshStore();
        if (const QString secret = qEnvironmentVariable("VQ_SECRET"); !secret.isEmpty()) {
            Windows::get(WindowKind::Main);
            Form* pw = Windows::get(WindowKind::Password);
            for (const char* name : {"ENTER_NEW_PASSWORD_TEXTBOX", "RE_ENTER_NEW_PASSWORD_TEXTBOX"})
                QTest::keyClicks(box(pw, name), secret);
            click(pw, "CHANGE_PASSWORD_BUTTON");
            Form* lock = Windows::get(WindowKind::Lock);
            click(lock, "LOCK_BUTTON");
            QCOMPARE(Windows::find<MainIntentions>()->lockState(), 1);
            click(lock, "SHOW_PASSWORD_TICKBOX");
            QTest::keyClicks(box(lock, "ENTER_PASSWORD_TEXTBOX"), secret);
            click(lock, "LOCK_BUTTON");
            QCOMPARE(Windows::find<MainIntentions>()->lockState(), 0);
            return;
        }
        const QString secret = QString::number(QRandomGenerator::global()->generate64(), 36);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VQ_SECRET", secret);
        env.insert("QT_LOGGING_RULES", "*=true");
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QCoreApplication::applicationFilePath(), {"passwordInNoOutput"});
        QVERIFY(p.waitForFinished(30000));
        const QByteArray out = p.readAll();
        // It ran through, with Qt's own logging on, and printed no password.
        QVERIFY(p.exitCode() == 0 && out.contains("PASS   : BadStoreTest::passwordInNoOutput"));
        QVERIFY(out.contains("qt.") && !out.contains(secret.toUtf8()));
    }
};

QTEST_MAIN(BadStoreTest)
#include "tst_bad_store.moc"
