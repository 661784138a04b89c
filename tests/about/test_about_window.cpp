#include "about/about_window.h"
#include "frame/twips.h"
#include "frame/windows.h"
#include "settings/store.h"
#include "tests/support/testing.h"

#include <QTest>

using namespace vq;

using Seed = QMap<QString, QString>;

namespace {
// Twips pass through whole pixels: a place is right within one pixel.
bool near(double actual, double expected) {
    return qAbs(actual - expected) <= twips::perPixel;
}
QString stored(const keys::Key& key) {
    return Store::instance().read(key.name, QStringLiteral("<none>"));
}
} // namespace

class TestAboutWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        testing::setUpTestApplication();
        registerAboutWindow();
    }
    void init() { testing::useFreshStore(); }
    void cleanup() { testing::unloadAll(); }

    void geometryOnLoad_data() {
        QTest::addColumn<Seed>("seed");
        QTest::addColumn<QList<double>>("expected"); // left, top, width, height
        const auto& g = keys::aboutWindow;
        QTest::newRow("empty store") << Seed{} << QList<double>{1000, 1000, 4860, 3645};
        QTest::newRow("stored place") << Seed{{g.left.name, "2400"}, {g.top.name, "1800"}}
                                      << QList<double>{2400, 1800, 4860, 3645};
        QTest::newRow("size stored from outside")
            << Seed{{g.width.name, "6000"}, {g.height.name, "4500"}}
            << QList<double>{1000, 1000, 6000, 4500};
        QTest::newRow("garbage falls back") << Seed{{g.left.name, "left"},
                                                    {g.top.name, ""},
                                                    {g.width.name, "1e99"},
                                                    {g.height.name, "12,,5"}}
                                            << QList<double>{1000, 1000, 4860, 3645};
    }
    void geometryOnLoad() {
        QFETCH(Seed, seed);
        QFETCH(QList<double>, expected);
        testing::seedStore(seed);
        auto* w = Windows::get<AboutWindow>();
        QVERIFY(w);
        QVERIFY2(near(w->Left(), expected[0]), qPrintable(QString::number(w->Left())));
        QVERIFY2(near(w->Top(), expected[1]), qPrintable(QString::number(w->Top())));
        QVERIFY2(near(w->Width(), expected[2]), qPrintable(QString::number(w->Width())));
        QVERIFY2(near(w->Height(), expected[3]), qPrintable(QString::number(w->Height())));
        QCOMPARE(w->VL_QUORIX_CREATOR->text(), QStringLiteral("Created By Tavrin88"));
    }

    void okStoresPositionCloseBoxDoesNot() {
        const auto& g = keys::aboutWindow;
        testing::seedStore({{g.left.name, "1500"}, {g.top.name, "1200"}});

        auto* w = Windows::get<AboutWindow>();
        w->setLeft(3000);
        w->setTop(2250);
        w->close(); // the close box
        QVERIFY(!Windows::find<AboutWindow>());
        QCOMPARE(stored(g.left), QStringLiteral("1500"));
        QCOMPARE(stored(g.top), QStringLiteral("1200"));

        w = Windows::get<AboutWindow>();
        QVERIFY2(near(w->Left(), 1500), qPrintable(QString::number(w->Left())));
        w->setLeft(3000);
        w->setTop(2250);
        w->OK_BUTTON->click();
        QVERIFY(!Windows::find<AboutWindow>());
        QCOMPARE(stored(g.left), QStringLiteral("3000"));
        QCOMPARE(stored(g.top), QStringLiteral("2250"));
        QCOMPARE(stored(g.width), QStringLiteral("<none>"));
        QCOMPARE(stored(g.height), QStringLiteral("<none>"));

        w = Windows::get<AboutWindow>();
        QVERIFY2(near(w->Left(), 3000), qPrintable(QString::number(w->Left())));
        QVERIFY2(near(w->Top(), 2250), qPrintable(QString::number(w->Top())));
    }

    void creatorDoubleClickShowsAddress() {
        auto* w = Windows::get<AboutWindow>();
        w->showModeless();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->focusWidget(), w->OK_BUTTON);

        const QPoint mid = w->VL_QUORIX_CREATOR->rect().center();
        QTest::mouseClick(w->VL_QUORIX_CREATOR, Qt::LeftButton, {}, mid);
        QCOMPARE(w->VL_QUORIX_CREATOR->text(), QStringLiteral("Created By Tavrin88"));
        QTest::mouseDClick(w->VL_QUORIX_CREATOR, Qt::LeftButton, {}, mid);
        QCOMPARE(w->VL_QUORIX_CREATOR->text(), AboutWindow::contactAddress);
        QTest::mouseDClick(w->VL_QUORIX_CREATOR, Qt::LeftButton, {}, mid);
        QCOMPARE(w->VL_QUORIX_CREATOR->text(), AboutWindow::contactAddress);
        QVERIFY(AboutWindow::contactAddress.endsWith(QStringLiteral("@example.com")));
        QVERIFY(!testing::storeFileContents().contains("example.com"));

        // A new instance starts from the name again.
        w->OK_BUTTON->click();
        QCOMPARE(Windows::get<AboutWindow>()->VL_QUORIX_CREATOR->text(),
                 QStringLiteral("Created By Tavrin88"));
        QVERIFY(!testing::storeFileContents().contains("example.com"));
    }
};

QTEST_MAIN(TestAboutWindow)
#include "test_about_window.moc"
