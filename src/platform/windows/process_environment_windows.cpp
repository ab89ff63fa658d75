// The wide command line and environment, turned into UTF-8: the narrow ones Windows offers are in
// the user's code page, which has no Cyrillic for a Polish user and no Polish letters for others.
#include "platform/process_environment.h"

#include <windows.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <streambuf>

#include "platform/windows/win_text.h"

std::vector<std::string> CommandLineArguments(int argc, char** argv)
{
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide)
        return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(Narrow(wide[i]));
    LocalFree(wide);
    return arguments;
}

std::optional<std::string> EnvironmentValue(const char* name)
{
    const std::wstring wideName = Widen(name);
    SetLastError(ERROR_SUCCESS);
    const DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (size == 0)
        return GetLastError() == ERROR_ENVVAR_NOT_FOUND ? std::nullopt : std::optional<std::string>(std::string());
    std::wstring value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(), size);
    value.resize(length);
    return Narrow(value);
}

namespace {

// std::cout into the C library's buffered standard output, which goes on to a console whenever a
// line is whole: the user sees each line as it is printed, and a line never reaches the console
// in pieces (a Polish letter's two bytes split between two writes would show as two wrong ones).
class WholeLines final : public std::streambuf
{
public:
    explicit WholeLines(std::FILE* file) : m_file(file) {}

protected:
    int_type overflow(int_type c) override
    {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        if (std::fputc(c, m_file) == EOF)
            return traits_type::eof();
        if (c == '\n')
            std::fflush(m_file);
        return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        const std::size_t written = std::fwrite(s, 1, static_cast<std::size_t>(n), m_file);
        if (std::memchr(s, '\n', written))
            std::fflush(m_file);
        return static_cast<std::streamsize>(written);
    }
    int sync() override { return std::fflush(m_file) == 0 ? 0 : -1; }

private:
    std::FILE* m_file;
};

}  // namespace

void PrepareConsoleOutput()
{
    // Output sent to a file or a pipe already has somewhere to go; a console is looked for only
    // when there is none.
    if (GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) == FILE_TYPE_UNKNOWN && AttachConsole(ATTACH_PARENT_PROCESS)) {
        (void)std::freopen("CONOUT$", "w", stdout);
        (void)std::freopen("CONOUT$", "w", stderr);
    }
    SetConsoleOutputCP(CP_UTF8);
    // The C library leaves standard output unbuffered, a system call for every character
    // std::cout hands it: a year of days printed took a dozen times as long as on Linux. To a
    // file or a pipe it is now written in large blocks, to a console a line at a time.
    constexpr std::size_t kBuffer = 64 * 1024;
    (void)std::setvbuf(stdout, nullptr, _IOFBF, kBuffer);
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stdout)));
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        static WholeLines lines(stdout);
        std::cout.rdbuf(&lines);
    }
}

std::optional<std::string> AskOnTerminal(const std::string& prompt, bool secret)
{
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (input == INVALID_HANDLE_VALUE || !GetConsoleMode(input, &mode))
        return std::nullopt;
    std::cerr << prompt << std::flush;
    if (secret)
        SetConsoleMode(input, mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    std::wstring line;
    wchar_t c = 0;
    DWORD got = 0;
    bool read = false;
    while (ReadConsoleW(input, &c, 1, &got, nullptr) && got == 1) {
        read = true;
        if (c == L'\n')
            break;
        if (c != L'\r')
            line += c;
    }
    if (secret) {
        SetConsoleMode(input, mode);
        std::cerr << '\n';
    }
    return read ? std::optional<std::string>(Narrow(line)) : std::nullopt;
}
