// The desktop calls on a real X server under a real window manager, which
// on_x11.sh starts: what the window manager answers, the recording double
// cannot show.
#include "frame/x11_platform.h"

#include <QProcess>
#include <QThread>
#include <QWidget>
#include <QtTest>

#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <functional>

using namespace vq;

namespace {
QString windowId(WindowHandle w) {
    return QString::number(w);
}
// A property of the window, or with "-root" the foreground window.
QByteArray readProperty(WindowHandle w, const QString& name) {
    QProcess xprop;
    xprop.start("xprop", name == "-root" ? QStringList{"-root", "_NET_ACTIVE_WINDOW"}
                                         : QStringList{"-id", windowId(w), name});
    return xprop.waitForFinished() ? xprop.readAll() : QByteArray();
}
bool above(WindowHandle w) {
    return readProperty(w, "_NET_WM_STATE").contains("_NET_WM_STATE_ABOVE");
}
// Waits without turning Qt's event loop, which would send what the tool left
// unsent in its connection's buffer.
bool becomes(const std::function<bool()>& condition) {
    for (int i = 0; i < 250 && !condition(); ++i)
        QThread::msleep(20);
    return condition();
}
// A frame as the window manager would announce it, set by another client.
void announceFrame(WindowHandle w, const QString& leftRightTopBottom) {
    QProcess::execute("xprop", {"-id", windowId(w), "-f", "_NET_FRAME_EXTENTS", "32c", "-set",
                                "_NET_FRAME_EXTENTS", leftRightTopBottom});
    QTRY_VERIFY(readProperty(w, "_NET_FRAME_EXTENTS").contains(leftRightTopBottom.toLatin1()));
}
} // namespace

class X11PlatformTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Platform> desktop;

private slots:
    void initTestCase() {
        // Qt watches the root window's properties today; the cache of the
        // foreground window must not rely on it.
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        xcb_connection_t* c = x11->connection();
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        auto* attrs =
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, root), nullptr);
        QVERIFY(attrs);
        const uint32_t mask = attrs->your_event_mask & ~uint32_t(XCB_EVENT_MASK_PROPERTY_CHANGE);
        std::free(attrs);
        xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
        // The window manager names itself before it manages windows: it is
        // ready once it has framed one.
        QWidget probe;
        probe.show();
        QTRY_VERIFY_WITH_TIMEOUT(probe.frameGeometry() != probe.geometry(), 20000);
        const auto h = WindowHandle(probe.winId());
        QTRY_VERIFY(readProperty(root, "-root").contains(" 0x" + QByteArray::number(h, 16)));
        // What was in the foreground before the tool asked is known too.
        desktop = makeX11Platform();
        QVERIFY(desktop);
        QCOMPARE(desktop->foregroundWindow(), h);
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

    // A frame already announced is read as it stands, stored left, right,
    // top, bottom; one too wide to be a frame is asked for anew.
    void frameAnnouncedEarlier() {
        QWidget w, v;
        const auto h = WindowHandle(w.winId()), g = WindowHandle(v.winId());
        announceFrame(h, "1, 2, 3, 999");
        QCOMPARE(desktop->frameExtents(h), QMargins(1, 3, 2, 999));
        announceFrame(g, "1000, 0, 0, 0");
        const auto asked = desktop->frameExtents(g);
        QVERIFY(asked && asked->left() < 1000);
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
        QVERIFY(becomes([&] { return above(h); })); // sent at once
        // Already so: nothing is sent, where the window manager would rewrite
        // the state and wake every client that watches it.
        QProcess spy;
        spy.start("xprop", {"-spy", "-id", windowId(h), "_NET_WM_STATE"});
        QTRY_VERIFY(spy.canReadLine());
        QTest::qWait(300);
        spy.readAll(); // the state as it stands, and any late change from before
        desktop->setTopMost(h, true);
        QTest::qWait(300);
        QCOMPARE(spy.readAll(), QByteArray());
        spy.kill();
        spy.waitForFinished();
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
