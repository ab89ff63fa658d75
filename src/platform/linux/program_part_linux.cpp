// Loading a part of the program with dlopen.
#include "platform/program_part.h"

#include <dlfcn.h>

ProgramPartEntry LoadProgramPart(const std::filesystem::path& file, const char* entry, std::string& error)
{
    // Every reference resolved now: a missing library or symbol shows here, with a message, and
    // not as a crash in the middle of the window's start. Local, so that the part's own copies of
    // the core never stand in for the program's.
    void* library = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* reason = ::dlerror();
        error = reason ? reason : "dlopen";
        return nullptr;
    }
    void* function = ::dlsym(library, entry);
    if (!function) {
        const char* reason = ::dlerror();
        error = reason ? reason : entry;
        return nullptr;
    }
    return reinterpret_cast<ProgramPartEntry>(function);
}
