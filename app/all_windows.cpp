#include "app/all_windows.h"

#include "about/about_window.h"
#include "frame/main_window.h"
#include "frame/windows.h"
#include "lock/lock_window.h"
#include "options/settings_window.h"
#include "sheet/sheet_window.h"

namespace vq {

void registerAllWindows() {
    Windows::registerFactory(WindowKind::Main, [] { return new MainWindow; });
    registerSheetWindow();
    registerSettingsWindow();
    registerLockWindows();
    registerAboutWindow();
}

} // namespace vq
