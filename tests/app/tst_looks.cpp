// Every window drawn offscreen from a seeded store and compared with a
// reviewed picture in looks/: a control moved, resized, recoloured or
// recaptioned shows, and so does a built-in picture missing from the link.
// Each Qt minor release draws text a little differently, so each has its own
// set, looks/<major>.<minor>/. After an intended change of look, review the
// new pictures of the Qt at hand and keep them:
//   VQ_UPDATE_LOOKS=1 ctest --test-dir build -R tst_looks
#include "tests/support/testing.h"

#include <QLibraryInfo>
#include <QStatusBar>

using namespace vq;

// Of the running Qt, not the one built against: an update may bring a newer one.
static QString looksDir() {
    const QVersionNumber qt = QLibraryInfo::version();
    return QStringLiteral(LOOKS_DIR "/%1.%2").arg(qt.majorVersion()).arg(qt.minorVersion());
}

// The window of the row's kind, shown from a store seeded with valued rows.
static Form* shownWindow() {
    QFETCH(int, kind);
    const bool locked = QTest::currentDataTag() == QByteArray("lock-locked");
    testing::useFreshStore();
    for (const QString& kv :
         QString("CRYPTO_NAME=BTC EXCHANGE_RATE_TEXTBOX=0.79 WALLET_NAME_TEXTBOX_1=Ledger "
                 "AMOUNT_IN_WALLET_1=0.5 CURRENT_DOLLAR_VALUATION_1=97250.5 "
                 "AUTOMATIC_CALCULATIONS_TICKBOX_1=1 WALLET_NAME_TEXTBOX_2=Paper "
                 "AMOUNT_IN_WALLET_2=0 AUTOMATIC_CALCULATIONS_TICKBOX_2=1 "
                 "AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL=1")
             .split(' '))
        testing::seedStore({{kv.section('=', 0, 0), kv.section('=', 1)}});
    testing::seedStore({{"CLIENT_LOCKED", locked ? "1" : "0"}});
    Windows::get(WindowKind::Main);
    Form* w = Windows::get(WindowKind(kind));
    w->show();
    return QTest::qWaitForWindowExposed(w) ? w : nullptr;
}

class TestLooks : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testing::setUpTestApplication(registerAllWindows); }
    void cleanup() { testing::unloadAll(); }

    void looksAsReviewed_data() {
        QTest::addColumn<int>("kind");
        int kind = 0; // WindowKind's order
        for (const char* tag : {"main", "sheet", "settings", "lock", "password", "about"})
            QTest::newRow(tag) << kind++;
        QTest::newRow("lock-locked") << int(WindowKind::Lock);
    }
    void looksAsReviewed() {
        Form* w = shownWindow();
        QVERIFY(w);
        // One tick of every timer, so that valued rows show their results.
        for (auto* t : w->findChildren<Timer*>())
            if (t->isEnabled() && t->objectName() != QLatin1String("AlwaysOnTopTimer"))
                emit t->tick();
        // The clock would make every picture of the sheet differ.
        for (auto* panel : w->findChildren<QLabel*>(QRegularExpression("^(DATE|TIME)_PANEL$")))
            panel->setText(QStringLiteral("--"));
        const QImage got = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QString file = looksDir() + QStringLiteral("/%1.png").arg(
                                              QString::fromLatin1(QTest::currentDataTag()));
        if (qEnvironmentVariableIsSet("VQ_UPDATE_LOOKS")) {
            QVERIFY(QDir().mkpath(looksDir()) && got.save(file));
            QSKIP("picture written for review");
        }
        QVERIFY2(QFileInfo::exists(file), "no reviewed pictures for this Qt: VQ_UPDATE_LOOKS=1 "
                                          "makes them, to be reviewed");
        const QImage want = QImage(file).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(got.size(), want.size());
        // Font smoothing may move a channel by 8 in a few pixels; a dozen may differ more.
        int off = 0;
        for (int y = 0; y < got.height(); ++y)
            for (int x = 0; x < got.width(); ++x) {
                const QRgb a = got.pixel(x, y), b = want.pixel(x, y);
                off += qAbs(qRed(a) - qRed(b)) > 8 || qAbs(qGreen(a) - qGreen(b)) > 8 ||
                       qAbs(qBlue(a) - qBlue(b)) > 8;
            }
        if (off > 12)
            got.save(QDir::temp().filePath(QFileInfo(file).fileName()));
        QVERIFY2(off <= 12,
                 qPrintable(QString("%1 pixels differ; see %2").arg(off).arg(QDir::tempPath())));
    }

    // After load under openbox's thin frame and metacity's tall title bar
    // (both drawn in device pixels, so thinner in Qt's at a higher
    // QT_SCALE_FACTOR), every control shows whole or, where the design covers
    // it, not at all: the window leaves room for its controls, and nothing
    // covered peeks out.
    void controlsWholeOrCovered_data() { looksAsReviewed_data(); }
    void controlsWholeOrCovered() {
        for (const QMargins frame : {QMargins(1, 22, 1, 1), QMargins(0, 35, 0, 0)}) {
            testing::fakePlatform().frame = frame;
            Form* w = shownWindow();
            testing::fakePlatform().frame.reset();
            QVERIFY(w);
            if (w->frameGeometry() != w->geometry())
                QSKIP("the platform frames windows itself: offscreen:configfile=frameless.json");
            QRegion open(w->rect());
            for (const QWidget* bar : w->findChildren<QStatusBar*>())
                open -= bar->geometry();
            for (const QWidget* c : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                const QRegion seen = open.intersected(c->geometry());
                QVERIFY2(!c->isVisible() || qobject_cast<const QStatusBar*>(c) || seen.isEmpty() ||
                             seen == QRegion(c->geometry()),
                         qPrintable(QString("%1 under a frame %2 px high")
                                        .arg(c->objectName())
                                        .arg(frame.top())));
            }
            testing::unloadAll();
        }
    }
};

QTEST_MAIN(TestLooks)
#include "tst_looks.moc"
