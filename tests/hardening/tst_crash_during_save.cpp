// A crash while the sheet saves loses nothing saved before it: the driver (this program with
// "save-loop G": the real sheet in a process of its own) is killed at random while it types,
// ticks and saves. The real program, killed while it starts, leaves the store as it was.
#include "app/all_windows.h"
#include "frame/controls.h"
#include "frame/windows.h"
#include "settings/store.h"
#include "tests/support/testing.h"

#include <QRandomGenerator>
#include <QThread>
#include <QtTest>
#include <cstdio>

using namespace vq;
using namespace vq::testing;
using Texts = QMap<QString, QString>;

namespace {

// What generation g types after the coin name (each keystroke of which is a
// write of its own); the first wallet name tells which save a file holds.
Texts batchOf(qint64 g) {
    Texts t{{keys::exchangeRate.name, QString("%1.0").arg(g)},
            {keys::usdTotalTick.name, QString::number(g % 2)}};
    for (int n = 1; n <= keys::rowCount; ++n) {
        for (const keys::Key* k :
             {&keys::walletName(n), &keys::amountInWallet(n), &keys::currentDollarValuation(n)})
            t[k->name] = QString("%1.%2").arg(g).arg(n);
        t[keys::rowTick(n).name] = QString::number((n + g) % 2);
    }
    return t;
}
// Prints "begin G <ms since the epoch>", "save G tick|close" (auto-save or CLOSE), "done G".
int saveLoop(long long g) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    setUpTestApplication();
    registerAllWindows();
    Store::instance().setSectionOverride("VELMORA-QUORIX");
    Form* main = Windows::get(WindowKind::Main);
    for (main->showModeless();; ++g) {
        Form* s = Windows::get(WindowKind::Sheet);
        s->showModeless(main);
        std::printf("begin %lld %lld\n", g, QDateTime::currentMSecsSinceEpoch());
        control<TextBox>(s, "CRYPTO_NAME_TEXTBOX")->selectAll();
        QTest::keyClicks(control<TextBox>(s, "CRYPTO_NAME_TEXTBOX"), QString("C%1").arg(g));
        const Texts batch = batchOf(g);
        for (auto it = batch.cbegin(); it != batch.cend(); ++it)
            if (auto* tick = s->findChild<TickBox*>(it.key()))
                tick->setValue(it->toInt());
            else
                control<TextBox>(s, it.key())->setText(*it);
        std::printf("save %lld %s\n", g, g % 2 ? "close" : "tick");
        g % 2 ? click(s, "CLOSE_BUTTON") : fire(s, "AUTOSAVE_TIMER");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (!Store::instance().healthy() || Store::instance().hasPending())
            return 4; // the store refused a write
        std::printf("done %lld\n", g);
    }
}

// A home with a store (generation 0, auto-save on, a key the sheet never writes) and a run on it.
struct Lane {
    QTemporaryDir home;
    QProcess run;
    qint64 startedAt = 0, killAt = 0, lastStarted = 0, lastDone = 0;
    ~Lane() { run.kill(), run.waitForFinished(); }
    QString file() const { return home.path() + "/.config/VL_QUORIX/VL_QUORIX.ini"; }
    QByteArray seed(const QByteArray& more = {}) {
        QByteArray out = "[VELMORA-QUORIX]\n" + more;
        Texts t = batchOf(0);
        t.insert({{keys::lockPassword.name, "kept"}, {keys::autosave.name, "1"}});
        for (auto it = t.cbegin(); it != t.cend(); ++it)
            out += (it.key() + '=' + *it + '\n').toUtf8();
        QDir().mkpath(QFileInfo(file()).path());
        QFile f(file());
        return f.open(QIODevice::WriteOnly) && f.write(out) == out.size() ? out : QByteArray();
    }
    void start(const QString& program, const QStringList& args) {
        qputenv("HOME", home.path().toUtf8()); // the child's, taken at its start
        qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());
        startedAt = QDateTime::currentMSecsSinceEpoch();
        run.start(program, args);
    }
    // A fresh parse of the file (a copy: QSettings caches by name).
    Texts parse() const {
        Texts t;
        QFile::copy(file(), file() + ".view");
        QSettings s(file() + ".view", QSettings::IniFormat);
        for (const QString& k : s.allKeys())
            t[k.section('/', 1)] = s.value(k).toString();
        QFile::remove(file() + ".view");
        return s.status() == QSettings::NoError ? t : Texts();
    }
};

} // namespace

