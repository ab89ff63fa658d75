// Why a file could not be read or written, in a few Polish words for the user: one table for every
// system, fed by each system's own error numbers.
#pragma once

#include <string>
#include <system_error>

enum class FileProblem
{
    None,
    Missing,       // no such file
    NoFolder,      // the folder it was to be written in is not there
    NotRegular,    // a folder, a link, a FIFO, a device: no regular file
    TooLarge,      // beyond the limit for its kind of file
    NoSpace,       // the disk (or the user's quota) is full
    NoPermission,  // the system refused access
    ReadOnly,      // a read-only file system or medium
    NoMemory,
    Other  // anything else the system said
};

// The reason as it follows "nie można zapisać pliku X: ", e.g. "brak miejsca na dysku";
// empty for None.
std::string FileProblemText(FileProblem problem);

// The problem an error code stands for: a portable (generic) code or a system one.
FileProblem FileProblemOf(const std::error_code& error);

// A system's own error number (errno on Linux, GetLastError on Windows) as a problem; defined by
// each system's file reader.
FileProblem SystemFileProblem(int code);
