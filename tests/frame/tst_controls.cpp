// The event rules every window relies on, and the window registry.
#include "tests/support/testing.h"

#include <QSignalSpy>

using namespace vq;

struct ProbeForm : Form {
    static constexpr WindowKind Kind = WindowKind::About;
    static inline int loads = 0, unloads = 0;
    ProbeForm() : Form(Kind, "PROBE", Qt::Window) {}
    void Form_Load() override { ++loads; }
    void Form_Unload() override { ++unloads; }
};

class TestControls : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        testing::setUpTestApplication(
            [] { Windows::registerFactory(ProbeForm::Kind, [] { return new ProbeForm; }); });
    }

    // Click only on a change of value; 2 greys the box, a user's click never does.
    void tickBoxRaisesClickOnlyOnChange() {
        TickBox box(nullptr);
        QSignalSpy spy(&box, &TickBox::click);
        for (const auto& [to, value, clicks] :
             {std::tuple{1, 1, 1}, {1, 1, 1}, {0, 0, 2}, {7, 0, 2}, {2, 2, 3}}) {
            box.setValue(to);
            QCOMPARE(QPoint(box.value(), spy.count()), QPoint(value, clicks));
        }
        box.QAbstractButton::click();
        QCOMPARE(box.value(), 1);
    }

    // Change only for a different text; locked refuses typing only.
    void textBoxRules() {
        TextBox box(nullptr, "abc");
        QSignalSpy spy(&box, &TextBox::change);
        box.setText("abc");
        box.setText("name");
        QTest::keyClicks(&box, "x");
        QCOMPARE(spy.count(), 2);
        box.setBackColor(0x00FFFF);
        box.setLocked(true);
        QTest::keyClicks(&box, "zz");
        QCOMPARE(box.text(), QString("namex"));
        QVERIFY(box.backColor() == 0x00FFFFu && (box.focusPolicy() & Qt::TabFocus));
    }

    // A label is clicked by the left button released on it only.
    void labelClicks() {
        Label label(nullptr, "creator");
        label.resize(100, 20);
        QSignalSpy spy(&label, &Label::click), twice(&label, &Label::doubleClick);
        QTest::mouseClick(&label, Qt::RightButton);
        QTest::mouseDClick(&label, Qt::RightButton);
        QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(150, 10));
        QCOMPARE(spy.count() + twice.count(), 0);
        QTest::mouseClick(&label, Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
    }

    void timerTicksOnlyWhenEnabledWithAnInterval() {
        Timer t(nullptr, "T");
        t.setEnabled(true);
        QVERIFY(!t.isRunning()); // interval 0 never ticks
        t.setInterval(10);
        QVERIFY(QSignalSpy(&t, &Timer::tick).wait(1000));
        t.setEnabled(false);
        QVERIFY(!t.isRunning());
    }

    // One instance per kind; the program ends when nothing visible is left.
    void registryKeepsOneInstanceAndEndsWhenEmpty() {
        const int ends = testing::emptyCount();
        auto* a = Windows::get<ProbeForm>();
        QCOMPARE(Windows::get<ProbeForm>(), a);
        a->show();
        a->unload();
        a->unload();
        QCOMPARE(QPoint(ProbeForm::loads, ProbeForm::unloads), QPoint(1, 1));
        QCOMPARE(Windows::find<ProbeForm>(), nullptr);
        QTRY_COMPARE(testing::emptyCount(), ends + 1);
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
