#include "lock/lock_window.h"

#include "frame/colours.h"
#include "frame/credits.h"
#include "frame/fonts.h"
#include "frame/intentions.h"
#include "frame/pictures.h"
#include "frame/windows.h"
#include "lock/password_window.h"
#include "settings/convert.h"
#include "settings/store.h"

namespace vq {

namespace {
const QString lockCaption = QStringLiteral("LOCK");
const QString unlockCaption = QStringLiteral("UNLOCK");
const QString bannerFamily = QStringLiteral("MS Sans Serif");

// The compact main window may already be closed while the sheet stood open
// on its own; every use of it is skipped then, never re-creating it.
MainIntentions* mainWindow() {
    return Windows::find<MainIntentions>();
}

// The lock state: the main window's, or the stored state when that window is
// gone.
int lockState() {
    if (MainIntentions* m = mainWindow())
        return m->lockState();
    return readTick(keys::clientLocked);
}

void setLocked(bool locked) {
    if (MainIntentions* m = mainWindow())
        m->setLocked(locked);
}

void writeLockState(int value) {
    Store::instance().write(keys::clientLocked, convert::integerText(value));
}
} // namespace

bool passwordsMatch(const QString& entry, const QString& password) {
    // QString equality compares every code unit; a null and an empty text
    // are equal, which is what two empty texts must be.
    return entry == password;
}

LockWindow::LockWindow()
    : Form(Kind, "VL_QUORIX_LOCK_WINDOW",
           Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("VELMORA - QUORIX-V2 - LOCK SCREEN"));

    VELMORA_QUORIX_TITLE = new Label(this, QStringLiteral("VELMORA - QUORIX"));
    place(VELMORA_QUORIX_TITLE, "VELMORA_QUORIX_TITLE", 120, 120, 4575, 360);
    VELMORA_QUORIX_TITLE->makeBanner(9.75, bannerFamily);

    QUORIX_VERSION = new Label(this, versionCaption);
    place(QUORIX_VERSION, "QUORIX_VERSION", 4800, 120, 1575, 345);
    QUORIX_VERSION->makeBanner(9.75, bannerFamily);

    VL_QUORIX_CREATOR = new Label(this, creatorCaption);
    place(VL_QUORIX_CREATOR, "VL_QUORIX_CREATOR", 2400, 600, 3975, 375);
    VL_QUORIX_CREATOR->makeBanner(9.75, bannerFamily);
    connect(VL_QUORIX_CREATOR, &Label::click, this, &LockWindow::VL_QUORIX_CREATOR_Click);

    LOCK_BUTTON = new PictureButton(this, lockCaption);
    place(LOCK_BUTTON, "LOCK_BUTTON", 360, 1200, 2055, 1935);
    LOCK_BUTTON->setBackColor(colours::white);
    LOCK_BUTTON->setIcon(pictures::icon(pictures::padlock));
    LOCK_BUTTON->setIconSize(QSize(52, 52));
    // Its caption, LOCK or UNLOCK, names it and tells the state.
    LOCK_BUTTON->setAccessibleDescription(
        QStringLiteral("LOCK locks the tool; UNLOCK tests the password typed below."));
    connect(LOCK_BUTTON, &QPushButton::clicked, this, &LockWindow::LOCK_BUTTON_Click);

    PASSWORD_MANAGER_BUTTON = new Button(this, QStringLiteral("Password Manager"));
    place(PASSWORD_MANAGER_BUTTON, "PASSWORD_MANAGER_BUTTON", 4560, 1080, 1575, 495);
    PASSWORD_MANAGER_BUTTON->setAccessibleDescription(
        QStringLiteral("Opens the window that sets the lock password."));
    connect(PASSWORD_MANAGER_BUTTON, &QPushButton::clicked, this,
            &LockWindow::PASSWORD_MANAGER_BUTTON_Click);

    SHOW_PASSWORD_TICKBOX = new TickBox(this, QStringLiteral("Show Password"));
    place(SHOW_PASSWORD_TICKBOX, "SHOW_PASSWORD_TICKBOX", 3000, 1200, 1455, 375);
    SHOW_PASSWORD_TICKBOX->setAccessibleDescription(
        QStringLiteral("Shows the typed password instead of asterisks."));
    SHOW_PASSWORD_TICKBOX->hide();
    connect(SHOW_PASSWORD_TICKBOX, &TickBox::click, this, &LockWindow::SHOW_PASSWORD_TICKBOX_Click);

    ENTER_PASSWORD_TEXTBOX = new TextBox(this);
    place(ENTER_PASSWORD_TEXTBOX, "ENTER_PASSWORD_TEXTBOX", 2760, 1800, 3375, 450);
    ENTER_PASSWORD_TEXTBOX->setPasswordChar(QStringLiteral("*"));
    ENTER_PASSWORD_TEXTBOX->setFont(boldFont(14.25, QStringLiteral("Arial")));
    ENTER_PASSWORD_TEXTBOX->setAccessibleName(QStringLiteral("Password entry"));
    ENTER_PASSWORD_TEXTBOX->setAccessibleDescription(
        QStringLiteral("Type the lock password, then press UNLOCK."));
    ENTER_PASSWORD_TEXTBOX->hide();

    EXIT_QUORIX_BUTTON = new Button(this, QStringLiteral("EXIT QUORIX"));
    place(EXIT_QUORIX_BUTTON, "EXIT_QUORIX_BUTTON", 2880, 2520, 3135, 495);
    EXIT_QUORIX_BUTTON->setAccessibleDescription(
        QStringLiteral("Ends the program; it stays locked."));
    EXIT_QUORIX_BUTTON->hide();
    connect(EXIT_QUORIX_BUTTON, &QPushButton::clicked, this, &LockWindow::EXIT_QUORIX_BUTTON_Click);

