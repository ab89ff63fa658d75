// UrlLauncher on Windows: the address goes to ShellExecuteW, which starts whatever program the
// user chose for its scheme.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/url_launcher.h"

class ShellUrlLauncher final : public UrlLauncher
{
public:
    // Hands one address to the shell; false when nothing could be started. Tests replace it.
    using Open = std::function<bool(const std::wstring& address)>;

    ShellUrlLauncher();
    explicit ShellUrlLauncher(Open open) : m_open(std::move(open)) {}

    bool OpenInBrowser(const std::string& address) override;
    bool OpenMail(const std::string& address) override;

private:
    Open m_open;
};

// What the shell is given for a web address: the address with "http://" in front when it has no
// scheme. The shell runs programs and opens files as readily as addresses, so only the web's
// schemes pass; a path ("C:\x.exe", "\\server\x.exe"), "file:" and every other scheme, and what
// IsSafeAddress refuses, give nothing.
std::optional<std::string> ShellWebAddress(const std::string& address);

// The shell's default open of a single address.
bool ShellOpen(const std::wstring& address);
