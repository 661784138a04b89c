// The event rules every window relies on: which writes raise handlers, and
// how the registry creates, unloads and ends.
#include "frame/controls.h"
#include "frame/fonts.h"
#include "frame/form.h"
#include "frame/pictures.h"
#include "frame/windows.h"
#include "tests/support/testing.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <vector>

using namespace vq;

namespace {
struct ProbeForm : Form {
    static constexpr WindowKind Kind = WindowKind::About;
    static inline int loads = 0, unloads = 0;
    Button* ok = new Button(this, "OK");
    Button* cancel = new Button(this, "Cancel");
    ProbeForm() : Form(Kind, "PROBE", Qt::Window) {
        setDefaultButton(ok);
        setCancelButton(cancel);
    }
    void Form_Load() override { ++loads; }
    void Form_Unload() override { ++unloads; }
};

QByteArray gaps(const QList<qint64>& ticks) {
    QStringList all;
    for (qint64 t : ticks)
        all << QString::number(t);
    return all.join(' ').toUtf8();
}
} // namespace

class TestControls : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        testing::setUpTestApplication();
        Windows::registerFactory(ProbeForm::Kind, [] { return new ProbeForm; });
    }

    // The raw pixels the program reads are its PNG sources, pixel for pixel.
    void builtInPicturesMatchTheirSources_data() {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("file");
        QTest::newRow("padlock") << 0 << "padlock.png";
        QTest::newRow("application icon") << 1 << "velmora-quorix-48.png";
    }
    void builtInPicturesMatchTheirSources() {
        QFETCH(int, which);
        QFETCH(QString, file);
        // Both go through a pixmap, which premultiplies the alpha.
        const QImage raw =
            pictures::load(which == 0 ? pictures::padlock : pictures::applicationIcon).toImage();
        const QImage source = QImage(QStringLiteral(VQ_ASSETS_DIR "/") + file);
        const QImage png = QPixmap::fromImage(source).toImage();
        QVERIFY(!source.isNull());
        QCOMPARE(raw, png);
        QVERIFY(pictures::load({":/assets/no-such.bgra", 4, 4}).isNull());
        QVERIFY(pictures::load({pictures::padlock.resource, 4, 4}).isNull());
    }

    // Only installed faces stay in a font's list, in the designed order; with
    // none installed the list stays whole so that fontconfig still picks one.
    void fontListKeepsInstalledFamilies_data() {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QStringList>("expected");
        const QStringList all = fonts::designed();
        QTest::newRow("designed face missing")
            << QStringList{"DejaVu Sans", "Liberation Sans", "Noto Sans"}
            << QStringList{"Liberation Sans", "DejaVu Sans"};
        QTest::newRow("any case") << QStringList{"ms sans serif"} << QStringList{"MS Sans Serif"};
        QTest::newRow("none installed") << QStringList{"Noto Sans"} << all;
        QTest::newRow("no fonts at all") << QStringList{} << all;
    }
    void fontListKeepsInstalledFamilies() {
        QFETCH(QStringList, installed);
        QTEST(fonts::installedOnly(fonts::designed(), installed), "expected");
        QCOMPARE(fonts::installedOnly({"Arial", "arial", "Liberation Sans"}, {"Arial"}),
                 QStringList{"Arial"});
    }

    // A bold caption asking for a face the machine lacks uses the
    // application's face instead of making Qt search for a substitute.
    void boldFontSkipsMissingFamily() {
        const QFont f = boldFont(9.75, QStringLiteral("No Such Face 1234"));
        QVERIFY(!f.families().contains(QStringLiteral("No Such Face 1234")));
        QCOMPARE(f.families(), QApplication::font().families());
        QVERIFY(f.bold());
        QCOMPARE(f.pointSizeF(), 9.75);
    }

    void tickBoxRaisesClickOnlyOnChange_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("clicks");
        QTest::newRow("0 to 1") << 0 << 1 << 1;
        QTest::newRow("1 to 1") << 1 << 1 << 0;
        QTest::newRow("1 to 0") << 1 << 0 << 1;
        QTest::newRow("0 to 2 greys") << 0 << 2 << 1;
        QTest::newRow("out of range ignored") << 0 << 7 << 0;
    }
    void tickBoxRaisesClickOnlyOnChange() {
        QFETCH(int, from);
        QFETCH(int, to);
        QWidget w;
        TickBox box(&w);
        box.setValue(from);
        QSignalSpy spy(&box, &TickBox::click);
        box.setValue(to);
        QTEST(int(spy.count()), "clicks");
        QCOMPARE(box.value(), to > 2 ? from : to);
        box.setValue(2); // a user's click never greys the box
        box.QAbstractButton::click();
        QCOMPARE(box.value(), 1);
    }

    // Change only for a different text; locked refuses typing but keeps
    // colours and focus; the password character masks every character.
    void textBoxRules() {
        QWidget w;
        TextBox box(&w, "abc");
        w.show();
        QSignalSpy spy(&box, &TextBox::change);
        box.setText("abc");
        QCOMPARE(spy.count(), 0);
        box.setText("name");
        QCOMPARE(spy.count(), 1);
        box.setFocus();
        QTest::keyClicks(&box, "x");
        QCOMPARE(spy.count(), 2);
        QCOMPARE(box.text(), QString("namex"));
        box.setBackColor(0x00FFFF);
        box.setLocked(true);
        QTest::keyClicks(&box, "zz");
        QCOMPARE(box.text(), QString("namex"));
        QCOMPARE(box.backColor(), 0x00FFFFu);
        QCOMPARE(box.focusPolicy() & Qt::TabFocus, Qt::TabFocus);
        box.setPasswordChar("*");
        QCOMPARE(box.displayText(), QString(5, QLatin1Char('*')));
        box.setPasswordChar("");
        QCOMPARE(box.displayText(), QString("namex"));
    }

    void timerTicksOnlyWhenEnabledWithAnInterval() {
        QObject owner;
        Timer t(&owner, "T");
        t.setEnabled(true);
        QVERIFY(!t.isRunning()); // interval 0 never ticks
        t.setInterval(10);
        QVERIFY(t.isRunning());
        QSignalSpy spy(&t, &Timer::tick);
        QVERIFY(spy.wait(1000));
        t.setEnabled(false);
        QVERIFY(!t.isRunning());
    }

    // Timers due together tick in one wake-up, before anything posted in
    // between runs, also when one has twice the others' interval.
    void timersDueTogetherTickInOneWakeUp() {
        QObject owner;
        QStringList log;
        std::vector<std::unique_ptr<Timer>> timers;
        for (int i = 0; i < 4; ++i) {
            timers.push_back(std::make_unique<Timer>(&owner, "T"));
            QObject::connect(timers.back().get(), &Timer::tick, &owner, [&log, &owner, i] {
                // The first tick of a wake-up queues the marker that closes it.
                if (log.isEmpty() || log.last() == "|")
                    QMetaObject::invokeMethod(
                        &owner, [&log] { log << "|"; }, Qt::QueuedConnection);
                log << QString::number(i);
            });
            timers.back()->setInterval(i == 3 ? 200 : 100);
            timers.back()->setEnabled(true);
        }
        QTRY_VERIFY_WITH_TIMEOUT(log.count("3") >= 2 && log.endsWith("|"), 3000);
        const QStringList rounds = log.join("").split("|", Qt::SkipEmptyParts);
        for (const QString& r : rounds)
            QVERIFY2(r == "012" || r == "0123", qPrintable(log.join(" ")));
        // The slower timer meets every second round of the others.
        QVERIFY2(rounds.count("0123") * 2 >= rounds.count("012"), qPrintable(log.join(" ")));
    }

    // Sharing wake-ups does not bend a timer's cadence: one enabled later
    // still waits its whole interval, then ticks once per interval.
    void timersEnabledApartKeepTheirOwnInterval() {
        QObject owner;
        Timer a(&owner, "A"), b(&owner, "B");
        QElapsedTimer clock;
        clock.start();
        QList<qint64> ticksA, ticksB;
        connect(&a, &Timer::tick, &owner, [&] { ticksA << clock.elapsed(); });
        a.setInterval(300);
        a.setEnabled(true);
        QTest::qWait(90);
        const qint64 enabledB = clock.elapsed();
        connect(&b, &Timer::tick, &owner, [&] { ticksB << clock.elapsed() - enabledB; });
        b.setInterval(300);
        b.setEnabled(true);
        QTRY_VERIFY_WITH_TIMEOUT(ticksA.size() >= 4 && ticksB.size() >= 4, 5000);
        for (const QList<qint64>& ticks : {ticksA, ticksB}) {
            // 5% slack early at most; late only by the machine's load.
            QVERIFY2(ticks.first() >= 285, gaps(ticks).constData());
            for (int i = 1; i < ticks.size(); ++i)
                QVERIFY2(ticks[i] - ticks[i - 1] >= 200, gaps(ticks).constData());
            // Over the run it neither gained nor lost ticks against its interval.
            QVERIFY2(qAbs((ticks.last() - ticks.first()) - 300 * (ticks.size() - 1)) <= 150,
                     gaps(ticks).constData());
        }
    }

    // A handler may stop, restart or delete another timer of the same
    // wake-up: what it stopped never ticks afterwards. A timer that disables
    // itself in its tick stops; one that disables and enables itself again
    // starts over with a whole interval.
    void handlersStopAndDeleteTimers() {
        QObject owner;
        Timer first(&owner, "first"), stopped(&owner, "stopped"), restarted(&owner, "restarted"),
            once(&owner, "once"), again(&owner, "again");
        auto* deleted = new Timer(&owner, "deleted");
        int firstTicks = 0, stoppedTicks = 0, restartedTicks = 0, deletedTicks = 0, onceTicks = 0,
            againTicks = 0;
        QElapsedTimer clock;
        qint64 restartedAt = -1, restartedTickAt = -1;
        clock.start();
        connect(&first, &Timer::tick, &owner, [&] {
            if (++firstTicks > 1)
                return;
            stopped.setEnabled(false);
            delete deleted;
            restarted.setInterval(400);
            restartedAt = clock.elapsed();
        });
        connect(&stopped, &Timer::tick, &owner, [&] { ++stoppedTicks; });
        connect(&restarted, &Timer::tick, &owner, [&] {
            if (++restartedTicks == 1)
                restartedTickAt = clock.elapsed();
        });
        connect(deleted, &Timer::tick, &owner, [&] { ++deletedTicks; });
        connect(&once, &Timer::tick, &owner, [&] {
            ++onceTicks;
            once.setEnabled(false);
        });
        connect(&again, &Timer::tick, &owner, [&] {
            ++againTicks;
            again.setEnabled(false);
            again.setEnabled(true);
        });
        for (Timer* t : {&first, &stopped, &restarted, deleted, &once, &again}) {
            t->setInterval(100);
            t->setEnabled(true);
        }
        QTRY_VERIFY_WITH_TIMEOUT(restartedTicks >= 1 && firstTicks >= 5 && againTicks >= 4, 5000);
        QCOMPARE(stoppedTicks, 0);
        QCOMPARE(deletedTicks, 0);
        QVERIFY(!stopped.isRunning());
        // The new interval counts from the change, not from the old due time.
        QVERIFY2(restartedTickAt - restartedAt >= 380,
                 qPrintable(QString::number(restartedTickAt - restartedAt)));
        QCOMPARE(onceTicks, 1);
        QVERIFY(!once.isRunning());
        QVERIFY(again.isRunning());
        once.setEnabled(true); // enabled again later, it starts afresh
        QTRY_COMPARE_WITH_TIMEOUT(onceTicks, 2, 3000);
    }

    void registryKeepsOneInstanceAndEndsWhenEmpty() {
        const int loads = ProbeForm::loads, ends = testing::emptyCount();
        auto* a = Windows::get<ProbeForm>();
        QCOMPARE(Windows::get<ProbeForm>(), a);
        QCOMPARE(ProbeForm::loads, loads + 1);
        a->show();
        a->unload();
        a->unload(); // a second request has no further effect
        QCOMPARE(ProbeForm::unloads, 1);
        QCOMPARE(Windows::find<ProbeForm>(), nullptr);
        QTRY_COMPARE(testing::emptyCount(), ends + 1);
        Windows::get<ProbeForm>()->unload(); // a later reference loads afresh
        QCOMPARE(ProbeForm::loads, loads + 2);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Enter and Escape press the default and cancel buttons only while usable.
    void enterAndEscapePressDefaultAndCancelWhileUsable() {
        auto* f = Windows::get<ProbeForm>();
        f->show();
        QSignalSpy ok(f->ok, &QPushButton::clicked), cancel(f->cancel, &QPushButton::clicked);
        for (bool usable : {true, false}) {
            f->cancel->setVisible(usable);
            f->ok->setEnabled(usable);
            QTest::keyClick(f, Qt::Key_Return);
            QTest::keyClick(f, Qt::Key_Escape);
            QCOMPARE(ok.count(), 1);
            QCOMPARE(cancel.count(), 1);
        }
        f->unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void modalShowResumesWhenTheWindowUnloads() {
        auto* f = Windows::get<ProbeForm>();
        QTimer::singleShot(50, f, [f] { f->unload(); });
        f->showModal(nullptr); // returns only once the window is gone
        QCOMPARE(Windows::find<ProbeForm>(), nullptr);
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