    CANCEL_BUTTON = new Button(this, QStringLiteral("Cancel"));
    place(CANCEL_BUTTON, "CANCEL_BUTTON", 4440, 2640, 1575, 495);
    setCancelButton(CANCEL_BUTTON);
    CANCEL_BUTTON->setAccessibleDescription(
        QStringLiteral("Back to the wallet sheet. Escape presses it."));
    connect(CANCEL_BUTTON, &QPushButton::clicked, this, &LockWindow::CANCEL_BUTTON_Click);

    chainTabs({CANCEL_BUTTON, LOCK_BUTTON, ENTER_PASSWORD_TEXTBOX, SHOW_PASSWORD_TICKBOX,
               PASSWORD_MANAGER_BUTTON, VELMORA_QUORIX_TITLE, QUORIX_VERSION, VL_QUORIX_CREATOR,
               EXIT_QUORIX_BUTTON});

    for (QWidget* w : std::initializer_list<QWidget*>{
             PASSWORD_MANAGER_BUTTON, SHOW_PASSWORD_TICKBOX, EXIT_QUORIX_BUTTON, CANCEL_BUTTON})
        fonts::fitCaption(w);
}

void LockWindow::showLockedLayout() {
    PASSWORD_MANAGER_BUTTON->setEnabled(false);
    PASSWORD_MANAGER_BUTTON->hide();
    ENTER_PASSWORD_TEXTBOX->show();
    SHOW_PASSWORD_TICKBOX->show();
    EXIT_QUORIX_BUTTON->show();
    CANCEL_BUTTON->hide();
    LOCK_BUTTON->setText(unlockCaption);
}

void LockWindow::showUnlockedLayout() {
    PASSWORD_MANAGER_BUTTON->setEnabled(true);
    PASSWORD_MANAGER_BUTTON->show();
    ENTER_PASSWORD_TEXTBOX->hide();
    SHOW_PASSWORD_TICKBOX->hide();
    EXIT_QUORIX_BUTTON->hide();
    CANCEL_BUTTON->show();
    LOCK_BUTTON->setText(lockCaption);
}

void LockWindow::Form_Load() {
    restoreGeometry(keys::lockWindow);
    setStoredPassword(Store::instance().read(keys::lockPassword));
    if (lockState() == 1) {
        showLockedLayout();
        LOCK_BUTTON->setFocus();
    } else {
        showUnlockedLayout();
        CANCEL_BUTTON->setFocus();
    }
}

void LockWindow::Form_Unload() {
    // The lock state is left alone: the close box leaves a locked tool locked.
    saveGeometry(keys::lockWindow);
}

void LockWindow::LOCK_BUTTON_Click() {
    Store::Batch batch;
    if (LOCK_BUTTON->text() == lockCaption) {
        setLocked(true);
        writeLockState(1);
        showLockedLayout();
    }
    // The test runs on the locking click too: the entry is empty then, so a
    // stored password turns it red at once and an empty one unlocks again.
    if (passwordsMatch(ENTER_PASSWORD_TEXTBOX->text(), CURRENT_PASSWORD_TEXTBOX)) {
        ENTER_PASSWORD_TEXTBOX->setBackColor(colours::green);
        setLocked(false);
        writeLockState(0);
        saveGeometry(keys::lockWindow);
        unload();
        return;
    }
    ENTER_PASSWORD_TEXTBOX->setBackColor(colours::red);
}

void LockWindow::CANCEL_BUTTON_Click() {
    {
        Store::Batch batch;
        saveGeometry(keys::lockWindow);
        writeLockState(lockState());
        unload();
    }
    // The sheet stands on its own now: the lock window that opened it is gone.
    if (Form* sheet = Windows::get(WindowKind::Sheet))
        sheet->showModeless();
}

void LockWindow::EXIT_QUORIX_BUTTON_Click() {
    saveGeometry(keys::lockWindow);
    if (MainIntentions* m = mainWindow()) {
        // The main window does the ending, so that this window is unloaded
        // before it and the program ends locked.
        m->exitLocked();
        return;
    }
    // Without the main window there is no timer to end the program: keep
    // the lock state and close, which leaves nothing loaded.
    Store::Batch batch;
    writeLockState(lockState());
    unload();
}

void LockWindow::setStoredPassword(const QString& password) {
    CURRENT_PASSWORD_TEXTBOX = password;
    // A password stored before fields had a length limit, or by hand, must
    // stay enterable: while locked this entry is the only way in.
    ENTER_PASSWORD_TEXTBOX->allowTyping(password);
}

void LockWindow::PASSWORD_MANAGER_BUTTON_Click() {
    if (Form* password = Windows::get(WindowKind::Password))
        password->showModal(this);
}

void LockWindow::SHOW_PASSWORD_TICKBOX_Click() {
    ENTER_PASSWORD_TEXTBOX->setPasswordChar(
        SHOW_PASSWORD_TICKBOX->value() == 1 ? QString() : QStringLiteral("*"));
}

void LockWindow::VL_QUORIX_CREATOR_Click() {
    VL_QUORIX_CREATOR->setText(QLatin1String(authorContact));
}

void registerLockWindows() {
    Windows::registerFactory(WindowKind::Lock, [] { return new LockWindow; });
    Windows::registerFactory(WindowKind::Password, [] { return new PasswordWindow; });
}

} // namespace vq
