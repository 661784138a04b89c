// The event rules every window relies on, and the window registry.
#include "tests/support/testing.h"

#include <QSignalSpy>
#include <QToolTip>

using namespace vq;

template <WindowKind K> struct Probe : Form {
    static constexpr WindowKind Kind = K;
    static inline int loads = 0, unloads = 0;
    Probe() : Form(Kind, "PROBE", Qt::Window) {}
    void Form_Load() override { ++loads; }
    void Form_Unload() override { ++unloads; }
};
using ProbeForm = Probe<WindowKind::About>;
using HiddenForm = Probe<WindowKind::Settings>;
using OtherForm = Probe<WindowKind::Lock>;

class TestControls : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        testing::setUpTestApplication([] {
            Windows::registerFactory(ProbeForm::Kind, [] { return new ProbeForm; });
            Windows::registerFactory(HiddenForm::Kind, [] { return new HiddenForm; });
            Windows::registerFactory(OtherForm::Kind, [] { return new OtherForm; });
        });
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

    // The limit counts characters as a user does, and holds however the text
    // was set: through QLineEdit's own setText too.
    void textBoxLimit() {
        TextBox box(nullptr);
        box.show();
        static_cast<QLineEdit&>(box).setText(QString(5000, 'x'));
        QVERIFY(!QToolTip::isVisible());
        QTest::keyClicks(&box, "abc");
        QCOMPARE(box.text().size(), 5000);
        QVERIFY(QToolTip::isVisible());
        box.setText({});
        const QString rocket = QStringLiteral("🚀"); // two UTF-16 units
        box.insert(rocket.repeated(TextBox::maxTyped));
        box.insert(rocket);
        QCOMPARE(box.text(), rocket.repeated(TextBox::maxTyped));
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

    // One instance per kind; the program ends, each time, once when nothing
    // visible is left, and unloads the windows still loaded but hidden first.
    void registryKeepsOneInstanceAndEndsWhenEmpty() {
        for (int round = 1; round <= 2; ++round) {
            const int ends = testing::emptyCount();
            auto* other = Windows::get<OtherForm>();
            other->show();
            Windows::get<HiddenForm>();
            auto* a = Windows::get<ProbeForm>();
            QCOMPARE(Windows::get<ProbeForm>(), a);
            a->show();
            a->unload();
            a->unload();
            QCOMPARE(QPoint(ProbeForm::loads, ProbeForm::unloads), QPoint(round, round));
            QCOMPARE(Windows::find<ProbeForm>(), nullptr);
            QCoreApplication::processEvents();
            QCOMPARE(testing::emptyCount(), ends); // another still shows
            other->unload();
            QTRY_COMPARE(testing::emptyCount(), ends + 1);
            QCOMPARE(HiddenForm::unloads, round);
            QCoreApplication::processEvents();
            QCOMPARE(testing::emptyCount(), ends + 1); // told once
        }
    }

    // Innermost first: the modal window, then the later loaded. A batch open
    // when a modal window opens holds back nothing written meanwhile.
    void modalWindow() {
        testing::useFreshStore();
        auto* earlier = Windows::get<HiddenForm>();
        auto* form = Windows::get<ProbeForm>();
        QCOMPARE(Windows::innermostFirst(), (QList<Form*>{form, earlier}));
        QList<Form*> inLoop;
        QByteArray inside;
        QTimer::singleShot(0, [&] {
            inLoop = Windows::innermostFirst();
            Store::instance().write("B", "2");
            inside = testing::storeFileContents();
            earlier->hide();
        });
        {
            Store::Batch batch;
            Store::instance().write("A", "1");
            earlier->showModal(nullptr);
            Store::instance().write("C", "3");
            QVERIFY(!testing::storeFileContents().contains("C="));
        }
        QCOMPARE(inLoop, (QList<Form*>{earlier, form}));
        QVERIFY(inside.contains("A=1") && inside.contains("B=2"));
        QVERIFY(testing::storeFileContents().contains("C=3"));
        earlier->unload();
        QCOMPARE(Windows::loadedCount(), 1);
        form->unload();
    }

    // Without X11 the tool's own window moves between the bands and stays
    // shown. On any desktop the calculator is the first one found, alone,
    // never through pkexec.
    void desktopWithoutX11() {
        const auto found = [](QStringList in) {
            return [in](const QString& n) { return in.contains(n) ? "/bin/" + n : ""; };
        };
        QCOMPARE(calculatorCommand(found({"kcalc", "xcalc", "pkexec", "sudo"})),
                 QStringList{"/bin/kcalc"});
        QCOMPARE(calculatorCommand(found({"pkexec"})), QStringList{});
        const auto desktop = makeDesktopPlatform();
        QWidget w;
        w.show();
        const auto h = WindowHandle(w.internalWinId());
        desktop->setTopMost(WindowHandle(0x7fff0001), true); // not the tool's: ignored
        for (bool top : {true, false, false}) {
            desktop->setTopMost(h, top);
            QVERIFY(w.isVisible() && w.windowFlags().testFlag(Qt::WindowStaysOnTopHint) == top);
        }
        w.activateWindow();
        QTRY_COMPARE(desktop->foregroundWindow(), h);
        w.hide();
        QTRY_COMPARE(desktop->foregroundWindow(), WindowHandle(0));
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
