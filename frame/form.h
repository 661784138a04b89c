#pragma once
// The runtime every window shares lives in frame/: this base of every
// window, the window registry (windows.h), the controls with their event
// rules (controls.h), intentions one window may ask of another
// (intentions.h), twips, colours, fonts, pictures and the desktop calls
// (platform.h, X11 in x11_platform.cpp).
//
// A window of the tool: one instance per kind, created and loaded on first
// reference, destroyed by unloading. Geometry is in twips of the outer frame.

#include "settings/keys.h"

#include <QPointer>
#include <QWidget>

#include <QAbstractButton>

#include <optional>

namespace vq {

enum class WindowKind { Main, Sheet, Settings, Lock, Password, About };

class Form : public QWidget {
    Q_OBJECT
public:
    Form(WindowKind kind, const char* name, Qt::WindowFlags flags);
    ~Form() override;

    WindowKind kind() const { return kind_; }

    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    void setLeft(double twips);
    void setTop(double twips);
    void setWidth(double twips);
    void setHeight(double twips);

    // Reads the four keys in the order Left, Top, Width, Height; a text that
    // does not convert, or a width or height below half its default, falls
    // back to that key's default, and a place wholly off every screen is
    // brought back onto the primary screen.
    void restoreGeometry(const keys::GeometryKeys& g);
    // Writes Left then Top.
    void saveGeometry(const keys::GeometryKeys& g);

    // Shows the window modally over its owner; returns when it is hidden or
    // unloaded. The window may be gone by then.
    void showModal(Form* owner);
    void showModeless(Form* owner = nullptr);
    // Runs the unload handler once and destroys the window.
    void unload();
    // Saves what the unload handler saves while the window stays open, for an
    // end that cannot wait for the close: the session manager's commit, a
    // lost display. The timers the handler stops keep running.
    void runUnloadSaves();
    bool isUnloading() const { return unloading_; }
    bool isLoaded() const { return loaded_; }

    // The native window handle the platform layer works with.
    quintptr handle();

    void setDefaultButton(QAbstractButton* b) { defaultButton_ = b; }
    void setCancelButton(QAbstractButton* b) { cancelButton_ = b; }

    // Runs the load handler; the registry calls it right after creating the window.
    void load();

signals:
    void hiddenOrUnloaded();

protected:
    virtual void Form_Load() {}
    virtual void Form_Unload() {}

    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void present(Form* owner, Qt::WindowModality modality);
    std::optional<QSize> reportedFrame() const;
    QSize frameExtra() const;
    void applyOuterSize();
    void keepOnScreen();

    WindowKind kind_;
    bool loaded_ = false;
    bool unloading_ = false;
    bool frameKnown_ = false;
    // The frame the window manager said it would give, asked before mapping.
    std::optional<QSize> askedFrame_;
    QSize outer_;
    // The twips last asked for, so that a value that is no whole number of
    // pixels reads back as written while the window has not moved.
    double leftTw_ = -1e300, topTw_ = -1e300, widthTw_ = -1e300, heightTw_ = -1e300;
    QPointer<QAbstractButton> defaultButton_;
    QPointer<QAbstractButton> cancelButton_;
};

} // namespace vq
