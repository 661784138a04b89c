// The store holds the lock password in plain text, so no one but its owner
// may read it: the folder is 0700 and the file 0600 after every kind of
// write, also when they were wider before. The password shows in no output
// of the tool, even with every Qt log category on, and the calculator
// button never hands anything the user typed to another program.
#include "frame/main_window.h"
#include "frame/platform.h"
#include "frame/windows.h"
#include "lock/lock_window.h"
#include "lock/password_window.h"
#include "options/settings_window.h"
#include "settings/store.h"
#include "sheet/sheet_window.h"
#include "tests/settings/store_test_util.h"
#include "tests/support/testing.h"

#include <QRandomGenerator>
#include <QtTest>

#include <sys/stat.h>

using namespace vq;
using namespace vq::testing;

namespace {

void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Shell syntax, a path, an option: anything a careless start would pass on.
const QString hostile = QStringLiteral("; rm -rf ~ $(id) `id` | calc.exe --help \"x\" '\n");

QList<TextBox*> sheetFields(SheetWindow* s) {
    QList<TextBox*> f{s->CRYPTO_NAME_TEXTBOX, s->EXCHANGE_RATE_TEXTBOX, s->INPUT_A_TEXTBOX,
                      s->INPUT_B_TEXTBOX};
    for (int n = 1; n <= SheetWindow::Rows; ++n)
        f << s->row(n).WALLET_NAME_TEXTBOX << s->row(n).AMOUNT_IN_WALLET
          << s->row(n).CURRENT_DOLLAR_VALUATION;
    return f;
}

// A password no other text of the run can contain by chance.
QString randomPassword() {
    return QStringLiteral("Pw%1x%2")
        .arg(QRandomGenerator::global()->generate64(), 0, 36)
        .arg(QRandomGenerator::global()->generate(), 0, 36);
}

QProcessEnvironment loudEnvironment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("*=true"));
    env.insert(QStringLiteral("QT_DEBUG_PLUGINS"), QStringLiteral("1"));
    return env;
}

} // namespace

class SecretsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void ownerOnlyAfterEveryWrite_data();
    void ownerOnlyAfterEveryWrite();
    void passwordInNoOutput();
    void calculatorGetsNoUserText();
    void calculatorCommandIsConstant_data();
    void calculatorCommandIsConstant();
};

void SecretsTest::initTestCase() {
    setUpTestApplication();
    Windows::registerFactory(WindowKind::Main, [] { return new MainWindow; });
    registerSheetWindow();
    registerSettingsWindow();
    registerLockWindows();
}

void SecretsTest::cleanup() {
    unloadAll();
}

void SecretsTest::ownerOnlyAfterEveryWrite_data() {
    QTest::addColumn<QString>("write");
    QTest::addColumn<bool>("widerBefore");
    for (const char* w : {"sheet close", "sheet auto-save", "coin name keystroke",
                          "settings window", "lock", "password change"}) {
        QTest::addRow("%s, new store", w) << QString::fromLatin1(w) << false;
        QTest::addRow("%s, 0644 file in a 0755 folder", w) << QString::fromLatin1(w) << true;
    }
}

void SecretsTest::ownerOnlyAfterEveryWrite() {
    QFETCH(QString, write);
    QFETCH(bool, widerBefore);
    FreshStore fresh;
    if (widerBefore) {
        writeBytes(fresh.file(), "[VELMORA-QUORIX]\nLOCK-PASSWORD=old secret\n");
        QVERIFY(::chmod(QFile::encodeName(fresh.file()).constData(), 0644) == 0);
        QVERIFY(::chmod(QFile::encodeName(fresh.folder()).constData(), 0755) == 0);
    }
    Windows::get<MainWindow>();
    if (write.startsWith(QLatin1String("sheet")) || write.startsWith(QLatin1String("coin"))) {
        auto* sheet = Windows::get<SheetWindow>();
        sheet->row(1).AMOUNT_IN_WALLET->setText(QStringLiteral("3"));
        if (write == QLatin1String("sheet close"))
            sheet->CLOSE_BUTTON_Click();
        else if (write == QLatin1String("sheet auto-save"))
            sheet->AUTOSAVE_TIMER_Timer();
        else
            QTest::keyClicks(sheet->CRYPTO_NAME_TEXTBOX, QStringLiteral("B"));
    } else if (write == QLatin1String("settings window")) {
        auto* settings = Windows::get<SettingsWindow>();
        settings->AUTOSAVE_TICKBOX->click();
    } else if (write == QLatin1String("lock")) {
        auto* lock = Windows::get<LockWindow>();
        lock->LOCK_BUTTON_Click(); // no password yet: locks and unlocks at once
    } else {
        auto* pw = Windows::get<PasswordWindow>();
        QTest::keyClicks(pw->ENTER_NEW_PASSWORD_TEXTBOX, QStringLiteral("new secret"));
        QTest::keyClicks(pw->RE_ENTER_NEW_PASSWORD_TEXTBOX, QStringLiteral("new secret"));
        pw->CHANGE_PASSWORD_BUTTON_Click();
        QVERIFY(Store::instance().read(keys::lockPassword) == QStringLiteral("new secret"));
    }
    settle();
    QVERIFY(Store::instance().healthy());
    QVERIFY(!Store::instance().hasPending());
    QVERIFY(QFileInfo(fresh.file()).size() > 0);
    QCOMPARE(QString::number(modeOf(fresh.folder()), 8), QStringLiteral("700"));
    QCOMPARE(QString::number(modeOf(fresh.file()), 8), QStringLiteral("600"));
    // Nothing else in the folder is readable by others either.
    for (const QFileInfo& f : QDir(fresh.folder()).entryInfoList(QDir::Files | QDir::Hidden))
        QVERIFY2((modeOf(f.filePath()) & 077) == 0, qPrintable(f.fileName()));
}

