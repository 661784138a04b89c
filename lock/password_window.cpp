#include "lock/password_window.h"

#include "frame/colours.h"
#include "frame/fonts.h"
#include "frame/pictures.h"
#include "frame/windows.h"
#include "lock/lock_window.h"
#include "settings/store.h"

namespace vq {

namespace {
const QString bannerFamily = QStringLiteral("MS Sans Serif");
const QString passwordMask = QStringLiteral("*");
} // namespace

PasswordWindow::PasswordWindow()
    : Form(Kind, "VL_QUORIX_PASSWORD_WINDOW",
           Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("VELMORA - QUORIX-V2 !!! SET LOCK PASSWORD !!!"));

    VELMORA_QUORIX_TITLE = new Label(this, QStringLiteral("VELMORA - QUORIX-V2"));
    place(VELMORA_QUORIX_TITLE, "VELMORA_QUORIX_TITLE", 120, 120, 5895, 360);
    VELMORA_QUORIX_TITLE->makeBanner(9.75, bannerFamily);

    SET_LOCK_PASSWORD_TITLE_TEXTBOX = new Label(this, QStringLiteral("SET LOCK PASSWORD"));
    place(SET_LOCK_PASSWORD_TITLE_TEXTBOX, "SET_LOCK_PASSWORD_TITLE_TEXTBOX", 120, 480, 5895, 360);
    SET_LOCK_PASSWORD_TITLE_TEXTBOX->makeBanner(9.75, bannerFamily);

    CHAT_LOCK_BUTTON = new Label(this);
    place(CHAT_LOCK_BUTTON, "CHAT_LOCK_BUTTON", 240, 960, 1695, 1815);
    CHAT_LOCK_BUTTON->setColours(colours::black, colours::white);
    CHAT_LOCK_BUTTON->setEnabled(false);
    // Disabled, yet still the white panel behind the padlock.
    QPalette panel = CHAT_LOCK_BUTTON->palette();
    panel.setColor(QPalette::Disabled, QPalette::Window, colours::toQColor(colours::white));
    CHAT_LOCK_BUTTON->setPalette(panel);
    CHAT_LOCK_BUTTON->setAccessibleName(QStringLiteral("Padlock panel"));

    LOCK_PICTURE = new Label(this);
    place(LOCK_PICTURE, "LOCK_PICTURE", 720, 1440, 735, 735);
    LOCK_PICTURE->setColours(colours::black, colours::white);
    // The box is a few pixels smaller than the picture: fit the picture in
    // rather than cut its edges off.
    LOCK_PICTURE->setPixmap(pictures::load(pictures::padlock));
    LOCK_PICTURE->setScaledContents(true);
    LOCK_PICTURE->setAccessibleName(QStringLiteral("Padlock"));

    ENTER_NEW_PASSWORD_LABEL = new Label(this, QStringLiteral("Enter New Password"));
    place(ENTER_NEW_PASSWORD_LABEL, "ENTER_NEW_PASSWORD_LABEL", 2280, 1080, 1575, 255);

    ENTER_NEW_PASSWORD_TEXTBOX = new TextBox(this);
    place(ENTER_NEW_PASSWORD_TEXTBOX, "ENTER_NEW_PASSWORD_TEXTBOX", 2280, 1320, 3615, 375);
    ENTER_NEW_PASSWORD_TEXTBOX->setPasswordChar(passwordMask);
    // Named by the caption above it, as a sighted user reads it.
    ENTER_NEW_PASSWORD_TEXTBOX->setAccessibleName(ENTER_NEW_PASSWORD_LABEL->text());

    RE_ENTER_NEW_PASSWORD_LABEL = new Label(this, QStringLiteral("Confirm New Password"));
    place(RE_ENTER_NEW_PASSWORD_LABEL, "RE_ENTER_NEW_PASSWORD_LABEL", 2280, 1920, 1695, 255);

    RE_ENTER_NEW_PASSWORD_TEXTBOX = new TextBox(this);
    place(RE_ENTER_NEW_PASSWORD_TEXTBOX, "RE_ENTER_NEW_PASSWORD_TEXTBOX", 2280, 2160, 3615, 375);
    RE_ENTER_NEW_PASSWORD_TEXTBOX->setPasswordChar(passwordMask);
    RE_ENTER_NEW_PASSWORD_TEXTBOX->setAccessibleName(RE_ENTER_NEW_PASSWORD_LABEL->text());
    RE_ENTER_NEW_PASSWORD_TEXTBOX->setAccessibleDescription(
        QStringLiteral("Type the new password again."));

