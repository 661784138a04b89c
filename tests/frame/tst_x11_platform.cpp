// The desktop calls on a real X server under a real window manager, which
// on_x11.sh starts: what the window manager answers, the recording double
// cannot show.
#include "frame/x11_platform.h"

#include <QProcess>
#include <QWidget>
#include <QtTest>

using namespace vq;

namespace {
QString windowId(WindowHandle w) {
    return QString::number(w);
}
bool above(WindowHandle w) {
    QProcess xprop;
    xprop.start("xprop", {"-id", windowId(w), "_NET_WM_STATE"});
    return xprop.waitForFinished() && xprop.readAll().contains("_NET_WM_STATE_ABOVE");
}
} // namespace

class X11PlatformTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Platform> desktop;

private slots:
    void initTestCase() {
        desktop = makeX11Platform();
        QVERIFY(desktop);
        // The window manager names itself before it manages windows: it is
        // ready once it has framed one.
        QWidget probe;
        probe.show();
        QTRY_VERIFY_WITH_TIMEOUT(probe.frameGeometry() != probe.geometry(), 20000);
    }

    // Announced before the window maps, the frame is the one it gets.
    void frameKnownBeforeMapping() {
        QWidget w;
        w.resize(200, 100);
        const auto announced = desktop->frameExtents(WindowHandle(w.winId()));
        QVERIFY(announced);
        w.show();
        QTRY_VERIFY(w.frameGeometry() != w.geometry());
        const QRect f = w.frameGeometry(), g = w.geometry();
        QCOMPARE(*announced, QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(),
                                      f.bottom() - g.bottom()));
    }

    // The switch reaches the window manager, also after the state changed
    // behind the tool's back; the foreground follows the focus.
    void topMostAndForeground() {
        QWidget a, b;
        a.show();
        QTRY_COMPARE(desktop->foregroundWindow(), WindowHandle(a.winId()));
        const auto h = WindowHandle(a.winId());
        // With states of others listed, as window managers add their own;
        // Qt still learns of them.
        QProcess::execute("wmctrl",
                          {"-i", "-r", windowId(h), "-b", "add,maximized_vert,maximized_horz"});
        QTRY_VERIFY(a.isMaximized());
        desktop->setTopMost(h, true);
        QTRY_VERIFY(above(h));
        desktop->setTopMost(h, true); // already so: only notes it
        // As from the window manager's menu, behind the tool's back.
        QProcess::execute("wmctrl", {"-i", "-r", windowId(h), "-b", "remove,above"});
        QTRY_VERIFY(!above(h));
        QTest::qWait(100); // the property's change reaches the tool
        desktop->setTopMost(h, true);
        QTRY_VERIFY(above(h));
        desktop->setTopMost(h, false);
        QTRY_VERIFY(!above(h));
        b.show();
        QTRY_COMPARE(desktop->foregroundWindow(), WindowHandle(b.winId()));
    }
};

QTEST_MAIN(X11PlatformTest)
#include "tst_x11_platform.moc"