// The driver sets a password, locks and unlocks with it, with every Qt log
// category on; the real executable starts on a store that holds it. Neither
// prints it, on either stream.
void SecretsTest::passwordInNoOutput() {
    FreshStore fresh;
    const QString password = randomPassword();
    QProcess driver;
    driver.setProcessEnvironment(loudEnvironment());
    driver.start(QStringLiteral(DRIVER_PATH), {QStringLiteral("secrets"), password});
    QVERIFY(driver.waitForFinished(30000));
    const QByteArray out = driver.readAllStandardOutput();
    const QByteArray err = driver.readAllStandardError();
    QCOMPARE(driver.exitCode(), 0);
    QCOMPARE(out.trimmed(), QByteArray("ok"));
    // The logging was on: Qt's own categories spoke.
    QVERIFY2(err.contains("qt."), "no Qt log output: the rules did not take");
    QVERIFY2(!out.contains(password.toUtf8()) && !err.contains(password.toUtf8()),
             "the driver printed the password");
    QVERIFY(Store::instance().read(keys::lockPassword) == password);

    // The real executable, locked, on a store holding the password.
    Store::instance().write(keys::clientLocked, QStringLiteral("1"));
    QProcess app;
    app.setProcessEnvironment(loudEnvironment());
    app.start(QStringLiteral(APP_PATH), {});
    QVERIFY(app.waitForStarted(10000));
    QTest::qWait(1500);
    app.terminate();
    if (!app.waitForFinished(5000)) {
        app.kill();
        app.waitForFinished(5000);
    }
    const QByteArray appOut = app.readAllStandardOutput() + app.readAllStandardError();
    QVERIFY2(appOut.contains("qt."), "no Qt log output from the executable");
    QVERIFY2(!appOut.contains(password.toUtf8()), "the executable printed the password");
    qInfo("password absent from %lld bytes of driver output and %lld of the executable's",
          qint64(out.size() + err.size()), qint64(appOut.size()));
}

// Whatever is typed into the sheet, the calculator button asks the desktop
// for exactly the same start.
void SecretsTest::calculatorGetsNoUserText() {
    FreshStore fresh;
    auto* sheet = Windows::get<SheetWindow>();
    FakePlatform& fake = fakePlatform();
    fake.calls.clear();
    sheet->CALC_BUTTON_Click();
    for (TextBox* box : sheetFields(sheet)) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, QStringLiteral("; rm -rf ~ $(id) `id` | x"));
        box->setText(hostile + box->objectName());
    }
    sheet->CALC_BUTTON_Click();
    const QStringList constant{QStringLiteral("runas"), QStringLiteral("calc.exe"), QString(),
                               QString(), QStringLiteral("1")};
    QCOMPARE(int(fake.calls.size()), 2);
    for (const Call& c : fake.calls) {
        QCOMPARE(c.what, QStringLiteral("shell"));
        QCOMPARE(c.args, constant);
    }
}

void SecretsTest::calculatorCommandIsConstant_data() {
    QTest::addColumn<QString>("verb");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QStringList>("expected");
    const QStringList all{"gnome-calculator", "kcalc", "xcalc", "pkexec"};
    QTest::newRow("runas") << "runas"
                           << "calc.exe" << all
                           << QStringList{"/fake/bin/pkexec", "/fake/bin/gnome-calculator"};
    QTest::newRow("upper case") << "RUNAS"
                                << "CALC.EXE" << all
                                << QStringList{"/fake/bin/pkexec", "/fake/bin/gnome-calculator"};
    QTest::newRow("open") << "open"
                          << "calc.exe" << all << QStringList{"/fake/bin/gnome-calculator"};
    QTest::newRow("no pkexec") << "runas"
                               << "calc.exe" << QStringList{"xcalc"}
                               << QStringList{"/fake/bin/xcalc"};
    QTest::newRow("no calculator") << "runas"
                                   << "calc.exe" << QStringList{"pkexec"} << QStringList();
    QTest::newRow("user text as file") << "runas" << hostile << all << QStringList();
    QTest::newRow("calc.exe with arguments") << "runas"
                                             << "calc.exe --evil" << all << QStringList();
    QTest::newRow("path to calc.exe") << "runas"
                                      << "./calc.exe" << all << QStringList();
    QTest::newRow("user text as verb")
        << hostile << "calc.exe" << all << QStringList{"/fake/bin/gnome-calculator"};
}

// The command holds nothing but a calculator that was found and pkexec, and
// only fixed program names are ever looked up.
void SecretsTest::calculatorCommandIsConstant() {
    QFETCH(QString, verb);
    QFETCH(QString, file);
    QFETCH(QStringList, installed);
    QFETCH(QStringList, expected);
    QStringList asked;
    const QStringList cmd = calculatorCommand(verb, file, [&](const QString& name) {
        asked << name;
        return installed.contains(name) ? QStringLiteral("/fake/bin/") + name : QString();
    });
    QCOMPARE(cmd, expected);
    const QStringList known{"gnome-calculator", "kcalc", "galculator", "mate-calc",
                            "qalculate-gtk",    "xcalc", "pkexec"};
    for (const QString& name : asked)
        QVERIFY2(known.contains(name), qPrintable(name));
}

QTEST_MAIN(SecretsTest)
#include "tst_secrets.moc"
