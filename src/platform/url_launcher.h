// Handing web and mail addresses to the desktop's programs, and the rules that turn a program's
// registered command line into the arguments it is started with.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class UrlLauncher
{
public:
    virtual ~UrlLauncher() = default;
    // Starts the default web browser with the address; false when no browser could be started.
    virtual bool OpenInBrowser(const std::string& address) = 0;
    // Starts the default mail program for "mailto:" + address. Whether it really opened cannot
    // be told; false only when not even the desktop's opener could be started.
    virtual bool OpenMail(const std::string& address) = 0;
};

// A registered command line cut just before its address placeholder: the quoted placeholder
// ("%1", or a desktop entry's "%u", "%U", "%f" or "%F" in double quotes) is looked for first,
// then the bare one; everything from it on, later arguments included, is dropped. A line without
// a placeholder comes back whole.
std::string CutAtPlaceholder(std::string_view commandLine);

// The values of a desktop entry's string keys may hold \s, \n, \t, \r and \\.
std::string UnescapeDesktopValue(std::string_view value);

// Splits an Exec value into arguments by the desktop entry quoting rules: blanks separate,
// double quotes group, and inside them a backslash escapes '"', '`', '$' and '\'. Nothing when a
// quote is left open.
std::optional<std::vector<std::string>> SplitExecLine(std::string_view exec);

// The Exec value of the [Desktop Entry] group of a desktop file, unescaped; nothing when absent.
std::optional<std::string> DesktopEntryExec(std::string_view desktopFile);

// An address a program may be given: not empty, no line ends, and not beginning with '-', which
// the program would read as an option of its own.
bool IsSafeAddress(std::string_view address);

// "mailto:" + address, without the header fields that attach files ("attach", "attachment", in
// any case or percent-encoding): mail programs take them from the address and would attach a
// file of the user's to a message the address's author has written.
std::string MailUrl(std::string_view address);

// The arguments that start a browser from its desktop entry's Exec value: cut at the placeholder,
// split, the remaining field codes resolved (%% is a percent sign, the others go), then the
// address as one argument of its own. Nothing when the line is malformed or names no program.
std::optional<std::vector<std::string>> BrowserArguments(std::string_view exec, const std::string& address);
