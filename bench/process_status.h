// What the benchmarks read of their own process: its memory from /proc/self/status.
#pragma once

#include <cstdlib>
#include <fstream>
#include <string>

// A field of /proc/self/status in KiB ("VmRSS", "VmHWM"); -1 when it is missing.
inline long StatusKib(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
    return -1;
}
