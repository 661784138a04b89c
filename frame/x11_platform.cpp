#include "frame/x11_platform.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QHash>

#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace vq {

namespace {

// The always-on-top timer asks for the foreground window and re-asserts the
// stacking once a second. Asked of the server every time, that is a round
// trip plus two window-manager requests whose property changes come back as
// events: several wake-ups a second for nothing. So the answers are cached
// and dropped when the server reports the property behind them changed, and
// requests that would change nothing on the tool's own windows are not sent.
class X11Platform : public Platform, public QAbstractNativeEventFilter {
public:
    explicit X11Platform(xcb_connection_t* c) : c_(c) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
        activeWindow_ = atom("_NET_ACTIVE_WINDOW");
        wmState_ = atom("_NET_WM_STATE");
        above_ = atom("_NET_WM_STATE_ABOVE");
        supported_ = atom("_NET_SUPPORTED");
        frameExtents_ = atom("_NET_FRAME_EXTENTS");
        requestFrameExtents_ = atom("_NET_REQUEST_FRAME_EXTENTS");
        // The cache of the active window relies on the root's property
        // changes reaching this connection; add them to Qt's own mask.
        auto cookie = xcb_get_window_attributes(c_, root_);
        if (auto* attrs = xcb_get_window_attributes_reply(c_, cookie, nullptr)) {
            const uint32_t mask = attrs->your_event_mask | XCB_EVENT_MASK_PROPERTY_CHANGE;
            if (mask != attrs->your_event_mask)
                xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, &mask);
            std::free(attrs);
        }
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~X11Platform() override {
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(this);
        if (watch_)
            xcb_disconnect(watch_);
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t")
            return false;
        auto* e = static_cast<xcb_generic_event_t*>(message);
        if ((e->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            return false;
        auto* p = reinterpret_cast<xcb_property_notify_event_t*>(e);
        if (p->window == root_ && p->atom == activeWindow_)
            activeKnown_ = false;
        else if (p->atom == wmState_)
            aboveKnown_.remove(p->window);
        return false;
    }

    WindowHandle foregroundWindow() override {
        if (activeKnown_)
            return active_;
        auto cookie = xcb_get_property(c_, 0, root_, activeWindow_, XCB_ATOM_WINDOW, 0, 1);
        xcb_get_property_reply_t* reply = xcb_get_property_reply(c_, cookie, nullptr);
        WindowHandle h = 0;
        if (reply && xcb_get_property_value_length(reply) >= int(sizeof(xcb_window_t)))
            h = *static_cast<xcb_window_t*>(xcb_get_property_value(reply));
        std::free(reply);
        active_ = h;
        activeKnown_ = reply != nullptr;
        return h;
    }

    void setTopMost(WindowHandle h, bool topMost) override {
        if (!h)
            return;
        const xcb_window_t w = xcb_window_t(h);
        // Only the tool's own windows report their state changes here, so only
        // theirs can be trusted from the cache.
        const bool own = ownWindow(h) != nullptr;
        if (own && isAbove(w) == topMost)
            return;
        // The window manager owns the stacking of mapped windows: ask it, as
        // the EWMH says, with a client message to the root window.
        xcb_client_message_event_t ev{};
        ev.response_type = XCB_CLIENT_MESSAGE;
        ev.format = 32;
        ev.window = w;
        ev.type = wmState_;
        ev.data.data32[0] = topMost ? 1 : 0; // _NET_WM_STATE_ADD / _REMOVE
        ev.data.data32[1] = above_;
        ev.data.data32[2] = 0;
        ev.data.data32[3] = 1; // a normal application
        xcb_send_event(c_, 0, root_,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&ev));
        xcb_flush(c_);
        // Read back next time: the window manager may refuse.
        aboveKnown_.remove(w);
    }

    // The EWMH way: a window manager that supports _NET_REQUEST_FRAME_EXTENTS
    // answers by setting _NET_FRAME_EXTENTS on the still unmapped window.
    std::optional<QMargins> frameExtents(WindowHandle h) override {
        const xcb_window_t w = xcb_window_t(h);
        if (!w)
            return std::nullopt;
        if (auto known = readFrameExtents(c_, w)) // framed before, or asked already
            return known;
        if (wmSilent_ || !wmSupports(requestFrameExtents_) || !watchConnection())
            return std::nullopt;
        // The answer is awaited on a connection of the tool's own: waiting on
        // Qt's would mean running its event loop in the middle of a show.
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        const auto select = xcb_change_window_attributes(watch_, w, XCB_CW_EVENT_MASK, &mask);
        xcb_client_message_event_t ev{};
        ev.response_type = XCB_CLIENT_MESSAGE;
        ev.format = 32;
        ev.window = w;
        ev.type = requestFrameExtents_;
        xcb_send_event(watch_, 0, root_,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&ev));
        xcb_flush(watch_);
        const Answer answer = awaitProperty(w, frameExtents_, select.sequence);
        const uint32_t none = XCB_EVENT_MASK_NO_EVENT;
        xcb_change_window_attributes(watch_, w, XCB_CW_EVENT_MASK, &none);
        xcb_flush(watch_);
        // A window manager that claims support but does not answer would
        // delay every window's opening: ask it no more.
        if (answer == Answer::TimedOut)
            wmSilent_ = true;
        return answer == Answer::Set ? readFrameExtents(watch_, w) : std::nullopt;
    }

private:
    // Long enough for a busy window manager, short enough not to be seen.
    static constexpr std::chrono::milliseconds frameAnswerTimeout{150};
    // In 32-bit units, as the server counts a property's length: all of it.
    static constexpr uint32_t wholeProperty = UINT32_MAX;

