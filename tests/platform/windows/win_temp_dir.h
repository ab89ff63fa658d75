// A fresh folder for one test under Windows' temporary folder, its name in Polish letters and
// Cyrillic, so that every test also checks that paths are wide strings all the way down.
#pragma once

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <string>

class WinTempDir
{
public:
    WinTempDir()
    {
        static std::atomic<int> counter{0};
        wchar_t base[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, base);
        m_path = std::filesystem::path(base)
                 / (L"dniarz-test Mój program Дняр-" + std::to_wstring(GetCurrentProcessId()) + L"-"
                    + std::to_wstring(counter++));
        std::filesystem::create_directories(m_path);
    }
    ~WinTempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    WinTempDir(const WinTempDir&) = delete;
    WinTempDir& operator=(const WinTempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};
