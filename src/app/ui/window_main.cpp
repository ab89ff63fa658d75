// The window's part: a library of its own (dniarz-window), loaded by the command line's program
// only for the modes that need Qt. Its one entry point starts the way the program itself does.
#include <QtGlobal>

#include <iostream>
#include <optional>

#include "app/program_start.h"
#include "app/ui/run_gui.h"
#include "platform/path_text.h"
#include "platform/platform.h"
#include "platform/program_dir.h"
#include "platform/time_service.h"
#ifdef DNIARZ_HAVE_SYNC
#include "sync/caldav/sync_command.h"
#endif

// The process's own arguments; returns its exit code. The console was prepared by the program
// that loaded this part.
extern "C" Q_DECL_EXPORT int DniarzWindowMain(int argc, char** argv)
{
    const std::optional<CommandLine> options = ReadCommandLine(argc, argv, std::cerr);
    if (!options)
        return 2;
    // Without the privilege to set the clock, the system's time service is asked instead.
    Platform platform = MakePlatform("ZWDNIARZ", ShiftThroughTimeService);
    platform.makeNotifier = [] { return MakeDesktopNotifier(); };
    const std::optional<ProgramFiles> files = FindProgramFiles(*options, platform, std::cerr);
    if (!files)
        return 1;
    // Every mode NeedsWindowPart names has its case here.
    switch (options->mode) {
    case CommandLine::Mode::Screenshot:
        return RunScreenshot(argc, argv, *options, *files, platform);
    case CommandLine::Mode::Window:
        break;
    case CommandLine::Mode::Sync:
#ifdef DNIARZ_HAVE_SYNC
        return RunSyncMode(*options, *files, platform);
#else
        std::cerr << "dniarz: ta wersja programu nie obsługuje synchronizacji kalendarzy\n";
        return 2;
#endif
    default:
        std::cerr << "dniarz: tego trybu nie uruchamia okno programu\n";
        return 2;
    }
    // Only the window is single: printing and pictures may run beside it. A lock that cannot be
    // made at all (no writable runtime or temporary folder) must not keep the calendar from
    // starting, so only a lock held by another copy ends this one, quietly.
    if (platform.instanceLock->TryAcquire() == LockResult::HeldByAnother)
        return 0;
    // The user's data folder is made on first use; a failure shows when the notes cannot be opened.
    if (files->OwnsUserDir() && !EnsurePrivateDirectory(files->userDir))
        std::cerr << "dniarz: nie można utworzyć folderu " << PathToUtf8(files->userDir) << '\n';
    return RunWindow(argc, argv, *options, *files, platform);
}
