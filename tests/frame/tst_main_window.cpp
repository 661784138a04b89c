// The compact main window: its load from empty, seeded and damaged stores,
// the always-on-top rule, the exit timer and the main button's routing.
#include "compact/main_window.h"
#include "frame/windows.h"
#include "settings/store.h"
#include "tests/support/testing.h"

#include <QTest>

using namespace vq;

namespace {
// Stands in for the windows the main button opens.
struct Stub : Form {
    static inline QList<WindowKind> shown;
    explicit Stub(WindowKind k) : Form(k, "STUB", Qt::Window) {}
    void showEvent(QShowEvent* e) override {
        Form::showEvent(e);
        shown.append(kind());
        QTimer::singleShot(0, this, [this] { unload(); });
    }
};

QString mainCaption(const MainWindow* w) {
    return testing::control<QPushButton>(w, "VL_QUORIX_MAIN_BUTTON")->text();
}
Timer* timer(const MainWindow* w, const char* name) {
    return testing::control<Timer>(w, name);
}

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
        registerMainWindow();
    }
    void cleanup() { testing::unloadAll(); }

    void firstStartUsesDefaultsAndWritesNothing() {
        MainWindow* w = loadMain();
        QCOMPARE(w->Left(), 1000.0);
        QCOMPARE(w->Top(), 1000.0);
        QCOMPARE(w->Width(), 2400.0);
        QCOMPARE(testing::control<Label>(w, "CRYPTO_NAME_START_LABEL")->text(),
                 QString("CRYPTO-NAME"));
        QCOMPARE(w->windowTitle(), QString("VL-QX - CRYPTO-NAME"));
        QCOMPARE(mainCaption(w), QString("Main Screen"));
        QCOMPARE(w->lockState(), 0);
        // The window keeps itself on top from the start; the program does not end.
        QVERIFY(timer(w, "AlwaysOnTopTimer")->isRunning());
        QVERIFY(!timer(w, "LOCK_UNLOAD_TIMER")->isEnabled());
        QVERIFY(!QFile::exists(Store::instance().filePath()));
    }

    void seededStates_data() {
        QTest::addColumn<QString>("locked");
        QTest::addColumn<QString>("onTop");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("onTopTimer");
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
        QFETCH(bool, onTopTimer);
        MainWindow* w = loadMain({{"CLIENT_LOCKED", locked},
                                  {"AlwaysOnTopTimer_TICKBOX", onTop},
                                  {"CRYPTO_NAME", "BTC"}});
        QCOMPARE(mainCaption(w), caption);
        QCOMPARE(w->lockState(), locked == "1" ? 1 : 0);
        QCOMPARE(timer(w, "AlwaysOnTopTimer")->isEnabled(), onTopTimer);
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
        testing::fire(w, "AlwaysOnTopTimer");
        QVERIFY(fake.calls.empty()); // already in front: nothing to do
        fake.foreground = 4242;
        testing::fire(w, "AlwaysOnTopTimer");
        QCOMPARE(fake.calls.size(), size_t(2));
        QCOMPARE(fake.calls[0].what, QString("normal"));
        QCOMPARE(fake.calls[0].window, WindowHandle(4242));
        QCOMPARE(fake.calls[1].what, QString("topmost"));
        QCOMPARE(fake.calls[1].window, w->handle());
    }

    // Locked after an unlocked start, so that only the exit timer stores the state.
    void exitTimerSavesLockStateAndEnds() {
        MainWindow* w = loadMain();
        const int ends = testing::emptyCount();
        w->show();
        Windows::find<MainIntentions>()->setLocked(true);
        QCOMPARE(mainCaption(w), QString("Unlock Main Screen"));
        Windows::find<MainIntentions>()->exitLocked();
        QVERIFY(timer(w, "LOCK_UNLOAD_TIMER")->isEnabled());
        testing::fire(w, "LOCK_UNLOAD_TIMER");
        QCOMPARE(Windows::find<MainWindow>(), nullptr);
        QCOMPARE(Store::instance().read("CLIENT_LOCKED", "x"), QString("1"));
        QTRY_COMPARE(testing::emptyCount(), ends + 1);
    }

    void mainButtonRoutesByLockState() {
        Windows::registerFactory(WindowKind::Sheet, [] { return new Stub(WindowKind::Sheet); });
        Windows::registerFactory(WindowKind::Lock, [] { return new Stub(WindowKind::Lock); });
        MainWindow* w = loadMain({{"CLIENT_LOCKED", "1"}});
        w->show();
        Stub::shown.clear();
        testing::click(w, "VL_QUORIX_MAIN_BUTTON"); // returns once the stub unloads
        QVERIFY(Stub::shown == QList{WindowKind::Lock});
        QCOMPARE(mainCaption(w), QString("Unlock Main Screen"));
        w->setLocked(false);
        testing::click(w, "VL_QUORIX_MAIN_BUTTON");
        QVERIFY((Stub::shown == QList{WindowKind::Lock, WindowKind::Sheet}));
        QCOMPARE(mainCaption(w), QString("Main Screen"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
