// Starts a program and times it by the X server's own events, so nothing
// polls the screen: it watches the root window for new top-level windows,
// puts a DAMAGE watch on each, and takes the first damage reported on a
// window whose _NET_WM_PID is the child's as "mapped and drawn".
//
//   probe [--settle MS] [--idle-main S] [--sheet] [--idle S] [--close]
//         [--log FILE] -- program [args...]
//
// Prints "name value" lines: start_ms, rss_main_kb, then with --sheet
// sheet_ms (from the synthetic Enter to the second window's last frame, see
// below), sheet_first_ms, sheet_damages and rss_sheet_kb, with --idle* the
// CPU and wake-ups of the idle child, and with --close close_ms (from the
// close request to the window unmapped).
//
// A window that opens at one size and is then fitted to another is drawn
// twice, and is not finished until the second frame. So the sheet counts as
// drawn at its last damage before it stays undamaged for quietMs (its clock
// then redraws it once a second), looked for within --settle.
#include <xcb/damage.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <map>
#include <poll.h>
#include <set>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

double nowMs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double realtimeS() {
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

[[noreturn]] void die(const char* what) {
    std::fprintf(stderr, "probe: %s\n", what);
    std::exit(2);
}

xcb_connection_t* c;
xcb_window_t root;
pid_t child = -1;
uint8_t damageEvent;
xcb_atom_t netWmPid, wmProtocols, wmDeleteWindow, netActiveWindow;
std::map<xcb_window_t, double> drawn;    // our windows, time of first damage
std::map<xcb_window_t, double> redrawn;  // our windows, time of the latest damage
std::map<xcb_window_t, int> damages;     // our windows, damages reported
std::map<xcb_window_t, double> unmapped; // time of the first unmap or destroy
std::map<xcb_window_t, bool> ownership;
std::map<xcb_window_t, double> mapped;

xcb_atom_t atom(const char* name) {
    auto r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
    if (!r)
        die("intern_atom");
    xcb_atom_t a = r->atom;
    std::free(r);
    return a;
}

bool ours(xcb_window_t w) {
    auto it = ownership.find(w);
    if (it != ownership.end())
        return it->second;
    auto r = xcb_get_property_reply(c, xcb_get_property(c, 0, w, netWmPid, XCB_ATOM_CARDINAL, 0, 1),
                                    nullptr);
    bool mine = r && xcb_get_property_value_length(r) == 4 &&
                *static_cast<uint32_t*>(xcb_get_property_value(r)) == uint32_t(child);
    std::free(r);
    // An answer before the property is set must not stick.
    if (mine)
        ownership[w] = true;
    return mine;
}

void handle(xcb_generic_event_t* e, double t) {
    const uint8_t type = e->response_type & 0x7f;
    if (type == XCB_CREATE_NOTIFY) {
        auto* ev = reinterpret_cast<xcb_create_notify_event_t*>(e);
        const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(c, ev->window, XCB_CW_EVENT_MASK, &mask);
        xcb_damage_create(c, xcb_generate_id(c), ev->window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
        xcb_flush(c);
    } else if (type == damageEvent) {
        auto* ev = reinterpret_cast<xcb_damage_notify_event_t*>(e);
        if (ours(ev->drawable)) {
            // Emptied again, the damage reports the next drawing too.
            xcb_damage_subtract(c, ev->damage, XCB_NONE, XCB_NONE);
            drawn.emplace(ev->drawable, t);
            redrawn[ev->drawable] = t;
            ++damages[ev->drawable];
        }
    } else if (type == XCB_MAP_NOTIFY) {
        auto* ev = reinterpret_cast<xcb_map_notify_event_t*>(e);
        if (ev->event == ev->window)
            mapped.emplace(ev->window, t);
    } else if (type == XCB_UNMAP_NOTIFY) {
        auto* ev = reinterpret_cast<xcb_unmap_notify_event_t*>(e);
        if (ev->event == ev->window)
            unmapped.emplace(ev->window, t);
    } else if (type == XCB_DESTROY_NOTIFY) {
        auto* ev = reinterpret_cast<xcb_destroy_notify_event_t*>(e);
        unmapped.emplace(ev->window, t);
    }
}

// Handles events until done() or the timeout; false on timeout.
bool pump(const std::function<bool()>& done, double timeoutMs) {
    const double end = nowMs() + timeoutMs;
    const int fd = xcb_get_file_descriptor(c);
    for (;;) {
        while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
            handle(e, nowMs());
            std::free(e);
        }
        if (xcb_connection_has_error(c))
            die("X connection lost");
        if (done())
            return true;
        const double left = end - nowMs();
        if (left <= 0)
            return false;
        xcb_flush(c);
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, int(left) + 1);
    }
}

void syncX() {
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

// The whole of /proc/<child>/<name>, empty when the child is gone.
std::string procFile(const char* name) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/%s", child, name);
    std::string text;
    if (FILE* f = std::fopen(path, "r")) {
        char buf[4096];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
            text.append(buf, n);
        std::fclose(f);
    }
    return text;
}

