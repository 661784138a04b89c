// The event rules every window relies on: which writes raise handlers, and
// how the registry creates, unloads and ends.
#include "frame/controls.h"
#include "frame/form.h"
#include "frame/windows.h"
#include "tests/support/testing.h"

#include <QSignalSpy>
#include <QTest>

using namespace vq;

namespace {
struct ProbeForm : Form {
    static constexpr WindowKind Kind = WindowKind::About;
    static inline int loads = 0, unloads = 0;
    Button* ok;
    Button* cancel;
    ProbeForm() : Form(Kind, "PROBE", Qt::Window) {
        ok = new Button(this, "OK");
        cancel = new Button(this, "Cancel");
        setDefaultButton(ok);
        setCancelButton(cancel);
    }
    void Form_Load() override { ++loads; }
    void Form_Unload() override { ++unloads; }
};
} // namespace

class TestControls : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testing::setUpTestApplication(); }

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
        QFETCH(int, clicks);
        QWidget w;
        TickBox box(&w);
        box.setValue(from);
        QSignalSpy spy(&box, &TickBox::click);
        box.setValue(to);
        QCOMPARE(spy.count(), clicks);
        QCOMPARE(box.value(), to > 2 ? from : to);
    }

    void userClickNeverGreysAndRaisesAfterChange() {
        QWidget w;
        TickBox box(&w);
        box.setValue(2);
        int seen = -1;
        connect(&box, &TickBox::click, [&] { seen = box.value(); });
        box.QAbstractButton::click(); // as a user clicks
        QCOMPARE(seen, 1);
        box.QAbstractButton::click();
        QCOMPARE(seen, 0);
        box.QAbstractButton::click();
        QCOMPARE(seen, 1);
    }

    void textBoxRaisesChangeOnlyForADifferentText() {
        QWidget w;
        TextBox box(&w, "abc");
        QSignalSpy spy(&box, &TextBox::change);
        box.setText("abc");
        QCOMPARE(spy.count(), 0);
        box.setText("abd");
        QCOMPARE(spy.count(), 1);
        box.setFocus();
        QTest::keyClicks(&box, "x");
        QCOMPARE(spy.count(), 2);
    }

    void lockedRefusesTypingButKeepsColoursAndFocus() {
        QWidget w;
        TextBox box(&w, "name");
        w.show();
        box.setBackColor(0x00FFFF);
        box.setLocked(true);
        box.setFocus();
        QTest::keyClicks(&box, "zz");
        QCOMPARE(box.text(), QString("name"));
        QCOMPARE(box.backColor(), 0x00FFFFu);
        QCOMPARE(box.focusPolicy() & Qt::TabFocus, Qt::TabFocus);
    }

    void passwordCharacterMasksEveryCharacter() {
        QWidget w;
        TextBox box(&w, "Secret 1");
        box.setPasswordChar("*");
        QCOMPARE(box.displayText(), QString(8, QLatin1Char('*')));
        box.setPasswordChar("");
        QCOMPARE(box.displayText(), QString("Secret 1"));
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

    void registryKeepsOneInstanceAndEndsWhenEmpty() {
        Windows::registerFactory(ProbeForm::Kind, [] { return new ProbeForm; });
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
        auto* b = Windows::get<ProbeForm>(); // a later reference loads afresh
        QCOMPARE(ProbeForm::loads, loads + 2);
        b->unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void enterAndEscapePressDefaultAndCancelWhileUsable() {
        Windows::registerFactory(ProbeForm::Kind, [] { return new ProbeForm; });
        auto* f = Windows::get<ProbeForm>();
        f->show();
        QSignalSpy ok(f->ok, &QPushButton::clicked), cancel(f->cancel, &QPushButton::clicked);
        QTest::keyClick(f, Qt::Key_Return);
        QTest::keyClick(f, Qt::Key_Escape);
        QCOMPARE(ok.count(), 1);
        QCOMPARE(cancel.count(), 1);
        f->cancel->hide();
        f->ok->setEnabled(false);
        QTest::keyClick(f, Qt::Key_Return);
        QTest::keyClick(f, Qt::Key_Escape);
        QCOMPARE(ok.count(), 1);
        QCOMPARE(cancel.count(), 1);
        f->unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void modalShowResumesWhenTheWindowUnloads() {
        Windows::registerFactory(ProbeForm::Kind, [] { return new ProbeForm; });
        auto* f = Windows::get<ProbeForm>();
        QTimer::singleShot(50, f, [f] { f->unload(); });
        f->showModal(nullptr); // returns only once the window is gone
        QCOMPARE(Windows::find<ProbeForm>(), nullptr);
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
