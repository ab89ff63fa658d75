// The operating system's facilities as the program uses them, built in one place. Only the folder
// of the system the program is built for implements MakePlatform; everything else sees the
// interfaces. A new facility is one member here and one line in that folder's MakePlatform.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/desktop_notifier.h"
#include "platform/file_store.h"
#include "platform/instance_lock.h"
#include "platform/journal_file.h"
#include "platform/settings_store.h"
#include "platform/sound.h"
#include "platform/startup_entry.h"
#include "platform/system_clock.h"
#include "platform/udp_transport.h"
#include "platform/url_launcher.h"

struct Platform
{
    std::unique_ptr<SystemClock> clock;
    std::unique_ptr<SettingsStore> settings;     // the user's settings key
    std::unique_ptr<JournalFile> notesFile;      // not yet bound to a path
    std::unique_ptr<InstanceLock> instanceLock;  // not yet acquired
    std::unique_ptr<FileStore> files;            // whole files the user edits, such as the contacts
    std::unique_ptr<UrlLauncher> urlLauncher;    // the desktop's browser and mail program
    std::filesystem::path dataHome;              // where users' data folders go; empty when unknown
    std::shared_ptr<Sound> sound;                // shared: a sound may outlive the window on its thread
    // The time client's network, and a clock a worker thread may keep a share of.
    std::shared_ptr<UdpTransport> udp;
    std::shared_ptr<const SystemClock> workerClock;
    std::unique_ptr<StartupEntry> startupEntry;  // the user's and the machine's start-at-logon entries
    std::filesystem::path programFile;           // what a start-at-logon entry starts: ProgramFile()
    // The desktop's notifications, made once the window's application exists; empty or giving
    // null: none, and the tray's messages stand in.
    std::function<std::unique_ptr<DesktopNotifier>()> makeNotifier;
    // The system's font files, for Qt's picture-only platform where it does not find them itself
    // (Windows); empty where it does.
    std::filesystem::path fontDir;
};

// Moves the clock for a process that may not set it itself, through the system's time service.
using PrivilegedClockShift = std::function<ClockChange(std::chrono::microseconds delta)>;

// Every member set. Building touches nothing on disk: the settings are read, and the lock is taken,
// only when asked. `instanceName` names the single-instance lock; `privilegedShift`, when given,
// is how the clock is moved where the process may not move it.
Platform MakePlatform(const std::string& instanceName, PrivilegedClockShift privilegedShift = {});
