// A crash while the sheet saves loses nothing that was saved before it. The
// driver runs the real sheet and types, ticks and saves as fast as it can;
// it is killed with SIGKILL at random moments, hundreds of times, and after
// every kill the store must parse, hold one whole save (old or new, never a
// mix) and hold at least the last save the driver saw complete. The real
// executable, killed while it starts, must leave the store as it was.
#include "settings/store.h"
#include "tests/hardening/generations.h"
#include "tests/settings/store_test_util.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QThread>
#include <QtTest>

using namespace vq;
using namespace vq::testing;
namespace h = vq::hardening;

namespace {

QString key(const QString& name) {
    return h::section + QLatin1Char('/') + name;
}

// Everything the sheet, its switches and the other windows would find.
void seedGeneration0() {
    Store::Batch batch;
    Store& store = Store::instance();
    store.write(keys::cryptoNameForSheet, h::coinName(0));
    store.write(keys::sheet.left, QString::number(h::leftOf(0)));
    store.write(keys::sheet.top, QString::number(h::topOf(0)));
    for (const auto& [k, text] : h::batchOf(0))
        store.write(k, text);
    store.write(keys::autosave, QStringLiteral("1"));
    store.write(keys::lockPassword, QStringLiteral("kept-as-is"));
}

// What a writer killed between QSaveFile's link and rename leaves: the name
// plus six letters. The store clears those in mixed case (the others could
// be a user's "backup").
int orphanTempFiles(const QString& storeFile) {
    static const QRegularExpression mixed(QStringLiteral("^(?=.*[a-z])(?=.*[A-Z])[A-Za-z]{6}$"));
    const QFileInfo file(storeFile);
    const QString prefix = file.fileName() + QLatin1Char('.');
    int found = 0;
    for (const QString& name : file.dir().entryList(QDir::Files | QDir::Hidden))
        found += name.startsWith(prefix) && mixed.match(name.mid(prefix.size())).hasMatch();
    return found;
}

QProcessEnvironment offscreen(const QString& home = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (!home.isEmpty()) {
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    }
    return env;
}

// One driver and the store it writes; two run side by side, since most of
// a run is the driver's start.
struct Lane {
    std::unique_ptr<QTemporaryDir> home = std::make_unique<QTemporaryDir>();
    QString file() const {
        return home->path() + QStringLiteral("/.config/VL_QUORIX/VL_QUORIX.ini");
    }
    std::unique_ptr<QProcess> driver;
    qint64 startedAt = 0, killAt = 0;
    QSet<qint64> started{0};
    qint64 maxStarted = 0, lastDone = 0, lastDoneClose = -1;
};

} // namespace

class CrashDuringSaveTest : public QObject {
    Q_OBJECT
private slots:
    void killedWhileSaving();
    void realExecutableKilledWhileStarting();
};

