// The session ends with the sheet open over the compact window: the session
// manager's commit and quit, as Qt's X11 session support sends them, and the
// tool's end in a process of its own, as SIGTERM and a lost display end it.
#include "frame/session.h"
#include "tests/support/testing.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSessionManager>
#include <QSettings>
#include <QThread>
#include <QTimer>

#include <csignal>
#include <cstdlib>

#include <sys/stat.h>

using namespace vq;
using namespace vq::testing;

namespace {
// This executable run as the tool: "KEEP" typed in wallet 1's name on the
// sheet, then SIGTERM ("--signal", or "--signal-disk-refusing" with every
// write refused from then on), or a lost display at once after it
// ("--display-lost"): the close begun, the sheet's deletion pending, Qt's X11
// plugin calls exit(1); or the user closes the sheet, then the compact window
// ("--user-close"); or Qt's quit with the compact window alone ("--quit").
int runAsTheTool(int argc, char** argv, const QByteArray& how) {
    QApplication app(argc, argv);
    setUpTestApplication(registerAllWindows);
    Windows::setOnEmpty([] { QCoreApplication::quit(); }); // as in the tool
    Store::instance().setSectionOverride(QStringLiteral("VELMORA-QUORIX"));
    Form* main = Windows::get(WindowKind::Main);
    main->showModeless();
    session::install(app);
    if (how == "--quit") {
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return QApplication::exec();
    }
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [&] { // in the sheet's own event loop
            Form* sheet = Windows::find(WindowKind::Sheet);
            retype(cell(sheet, "WALLET_NAME_TEXTBOX", 1), "KEEP");
            if (how.startsWith("--signal")) {
                if (how == "--signal-disk-refusing")
                    Store::instance().simulateWriteFailures(1000);
                std::raise(SIGTERM);
            } else if (how == "--user-close") {
                sheet->close();
            } else {
                session::closeAll();
                std::exit(1);
            }
        });
        click(main, "VL_QUORIX_MAIN_BUTTON");
        if (how == "--user-close")
            main->close();
    });
    return QApplication::exec();
}

struct Ended {
    int status; // -1 for a crash or a hang
    QString errors;
};
Ended endTheTool(const QString& how) {
    QProcess tool;
    tool.start(QCoreApplication::applicationFilePath(), {how});
    const bool ended = tool.waitForFinished(20000) && tool.exitStatus() == QProcess::NormalExit;
    return {ended ? tool.exitCode() : -1, QString::fromLocal8Bit(tool.readAllStandardError())};
}
} // namespace

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

    // The settings folder taken by a file, or a disk that refuses what the
    // folder takes: SIGTERM, or the user's close of the last window, ends the
    // tool with status 1 and one line on standard error that says what could
    // not be saved, why, and where it is kept instead, in a file only its
    // owner may read.
    void refusedSaveIsToldAndKeptAside_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("why");
        QTest::newRow("SIGTERM") << "--signal"
                                 << "Not a directory";
        QTest::newRow("the user's close") << "--user-close"
                                          << "Not a directory";
        QTest::newRow("the file refused") << "--signal-disk-refusing"
                                          << "the file could not be replaced";
    }
    void refusedSaveIsToldAndKeptAside() {
        QFETCH(QString, how);
        QFETCH(QString, why);
        const QString file = useFreshStore();
        const QString configHome = QFileInfo(QFileInfo(file).path()).path();
        QFile taken(QFileInfo(file).path());
        QVERIFY(QDir().mkpath(configHome));
        if (why == "Not a directory")
            QVERIFY(taken.open(QIODevice::WriteOnly));
        const Ended end = endTheTool(how);
        const QStringList aside = QDir(configHome).entryList({"VL_QUORIX-unsaved-*.ini"});
        QCOMPARE(end.status, 1);
        QCOMPARE(aside.size(), 1);
        const QString kept = configHome + "/" + aside[0];
        const QStringList told =
            end.errors.split('\n').filter(QRegularExpression("^VELMORA-QUORIX: "));
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].contains(" to " + file + " (" + why + ")") &&
                     told[0].endsWith(" in " + kept),
                 qPrintable(told[0]));
        struct stat st {};
        QVERIFY(::stat(QFile::encodeName(kept).constData(), &st) == 0 &&
                (st.st_mode & 0777) == 0600);
        QCOMPARE(
            QSettings(kept, QSettings::IniFormat).value("VELMORA-QUORIX/WALLET_NAME_TEXTBOX_1"),
            "KEEP");
    }

    // Qt's quit (the session manager's) with the compact window alone
    // closes it, keeping its place, and ends the tool; when the disk refuses
    // that place, the end says so, as every other end does.
    void quitWithTheCompactWindowAlone() {
        const QString file = useFreshStore();
        QCOMPARE(endTheTool("--quit").status, 0);
        QVERIFY(Store::instance().read("MINI-MAIN-Top", "<none>") != "<none>");
        QVERIFY(QFile::remove(file) && QDir().rmdir(QFileInfo(file).path()));
        QFile taken(QFileInfo(file).path());
        QVERIFY(taken.open(QIODevice::WriteOnly));
        const Ended end = endTheTool("--quit");
        QCOMPARE(end.status, 1);
        QVERIFY(end.errors.contains(" could not be saved to " + file));
    }

    // A lost display during the close, as at a logout, ends the tool as Qt's
    // plugin asks, with status 1, not a crash in Qt's teardown; the closed
    // sheet's name and the open compact window's place are stored.
    void lostDisplayDuringTheCloseKeepsAll() {
        useFreshStore();
        QCOMPARE(endTheTool("--display-lost").status, 1);
        QCOMPARE(Store::instance().read("WALLET_NAME_TEXTBOX_1", "<none>"), "KEEP");
        QVERIFY(Store::instance().read("MINI-MAIN-Top", "<none>") != "<none>");
    }
};

int main(int argc, char** argv) {
    const QByteArray how = argc > 1 ? argv[1] : "";
    if (how.startsWith("--signal") || how == "--display-lost" || how == "--user-close" ||
        how == "--quit")
        return runAsTheTool(argc, argv, how);
    QApplication app(argc, argv);
    TestSessionEnd test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_session_end.moc"
