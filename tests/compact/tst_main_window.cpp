// The compact main window.
#include "compact/main_window.h"
#include "tests/support/testing.h"

#include <QAccessible>

using namespace vq;
using namespace vq::testing;

static MainWindow* loadMain(const QMap<QString, QString>& seed = {}) {
    unloadAll();
    useFreshStore();
    seedStore(seed);
    return Windows::get<MainWindow>();
}

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpTestApplication(registerAllWindows); }
    void cleanup() { unloadAll(); }

    // Stored state and switch; sizes below half the default (2400 x 1260) and
    // places off every screen are hand edits and ignored.
    void loadsWhatIsStored() {
        MainWindow* w = loadMain();
        QCOMPARE(w->windowTitle() + QString::number(w->Left()), QString("VL-QX - CRYPTO-NAME1000"));
        QVERIFY(!QFile::exists(Store::instance().filePath()));
        // locked, on top, width, height -> caption, on-top timer, width, height
        for (const QString row :
             {"1 1 7 2.5 Unlock 1 2400 1260", "0 0 1199.9 629.99 Main 0 2400 1260",
              "0 2 1200 630 Main 0 1200 630", "abc 7 3000 1950 Main 1 3000 1950"}) {
            const QStringList v = row.split(' ');
            QMap<QString, QString> seed{{"MINI-MAIN-Top", "900000"}};
            for (int i = 0; i < 4; ++i)
                seed[QStringList{"CLIENT_LOCKED", "AlwaysOnTopTimer_TICKBOX", "MINI-MAIN-Width",
                                 "MINI-MAIN-Height"}[i]] = v[i];
            w = loadMain(seed);
            const QString caption = control<QPushButton>(w, "VL_QUORIX_MAIN_BUTTON")->text();
            QCOMPARE((QStringList{caption.section(' ', 0, 0),
                                  QString::number(running(w, "AlwaysOnTopTimer")),
                                  QString::number(w->Width()), QString::number(w->Height())}),
                     v.mid(4));
            QCOMPARE(w->lockState(), int(caption.startsWith("Unlock")));
            QVERIFY(!running(w, "LOCK_UNLOAD_TIMER"));
            QVERIFY(QGuiApplication::primaryScreen()->geometry().contains(
                w->frameGeometry().topLeft()));
        }
    }

    // A coin name, stored or typed, is shown, titled and spoken exactly as
    // typed: never read as markup, never as the title's "modified" mark.
    void namesShownAsTyped_data() {
        QTest::addColumn<QString>("name");
        for (const QString& name :
             QStringList{"<b>BTC</b>", "<img src=/dev/null>pic", "A[*]B", "[*][*][*] [[*]*] [*",
                         "&Bit && &", QString("Long").repeated(250),
                         "\u05d1\u05d9\u05d8 \u0639\u0645\u0644\u0629",
                         "e\u0301\u0308 Z\u0335\u20dd", "\U0001F680\U0001F469\u200D\U0001F4BB",
                         QString("a\tb\x01"
                                 "c\nd\u202e") +
                             QChar(0) + "e"}) // control: hand-edited store only
            QTest::newRow(qPrintable(name.left(12))) << name;
    }
    void namesShownAsTyped() {
        QFETCH(QString, name);
        MainWindow* w = loadMain({{"CRYPTO_NAME", name}});
        Form* s = Windows::get(WindowKind::Sheet);
        // Typed: one key at the end of the loaded name.
        box(s, "CRYPTO_NAME_TEXTBOX")->end(false);
        QTest::keyClicks(box(s, "CRYPTO_NAME_TEXTBOX"), "!");
        const auto spoken = [](QObject* o) {
            return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name);
        };
        auto* label = control<QLabel>(w, "CRYPTO_NAME_START_LABEL");
        // A screen reader reads markup as the text it renders.
        QCOMPARE(QStringList({label->text(), spoken(label)}), QStringList(2, name + "!"));
        for (const auto& [window, title] : {std::pair<QWidget*, QString>{w, "VL-QX - " + name},
                                            {s, "VELMORA - QUORIX-V2 - " + name + "!"}}) {
            window->winId();
            QCOMPARE(QStringList({window->windowHandle()->title(), spoken(window)}),
                     QStringList(2, title));
        }
    }

    // The top-most band taken over; the exit tick stores the lock; unloading stops timers.
    void exitAndUnload() {
        for (bool tick : {true, false}) {
            MainWindow* w = loadMain({{"MINI-MAIN-Left", "-300"}});
            const int ends = emptyCount();
            w->show();
            fakePlatform().calls.clear();
            fakePlatform().foreground = 4242;
            fire(w, "AlwaysOnTopTimer");
            const auto& calls = fakePlatform().calls;
            QVERIFY(calls.size() == 2 && calls[0].what + calls[1].what == "normaltopmost");
            QVERIFY(calls[0].window == 4242 && calls[1].window == w->handle());
            w->setLocked(true);
            w->exitLocked();
            QVERIFY(running(w, "LOCK_UNLOAD_TIMER"));
            tick ? fire(w, "LOCK_UNLOAD_TIMER") : w->unload();
            QVERIFY(!running(w, "AlwaysOnTopTimer") && !running(w, "LOCK_UNLOAD_TIMER"));
            QCOMPARE(stored(keys::clientLocked) + stored(keys::mainWindow.left) +
                         stored(keys::mainWindow.width),
                     QString(tick ? "1" : "<none>") + "-300<none>");
            QTRY_COMPARE(emptyCount(), ends + 1);
        }
    }

    // Enter opens the sheet, or the lock window while locked.
    void enterOpensSheetOrLock() {
        for (const auto& [locked, opens] :
             {std::pair{"0", WindowKind::Sheet}, {"1", WindowKind::Lock}}) {
            MainWindow* w = loadMain({{"CLIENT_LOCKED", locked}});
            w->show();
            bool shown = false;
            QTimer::singleShot(0, this, [&, kind = opens] {
                shown = Windows::find(kind)->isModal();
                Windows::find(kind)->unload();
            });
            QTest::keyClick(w, Qt::Key_Return);
            QVERIFY2(shown, locked);
        }
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
