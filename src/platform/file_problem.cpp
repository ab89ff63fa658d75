// Reasons for failed reads and writes, in Polish.
#include "platform/file_problem.h"

#include <cerrno>

std::string FileProblemText(FileProblem problem)
{
    switch (problem) {
    case FileProblem::None:
        return {};
    case FileProblem::Missing:
        return "nie ma takiego pliku";
    case FileProblem::NoFolder:
        return "nie ma takiego folderu";
    case FileProblem::NotRegular:
        return "to nie jest zwykły plik";
    case FileProblem::TooLarge:
        return "plik jest większy niż dopuszczalny";
    case FileProblem::NoSpace:
        return "brak miejsca na dysku";
    case FileProblem::NoPermission:
        return "brak uprawnień";
    case FileProblem::ReadOnly:
        return "system plików jest tylko do odczytu";
    case FileProblem::NoMemory:
        return "brak pamięci";
    case FileProblem::Other:
        break;
    }
    return "błąd systemu";
}

FileProblem FileProblemOf(const std::error_code& error)
{
    if (!error)
        return FileProblem::None;
    if (error.category() == std::system_category())
        return SystemFileProblem(error.value());
    if (error.category() != std::generic_category())
        return FileProblem::Other;
    switch (static_cast<std::errc>(error.value())) {
    case std::errc::no_such_file_or_directory:
        return FileProblem::Missing;
    case std::errc::not_a_directory:
        return FileProblem::NoFolder;
    case std::errc::invalid_argument:
    case std::errc::is_a_directory:
    case std::errc::too_many_symbolic_link_levels:
    case std::errc::no_such_device:
    case std::errc::no_such_device_or_address:
        return FileProblem::NotRegular;
    case std::errc::file_too_large:
        return FileProblem::TooLarge;
    case std::errc::no_space_on_device:
        return FileProblem::NoSpace;
    case std::errc::permission_denied:
    case std::errc::operation_not_permitted:
        return FileProblem::NoPermission;
    case std::errc::read_only_file_system:
        return FileProblem::ReadOnly;
    case std::errc::not_enough_memory:
        return FileProblem::NoMemory;
    default:
        break;
    }
#ifdef EDQUOT
    // The user's quota is full: to the user, the same as a full disk.
    if (error.value() == EDQUOT)
        return FileProblem::NoSpace;
#endif
    return FileProblem::Other;
}
