// A damaged store, a store that cannot be written: every window still opens,
// shows what can be read and defaults for the rest, keeps what the user types,
// says on the sheet's status bar that saving failed, and the next save that the
// disk takes leaves a clean file with nothing lost.
#include "app/all_windows.h"
#include "frame/controls.h"
#include "frame/intentions.h"
#include "frame/windows.h"
#include "settings/convert.h"
#include "settings/store.h"
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
const QString password = QStringLiteral("pw-in-a-damaged-store");

QString key(const QString& name) {
    return section + QLatin1Char('/') + name;
}

// What a fresh parse of the file holds under a key.
QString onDisk(const QString& name) {
    return viewOf(Store::instance().filePath()).values.value(key(name)).toString();
}

// A store as a long-used tool leaves it: every one of the 73 keys.
QMap<QString, QString> fullStore() {
    QMap<QString, QString> m;
    for (const keys::CatalogueEntry& e : keys::catalogue()) {
        if (e.kind == keys::Kind::Geometry)
            m[e.name] = e.name.endsWith("Left") ? "1500" : e.name.endsWith("Top") ? "1200" : "9000";
        else
            m[e.name] = e.kind == keys::Kind::TickBox ? "1" : "text of " + e.name;
    }
    m[keys::lockPassword.name] = password;
    m[keys::clientLocked.name] = m[keys::nameChangeLock.name] = QStringLiteral("0");
    return m;
}

QByteArray fileOf(const QMap<QString, QString>& values) {
    QByteArray out = "[" + section.toUtf8() + "]\n";
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        out += it.key().toUtf8() + '=' + it.value().toUtf8() + '\n';
    return out;
}

