// The Windows facilities behind the platform interfaces.
#include "platform/platform.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "platform/windows/registry_settings_store.h"
#include "platform/windows/registry_startup_entry.h"
#include "platform/windows/shell_url_launcher.h"
#include "platform/windows/wave_out_sound.h"
#include "platform/windows/windows_file_store.h"
#include "platform/windows/windows_instance_lock.h"
#include "platform/windows/windows_journal_file.h"
#include "platform/windows/windows_system_clock.h"
#include "platform/windows/windows_udp_transport.h"
#include "platform/program_dir.h"

namespace {

// %LOCALAPPDATA% is for the user's files that do not roam with the profile, as the notes should
// not (two machines appending to one journal through a roaming profile would lose notes).
std::filesystem::path KnownFolder(REFKNOWNFOLDERID id)
{
    wchar_t* folder = nullptr;
    std::filesystem::path path;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &folder)) && folder)
        path = folder;
    CoTaskMemFree(folder);
    return path;
}

}  // namespace

Platform MakePlatform(const std::string& instanceName, PrivilegedClockShift)
{
    Platform platform;
    // The same id as the installed Start-menu shortcut's, so that Windows shows the notifications
    // and the taskbar button as the program's. A program started from elsewhere (the portable
    // ZIP) still runs; Windows then only names it by its file.
    (void)SetCurrentProcessExplicitAppUserModelID(DNIARZ_APP_USER_MODEL_ID);
    // Setting the clock needs the right to in the token; there is no service to ask instead.
    platform.clock = std::make_unique<WindowsSystemClock>();
    platform.settings = std::make_unique<RegistrySettingsStore>();
    platform.notesFile = std::make_unique<WindowsJournalFile>();
    platform.instanceLock = std::make_unique<WindowsInstanceLock>(instanceName);
    platform.files = std::make_unique<WindowsFileStore>();
    platform.urlLauncher = std::make_unique<ShellUrlLauncher>();
    platform.dataHome = KnownFolder(FOLDERID_LocalAppData);
    platform.sound = std::make_shared<WaveOutSound>();
    platform.udp = std::make_shared<WindowsUdpTransport>();
    platform.workerClock = std::make_shared<WindowsSystemClock>();
    platform.startupEntry = std::make_unique<RegistryStartupEntry>();
    platform.programFile = ProgramFile();
    platform.fontDir = KnownFolder(FOLDERID_Fonts);
    return platform;
}
