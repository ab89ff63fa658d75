// Replacing a small file so that a crash never leaves half of it.
#pragma once

#include <filesystem>
#include <string_view>

// Replaces `file` with `content` so that a crash or a full disk leaves either the old file or the
// new one, never a mixture: a new file beside it, flushed, then renamed over it. Creates the folder.
bool WriteFileAtomically(const std::filesystem::path& file, std::string_view content);
