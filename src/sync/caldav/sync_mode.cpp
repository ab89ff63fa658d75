// --sync wired to the system's facilities, for the window's part.
#include <cstdlib>
#include <iostream>

#include "clock/local_time.h"
#include "platform/path_text.h"
#include "platform/process_environment.h"
#include "sync/caldav/keychain_password_store.h"
#include "sync/caldav/sync_command.h"

int RunSyncMode(const CommandLine& options, const ProgramFiles& files, Platform& platform)
{
    SyncCommandInput input;
    input.server = options.syncServer;
    input.user = options.syncUser;
    input.calendar = options.syncCalendar;
    input.show = options.syncShow;
    input.subscribe = options.syncSubscribe;
    input.notesPath = files.userDir / "dnz.dat";
    input.environmentPassword = EnvironmentValue("DNIARZ_SYNC_PASSWORD");
    if (const std::optional<std::string> timeout = EnvironmentValue("DNIARZ_SYNC_TIMEOUT")) {
        const int seconds = std::atoi(timeout->c_str());
        if (seconds > 0)
            input.timeoutSeconds = seconds;
    }
    input.ask = AskOnTerminal;
    input.clock = {LocalNow(*platform.clock), platform.clock->Now(),
                   [&](std::chrono::system_clock::time_point at) { return platform.clock->UtcOffset(at); }};
    if (files.OwnsUserDir() && !EnsurePrivateDirectory(files.userDir))
        std::cerr << "dniarz: nie można utworzyć folderu " << PathToUtf8(files.userDir) << '\n';
    NotesJournal journal(*platform.notesFile);
    KeychainPasswordStore passwords;
    return RunSyncCommand(input, {*platform.settings, *platform.files, journal, passwords}, std::cout, std::cerr);
}
