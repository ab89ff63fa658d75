// --sync: one sync of the notes with the stored (or given) account, and a fresh local copy of the
// calendars shown read-only, one line a calendar.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "platform/file_store.h"
#include "platform/platform.h"
#include "platform/program_dir.h"
#include "platform/settings_store.h"
#include "sync/note_sync.h"
#include "sync/password_store.h"

struct SyncCommandInput
{
    // Given on the command line: the account is stored, replacing the one before.
    std::optional<std::string> server, user, calendar;
    std::vector<std::string> show, subscribe;
    std::filesystem::path notesPath;
    std::optional<std::string> environmentPassword;  // DNIARZ_SYNC_PASSWORD, when set
    std::optional<int> timeoutSeconds;               // DNIARZ_SYNC_TIMEOUT, when set
    // Asks on the terminal, without echo when `secret`; nothing where there is no terminal.
    std::function<std::optional<std::string>(const std::string& question, bool secret)> ask;
    NoteSyncClock clock;
};

struct SyncServices
{
    SettingsStore& settings;
    FileStore& files;
    NotesJournal& journal;
    PasswordStore& passwords;
};

// Prints "NAME: wysłane N, odebrane M, konflikty K" for the notes' calendar and "NAME: wydarzenia N"
// for each shown one. Exit code 0 after a sync; 1 when the server could not be reached, refused
// the account (401) or failed mid-way; 2 for settings that are missing or wrong (no account, an
// address that is none, a calendar not found) and for notes or files that cannot be read or written.
// Needs a QCoreApplication, and makes one when there is none.
int RunSyncCommand(const SyncCommandInput& input, SyncServices services, std::ostream& out, std::ostream& err);

// --sync wired to the system (sync_mode.cpp, built with the system's platform): the notes in the program's folder, the
// user's settings, the keyring, DNIARZ_SYNC_PASSWORD and DNIARZ_SYNC_TIMEOUT, questions on the terminal.
int RunSyncMode(const CommandLine& options, const ProgramFiles& files, Platform& platform);
