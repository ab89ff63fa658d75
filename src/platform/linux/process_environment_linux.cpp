// On Linux the command line and the environment are already the bytes the program wants.
#include "platform/process_environment.h"

#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>

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

std::optional<std::string> AskOnTerminal(const std::string& prompt, bool secret)
{
    if (!isatty(STDIN_FILENO))
        return std::nullopt;
    std::cerr << prompt << std::flush;
    termios before{};
    const bool hide = secret && tcgetattr(STDIN_FILENO, &before) == 0;
    if (hide) {
        termios quiet = before;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        (void)tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);  // without it the password shows, but still works
    }
    std::string line;
    const bool read = static_cast<bool>(std::getline(std::cin, line));
    if (hide) {
        (void)tcsetattr(STDIN_FILENO, TCSAFLUSH, &before);
        std::cerr << '\n';
    }
    return read ? std::optional<std::string>(line) : std::nullopt;
}
