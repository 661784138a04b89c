#include "compact/main_window.h"

#include "frame/platform.h"
#include "frame/windows.h"
#include "settings/convert.h"
#include "settings/store.h"

namespace vq {

const QString MainWindow::lockedCaption = QStringLiteral("Unlock Main Screen");
const QString MainWindow::unlockedCaption = QStringLiteral("Main Screen");

namespace {
const QString captionPrefix = QStringLiteral("VL-QX - ");
} // namespace

MainWindow::MainWindow()
    : Form(Kind, "VL_QUORIX_MAIN",
           Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(captionPrefix);

    VELMORA_QUORIX_TITLE = new Label(this, QStringLiteral("VELMORA"));
    place(VELMORA_QUORIX_TITLE, "VELMORA_QUORIX_TITLE", 120, 0, 2055, 315);
    VELMORA_QUORIX_TITLE->makeBanner(8.25, QStringLiteral("Arial"));

    CRYPTO_NAME_START_LABEL = new Label(this, QStringLiteral("Crypto Name"));
    place(CRYPTO_NAME_START_LABEL, "CRYPTO_NAME_START_LABEL", 120, 240, 2055, 315);
    CRYPTO_NAME_START_LABEL->makeBanner(9.75, QStringLiteral("MS Sans Serif"));
    CRYPTO_NAME_START_LABEL->setAccessibleDescription(QStringLiteral("The coin's name."));

    VL_QUORIX_MAIN_BUTTON = new Button(this, unlockedCaption);
    place(VL_QUORIX_MAIN_BUTTON, "VL_QUORIX_MAIN_BUTTON", 120, 600, 2055, 255);
    // Marked the Qt way, so that it is drawn as the default and screen readers
    // are told; the window's own Enter handling presses it wherever the focus is.
    VL_QUORIX_MAIN_BUTTON->setDefault(true);
    setDefaultButton(VL_QUORIX_MAIN_BUTTON);
    VL_QUORIX_MAIN_BUTTON->setAccessibleDescription(
        QStringLiteral("Opens the wallet sheet, or the lock window while the tool is locked. "
                       "Enter presses it."));
    connect(VL_QUORIX_MAIN_BUTTON, &QPushButton::clicked, this,
            &MainWindow::VL_QUORIX_MAIN_BUTTON_Click);

    AlwaysOnTopTimer = new Timer(this, "AlwaysOnTopTimer");
    connect(AlwaysOnTopTimer, &Timer::tick, this, &MainWindow::AlwaysOnTopTimer_Timer);
    LOCK_UNLOAD_TIMER = new Timer(this, "LOCK_UNLOAD_TIMER");
    connect(LOCK_UNLOAD_TIMER, &Timer::tick, this, &MainWindow::LOCK_UNLOAD_TIMER_Timer);
}

int MainWindow::lockState() const {
    return CLIENT_LOCKED_TICKBOX;
}

void MainWindow::setLocked(bool locked) {
    CLIENT_LOCKED_TICKBOX = locked ? 1 : 0;
    VL_QUORIX_MAIN_BUTTON->setText(locked ? lockedCaption : unlockedCaption);
}

void MainWindow::setCoinName(const QString& name) {
    CRYPTO_NAME_START_LABEL->setText(name);
}

void MainWindow::setAlwaysOnTop(bool on) {
    AlwaysOnTopTimer->setEnabled(on);
}

void MainWindow::exitLocked() {
    LOCK_UNLOAD_TIMER->setEnabled(true);
}

void MainWindow::Form_Load() {
    Store& store = Store::instance();
    restoreGeometry(keys::mainWindow);
    CRYPTO_NAME_START_LABEL->setText(store.read(keys::cryptoNameForLabel));
    AlwaysOnTopTimer->setInterval(1000);
    LOCK_UNLOAD_TIMER->setInterval(250);
    setTitleText(this, captionPrefix + CRYPTO_NAME_START_LABEL->text());
    CLIENT_LOCKED_TICKBOX = readTick(keys::clientLocked);
    AlwaysOnTopTimer_TICKBOX = readTick(keys::alwaysOnTopForMain);
    AlwaysOnTopTimer->setEnabled(AlwaysOnTopTimer_TICKBOX == 1);
    VL_QUORIX_MAIN_BUTTON->setText(CLIENT_LOCKED_TICKBOX == 1 ? lockedCaption : unlockedCaption);
}

void MainWindow::Form_Unload() {
    saveGeometry(keys::mainWindow);
    AlwaysOnTopTimer->setEnabled(false);
    LOCK_UNLOAD_TIMER->setEnabled(false);
}

void MainWindow::AlwaysOnTopTimer_Timer() {
    Platform& p = platform();
    const WindowHandle own = handle();
    const WindowHandle foreground = p.foregroundWindow();
    if (foreground == own)
        return;
    p.setTopMost(foreground, false);
    p.setTopMost(own, true);
}

void MainWindow::LOCK_UNLOAD_TIMER_Timer() {
    Store::instance().write(keys::clientLocked, convert::integerText(CLIENT_LOCKED_TICKBOX));
    LOCK_UNLOAD_TIMER->setEnabled(false);
    if (Form* lock = Windows::find(WindowKind::Lock))
        lock->unload();
    unload();
}

void MainWindow::VL_QUORIX_MAIN_BUTTON_Click() {
    if (CLIENT_LOCKED_TICKBOX == 1) {
        VL_QUORIX_MAIN_BUTTON->setText(lockedCaption);
        if (Form* lock = Windows::get(WindowKind::Lock))
            lock->showModal(this);
        return;
    }
    VL_QUORIX_MAIN_BUTTON->setText(unlockedCaption);
    // After the lock window's Cancel the sheet may already stand open on its
    // own: bring it forward rather than open it a second time.
    if (Form* open = Windows::find(WindowKind::Sheet); open && open->isVisible()) {
        open->showNormal();
        open->raise();
        open->activateWindow();
        return;
    }
    if (Form* sheet = Windows::get(WindowKind::Sheet))
        sheet->showModal(this);
}

void registerMainWindow() {
    Windows::registerFactory(WindowKind::Main, [] { return new MainWindow; });
}

} // namespace vq
