// Starting programs directly, without a shell, so that no argument is ever read as shell syntax.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// Starts argv[0] (looked up in PATH) with the arguments as given and does not wait for it; the
// program is not our child, so it leaves no zombie and outlives us. True when it was started.
bool SpawnDetached(const std::vector<std::string>& argv);

// Runs argv[0] and returns what it wrote to its standard output; nothing when it could not be
// started, failed, or took longer than `timeout` (it is then killed).
std::optional<std::string> CaptureOutput(const std::vector<std::string>& argv, std::chrono::milliseconds timeout);