long statusKb(const char* field) {
    const std::string text = procFile("status");
    const std::string key = "\n" + std::string(field) + ":";
    const size_t at = ("\n" + text).find(key);
    return at == std::string::npos ? -1 : std::atol(text.c_str() + at + key.size() - 1);
}

// utime + stime of the whole process, in clock ticks.
long cpuTicks() {
    const std::string text = procFile("stat");
    // The command name may hold spaces: fields count from the last ')'.
    const size_t p = text.rfind(')');
    if (p == std::string::npos)
        return -1;
    long utime = 0, stime = 0;
    std::sscanf(text.c_str() + p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %ld %ld", &utime,
                &stime);
    return utime + stime;
}

// Context switches of every thread: each voluntary one is the thread going
// to sleep, so it is followed by exactly one wake-up.
struct Switches {
    long voluntary = 0, involuntary = 0;
    std::map<std::string, long> perThread; // "tid name" -> voluntary
};

Switches switches() {
    Switches s;
    char dir[64];
    std::snprintf(dir, sizeof dir, "/proc/%d/task", child);
    DIR* d = opendir(dir);
    if (!d)
        return s;
    while (dirent* ent = readdir(d)) {
        if (ent->d_name[0] == '.')
            continue;
        std::string path = std::string(dir) + "/" + ent->d_name + "/status";
        FILE* f = std::fopen(path.c_str(), "r");
        if (!f)
            continue;
        char line[256], name[64] = "?";
        long vol = 0;
        while (std::fgets(line, sizeof line, f)) {
            if (!std::strncmp(line, "Name:", 5))
                std::sscanf(line + 5, " %63[^\n]", name);
            else if (!std::strncmp(line, "voluntary_ctxt_switches:", 24))
                vol = std::atol(line + 24);
            else if (!std::strncmp(line, "nonvoluntary_ctxt_switches:", 27))
                s.involuntary += std::atol(line + 27);
        }
        std::fclose(f);
        s.voluntary += vol;
        s.perThread[std::string(ent->d_name) + " " + name] = vol;
    }
    closedir(d);
    return s;
}

void idle(const char* label, double seconds) {
    const long hz = sysconf(_SC_CLK_TCK);
    const Switches s0 = switches();
    const long c0 = cpuTicks();
    const double t0 = nowMs();
    // The probe itself stays off the child's X connection meanwhile; events
    // for it just queue up.
    while (nowMs() - t0 < seconds * 1e3)
        usleep(200000);
    const long c1 = cpuTicks();
    const Switches s1 = switches();
    const double secs = (nowMs() - t0) / 1e3;
    std::printf("%s_cpu_pct %.4f\n", label, 100.0 * (c1 - c0) / hz / secs);
    std::printf("%s_wakeups_per_s %.3f\n", label, (s1.voluntary - s0.voluntary) / secs);
    std::printf("%s_involuntary_per_s %.3f\n", label, (s1.involuntary - s0.involuntary) / secs);
    for (const auto& [t, v] : s1.perThread) {
        auto it = s0.perThread.find(t);
        std::fprintf(stderr, "  %s thread %s: %.2f/s\n", label, t.c_str(),
                     (v - (it == s0.perThread.end() ? 0 : it->second)) / secs);
    }
    std::fflush(stdout);
}

xcb_keycode_t keycodeOf(xcb_keysym_t sym) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    auto r = xcb_get_keyboard_mapping_reply(
        c, xcb_get_keyboard_mapping(c, setup->min_keycode, count), nullptr);
    if (!r)
        die("keyboard mapping");
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(r);
    xcb_keycode_t code = 0;
    for (int i = 0; i < count * r->keysyms_per_keycode && !code; ++i)
        if (syms[i] == sym)
            code = xcb_keycode_t(setup->min_keycode + i / r->keysyms_per_keycode);
    std::free(r);
    if (!code)
        die("no keycode for Return");
    return code;
}

void clientMessage(xcb_window_t w, xcb_atom_t type, uint32_t d0, uint32_t d1, xcb_window_t to,
                   uint32_t mask) {
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = w;
    ev.type = type;
    ev.data.data32[0] = d0;
    ev.data.data32[1] = d1;
    xcb_send_event(c, 0, to, mask, reinterpret_cast<const char*>(&ev));
}

void stopChild() {
    if (child <= 0)
        return;
    // The tool saves on SIGTERM too: saves from here on are not the close's.
    std::printf("stop_sent_realtime %.6f\n", realtimeS());
    std::fflush(stdout);
    kill(child, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(child, nullptr, WNOHANG) == child)
            return;
        usleep(20000);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

} // namespace

