// The settings store on Linux: the key kept as a registry export file, so that settings brought
// over from Windows can simply be copied in, and so that a user can read and edit them.
#pragma once

#include <filesystem>
#include <string>

#include "platform/settings_store.h"

class FileSettingsStore final : public SettingsStore
{
public:
    // `file` is used exactly as given; the program passes ProgramSettingsFile(XdgConfigHome...).
    explicit FileSettingsStore(std::filesystem::path file, std::string keyPath = std::string(kSettingsKeyPath));

    std::unique_ptr<SettingsKey> OpenKey(bool create) override;
    bool DeleteKey() override;

    const std::filesystem::path& File() const { return m_file; }
    const std::string& KeyPath() const { return m_keyPath; }

private:
    std::filesystem::path m_file;
    std::string m_keyPath;
};

// configHome/Brenvik/dniarz.reg; empty when configHome is empty.
std::filesystem::path ProgramSettingsFile(const std::filesystem::path& configHome);
