#include "about/about_window.h"
#include "frame/credits.h"
#include "frame/twips.h"
#include "frame/windows.h"
#include "settings/store.h"
#include "tests/support/testing.h"

#include <QTest>

using namespace vq;

namespace {
// Twips pass through whole pixels: a place is right within one pixel.
bool near(double actual, double expected) {
    return qAbs(actual - expected) <= twips::perPixel;
}
QString stored(const keys::Key& key) {
    return Store::instance().read(key.name, QStringLiteral("<none>"));
}
const QString creator = QStringLiteral("Created By Tavrin88");
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

    // OK stores the place, the close box does not; the size is never written.
    void okStoresPositionCloseBoxDoesNot() {
        const auto& g = keys::aboutWindow;
        testing::seedStore({{g.left.name, "1500"}, {g.top.name, "1200"}});
        auto* w = Windows::get<AboutWindow>();
        for (bool viaOk : {false, true}) {
            w->setLeft(3000);
            w->setTop(2250);
            if (viaOk)
                testing::click(w, "OK_BUTTON");
            else
                w->close();
            QVERIFY(!Windows::find<AboutWindow>());
            QCOMPARE(
                (QStringList{stored(g.left), stored(g.top), stored(g.width), stored(g.height)}),
                (QStringList{viaOk ? "3000" : "1500", viaOk ? "2250" : "1200", "<none>",
                             "<none>"}));
            w = Windows::get<AboutWindow>();
            QVERIFY2(near(w->Left(), viaOk ? 3000 : 1500), qPrintable(QString::number(w->Left())));
            QVERIFY2(near(w->Top(), viaOk ? 2250 : 1200), qPrintable(QString::number(w->Top())));
        }
    }

    void creatorDoubleClickShowsAddress() {
        auto* w = Windows::get<AboutWindow>();
        w->showModeless();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        auto* label = testing::control<Label>(w, "VL_QUORIX_CREATOR");
        const QPoint mid = label->rect().center();
        QTest::mouseClick(label, Qt::LeftButton, {}, mid);
        QCOMPARE(label->text(), creator);
        const QString address = QString::fromLatin1(authorContact);
        QVERIFY(address.endsWith(QStringLiteral("@example.com")));
        for (int i = 0; i < 2; ++i) { // a second double click leaves the address
            QTest::mouseDClick(label, Qt::LeftButton, {}, mid);
            QCOMPARE(label->text(), address);
        }
        // A new instance starts from the name again; the address is never stored.
        testing::click(w, "OK_BUTTON");
        QCOMPARE(testing::control<Label>(Windows::get<AboutWindow>(), "VL_QUORIX_CREATOR")->text(),
                 creator);
        QVERIFY(!testing::storeFileContents().contains("example.com"));
    }
};

QTEST_MAIN(TestAboutWindow)
#include "test_about_window.moc"
