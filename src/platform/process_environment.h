// The process's command line and environment as the program reads them: UTF-8 everywhere, so
// that a folder named in Polish letters or Cyrillic reaches the program whole on any system.
#pragma once

#include <optional>
#include <string>
#include <vector>

// The arguments after the program's name.
std::vector<std::string> CommandLineArguments(int argc, char** argv);
// The variable's value; nullopt when it is not set.
std::optional<std::string> EnvironmentValue(const char* name);
// Makes printed output readable where the program was started from. A window program on Windows
// has no console of its own: it writes to the one it was started from, switched to UTF-8.
void PrepareConsoleOutput();
// A line typed on the terminal the program was started from, after `prompt` on the error output;
// without echo when `secret`. Nothing when the input is no terminal or ended.
std::optional<std::string> AskOnTerminal(const std::string& prompt, bool secret);