void CrashDuringSaveTest::killedWhileSaving() {
    const quint32 seed = QRandomGenerator::global()->generate();
    qInfo("random seed %u", seed);
    QRandomGenerator rng(seed);

    Lane lanes[2];
    for (Lane& lane : lanes) {
        // The seed goes through the store itself, into the lane's folder.
        FreshStore fresh;
        seedGeneration0();
        QDir().mkpath(QFileInfo(lane.file()).path());
        QVERIFY(QFile::copy(fresh.file(), lane.file()));
    }
    qint64 startup = 300; // ms to the first "begin", learnt as the runs go
    int kills = 0, torn = 0, maxTemps = 0;
    QMap<QString, int> phases; // where the kills met the driver
    QElapsedTimer clock;
    clock.start();
    const auto launch = [&](Lane& lane) {
        lane.driver = std::make_unique<QProcess>();
        lane.driver->setProcessEnvironment(offscreen(lane.home->path()));
        lane.driver->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        lane.startedAt = QDateTime::currentMSecsSinceEpoch();
        lane.driver->start(QStringLiteral(DRIVER_PATH),
                           {QStringLiteral("save-loop"), QString::number(lane.maxStarted + 1)});
        // A tenth of the kills fall anywhere in the start, the rest in the
        // first few generations: typing, auto-save ticks, closes, reopens.
        lane.killAt =
            lane.startedAt + (rng.bounded(10) == 0 ? rng.bounded(int(std::max<qint64>(startup, 50)))
                                                   : startup + rng.bounded(250));
    };
    for (Lane& lane : lanes)
        launch(lane);
    while (kills < 200 || (kills < 400 && clock.elapsed() < 25000)) {
        QVERIFY2(clock.elapsed() < 90000, "the kills took too long");
        Lane& lane = lanes[0].killAt <= lanes[1].killAt ? lanes[0] : lanes[1];
        QThread::msleep(std::max<qint64>(0, lane.killAt - QDateTime::currentMSecsSinceEpoch()));
        QProcess& driver = *lane.driver;
        QVERIFY(driver.waitForStarted(10000));
        driver.kill();
        QVERIFY(driver.waitForFinished(10000));
        QVERIFY2(driver.exitStatus() == QProcess::CrashExit,
                 qPrintable(QStringLiteral("the driver ended with %1").arg(driver.exitCode())));
        ++kills;

        QString phase = QStringLiteral("starting");
        bool firstBegin = true;
        for (const QByteArray& raw : driver.readAllStandardOutput().split('\n')) {
            const QStringList w = QString::fromUtf8(raw).split(QLatin1Char(' '));
            if (w.size() < 2)
                continue;
            phase = w[0] == QLatin1String("save") ? w.value(2) : w[0];
            const qint64 g = w[1].toLongLong();
            if (w[0] == QLatin1String("begin")) {
                if (firstBegin) // how long this run took to start
                    startup = (3 * startup + (w.value(2).toLongLong() - lane.startedAt)) / 4;
                firstBegin = false;
                lane.started.insert(g);
                lane.maxStarted = std::max(lane.maxStarted, g);
            } else if (w[0] == QLatin1String("done")) {
                lane.lastDone = g;
                if (h::closesIn(g))
                    lane.lastDoneClose = g;
            }
        }
        ++phases[phase];
        maxTemps = std::max(maxTemps, orphanTempFiles(lane.file()));

        const FileView view = viewOf(lane.file());
        QCOMPARE(view.status, QSettings::NoError);
        const auto value = [&](const QString& name) {
            return view.values.value(key(name)).toString();
        };
        const qint64 g = h::generationOf(value(keys::walletName(1).name));
        QVERIFY2(lane.started.contains(g),
                 qPrintable(QStringLiteral("file holds generation %1").arg(g)));
        QVERIFY2(g >= lane.lastDone,
                 qPrintable(
                     QStringLiteral("save %1 completed, file holds %2").arg(lane.lastDone).arg(g)));
        QStringList wrong;
        for (const auto& [k, text] : h::batchOf(g))
            if (value(k) != text)
                wrong << k;
        // Each keystroke writes the coin name on its own: the whole name of
        // this save, or part of a name typed after it.
        const QString name = value(keys::cryptoNameForSheet.name);
        bool nameOk = name == h::coinName(g);
        for (qint64 later : std::as_const(lane.started))
            nameOk =
                nameOk || (later > g && !name.isEmpty() && h::coinName(later).startsWith(name));
        // The position: that of a close no older than the last one completed.
        bool placeOk = false;
        for (qint64 c : std::as_const(lane.started))
            placeOk = placeOk || ((c == 0 || h::closesIn(c)) && c <= g && c >= lane.lastDoneClose &&
                                  value(keys::sheet.left.name) == QString::number(h::leftOf(c)) &&
                                  value(keys::sheet.top.name) == QString::number(h::topOf(c)));
        if (!nameOk)
            wrong << keys::cryptoNameForSheet.name;
        if (!placeOk)
            wrong << keys::sheet.left.name;
        if (value(keys::lockPassword.name) != QLatin1String("kept-as-is") ||
            value(keys::autosave.name) != QLatin1String("1"))
            wrong << QStringLiteral("untouched keys");
        if (!wrong.isEmpty()) {
            qWarning() << "kill" << kills << "generation" << g << "wrong:" << wrong;
            ++torn;
        }
        launch(lane);
    }
    for (Lane& lane : lanes) {
        lane.driver->kill();
        lane.driver->waitForFinished(10000);
    }
    qInfo() << kills << "runs killed in" << clock.elapsed() << "ms, torn:" << torn
            << "; kills by phase:" << phases << "; start-up ~" << startup << "ms";
    QCOMPARE(torn, 0);
    QVERIFY(kills >= 200);
    // The kills met the driver at work in every kind of write.
    QVERIFY(phases.value("begin") > 0 && phases.value("tick") > 0 && phases.value("close") > 0);
    // Leftovers never pile up: each new writer clears those of the last kill.
    QVERIFY(maxTemps <= 1);
}

void CrashDuringSaveTest::realExecutableKilledWhileStarting() {
    FreshStore fresh;
    seedGeneration0();
    Store::instance().write(keys::mainWindow.left, QStringLiteral("-1500"));
    const QByteArray before = fileBytes(fresh.file());
    QRandomGenerator rng(QRandomGenerator::global()->generate());
    for (int i = 0; i < 30; ++i) {
        QProcess app;
        app.setProcessEnvironment(offscreen());
        app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        app.start(QStringLiteral(APP_PATH), {});
        QVERIFY(app.waitForStarted(10000));
        QThread::usleep(rng.bounded(300000));
        app.kill();
        QVERIFY(app.waitForFinished(10000));
        // Starting alone writes nothing: the file is as seeded, byte for byte.
        QCOMPARE(fileBytes(fresh.file()), before);
    }
}

QTEST_GUILESS_MAIN(CrashDuringSaveTest)
#include "tst_crash_during_save.moc"
