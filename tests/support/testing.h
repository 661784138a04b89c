#pragma once
// Shared test helpers: a private store per test, a recording desktop, a user's moves.

#include "app/all_windows.h"
#include "frame/colours.h"
#include "frame/controls.h"
#include "frame/platform.h"
#include "frame/windows.h"
#include "settings/keys.h"
#include "settings/store.h"

#include <QTest>
#include <vector>

namespace vq::testing {

// A new empty store (its file's path returned); keys written in one batch.
QString useFreshStore();
void seedStore(const QMap<QString, QString>& values);
QByteArray storeFileContents();
// What the store holds under the key, or "<none>".
QString stored(const keys::Key& key);

// The application set up like the tool's with the fake desktop and the
// windows given; the program-end hook only counts.
void setUpTestApplication(void (*registerWindows)() = nullptr);
int emptyCount();

// Unloads every loaded window and lets deferred deletions run.
void unloadAll();

struct Call {
    QString what; // "topmost", "normal", "calculator"
    WindowHandle window = 0;
    QStringList args;
};

class FakePlatform : public Platform {
public:
    WindowHandle foreground = 0;
    std::vector<Call> calls;
    // The frame a window manager would put around every window.
    std::optional<QMargins> frame;

    WindowHandle foregroundWindow() override { return foreground; }
    void setTopMost(WindowHandle window, bool topMost) override {
        calls.push_back({topMost ? "topmost" : "normal", window, {}});
    }
    void startCalculator() override { calls.push_back({"calculator", 0, {}}); }
    std::optional<QMargins> frameExtents(WindowHandle) override { return frame; }
};

// A window's control found by its name; the run stops when there is none.
template <class T = QWidget> T* control(const QObject* window, const QString& name) {
    T* c = window->findChild<T*>(name);
    if (!c)
        qFatal("no control named %s", qPrintable(name));
    return c;
}
inline TextBox* box(const QObject* window, const QString& name) {
    return control<TextBox>(window, name);
}
inline bool running(const QObject* window, const QString& timer) {
    return control<Timer>(window, timer)->isRunning();
}
// Row n's control: "AMOUNT_IN_WALLET" and 3 find "AMOUNT_IN_WALLET_3".
template <class T = TextBox> T* cell(const QObject* window, const char* name, int n) {
    return control<T>(window, QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(n));
}

void click(const QObject* window, const QString& name);
void fire(const QObject* window, const QString& timerName);
// One tick of every running timer of the window: a second gone by.
void advance(const QObject* window);
// Replaces the field's text as a user does: select all, delete, type.
void retype(QWidget* field, const QString& text);

FakePlatform& fakePlatform();

} // namespace vq::testing
