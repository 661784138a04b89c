#include "frame/windows.h"

#include <QApplication>
#include <QMap>

namespace vq {

namespace {
struct Registry {
    QMap<WindowKind, Windows::Factory> factories;
    QMap<WindowKind, QPointer<Form>> loaded;
    QList<WindowKind> loadOrder; // the last loaded last
    std::function<void()> onEmpty = [] { QCoreApplication::quit(); };
    bool checkQueued = false;
};
Registry& registry() {
    static Registry r;
    return r;
}

// Once no loaded window is visible, ends the program.
void checkEmpty() {
    Registry& r = registry();
    bool anyVisible = false;
    for (const auto& f : r.loaded)
        if (f && f->isVisible())
            anyVisible = true;
    if (!anyVisible) {
        // Hidden windows would keep the program alive with nothing to show.
        // Their unloads ask for this check again: it is still queued.
        const auto rest = r.loaded.values();
        for (const auto& f : rest)
            if (f)
                f->unload();
    }
    r.checkQueued = false;
    if (!anyVisible && r.onEmpty)
        r.onEmpty();
}

// Checks once the current handler has finished, so that a handler that
// closes one window and opens the next does not end the program in between.
void checkEmptySoon() {
    Registry& r = registry();
    if (r.checkQueued)
        return;
    r.checkQueued = true;
    QMetaObject::invokeMethod(qApp, checkEmpty, Qt::QueuedConnection);
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
    r.loadOrder.removeOne(kind);
    r.loadOrder.append(kind);
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
    return int(innermostFirst().size());
}

QList<Form*> Windows::innermostFirst() {
    const QList<WindowKind>& order = registry().loadOrder;
    QList<Form*> forms;
    for (auto kind = order.crbegin(); kind != order.crend(); ++kind)
        if (Form* f = find(*kind))
            forms.append(f);
    if (auto* modal = qobject_cast<Form*>(QApplication::activeModalWidget());
        forms.removeOne(modal))
        forms.prepend(modal);
    return forms;
}

// The entry stays: a window that is unloading or deleted counts as absent
// wherever the registry is read, and the next load of its kind replaces it.
void Windows::removed() {
    checkEmptySoon();
}

} // namespace vq
