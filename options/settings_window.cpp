#include "options/settings_window.h"

#include "frame/intentions.h"
#include "frame/windows.h"
#include "options/wrapping_controls.h"
#include "settings/convert.h"
#include "settings/store.h"

namespace vq {

namespace {
void writeTick(const keys::Key& key, const TickBox* box) {
    Store::instance().write(key, convert::integerText(box->value()));
}
} // namespace

SettingsWindow::SettingsWindow()
    : Form(Kind, "VL_QUORIX_SETTINGS",
           Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("VELMORA - QUORIX-V2 - SETTINGS"));

    // Created in tab order, so the focus chain needs no rearranging.
    NAME_CHANGE_LOCK_TICKBOX =
        new WrappingTickBox(this, QStringLiteral("Lock Crypto Name and Wallet Names"));
    place(NAME_CHANGE_LOCK_TICKBOX, "NAME_CHANGE_LOCK_TICKBOX", 2160, 240, 1815, 495);

    AUTOSAVE_TICKBOX = new WrappingTickBox(this, QStringLiteral("Auto-Save Every 1-Minute"));
    place(AUTOSAVE_TICKBOX, "AUTOSAVE_TICKBOX", 240, 840, 2295, 375);

    CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON =
        new WrappingButton(this, QStringLiteral("Clear All Saved Crypto Data"));
    place(CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON, "CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON", 240, 1920, 1455,
          735);
    CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON->setEnabled(false);

    ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX =
        new WrappingTickBox(this, QStringLiteral("Enable \"Clear All Saved Crypto Data\" Button"));
    place(ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX,
          "ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX", 240, 1320, 3615, 495);

    AlwaysOnTopTimer_TICKBOX = new WrappingTickBox(this, QStringLiteral("Always On Top"));
    place(AlwaysOnTopTimer_TICKBOX, "AlwaysOnTopTimer_TICKBOX", 240, 240, 1575, 495);
    // Ticked before the load, so that a stored "1" raises nothing and an
    // empty store switches the main window's timer off.
    AlwaysOnTopTimer_TICKBOX->setValue(1);

    OK_BUTTON = new Button(this, QStringLiteral("OK"));
    place(OK_BUTTON, "OK_BUTTON", 2400, 1920, 1575, 735);

    NAME_CHANGE_LOCK_TICKBOX->setAccessibleDescription(
        QStringLiteral("Makes the coin name and the wallet names read-only."));
    AUTOSAVE_TICKBOX->setAccessibleDescription(
        QStringLiteral("Saves the wallet sheet once a minute."));
    CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON->setAccessibleDescription(
        QStringLiteral("Resets every wallet, the coin name and the rate. Tick the box below it "
                       "first."));
    ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX->setAccessibleDescription(
        QStringLiteral("Makes the clear-all button usable."));
    AlwaysOnTopTimer_TICKBOX->setAccessibleDescription(
        QStringLiteral("Keeps the small start window above all others."));
    OK_BUTTON->setAccessibleDescription(QStringLiteral("Closes the settings window."));

    chainTabs({NAME_CHANGE_LOCK_TICKBOX, AUTOSAVE_TICKBOX, CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON,
               ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX, AlwaysOnTopTimer_TICKBOX,
               OK_BUTTON});

    // Connected after the initial states are set: those are design state,
    // not clicks.
    connect(NAME_CHANGE_LOCK_TICKBOX, &TickBox::click, this,
            &SettingsWindow::NAME_CHANGE_LOCK_TICKBOX_Click);
    connect(AUTOSAVE_TICKBOX, &TickBox::click, this, &SettingsWindow::AUTOSAVE_TICKBOX_Click);
    connect(CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON, &QPushButton::clicked, this,
            &SettingsWindow::CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_Click);
    connect(ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX, &TickBox::click, this,
            &SettingsWindow::ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX_Click);
    connect(AlwaysOnTopTimer_TICKBOX, &TickBox::click, this,
            &SettingsWindow::AlwaysOnTopTimer_TICKBOX_Click);
    connect(OK_BUTTON, &QPushButton::clicked, this, &SettingsWindow::OK_BUTTON_Click);
}

void SettingsWindow::Form_Load() {
    restoreGeometry(keys::settingsWindow);
    // Each write that changes a box raises its click handler, which applies
    // the stored switch to the other windows and stores it again.
    AUTOSAVE_TICKBOX->setValue(readTick(keys::autosave));
    AlwaysOnTopTimer_TICKBOX->setValue(readTick(keys::alwaysOnTopForSettings));
    NAME_CHANGE_LOCK_TICKBOX->setValue(readTick(keys::nameChangeLock));
}

void SettingsWindow::Form_Unload() {
    Store::Batch batch;
    saveGeometry(keys::settingsWindow);
    writeTick(keys::nameChangeLock, NAME_CHANGE_LOCK_TICKBOX);
    writeTick(keys::autosave, AUTOSAVE_TICKBOX);
    writeTick(keys::alwaysOnTopForSettings, AlwaysOnTopTimer_TICKBOX);
}

void SettingsWindow::AlwaysOnTopTimer_TICKBOX_Click() {
    // A main window closed behind a free-standing sheet is not brought back
    // just to switch its timer.
    if (auto* main = Windows::find<MainIntentions>())
        main->setAlwaysOnTop(AlwaysOnTopTimer_TICKBOX->value() == 1);
    writeTick(keys::alwaysOnTopForSettings, AlwaysOnTopTimer_TICKBOX);
}

void SettingsWindow::AUTOSAVE_TICKBOX_Click() {
    if (auto* sheet = Windows::find<SheetIntentions>())
        sheet->setAutoSave(AUTOSAVE_TICKBOX->value() == 1);
    writeTick(keys::autosave, AUTOSAVE_TICKBOX);
}

void SettingsWindow::NAME_CHANGE_LOCK_TICKBOX_Click() {
    if (auto* sheet = Windows::find<SheetIntentions>())
        sheet->setNamesLocked(NAME_CHANGE_LOCK_TICKBOX->value() == 1);
    writeTick(keys::nameChangeLock, NAME_CHANGE_LOCK_TICKBOX);
}

void SettingsWindow::ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX_Click() {
    CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON->setEnabled(
        ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX->value() == 1);
}

void SettingsWindow::CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_Click() {
    // Everything this click stores, including what the raised handlers store,
    // reaches the disk as one replacement of the file.
    Store::Batch batch;
    // The sheet is this window's owner, so it is open; it clears and stores
    // its own fields.
    if (auto* sheet = Windows::get<SheetIntentions>())
        sheet->clearAllToDesign();
    NAME_CHANGE_LOCK_TICKBOX->setValue(0);
    writeTick(keys::nameChangeLock, NAME_CHANGE_LOCK_TICKBOX);

    // One clear-all per opening of the window: the arming box stays locked
    // until the window is closed.
    CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON->setEnabled(false);
    ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX->setEnabled(false);
    ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX->setValue(0);
}

void SettingsWindow::OK_BUTTON_Click() {
    unload();
}

void registerSettingsWindow() {
    Windows::registerFactory(SettingsWindow::Kind, [] { return new SettingsWindow; });
}

} // namespace vq
