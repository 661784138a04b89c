#include "app/all_windows.h"

#include "about/about_window.h"
#include "compact/main_window.h"
#include "frame/windows.h"
#include "lock/lock_window.h"
#include "options/settings_window.h"
#include "sheet/sheet_window.h"

namespace vq {

void registerAllWindows() {
    registerMainWindow();
    registerSheetWindow();
    registerSettingsWindow();
    registerLockWindows();
    registerAboutWindow();
}

} // namespace vq