int main(int argc, char** argv) {
    double settleMs = 1000, idleMain = 0, idleSheet = 0;
    bool sheet = false, close = false;
    const char* log = "/dev/null";
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--"); ++i) {
        if (!std::strcmp(argv[i], "--settle") && i + 1 < argc)
            settleMs = std::atof(argv[++i]);
        else if (!std::strcmp(argv[i], "--idle-main") && i + 1 < argc)
            idleMain = std::atof(argv[++i]);
        else if (!std::strcmp(argv[i], "--idle") && i + 1 < argc)
            idleSheet = std::atof(argv[++i]);
        else if (!std::strcmp(argv[i], "--sheet"))
            sheet = true;
        else if (!std::strcmp(argv[i], "--close"))
            close = true;
        else if (!std::strcmp(argv[i], "--log") && i + 1 < argc)
            log = argv[++i];
        else
            die("unknown option");
    }
    if (i + 1 >= argc)
        die("usage: probe [options] -- program [args...]");
    char** cmd = argv + i + 1;

    c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        die("cannot connect to the X server");
    root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_query_extension_reply_t* dmg = xcb_get_extension_data(c, &xcb_damage_id);
    if (!dmg || !dmg->present)
        die("no DAMAGE extension");
    damageEvent = dmg->first_event + XCB_DAMAGE_NOTIFY;
    std::free(xcb_damage_query_version_reply(c, xcb_damage_query_version(c, 1, 1), nullptr));
    netWmPid = atom("_NET_WM_PID");
    wmProtocols = atom("WM_PROTOCOLS");
    wmDeleteWindow = atom("WM_DELETE_WINDOW");
    netActiveWindow = atom("_NET_ACTIVE_WINDOW");
    const xcb_keycode_t enter = keycodeOf(0xff0d);
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    syncX();

    std::fflush(stdout);
    const double t0 = nowMs();
    child = fork();
    if (child == 0) {
        const int fd = open(log, O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
        }
        execvp(cmd[0], cmd);
        _exit(127);
    }
    if (child < 0)
        die("fork");

    if (!pump([] { return !drawn.empty(); }, 30000)) {
        stopChild();
        die("the window was never drawn");
    }
    const xcb_window_t mainWin = drawn.begin()->first;
    std::printf("start_ms %.2f\n", drawn.begin()->second - t0);
    // A first damage long after the map is the program's own drawing, not
    // the server filling a background.
    if (mapped.count(mainWin))
        std::fprintf(stderr, "map to first damage: %.2f ms\n", drawn[mainWin] - mapped[mainWin]);
    pump([] { return false; }, settleMs);
    std::printf("rss_main_kb %ld\n", statusKb("VmRSS"));
    std::fflush(stdout);
    if (idleMain > 0)
        idle("main", idleMain);

    xcb_window_t sheetWin = 0;
    if (sheet) {
        // Make sure the compact window has the keyboard, as after a click.
        clientMessage(mainWin, netActiveWindow, 2, XCB_CURRENT_TIME, root,
                      XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY);
        xcb_set_input_focus(c, XCB_INPUT_FOCUS_POINTER_ROOT, mainWin, XCB_CURRENT_TIME);
        syncX();
        pump([] { return false; }, 300);
        const double tk = nowMs();
        xcb_test_fake_input(c, XCB_KEY_PRESS, enter, XCB_CURRENT_TIME, root, 0, 0, 0);
        xcb_test_fake_input(c, XCB_KEY_RELEASE, enter, XCB_CURRENT_TIME, root, 0, 0, 0);
        xcb_flush(c);
        auto other = [&] {
            for (const auto& [w, t] : drawn)
                if (w != mainWin)
                    return w;
            return xcb_window_t(0);
        };
        if (!pump([&] { return other() != 0; }, 30000)) {
            stopChild();
            die("the sheet was never drawn");
        }
        sheetWin = other();
        const double quietMs = 250;
        for (double last = -1; last != redrawn[sheetWin] && nowMs() - tk < settleMs;) {
            last = redrawn[sheetWin];
            pump([&] { return redrawn[sheetWin] != last; }, quietMs);
        }
        std::printf("sheet_ms %.2f\n", redrawn[sheetWin] - tk);
        std::printf("sheet_first_ms %.2f\n", drawn[sheetWin] - tk);
        std::printf("sheet_damages %d\n", damages[sheetWin]);
        pump([] { return false; }, settleMs);
        std::printf("rss_sheet_kb %ld\n", statusKb("VmRSS"));
        std::fflush(stdout);
        if (idleSheet > 0)
            idle("sheet", idleSheet);
    }

    if (close && sheetWin) {
        pump([] { return false; }, 0);
        unmapped.erase(sheetWin);
        const double tc = nowMs();
        std::printf("close_sent_realtime %.6f\n", realtimeS());
        clientMessage(sheetWin, wmProtocols, wmDeleteWindow, XCB_CURRENT_TIME, sheetWin,
                      XCB_EVENT_MASK_NO_EVENT);
        xcb_flush(c);
        if (!pump([&] { return unmapped.count(sheetWin) > 0; }, 30000)) {
            stopChild();
            die("the sheet never closed");
        }
        std::printf("close_ms %.2f\n", unmapped[sheetWin] - tc);
        // Let the write reach the disk before the child is stopped.
        pump([] { return false; }, 300);
    }

    std::fflush(stdout);
    stopChild();
    xcb_disconnect(c);
    return 0;
}