// Keys no window writes when it closes: a rewrite must keep them as they were.
bool neverWrittenAtClose(const QString& name) {
    return name.endsWith("Width") || name.endsWith("Height") || name == keys::lockPassword.name ||
           name == keys::clientLocked.name || name == keys::aboutWindow.left.name ||
           name == keys::aboutWindow.top.name;
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

// Every window loaded and on some screen, or none; main and sheet shown, as the
// tool shows them (the registry unloads windows nobody can see).
QList<Form*> openEveryWindow() {
    QList<Form*> forms;
    for (auto kind : {WindowKind::Main, WindowKind::Sheet, WindowKind::Settings, WindowKind::Lock,
                      WindowKind::Password, WindowKind::About})
        forms << Windows::get(kind);
    forms[0]->showModeless();
    forms[1]->showModeless(forms[0]);
    for (Form* f : forms) {
        const QRect r(f->pos(), f->frameGeometry().size());
        const QList<QScreen*> screens = QGuiApplication::screens();
        if (!f->isLoaded() || std::none_of(screens.begin(), screens.end(),
                                           [&](QScreen* s) { return s->geometry().intersects(r); }))
            return {};
    }
    return forms;
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
    void initTestCase() {
        setUpTestApplication();
        registerAllWindows();
    }
    void cleanup() {
        Store::instance().simulateWriteFailures(0);
        unloadAll();
        Store::instance().flush();
        Store::instance().setRetryInterval(Store::retryInterval);
    }

    void damagedStore_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("fallback");  // no sensible number in the geometry and tick keys
        QTest::addColumn<bool>("timersOff"); // not even a number to test for truth
        const QByteArray good = fileOf(fullStore());
        QRandomGenerator rng(6);
        QByteArray random(16384, '\0');
        for (char& c : random)
            c = char(rng.bounded(256));
        const qsizetype middle = good.indexOf("WALLET_NAME_TEXTBOX_1=");
        const QByteArray huge(2 * 1024 * 1024, 'x');
        QTest::newRow("truncated") << good.left(good.size() / 2) << false << false;
        QTest::newRow("truncated to nothing") << QByteArray() << false << false;
        QTest::newRow("random bytes") << random << false << false;
        QTest::newRow("random bytes after the keys") << QByteArray(good + random) << false << false;
        QTest::newRow("2 MB line among the keys")
            << QByteArray(good.left(middle) + huge + '\n' + good.mid(middle)) << false << false;
        QTest::newRow("2 MB value") << QByteArray(good + "HUGE=" + huge + '\n') << false << false;
        // Moved aside with what it holds at the first save, which goes through.
        QTest::newRow("folder in the file's place") << QByteArray("<folder>") << false << false;
        // Garbage in every geometry and tick key, text keys as a long-used tool leaves them.
        // clang-format off
        for (const auto& [garbage, fallback, timersOff] : {std::tuple{"", true, true}, {"abc", true, true},
                {"1e40", true, false}, {"-99999", false, false}, {"2.5", false, false}, {"7", false, false}}) {
            // clang-format on
            QMap<QString, QString> values = fullStore();
            for (const keys::CatalogueEntry& e : keys::catalogue())
                if (e.kind != keys::Kind::Text)
                    values[e.name] = QString::fromLatin1(garbage);
            QTest::addRow("garbage \"%s\" in geometry and tick keys", garbage)
                << fileOf(values) << fallback << timersOff;
        }
    }
    // Every window opens on the store and shows what can still be read; closing
    // them all writes a clean file that keeps every key they do not write, and
    // damaged bytes are kept aside.
    void damagedStore() {
        QFETCH(QByteArray, content);
        QFETCH(bool, fallback);
        QFETCH(bool, timersOff);
        FreshStore fresh;
        const bool folder = content == "<folder>";
        if (folder)
            QVERIFY(QDir().mkpath(fresh.file() + QStringLiteral("/kept")));
        else
            writeBytes(fresh.file(), content);
        const FileView before = viewOf(fresh.file());
        // Read before the settings window, which follows its own default, loads.
        const bool onTop =
            control<Timer>(Windows::get(WindowKind::Main), "AlwaysOnTopTimer")->isEnabled();
        const QList<Form*> forms = openEveryWindow();
        QVERIFY(!forms.isEmpty());
        Form* sheet = forms[1];
        const auto field = [&](const QString& name) { return control<TextBox>(sheet, name); };
        for (Form* f : forms) {
            if (fallback) // the design-time place
                QVERIFY(f->Left() == 1000.0 && f->Top() == 1000.0);
            // Every tick box holds a value a tick box can hold.
            for (TickBox* b : f->findChildren<TickBox*>())
                QVERIFY2(b->value() >= 0 && b->value() <= 2, qPrintable(b->objectName()));
        }
        const auto readable = [&](const QString& name, const QString& def) {
            const QVariant v = before.values.value(key(name));
            return v.typeId() == QMetaType::QString ? v.toString() : def;
        };
        for (int n = 1; n <= 10; ++n)
            QCOMPARE(field(QStringLiteral("WALLET_NAME_TEXTBOX_%1").arg(n))->text(),
                     readable(keys::walletName(n).name, keys::walletName(n).def));
        if (fallback) { // text that is no number gives each key its default
            QCOMPARE(sheet->Width(), 14475.0);
            QCOMPARE(sheet->Height(), 8175.0);
            QCOMPARE(Windows::find<MainIntentions>()->lockState(), 0);
            QVERIFY(onTop);
            QCOMPARE(control<TickBox>(sheet, "AUTOMATIC_CALCULATIONS_TICKBOX_1")->value(), 0);
        }
        // A timer follows the key read as a truth value: any number but 0 runs
        // it, even one no tick box can show ("1e40", "7").
        if (timersOff)
            QVERIFY(!control<Timer>(sheet, "AUTO_CALCULATE_TIMER_1")->isEnabled() &&
                    !control<Timer>(sheet, "AUTOSAVE_TIMER")->isEnabled());
        // The timers that run still value their rows; the sheet takes what is typed.
        for (int n = 1; n <= 10; ++n)
            fire(sheet, QStringLiteral("AUTO_CALCULATE_TIMER_%1").arg(n));
        fire(sheet, "AUTO_CALCULATE_TIMER_TOTAL");
        field("AMOUNT_IN_WALLET_3")->setText("2.5");
        field("CURRENT_DOLLAR_VALUATION_3")->setText("4");
        control<TickBox>(sheet, "AUTOMATIC_CALCULATIONS_TICKBOX_3")->setValue(1);
        fire(sheet, "AUTO_CALCULATE_TIMER_3");
        QCOMPARE(field("TOTAL_USD_VALUATION_TEXTBOX_3")->text().toDouble(), 10.0);
        field("WALLET_NAME_TEXTBOX_1")->setText("typed after the damage");
        unloadAll();

        QVERIFY(Store::instance().healthy() && !Store::instance().hasPending());
        QVERIFY2(looksClean(fileBytes(fresh.file())), "a file QSettings cannot fully parse");
        const FileView view = viewOf(fresh.file());
        QCOMPARE(view.status, QSettings::NoError);
        const auto v = [&](const QString& name) { return view.values.value(key(name)).toString(); };
        QCOMPARE(v(keys::walletName(1).name), QStringLiteral("typed after the damage"));
        QCOMPARE(v(keys::rowTick(3).name), QStringLiteral("1"));
        for (const keys::CatalogueEntry& e : keys::catalogue()) {
            if (neverWrittenAtClose(e.name))
                QVERIFY2(view.values.value(key(e.name)) == before.values.value(key(e.name)),
                         qPrintable(e.name));
            else if (e.kind == keys::Kind::Geometry)
                QVERIFY2(convert::floatValue(v(e.name)).has_value(), qPrintable(e.name));
            else if (e.kind == keys::Kind::TickBox)
                QVERIFY2(convert::tickValue(v(e.name)).has_value(), qPrintable(e.name));
        }
        // A folder in the file's place is moved aside whole (damaged bytes set
        // aside are the settings tests' business).
        if (folder) {
            const QStringList kept = QDir(fresh.folder())
                                         .entryList({QStringLiteral("VL_QUORIX.ini.broken-*")},
                                                    QDir::Dirs | QDir::NoDotAndDotDot);
            QCOMPARE(kept.size(), 1);
            QVERIFY(QFileInfo(fresh.folder() + QLatin1Char('/') + kept.first() + "/kept").isDir());
        } else { // damaged again, for the lock window to read
            writeBytes(fresh.file(), content);
        }
        // A lock window opened on the damaged store holds the password that
        // can still be read: typed, it unlocks (locking first if need be).
        Form* lock = Windows::get(WindowKind::Lock);
        control<TextBox>(lock, "ENTER_PASSWORD_TEXTBOX")
            ->setText(readable(keys::lockPassword.name, QString()));
        click(lock, "LOCK_BUTTON");
        QVERIFY(!Windows::find(WindowKind::Lock));
        QCOMPARE(Store::instance().read(keys::clientLocked), QStringLiteral("0"));
    }

    void unwritable_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("injected write failure") << QStringLiteral("injected");
        QTest::newRow("read-only file system") << QStringLiteral("read-only");
        QTest::newRow("full disk") << QStringLiteral("full");
    }
    // Writing stops while the sheet is open with typed data: the tool keeps
    // running and calculating, shows the failure, keeps every typed text, and
    // saves all of it once writing works again.
    void unwritable() {
        QFETCH(QString, how);
        FreshStore fresh;
        Store& store = Store::instance();
        store.setRetryInterval(100);
        const QString filler = fresh.folder() + QStringLiteral("/filler");
        QString mounted;
        if (how != "injected") {
            QVERIFY(QDir().mkpath(fresh.folder()));
            if (!run("mount", {"-t", "tmpfs", "-o", "size=64k,mode=0700", "tmpfs", fresh.folder()}))
                QSKIP("no small file system can be mounted here; the injected failure stands in");
            mounted = fresh.folder();
        }
        // Unmounted before the folder beneath is removed.
        const auto unmount = qScopeGuard([&mounted] {
            Store::instance().simulateWriteFailures(0);
            unloadAll();
            if (!mounted.isEmpty())
                run("umount", {"-l", mounted});
        });
        seedStore({{keys::autosave.name, "1"}, {keys::walletName(1).name, "saved before"}});
        QVERIFY(store.healthy());
        QVERIFY(!openEveryWindow().isEmpty());
        Form* sheet = Windows::find(WindowKind::Sheet);
        const auto field = [&](const QString& name) { return control<TextBox>(sheet, name); };
        QCOMPARE(control<QLabel>(sheet, "STATUS_PANEL")->text(), QStringLiteral("Status"));

        if (how == "injected") {
            store.simulateWriteFailures(1000000);
        } else if (how == "read-only") {
            QVERIFY(run("mount", {"-o", "remount,ro", mounted}));
        } else {
            QFile fill(filler);
            QVERIFY(fill.open(QIODevice::WriteOnly));
            const QByteArray block(1024, 'f');
            while (fill.write(block) == block.size() && fill.flush()) {
            }
        }
        for (int n = 1; n <= 10; ++n) {
            field(QStringLiteral("WALLET_NAME_TEXTBOX_%1").arg(n))
                ->setText(QStringLiteral("typed %1 while failing").arg(n));
            field(QStringLiteral("AMOUNT_IN_WALLET_%1").arg(n))->setText(QString::number(n));
            field(QStringLiteral("CURRENT_DOLLAR_VALUATION_%1").arg(n))->setText("10");
        }
        control<TickBox>(sheet, "AUTOMATIC_CALCULATIONS_TICKBOX_4")->setValue(1);
        fire(sheet, "AUTOSAVE_TIMER");
        QVERIFY(!store.healthy());
        QCOMPARE(control<QLabel>(sheet, "STATUS_PANEL")->text(), QStringLiteral("Saving failed"));
        fire(sheet, "AUTO_CALCULATE_TIMER_4");
        QCOMPARE(field("TOTAL_USD_VALUATION_TEXTBOX_4")->text().toDouble(), 40.0);
        QTest::keyClicks(field("CRYPTO_NAME_TEXTBOX"), QStringLiteral("-kept"));
        QVERIFY(!store.flush()); // a retry fails as well and changes nothing
        QVERIFY(!store.healthy());

        // Closing and reopening the sheet shows everything typed.
        click(sheet, "CLOSE_BUTTON");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        sheet = Windows::get(WindowKind::Sheet);
        sheet->showModeless(Windows::find(WindowKind::Main));
        QCOMPARE(control<QLabel>(sheet, "STATUS_PANEL")->text(), QStringLiteral("Saving failed"));
        QCOMPARE(field("WALLET_NAME_TEXTBOX_7")->text(), QStringLiteral("typed 7 while failing"));
        QCOMPARE(field("CRYPTO_NAME_TEXTBOX")->text(), QStringLiteral("Example: BTC-kept"));
        QCOMPARE(control<TickBox>(sheet, "AUTOMATIC_CALCULATIONS_TICKBOX_4")->value(), 1);

        if (how == "injected")
            store.simulateWriteFailures(0);
        else if (how == "read-only")
            QVERIFY(run("mount", {"-o", "remount,rw", mounted}));
        else
            QVERIFY(QFile::remove(filler));
        QTRY_VERIFY_WITH_TIMEOUT(store.healthy(), 5000);
        QCOMPARE(control<QLabel>(sheet, "STATUS_PANEL")->text(), QStringLiteral("Status"));
        QVERIFY(!store.hasPending());
        QCOMPARE(viewOf(fresh.file()).status, QSettings::NoError);
        for (int n = 1; n <= 10; ++n)
            QCOMPARE(onDisk(keys::walletName(n).name),
                     QStringLiteral("typed %1 while failing").arg(n));
        QCOMPARE(onDisk("CRYPTO_NAME"), QStringLiteral("Example: BTC-kept"));
        QCOMPARE(onDisk(keys::rowTick(4).name), QStringLiteral("1"));
        QCOMPARE(modeOf(fresh.file()), 0600);
    }
};

QTEST_MAIN(BadStoreTest)
#include "tst_bad_store.moc"
