// The Linux facilities behind the platform interfaces.
#include "platform/platform.h"

#include "platform/linux/alsa_sound.h"
#include "platform/linux/file_settings_store.h"
#include "platform/linux/linux_file_store.h"
#include "platform/linux/linux_instance_lock.h"
#include "platform/linux/linux_journal_file.h"
#include "platform/linux/linux_system_clock.h"
#include "platform/linux/linux_udp_transport.h"
#include "platform/linux/xdg_dirs.h"
#include "platform/linux/xdg_startup_entry.h"
#include "platform/linux/xdg_url_launcher.h"
#include "platform/program_dir.h"

Platform MakePlatform(const std::string& instanceName, PrivilegedClockShift privilegedShift)
{
    Platform platform;
    platform.clock = std::make_unique<LinuxSystemClock>(std::move(privilegedShift));
    platform.settings = std::make_unique<FileSettingsStore>(ProgramSettingsFile(XdgConfigHomeFromEnvironment()));
    platform.notesFile = std::make_unique<LinuxJournalFile>();
    platform.instanceLock = std::make_unique<LinuxInstanceLock>(DefaultInstanceLockPath(instanceName));
    platform.files = std::make_unique<LinuxFileStore>();
    platform.urlLauncher = std::make_unique<XdgUrlLauncher>();
    platform.dataHome = XdgDataHomeFromEnvironment();
    platform.sound = std::make_shared<AlsaSound>();
    platform.udp = std::make_shared<LinuxUdpTransport>();
    platform.workerClock = std::make_shared<LinuxSystemClock>();
    platform.startupEntry = std::make_unique<XdgStartupEntry>(ProgramStartupEntry(XdgConfigHomeFromEnvironment()));
    platform.programFile = ProgramFile();
    return platform;
}