    xcb_atom_t atom(const char* name) {
        auto cookie = xcb_intern_atom(c_, 0, uint16_t(strlen(name)), name);
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c_, cookie, nullptr);
        const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return a;
    }

    // Whether the window's list-of-atoms property holds the atom; nothing
    // when it cannot be read.
    std::optional<bool> listsAtom(xcb_window_t w, xcb_atom_t property, xcb_atom_t wanted) {
        auto cookie = xcb_get_property(c_, 0, w, property, XCB_ATOM_ATOM, 0, wholeProperty);
        xcb_get_property_reply_t* reply = xcb_get_property_reply(c_, cookie, nullptr);
        if (!reply)
            return std::nullopt;
        const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        // value_len counts items of the property's own format, which another
        // client may have set wrong.
        const uint32_t n = reply->format == 32 ? reply->value_len : 0;
        const bool found = std::find(atoms, atoms + n, wanted) != atoms + n;
        std::free(reply);
        return found;
    }

    bool isAbove(xcb_window_t w) {
        auto it = aboveKnown_.constFind(w);
        if (it != aboveKnown_.constEnd())
            return *it;
        const std::optional<bool> above = listsAtom(w, wmState_, above_);
        if (above)
            aboveKnown_.insert(w, *above);
        return above.value_or(false);
    }

    bool wmSupports(xcb_atom_t a) { return listsAtom(root_, supported_, a).value_or(false); }

    std::optional<QMargins> readFrameExtents(xcb_connection_t* c, xcb_window_t w) {
        constexpr uint32_t sides = 4;
        auto cookie = xcb_get_property(c, 0, w, frameExtents_, XCB_ATOM_CARDINAL, 0, sides);
        xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
        std::optional<QMargins> m;
        if (reply && reply->format == 32 && reply->value_len == sides) {
            const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(reply));
            // Stored as left, right, top, bottom; a frame is never this wide.
            if (std::all_of(v, v + sides, [](uint32_t x) { return x < 1000; }))
                m = QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3]));
        }
        std::free(reply);
        return m;
    }

    xcb_connection_t* watchConnection() {
        if (!watch_) {
            watch_ = xcb_connect(nullptr, nullptr);
            // Another server than Qt's (started with -display) would watch
            // the wrong windows.
            if (!xcb_connection_has_error(watch_) &&
                xcb_setup_roots_iterator(xcb_get_setup(watch_)).data->root != root_)
                wmSilent_ = true;
        }
        if (xcb_connection_has_error(watch_))
            wmSilent_ = true;
        return wmSilent_ ? nullptr : watch_;
    }

    enum class Answer { Set, Failed, TimedOut };
    // Until the property changes on the window, an error about a request from
    // `since` on arrives (the window is gone) or the timeout passes. Anything
    // else on the watch connection is left over from earlier windows.
    Answer awaitProperty(xcb_window_t w, xcb_atom_t a, unsigned since) {
        using clock = std::chrono::steady_clock;
        const auto end = clock::now() + frameAnswerTimeout;
        const int fd = xcb_get_file_descriptor(watch_);
        for (;;) {
            while (xcb_generic_event_t* e = xcb_poll_for_event(watch_)) {
                const uint8_t type = e->response_type & 0x7f;
                const auto* p = reinterpret_cast<xcb_property_notify_event_t*>(e);
                const bool failed =
                    type == 0 && reinterpret_cast<xcb_generic_error_t*>(e)->full_sequence >= since;
                const bool set = type == XCB_PROPERTY_NOTIFY && p->window == w && p->atom == a;
                std::free(e);
                if (failed || set)
                    return set ? Answer::Set : Answer::Failed;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - clock::now()).count();
            if (xcb_connection_has_error(watch_))
                return Answer::Failed;
            if (left <= 0)
                return Answer::TimedOut;
            pollfd p{fd, POLLIN, 0};
            poll(&p, 1, int(left));
        }
    }

    xcb_connection_t* c_;
    xcb_connection_t* watch_ = nullptr;
    bool wmSilent_ = false;
    xcb_window_t root_;
    xcb_atom_t activeWindow_, wmState_, above_, supported_, frameExtents_, requestFrameExtents_;
    WindowHandle active_ = 0;
    bool activeKnown_ = false;
    QHash<xcb_window_t, bool> aboveKnown_;
};

} // namespace

std::unique_ptr<Platform> makeX11Platform() {
    if (auto* x11 =
            qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        if (xcb_connection_t* c = x11->connection())
            return std::make_unique<X11Platform>(c);
    }
    return nullptr;
}

} // namespace vq
