// The session manager ends the session with the sheet open over the compact
// window, as Qt's X11 session support does: a commit, then Qt's quit.
#include "frame/session.h"
#include "tests/support/testing.h"

#include <QApplication>
#include <QSessionManager>
#include <QThread>
#include <QTimer>

using namespace vq;
using namespace vq::testing;

class TestSessionEnd : public QObject {
    Q_OBJECT
private slots:
    // The commit saves what the closes save and leaves the windows running;
    // the quit closes the sheet, and the compact window once the sheet's loop
    // has returned, then ends with status 0, trying once more on the way out
    // what the disk refused during the closes.
    void commitThenQuitKeepWhatWasTyped() {
        setUpTestApplication(registerAllWindows);
        Windows::setOnEmpty([] { QCoreApplication::quit(); });
        useFreshStore();
        Form* main = Windows::get(WindowKind::Main);
        main->showModeless();
        session::install(*qApp);
        auto name = [] { return Store::instance().read("WALLET_NAME_TEXTBOX_1", "<none>"); };
        QStringList seen;
        connect(
            main, &Form::hiddenOrUnloaded, this,
            [&] {
                seen
                    << QString("main closed in loop %1").arg(QThread::currentThread()->loopLevel());
            },
            Qt::SingleShotConnection);
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(0, [&] { // in the sheet's own event loop
                Form* sheet = Windows::find(WindowKind::Sheet);
                TextBox* box = cell(sheet, "WALLET_NAME_TEXTBOX", 1);
                retype(box, "KEEP");
                emit qApp->commitDataRequest(*qApp->findChild<QSessionManager*>());
                seen << name()
                     << (sheet->isVisible() && running(sheet, "DISABLE_BUTTONS_TIMER")
                             ? "open, running"
                             : "stopped");
                QTest::keyClicks(box, "2");
                Store::instance().simulateWriteFailures(2); // the sheet's and the main window's
                QCoreApplication::quit();
            });
            click(main, "VL_QUORIX_MAIN_BUTTON");
        });
        QTimer::singleShot(10000, [] { QCoreApplication::exit(3); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(seen, (QStringList{"KEEP", "open, running", "main closed in loop 1"}));
        QCOMPARE(name(), QString("KEEP2"));
        QVERIFY(Store::instance().healthy() && Windows::loadedCount() == 0);
    }
};

QTEST_MAIN(TestSessionEnd)
#include "tst_session_end.moc"
