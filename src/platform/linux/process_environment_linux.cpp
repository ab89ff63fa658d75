// On Linux the command line and the environment are already the bytes the program wants.
#include "platform/process_environment.h"

#include <cstdlib>

std::vector<std::string> CommandLineArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::optional<std::string> EnvironmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

void PrepareConsoleOutput()
{
}
