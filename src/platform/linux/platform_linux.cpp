// The Linux facilities behind the platform interfaces.
#include "platform/platform.h"

#include "platform/linux/alsa_sound.h"
#include "platform/linux/file_settings_store.h"
#include "platform/linux/linux_instance_lock.h"
#include "platform/linux/linux_journal_file.h"
#include "platform/linux/linux_system_clock.h"
#include "platform/linux/xdg_dirs.h"
#include "platform/linux/xdg_startup_entry.h"
#include "platform/program_dir.h"

Platform MakePlatform(const std::string& instanceName)
{
    Platform platform;
    platform.clock = std::make_unique<LinuxSystemClock>();
    platform.settings = std::make_unique<FileSettingsStore>(ProgramSettingsFile(XdgConfigHomeFromEnvironment()));
    platform.notesFile = std::make_unique<LinuxJournalFile>();
    platform.instanceLock = std::make_unique<LinuxInstanceLock>(DefaultInstanceLockPath(instanceName));
    platform.dataHome = XdgDataHomeFromEnvironment();
    platform.sound = std::make_shared<AlsaSound>();
    platform.startupEntry = std::make_unique<XdgStartupEntry>(ProgramStartupEntry(XdgConfigHomeFromEnvironment()));
    platform.programFile = ProgramFile();
    return platform;
}
