#pragma once
// What one window may ask of another. No window touches another's controls:
// each window implements the intentions that concern it, and the others find
// it through the window registry (Windows::find<MainIntentions>()), so that no
// window library links another.

#include "frame/form.h"

#include <QString>

namespace vq {

// The compact main window, which holds the lock state and runs the
// always-on-top rule.
class MainIntentions {
public:
    static constexpr WindowKind Kind = WindowKind::Main;
    // 1 while the tool is locked, 0 while it is not (a hand-edited store can
    // leave another tick-box value, which is kept as it is).
    virtual int lockState() const = 0;
    // Locks or unlocks, the main button's caption following.
    virtual void setLocked(bool locked) = 0;
    virtual void setCoinName(const QString& name) = 0;
    virtual void setAlwaysOnTop(bool on) = 0;
    // Ends the program a moment later, still locked: the lock state is saved
    // and the lock window closed before the main window.
    virtual void exitLocked() = 0;

protected:
    ~MainIntentions() = default;
};

// The wallet sheet.
class SheetIntentions {
public:
    static constexpr WindowKind Kind = WindowKind::Sheet;
    virtual void setAutoSave(bool on) = 0;
    // Makes the coin name and the ten wallet names read-only, or editable.
    virtual void setNamesLocked(bool locked) = 0;
    // Every name, figure and rate back to the sheet's design texts, every row
    // and total frozen, and the cleared fields stored.
    virtual void clearAllToDesign() = 0;

protected:
    ~SheetIntentions() = default;
};

// The lock window.
class LockIntentions {
public:
    static constexpr WindowKind Kind = WindowKind::Lock;
    // The password the next entry is tested against.
    virtual void setStoredPassword(const QString& password) = 0;

protected:
    ~LockIntentions() = default;
};

} // namespace vq