class CrashDuringSaveTest : public QObject {
    Q_OBJECT
private slots:
    void killedWhileSaving() {
        QRandomGenerator* rng = QRandomGenerator::global();
        Lane lanes[2];        // side by side: most of a run is the driver's start
        qint64 startup = 300; // ms to the first "begin", learnt as the runs go
        int kills = 0, torn = 0, orphans = 0;
        QMap<QString, int> phases; // where the kills met the driver
        const qint64 t0 = QDateTime::currentMSecsSinceEpoch();
        const auto launch = [&](Lane& lane) {
            lane.start(QCoreApplication::applicationFilePath(),
                       {"save-loop", QString::number(lane.lastStarted + 1)});
            // A tenth of the kills in the start, the rest in the first generations.
            lane.killAt = lane.startedAt + (rng->bounded(10) ? startup + rng->bounded(250)
                                                             : rng->bounded(int(startup) + 1));
        };
        for (Lane& lane : lanes)
            lane.seed(), launch(lane);
        const auto everyPhaseMet = [&] {
            return phases.value("begin") && phases.value("tick") && phases.value("close");
        };
        // 25 s, and on up to a minute until the kills have met every phase: an auto-save
        // is brief, and on a slow machine few kills land in it.
        for (qint64 ran = 0; ran < 25000 || (!everyPhaseMet() && ran < 60000);
             ran = QDateTime::currentMSecsSinceEpoch() - t0) {
            Lane& lane = lanes[0].killAt <= lanes[1].killAt ? lanes[0] : lanes[1];
            QThread::msleep(std::max<qint64>(0, lane.killAt - QDateTime::currentMSecsSinceEpoch()));
            QVERIFY(lane.run.waitForStarted(10000));
            lane.run.kill();
            QVERIFY(lane.run.waitForFinished() && lane.run.exitStatus() == QProcess::CrashExit);
            ++kills;
            QString phase = "starting";
            for (const QByteArray& line : lane.run.readAllStandardOutput().split('\n')) {
                const QStringList w = QString::fromUtf8(line).split(' ');
                if (w[0] == "begin" && phase == "starting")
                    startup = (3 * startup + w.value(2).toLongLong() - lane.startedAt) / 4;
                lane.lastStarted = w[0] == "begin" ? w.value(1).toLongLong() : lane.lastStarted;
                lane.lastDone = w[0] == "done" ? w.value(1).toLongLong() : lane.lastDone;
                phase = w.size() < 2 ? phase : w[0] == "save" ? w.value(2) : w[0];
            }
            // A kill meant for after the start that still met it: the start is slower
            // than learnt (a busy machine), and no run would ever tell how much.
            if (phase == "starting" && lane.killAt - lane.startedAt >= startup)
                startup = std::min<qint64>(startup * 3 / 2, 10000);
            ++phases[phase];
            // A writer killed between QSaveFile's link and rename leaves the name plus six
            // letters. The store clears those in both cases only: one in 32 random names
            // has a single case, as a user's "backup" has, and stays.
            const QStringList left = QFileInfo(lane.file()).dir().entryList({"*.ini.??????"});
            orphans = std::max<int>(
                orphans, int(std::count_if(left.cbegin(), left.cend(), [](const QString& n) {
                    const QString letters = n.right(6);
                    return letters != letters.toLower() && letters != letters.toUpper();
                })));
            const Texts file = lane.parse();
            const qint64 g = file.value(keys::walletName(1).name).section('.', 0, 0).toLongLong();
            QVERIFY2(g <= lane.lastStarted && g >= lane.lastDone, qPrintable(QString::number(g)));
            Texts want = batchOf(g), got = file;
            want[keys::lockPassword.name] = "kept"; // no write of the sheet's may lose it
            got.removeIf([&want](Texts::iterator it) { return !want.contains(it.key()); });
            if (got != want) {
                qWarning() << "kill" << kills << "left a torn file:" << file;
                ++torn;
            }
            launch(lane);
        }
        qInfo() << kills << "runs killed in" << (QDateTime::currentMSecsSinceEpoch() - t0) / 1000
                << "s, files torn:" << torn << ", most temporary files left:" << orphans
                << ", kills by phase:" << phases;
        QCOMPARE(torn, 0);
        QVERIFY(orphans <= 1); // each new writer clears those of the last kill
        QVERIFY(everyPhaseMet());
    }

    void realProgramKilledWhileStarting() {
        Lane lane; // with the main window off every screen: starting must not move it
        const QByteArray before = lane.seed(keys::mainWindow.left.name.toUtf8() + "=-1500\n");
        for (int i = 0; i < 30; ++i) {
            lane.start(APP_PATH, {});
            QVERIFY(lane.run.waitForStarted(10000));
            QThread::usleep(QRandomGenerator::global()->bounded(300000)); // anywhere in its start
            lane.run.kill();
            QVERIFY(lane.run.waitForFinished(10000));
            QFile f(lane.file());
            QVERIFY(!before.isEmpty() && f.open(QIODevice::ReadOnly) && f.readAll() == before);
        }
        qInfo("the real program killed 30 times while starting, its store untouched");
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc == 3 && argv[1] == QByteArray("save-loop"))
        return saveLoop(QByteArray(argv[2]).toLongLong());
    CrashDuringSaveTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_crash_during_save.moc"