    CHANGE_PASSWORD_BUTTON = new Button(this, QStringLiteral("Change Password"));
    place(CHANGE_PASSWORD_BUTTON, "CHANGE_PASSWORD_BUTTON", 2160, 2880, 1815, 615);
    CHANGE_PASSWORD_BUTTON->setAccessibleDescription(
        QStringLiteral("Stores the new password when both entries are the same; otherwise "
                       "both turn red."));
    connect(CHANGE_PASSWORD_BUTTON, &QPushButton::clicked, this,
            &PasswordWindow::CHANGE_PASSWORD_BUTTON_Click);

    CANCEL_BUTTON = new Button(this, QStringLiteral("Cancel"));
    place(CANCEL_BUTTON, "CANCEL_BUTTON", 4320, 2880, 1695, 615);
    setCancelButton(CANCEL_BUTTON);
    CANCEL_BUTTON->setAccessibleDescription(
        QStringLiteral("Closes the window; it reads Close once the password is changed. Escape "
                       "presses it."));
    connect(CANCEL_BUTTON, &QPushButton::clicked, this, &PasswordWindow::CANCEL_BUTTON_Click);

    SHOW_PASSWORD_TICKBOX = new TickBox(this, QStringLiteral("Show Password"));
    place(SHOW_PASSWORD_TICKBOX, "SHOW_PASSWORD_TICKBOX", 360, 3000, 1575, 375);
    SHOW_PASSWORD_TICKBOX->setAccessibleDescription(
        QStringLiteral("Shows both entries instead of asterisks."));
    connect(SHOW_PASSWORD_TICKBOX, &TickBox::click, this,
            &PasswordWindow::SHOW_PASSWORD_TICKBOX_Click);

    chainTabs({CANCEL_BUTTON, ENTER_NEW_PASSWORD_TEXTBOX, RE_ENTER_NEW_PASSWORD_TEXTBOX,
               SHOW_PASSWORD_TICKBOX, CHANGE_PASSWORD_BUTTON, LOCK_PICTURE, VELMORA_QUORIX_TITLE,
               SET_LOCK_PASSWORD_TITLE_TEXTBOX, CHAT_LOCK_BUTTON, ENTER_NEW_PASSWORD_LABEL,
               RE_ENTER_NEW_PASSWORD_LABEL});

    for (QWidget* w : std::initializer_list<QWidget*>{
             ENTER_NEW_PASSWORD_LABEL, RE_ENTER_NEW_PASSWORD_LABEL, CHANGE_PASSWORD_BUTTON,
             CANCEL_BUTTON, SHOW_PASSWORD_TICKBOX})
        fonts::fitCaption(w);
}

void PasswordWindow::Form_Load() {
    restoreGeometry(keys::passwordWindow);
    CANCEL_BUTTON->setFocus();
}

void PasswordWindow::Form_Unload() {
    saveGeometry(keys::passwordWindow);
}

void PasswordWindow::CHANGE_PASSWORD_BUTTON_Click() {
    const QString confirmation = RE_ENTER_NEW_PASSWORD_TEXTBOX->text();
    if (passwordsMatch(ENTER_NEW_PASSWORD_TEXTBOX->text(), confirmation)) {
        // The open lock window tests its next entry against the new text.
        if (LockIntentions* lock = Windows::find<LockIntentions>())
            lock->setStoredPassword(confirmation);
        Store::instance().write(keys::lockPassword, confirmation);
        CANCEL_BUTTON->setText(QStringLiteral("Close"));
        return;
    }
    ENTER_NEW_PASSWORD_TEXTBOX->setBackColor(colours::red);
    RE_ENTER_NEW_PASSWORD_TEXTBOX->setBackColor(colours::red);
}

void PasswordWindow::CANCEL_BUTTON_Click() {
    unload();
}

void PasswordWindow::SHOW_PASSWORD_TICKBOX_Click() {
    const QString c = SHOW_PASSWORD_TICKBOX->value() == 1 ? QString() : passwordMask;
    ENTER_NEW_PASSWORD_TEXTBOX->setPasswordChar(c);
    RE_ENTER_NEW_PASSWORD_TEXTBOX->setPasswordChar(c);
}

} // namespace vq
