#pragma once
// The registry of the tool's windows: one instance per kind. The program ends
// when no window is loaded any more, or no loaded window is visible.

#include "frame/form.h"

#include <functional>

namespace vq {

class Windows {
public:
    using Factory = std::function<Form*()>;
    static void registerFactory(WindowKind kind, Factory factory);

    // The loaded window of this kind, created and loaded first if absent.
    static Form* get(WindowKind kind);
    // The loaded window of this kind, or null: never creates one.
    static Form* find(WindowKind kind);

    // The window of T's kind as a T: a window class or one of its intentions.
    template <class T> static T* get() { return dynamic_cast<T*>(get(T::Kind)); }
    template <class T> static T* find() { return dynamic_cast<T*>(find(T::Kind)); }

    // Called once no window is left loaded and visible; quits by default.
    static void setOnEmpty(std::function<void()> onEmpty);
    static int loadedCount();
    // The loaded windows, innermost first: the modal window on top, then the
    // rest from the last loaded, which opened over the earlier ones.
    static QList<Form*> innermostFirst();

    // Bookkeeping for Form: one of the windows has unloaded or gone.
    static void removed();
};

} // namespace vq
