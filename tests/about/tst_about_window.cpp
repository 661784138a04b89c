// The about window: only OK remembers the place, and a double click on the
// creator's name shows the address for this opening only.
#include "about/about_window.h"
#include "frame/credits.h"
#include "tests/support/testing.h"

using namespace vq;
using namespace vq::testing;

class TestAboutWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpTestApplication(registerAboutWindow); }
    void cleanup() { unloadAll(); }

    void okStoresPlaceCreatorShowsAddress() {
        useFreshStore();
        seedStore({{keys::aboutWindow.left.name, "1500"}});
        for (bool viaOk : {false, true}) {
            auto* w = Windows::get<AboutWindow>();
            auto* creator = control<Label>(w, "VL_QUORIX_CREATOR");
            QCOMPARE(creator->text(), QString("Created By Tavrin88"));
            QTest::mouseDClick(creator, Qt::LeftButton);
            QCOMPARE(creator->text(), QString::fromLatin1(authorContact));
            w->setLeft(3000);
            viaOk ? click(w, "OK_BUTTON") : void(w->close());
            QCOMPARE(stored(keys::aboutWindow.left) + stored(keys::aboutWindow.width),
                     QString(viaOk ? "3000" : "1500") + "<none>");
        }
    }
};

QTEST_MAIN(TestAboutWindow)
#include "tst_about_window.moc"
