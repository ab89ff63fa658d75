// Finding, loading and running the window's part.
#include "app/window_part.h"

#include <string>
#include <system_error>

#include "platform/path_text.h"
#include "platform/program_dir.h"
#include "platform/program_part.h"

std::vector<std::filesystem::path> WindowPartPlaces(const std::filesystem::path& executableDir,
                                                    const std::filesystem::path& fileName)
{
    return {executableDir / fileName, (executableDir / ".." / "libexec" / "dniarz" / fileName).lexically_normal()};
}

int RunWindowPart(int argc, char** argv, std::ostream& err)
{
    const std::vector<std::filesystem::path> places = WindowPartPlaces(ExecutableDir(),
                                                                       std::filesystem::path(DNIARZ_WINDOW_PART));
    for (const std::filesystem::path& place : places) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(place, ec))
            continue;
        std::string error;
        const ProgramPartEntry entry = LoadProgramPart(place, "DniarzWindowMain", error);
        if (!entry) {
            err << "dniarz: nie można wczytać okna programu z " << PathToUtf8(place) << ": " << error << '\n';
            return 1;
        }
        return entry(argc, argv);
    }
    err << "dniarz: brak pliku " << DNIARZ_WINDOW_PART << " z oknem programu (szukany w "
        << PathToUtf8(places.front().parent_path()) << " i " << PathToUtf8(places.back().parent_path()) << ")\n";
    return 1;
}
