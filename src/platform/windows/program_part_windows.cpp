// Loading a part of the program with LoadLibraryExW.
#include "platform/program_part.h"

#include <windows.h>

#include "platform/windows/win_text.h"

ProgramPartEntry LoadProgramPart(const std::filesystem::path& file, const char* entry, std::string& error)
{
    // The part's own DLLs (Qt's) are looked for in its folder first, as the program's are in its.
    HMODULE library = LoadLibraryExW(file.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!library) {
        error = SystemErrorText(GetLastError());
        return nullptr;
    }
    FARPROC function = GetProcAddress(library, entry);
    if (!function) {
        error = SystemErrorText(GetLastError());
        return nullptr;
    }
    return reinterpret_cast<ProgramPartEntry>(reinterpret_cast<void*>(function));
}
