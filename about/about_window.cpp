#include "about/about_window.h"

#include "frame/credits.h"
#include "frame/windows.h"

namespace vq {

const QString AboutWindow::contactAddress = QString::fromLatin1(authorContact);

namespace {
Label* banner(QWidget* parent, const char* name, const QString& caption, int top, int height) {
    auto* label = new Label(parent, caption);
    place(label, name, 120, top, 4455, height);
    label->makeBanner(12, QStringLiteral("MS Sans Serif"));
    return label;
}
} // namespace

AboutWindow::AboutWindow()
    : Form(Kind, "VL_QUORIX_ABOUT",
           Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("VELMORA-QUORIX"));

    // OK is created first: it is the window's only focusable control and
    // holds the focus when the window opens.
    OK_BUTTON = new Button(this, QStringLiteral("OK"));
    place(OK_BUTTON, "OK_BUTTON", 1320, 2520, 2055, 495);
    OK_BUTTON->setAccessibleDescription(QStringLiteral("Closes the about window."));
    connect(OK_BUTTON, &QPushButton::clicked, this, &AboutWindow::OK_BUTTON_Click);

    VELMORA_QUORIX_TITLE =
        banner(this, "VELMORA_QUORIX_TITLE", QStringLiteral("VELMORA - QUORIX"), 120, 480);
    VELMORA_QUORIX_VERSION = banner(this, "VELMORA_QUORIX_VERSION", versionCaption, 720, 465);
    VELMORA_QUORIX_FREEWARE =
        banner(this, "VELMORA_QUORIX_FREEWARE", QStringLiteral("Freeware"), 1320, 465);
    VL_QUORIX_CREATOR = banner(this, "VL_QUORIX_CREATOR", creatorCaption, 1920, 450);
    connect(VL_QUORIX_CREATOR, &Label::doubleClick, this, &AboutWindow::VL_QUORIX_CREATOR_DblClick);
    OK_BUTTON->setFocus();
}

void AboutWindow::Form_Load() {
    restoreGeometry(keys::aboutWindow);
}

void AboutWindow::VL_QUORIX_CREATOR_DblClick() {
    VL_QUORIX_CREATOR->setText(contactAddress);
}

void AboutWindow::OK_BUTTON_Click() {
    // Only OK remembers the place: the close box leaves the last OK's position.
    saveGeometry(keys::aboutWindow);
    unload();
}

void registerAboutWindow() {
    Windows::registerFactory(AboutWindow::Kind, [] { return new AboutWindow; });
}

} // namespace vq
