#pragma once
// Shared test helpers: a fresh, private settings store per test, a recording
// stand-in for the desktop, and an application set up like the real one.

#include "frame/platform.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <vector>

namespace vq::testing {

// Points the store at a new empty folder; returns the store file's path.
QString useFreshStore();

// Writes the given keys in one batch, as the tool itself would.
void seedStore(const QMap<QString, QString>& values);

// The raw text of the store file.
QByteArray storeFileContents();

// Sets up the running QApplication like the tool's and installs the fake
// desktop; the program-end hook only counts.
void setUpTestApplication();
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

    WindowHandle foregroundWindow() override { return foreground; }
    void setTopMost(WindowHandle window, bool topMost) override {
        calls.push_back({topMost ? "topmost" : "normal", window, {}});
    }
    void startCalculator(bool elevated) override {
        calls.push_back({"calculator", 0, {elevated ? "elevated" : "plain"}});
    }
};

// A window's control found by its name, as a user finds it by its place;
// the test run stops when there is none.
template <class T = QWidget> T* control(const QObject* window, const QString& name) {
    T* c = window->findChild<T*>(name);
    if (!c)
        qFatal("no control named %s", qPrintable(name));
    return c;
}

// Clicks the named button or tick box as a user would (a tick box toggles).
void click(const QObject* window, const QString& name);

// The named timer's tick, at once: the handler runs as on the real tick.
void fire(const QObject* window, const QString& timerName);

// The fake installed by setUpTestApplication.
FakePlatform& fakePlatform();

} // namespace vq::testing
