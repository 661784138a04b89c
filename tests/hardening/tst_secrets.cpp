// The store holds the lock password in plain text, so only its owner may read
// it: folder 0700 and file 0600 after every kind of write. The password shows in
// no output of the tool, even with every Qt log category on, and the calculator
// button hands nothing typed to another program.
#include "app/all_windows.h"
#include "frame/controls.h"
#include "frame/platform.h"
#include "frame/windows.h"
#include "settings/store.h"
#include "tests/settings/store_test_util.h"
#include "tests/support/testing.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace vq;
using namespace vq::testing;

namespace {

// Shell syntax, a path, an option: anything a careless start would pass on.
const QString hostile = QStringLiteral("; rm -rf ~ $(id) `id` | calc.exe --help \"x\" '\n");

// Runs a program with every Qt log category on; returns all it printed.
QByteArray loudRun(const QString& program, const QStringList& args, int& exitCode) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QT_LOGGING_RULES", "*=true");
    env.insert("QT_DEBUG_PLUGINS", "1");
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(30000)) {
        p.terminate();
        if (!p.waitForFinished(5000))
            p.kill();
        p.waitForFinished(5000);
    }
    exitCode = p.exitCode();
    return p.readAllStandardOutput() + "\n<stderr>\n" + p.readAllStandardError();
}

} // namespace

class SecretsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        setUpTestApplication();
        registerAllWindows();
    }
    void cleanup() { unloadAll(); }

    // Widening before the write is the settings tests' business; here every
    // kind of write the windows make, on a new store.
    void ownerOnlyAfterEveryWrite_data() {
        QTest::addColumn<QString>("write");
        for (const char* w : {"sheet close", "sheet auto-save", "coin name keystroke",
                              "settings window", "lock", "password change"})
            QTest::newRow(w) << QString::fromLatin1(w);
    }
    void ownerOnlyAfterEveryWrite() {
        QFETCH(QString, write);
        FreshStore fresh;
        Windows::get(WindowKind::Main);
        if (write.startsWith("sheet") || write.startsWith("coin")) {
            Form* sheet = Windows::get(WindowKind::Sheet);
            control<TextBox>(sheet, "AMOUNT_IN_WALLET_1")->setText("3");
            if (write == "sheet close")
                click(sheet, "CLOSE_BUTTON");
            else if (write == "sheet auto-save")
                fire(sheet, "AUTOSAVE_TIMER");
            else
                QTest::keyClicks(control<TextBox>(sheet, "CRYPTO_NAME_TEXTBOX"), "B");
        } else if (write == "settings window") {
            click(Windows::get(WindowKind::Settings), "AUTOSAVE_TICKBOX");
        } else if (write == "lock") {
            // No password: locks and unlocks.
            click(Windows::get(WindowKind::Lock), "LOCK_BUTTON");
        } else {
            Form* pw = Windows::get(WindowKind::Password);
            QTest::keyClicks(control<TextBox>(pw, "ENTER_NEW_PASSWORD_TEXTBOX"), "new secret");
            QTest::keyClicks(control<TextBox>(pw, "RE_ENTER_NEW_PASSWORD_TEXTBOX"), "new secret");
            click(pw, "CHANGE_PASSWORD_BUTTON");
            QVERIFY(Store::instance().read(keys::lockPassword) == QStringLiteral("new secret"));
        }
        unloadAll();
        QVERIFY(Store::instance().healthy() && !Store::instance().hasPending());
        QVERIFY(QFileInfo(fresh.file()).size() > 0);
        QCOMPARE(modeOf(fresh.folder()), 0700);
        // The file and anything else in the folder: owner-only.
        for (const QFileInfo& f : QDir(fresh.folder()).entryInfoList(QDir::Files | QDir::Hidden))
            QVERIFY2(modeOf(f.filePath()) == 0600, qPrintable(f.fileName()));
    }

    // The driver sets a password, locks and unlocks with it; the real executable
    // starts locked on a store that holds it. Neither prints it on either stream.
    void passwordInNoOutput() {
        FreshStore fresh;
        const QString password = QStringLiteral("Pw%1x%2")
                                     .arg(QRandomGenerator::global()->generate64(), 0, 36)
                                     .arg(QRandomGenerator::global()->generate(), 0, 36);
        int code = -1;
        const QByteArray out = loudRun(DRIVER_PATH, {"secrets", password}, code);
        QCOMPARE(code, 0);
        QCOMPARE(out.left(out.indexOf("<stderr>")).trimmed(), QByteArray("ok"));
        QVERIFY2(out.contains("qt."), "no Qt log output: the rules did not take");
        QVERIFY2(!out.contains(password.toUtf8()), "the driver printed the password");
        QVERIFY(Store::instance().read(keys::lockPassword) == password);
    }

    // Whatever is typed into the sheet, the calculator button asks the desktop
    // for the calculator and nothing else.
    void calculatorGetsNoUserText() {
        FreshStore fresh;
        Form* s = Windows::get(WindowKind::Sheet);
        // Every field a user can type in.
        for (TextBox* box : s->findChildren<TextBox*>())
            if (!box->isReadOnly())
                box->setText(hostile + box->objectName());
        fakePlatform().calls.clear();
        click(s, "CALC_BUTTON");
        QCOMPARE(int(fakePlatform().calls.size()), 1);
        QCOMPARE(fakePlatform().calls[0].what, QStringLiteral("calculator"));
        QCOMPARE(fakePlatform().calls[0].args, QStringList{"elevated"});
    }

    void calculatorCommandIsConstant_data() {
        QTest::addColumn<bool>("elevated");
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QStringList>("expected");
        const QStringList all{"gnome-calculator", "kcalc", "xcalc", "pkexec"};
        // clang-format off
        QTest::newRow("elevated") << true << all << QStringList{"/fake/bin/pkexec", "/fake/bin/gnome-calculator"};
        QTest::newRow("plain") << false << all << QStringList{"/fake/bin/gnome-calculator"};
        QTest::newRow("no pkexec") << true << QStringList{"xcalc"} << QStringList{"/fake/bin/xcalc"};
        QTest::newRow("no calculator") << true << QStringList{"pkexec"} << QStringList{};
        // clang-format on
    }
    // The command holds nothing but a calculator that was found and pkexec, and
    // only fixed program names are ever looked up.
    void calculatorCommandIsConstant() {
        QFETCH(bool, elevated);
        QFETCH(QStringList, installed);
        QFETCH(QStringList, expected);
        QStringList asked;
        const auto which = [&](const QString& name) {
            asked << name;
            return installed.contains(name) ? "/fake/bin/" + name : QString();
        };
        QCOMPARE(calculatorCommand(elevated, which), expected);
        const QStringList known{"gnome-calculator", "kcalc", "galculator", "mate-calc",
                                "qalculate-gtk",    "xcalc", "pkexec"};
        for (const QString& name : asked)
            QVERIFY2(known.contains(name), qPrintable(name));
    }
};

QTEST_MAIN(SecretsTest)
#include "tst_secrets.moc"
