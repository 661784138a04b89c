// The compact main window: its load from empty, seeded and damaged stores,
// the always-on-top rule, the exit timer and the main button's routing.
#include "frame/main_window.h"
#include "frame/windows.h"
#include "settings/store.h"
#include "tests/support/testing.h"

#include <QTest>

using namespace vq;

namespace {
// Stands in for the windows the main button opens.
struct Stub : Form {
    static inline int shows = 0;
    explicit Stub(WindowKind k) : Form(k, "STUB", Qt::Window) {}
    void showEvent(QShowEvent* e) override {
        Form::showEvent(e);
        ++shows;
        QTimer::singleShot(0, this, [this] { unload(); });
    }
};

MainWindow* loadMain(const QMap<QString, QString>& seed = {}) {
    testing::unloadAll();
    testing::useFreshStore();
    testing::seedStore(seed);
    return Windows::get<MainWindow>();
}
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        testing::setUpTestApplication();
        Windows::registerFactory(WindowKind::Main, [] { return new MainWindow; });
    }
    void cleanup() { testing::unloadAll(); }

    void firstStartUsesDefaultsAndWritesNothing() {
        MainWindow* w = loadMain();
        QCOMPARE(w->Left(), 1000.0);
        QCOMPARE(w->Top(), 1000.0);
        QCOMPARE(w->Width(), 2400.0);
        QCOMPARE(w->CRYPTO_NAME_START_LABEL->text(), QString("CRYPTO-NAME"));
        QCOMPARE(w->windowTitle(), QString("VL-QX - CRYPTO-NAME"));
        QCOMPARE(w->VL_QUORIX_MAIN_BUTTON->text(), QString("Main Screen"));
        QVERIFY(w->AlwaysOnTopTimer->isRunning());
        QCOMPARE(w->AlwaysOnTopTimer->interval(), 1000);
        QCOMPARE(w->LOCK_UNLOAD_TIMER->interval(), 250);
        QVERIFY(!w->LOCK_UNLOAD_TIMER->isEnabled());
        QVERIFY(!QFile::exists(Store::instance().filePath()));
    }

    void seededStates_data() {
        QTest::addColumn<QString>("locked");
        QTest::addColumn<QString>("onTop");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("timer");
        // clang-format off
        QTest::newRow("locked") << "1" << "1" << "Unlock Main Screen" << true;
        QTest::newRow("on top off") << "0" << "0" << "Main Screen" << false;
        QTest::newRow("greyed switch is not on") << "0" << "2" << "Main Screen" << false;
        QTest::newRow("garbage falls back") << "abc" << "7" << "Main Screen" << true;
        // clang-format on
    }
    void seededStates() {
        QFETCH(QString, locked);
        QFETCH(QString, onTop);
        QFETCH(QString, caption);
        QFETCH(bool, timer);
        MainWindow* w = loadMain({{"CLIENT_LOCKED", locked},
                                  {"AlwaysOnTopTimer_TICKBOX", onTop},
                                  {"CRYPTO_NAME", "BTC"}});
        QCOMPARE(w->VL_QUORIX_MAIN_BUTTON->text(), caption);
        QCOMPARE(w->AlwaysOnTopTimer->isEnabled(), timer);
        QCOMPARE(w->windowTitle(), QString("VL-QX - BTC"));
    }

    void windowWhollyOffScreenReturnsToPrimary() {
        MainWindow* w = loadMain({{"MINI-MAIN-Left", "-99999"}, {"MINI-MAIN-Top", "900000"}});
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(screen.contains(w->frameGeometry().topLeft()));
    }

    // No window can be resized, so a hand-edited size too small to use is
    // ignored like a text that does not convert; the defaults are 2400 x 1260.
    void handEditedSizeBelowHalfTheDefaultIsIgnored_data() {
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::addColumn<double>("expectedWidth");
        QTest::addColumn<double>("expectedHeight");
        // clang-format off
        QTest::newRow("a few twips") << "7" << "2.5" << 2400.0 << 1260.0;
        QTest::newRow("negative") << "-2400" << "-0" << 2400.0 << 1260.0;
        QTest::newRow("just below half") << "1199.9" << "629.99" << 2400.0 << 1260.0;
        QTest::newRow("exactly half") << "1200" << "630" << 1200.0 << 630.0;
        QTest::newRow("larger") << "3000" << "1950" << 3000.0 << 1950.0;
        // clang-format on
    }
    void handEditedSizeBelowHalfTheDefaultIsIgnored() {
        QFETCH(QString, width);
        QFETCH(QString, height);
        QFETCH(double, expectedWidth);
        QFETCH(double, expectedHeight);
        MainWindow* w = loadMain({{"MINI-MAIN-Width", width}, {"MINI-MAIN-Height", height}});
        QCOMPARE(w->Width(), expectedWidth);
        QCOMPARE(w->Height(), expectedHeight);
    }

    void unloadSavesPositionOnly() {
        MainWindow* w = loadMain({{"MINI-MAIN-Left", "-300"}, {"MINI-MAIN-Top", "450"}});
        w->unload();
        QCOMPARE(Store::instance().read("MINI-MAIN-Left", "x"), QString("-300"));
        QCOMPARE(Store::instance().read("MINI-MAIN-Top", "x"), QString("450"));
        QCOMPARE(Store::instance().read("MINI-MAIN-Width", "never"), QString("never"));
    }

    void alwaysOnTopRule() {
        MainWindow* w = loadMain();
        auto& fake = testing::fakePlatform();
        fake.calls.clear();
        fake.foreground = w->handle();
        w->AlwaysOnTopTimer_Timer();
        QVERIFY(fake.calls.empty()); // already in front: nothing to do
        fake.foreground = 4242;
        w->AlwaysOnTopTimer_Timer();
        QCOMPARE(fake.calls.size(), size_t(2));
        QCOMPARE(fake.calls[0].what, QString("normal"));
        QCOMPARE(fake.calls[0].window, WindowHandle(4242));
        QCOMPARE(fake.calls[1].what, QString("topmost"));
        QCOMPARE(fake.calls[1].window, w->handle());
    }

    void exitTimerSavesLockStateAndEnds() {
        MainWindow* w = loadMain({{"CLIENT_LOCKED", "1"}});
        const int ends = testing::emptyCount();
        w->show();
        w->LOCK_UNLOAD_TIMER->setEnabled(true);
        w->LOCK_UNLOAD_TIMER_Timer();
        QCOMPARE(Windows::find<MainWindow>(), nullptr);
        QCOMPARE(Store::instance().read("CLIENT_LOCKED", "x"), QString("1"));
        QTRY_COMPARE(testing::emptyCount(), ends + 1);
    }

    void mainButtonRoutesByLockState() {
        Windows::registerFactory(WindowKind::Sheet, [] { return new Stub(WindowKind::Sheet); });
        Windows::registerFactory(WindowKind::Lock, [] { return new Stub(WindowKind::Lock); });
        MainWindow* w = loadMain({{"CLIENT_LOCKED", "1"}});
        w->show();
        Stub::shows = 0;
        w->VL_QUORIX_MAIN_BUTTON_Click(); // returns once the stub unloads
        QCOMPARE(Stub::shows, 1);
        QCOMPARE(w->VL_QUORIX_MAIN_BUTTON->text(), QString("Unlock Main Screen"));
        w->CLIENT_LOCKED_TICKBOX->setValue(0);
        w->VL_QUORIX_MAIN_BUTTON_Click();
        QCOMPARE(Stub::shows, 2);
        QCOMPARE(w->VL_QUORIX_MAIN_BUTTON->text(), QString("Main Screen"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
