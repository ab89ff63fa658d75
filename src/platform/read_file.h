// The one way the program reads a whole file it finds on the disk: the notes, the settings, the
// contacts, the server list, desktop entries. Only a regular file is read, never further than a
// limit for its kind, so that a FIFO cannot block the program, a device such as /dev/zero cannot
// fill the memory and a huge (or sparse) file cannot end it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

// The limits, by kind of file: each far above what the program writes or a person keeps.
inline constexpr std::uint64_t kSmallFileLimit = 64 * 1024;            // TIMESRV.INI, desktop entries, ferie-zimowe.txt
inline constexpr std::uint64_t kRichTextLimit = 256ULL * 1024 * 1024;  // tel.rtf, info.rtf
inline constexpr std::uint64_t kSettingsLimit = 16ULL * 1024 * 1024;   // the settings export
inline constexpr std::uint64_t kNotesLimit = 1024ULL * 1024 * 1024;    // dnz.dat, kept whole in memory

// The whole file at `path`, at most `limit` bytes. On failure `contents` is empty and the error
// is one of: std::errc::no_such_file_or_directory (missing), std::errc::invalid_argument (a FIFO,
// a device, a folder: no regular file), std::errc::file_too_large (beyond `limit`),
// std::errc::not_enough_memory (no memory for it), or what the system said.
std::error_code ReadFileSafely(const std::filesystem::path& path, std::uint64_t limit, std::string& contents);

// A failed read in a few English words, for logs and the command line.
std::string ReadFailureText(const std::error_code& error);
