// What every window looks like: each is drawn offscreen from a seeded store
// and compared with a reviewed picture in looks/, so that a control moved,
// resized, recoloured or recaptioned shows, and so does a built-in picture
// missing from the program's link (the padlock). After an intended change of look,
// review the new pictures and keep them:
//   VQ_UPDATE_LOOKS=1 ctest --test-dir build -R tst_looks
#include "app/all_windows.h"
#include "frame/controls.h"
#include "frame/windows.h"
#include "tests/support/testing.h"

#include <QLabel>
#include <QtTest>

using namespace vq;

namespace {

// Pixels may differ by this much in any channel (font smoothing), and this
// many pixels may differ by more.
constexpr int channelTolerance = 8;
constexpr int strayPixels = 12;

QString compare(const QImage& got, const QImage& want) {
    if (got.size() != want.size())
        return QStringLiteral("size %1x%2, reviewed %3x%4")
            .arg(got.width())
            .arg(got.height())
            .arg(want.width())
            .arg(want.height());
    int off = 0;
    for (int y = 0; y < got.height(); ++y)
        for (int x = 0; x < got.width(); ++x) {
            const QRgb a = got.pixel(x, y), b = want.pixel(x, y);
            if (qAbs(qRed(a) - qRed(b)) > channelTolerance ||
                qAbs(qGreen(a) - qGreen(b)) > channelTolerance ||
                qAbs(qBlue(a) - qBlue(b)) > channelTolerance)
                ++off;
        }
    return off > strayPixels ? QStringLiteral("%1 pixels differ").arg(off) : QString();
}

} // namespace

class TestLooks : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        testing::setUpTestApplication();
        registerAllWindows();
    }
    void cleanup() { testing::unloadAll(); }

    void looksAsReviewed_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("locked");
        QTest::newRow("main") << int(WindowKind::Main) << false;
        QTest::newRow("sheet") << int(WindowKind::Sheet) << false;
        QTest::newRow("settings") << int(WindowKind::Settings) << false;
        QTest::newRow("lock") << int(WindowKind::Lock) << false;
        QTest::newRow("lock-locked") << int(WindowKind::Lock) << true;
        QTest::newRow("password") << int(WindowKind::Password) << false;
        QTest::newRow("about") << int(WindowKind::About) << false;
    }
    void looksAsReviewed() {
        QFETCH(int, kind);
        QFETCH(bool, locked);
        testing::useFreshStore();
        testing::seedStore({{"CRYPTO_NAME", "BTC"},
                            {"EXCHANGE_RATE_TEXTBOX", "0.79"},
                            {"CLIENT_LOCKED", locked ? "1" : "0"},
                            {"WALLET_NAME_TEXTBOX_1", "Ledger"},
                            {"AMOUNT_IN_WALLET_1", "0.5"},
                            {"CURRENT_DOLLAR_VALUATION_1", "97250.5"},
                            {"AUTOMATIC_CALCULATIONS_TICKBOX_1", "1"},
                            {"WALLET_NAME_TEXTBOX_2", "Paper"},
                            {"AMOUNT_IN_WALLET_2", "0"},
                            {"AUTOMATIC_CALCULATIONS_TICKBOX_2", "1"},
                            {"AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL", "1"}});
        Windows::get(WindowKind::Main);
        Form* w = Windows::get(WindowKind(kind));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        // One tick of every timer, so that valued rows show their results.
        for (auto* t : w->findChildren<Timer*>())
            if (t->isEnabled() && t->objectName() != QLatin1String("AlwaysOnTopTimer"))
                emit t->tick();
        // The clock would make every picture of the sheet differ.
        for (auto* panel : w->findChildren<QLabel*>(QRegularExpression("^(DATE|TIME)_PANEL$")))
            panel->setText(QStringLiteral("--"));
        const QImage got = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QString file =
            QStringLiteral(LOOKS_DIR "/%1.png").arg(QString::fromLatin1(QTest::currentDataTag()));
        if (qEnvironmentVariableIsSet("VQ_UPDATE_LOOKS")) {
            QVERIFY(got.save(file));
            QSKIP("picture written for review");
        }
        const QImage want(file);
        QVERIFY2(!want.isNull(), qPrintable("no reviewed picture " + file));
        const QString difference = compare(got, want.convertToFormat(QImage::Format_RGB32));
        if (!difference.isEmpty())
            got.save(QDir::temp().filePath(QFileInfo(file).fileName()));
        QVERIFY2(difference.isEmpty(),
                 qPrintable(difference + "; this run's picture is in " + QDir::tempPath()));
    }
};

QTEST_MAIN(TestLooks)
#include "tst_looks.moc"
