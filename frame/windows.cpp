#include "frame/windows.h"

#include <QApplication>
#include <QMap>
#include <QTimer>

#include <algorithm>

namespace vq {

namespace {
struct Registry {
    QMap<WindowKind, Windows::Factory> factories;
    QMap<WindowKind, QPointer<Form>> loaded;
    QMap<WindowKind, int> loadedAt; // in the order of loading
    int loads = 0;
    std::function<void()> onEmpty = [] { QCoreApplication::quit(); };
    bool checkQueued = false;
};
Registry& registry() {
    static Registry r;
    return r;
}

// Runs once the current handler has finished, so that a handler that closes
// one window and opens the next does not end the program in between.
void checkEmptySoon() {
    Registry& r = registry();
    if (r.checkQueued)
        return;
    r.checkQueued = true;
    QTimer::singleShot(0, [] {
        Registry& r = registry();
        r.checkQueued = false;
        bool anyVisible = false;
        for (const auto& f : r.loaded)
            if (f && f->isVisible())
                anyVisible = true;
        if (anyVisible)
            return;
        // Hidden windows would keep the program alive with nothing to show.
        const auto rest = r.loaded.values();
        for (const auto& f : rest)
            if (f)
                f->unload();
        if (r.onEmpty)
            r.onEmpty();
    });
}
} // namespace

void Windows::registerFactory(WindowKind kind, Factory factory) {
    registry().factories[kind] = std::move(factory);
}

Form* Windows::get(WindowKind kind) {
    Registry& r = registry();
    if (Form* f = find(kind))
        return f;
    const auto it = r.factories.constFind(kind);
    if (it == r.factories.constEnd() || !*it)
        return nullptr;
    Form* f = (*it)();
    r.loaded[kind] = f;
    r.loadedAt[kind] = ++r.loads;
    f->load();
    return f;
}

Form* Windows::find(WindowKind kind) {
    Registry& r = registry();
    const auto it = r.loaded.constFind(kind);
    if (it == r.loaded.constEnd() || !*it || (*it)->isUnloading())
        return nullptr;
    return *it;
}

void Windows::setOnEmpty(std::function<void()> onEmpty) {
    registry().onEmpty = std::move(onEmpty);
}

int Windows::loadedCount() {
    int n = 0;
    for (const auto& f : registry().loaded)
        if (f && !f->isUnloading())
            ++n;
    return n;
}

QList<Form*> Windows::innermostFirst() {
    Registry& r = registry();
    QList<Form*> forms;
    for (const auto& f : r.loaded)
        if (f && !f->isUnloading())
            forms.append(f);
    const QWidget* modal = QApplication::activeModalWidget();
    std::sort(forms.begin(), forms.end(), [&](Form* a, Form* b) {
        if ((a == modal) != (b == modal))
            return a == modal;
        return r.loadedAt.value(a->kind()) > r.loadedAt.value(b->kind());
    });
    return forms;
}

// The entry stays: a window that is unloading or deleted counts as absent
// wherever the registry is read, and the next load of its kind replaces it.
void Windows::removed() {
    checkEmptySoon();
}

} // namespace vq
