// The event rules every window relies on: which writes raise handlers, and
// how the registry creates, unloads and ends.
#include "frame/controls.h"
#include "frame/fonts.h"
#include "frame/form.h"
#include "frame/pictures.h"
#include "frame/windows.h"
#include "tests/support/testing.h"

#include <QSignalSpy>
#include <QTest>

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

    // A label is clicked by the left button pressed and released on it only.
    void labelClicks() {
        Label label(nullptr, "creator");
        label.resize(100, 20);
        QSignalSpy spy(&label, &Label::click);
        QTest::mouseClick(&label, Qt::RightButton);
        QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(150, 10));
        QCOMPARE(spy.count(), 0);
        QTest::mouseClick(&label, Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
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
