// The operating system's facilities as the program uses them, built in one place. Only the folder
// of the system the program is built for implements MakePlatform; everything else sees the
// interfaces. A new facility is one member here and one line in that folder's MakePlatform.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/instance_lock.h"
#include "platform/journal_file.h"
#include "platform/settings_store.h"
#include "platform/sound.h"
#include "platform/startup_entry.h"
#include "platform/system_clock.h"

struct Platform
{
    std::unique_ptr<SystemClock> clock;
    std::unique_ptr<SettingsStore> settings;    // the user's settings key
    std::unique_ptr<JournalFile> notesFile;     // not yet bound to a path
    std::unique_ptr<InstanceLock> instanceLock; // not yet acquired
    std::filesystem::path dataHome;             // where users' data folders go; empty when unknown
    std::shared_ptr<Sound> sound;               // shared: a sound may outlive the window on its thread
    std::unique_ptr<StartupEntry> startupEntry; // the user's and the machine's start-at-logon entries
    std::filesystem::path programFile;          // what a start-at-logon entry starts: ProgramFile()
};

// Every member set. Building touches nothing on disk: the settings are read, and the lock is taken,
// only when asked. `instanceName` names the single-instance lock.
Platform MakePlatform(const std::string& instanceName);
