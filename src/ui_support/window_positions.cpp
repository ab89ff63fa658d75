// The process-wide memory of window positions and the keeper's restore and save.
#include "ui_support/window_positions.h"

#include <algorithm>
#include <charconv>

namespace {

std::optional<WindowPlacement> ParseNumbers(std::string_view text)
{
    int numbers[5];
    for (int& n : numbers) {
        const auto comma = text.find(',');
        if (comma == std::string_view::npos)
            return std::nullopt;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + comma, n);
        if (ec != std::errc() || end != text.data() + comma)
            return std::nullopt;
        text.remove_prefix(comma + 1);
    }
    return WindowPlacement{numbers[0], numbers[1], numbers[2], numbers[3], numbers[4]};
}

}  // namespace

std::vector<std::string>::const_iterator WindowPositionMemory::LineOf(std::string_view key) const
{
    // A line belongs to a key when the key and "=" start it and no further "=" follows: a plain
    // prefix test would let "Tinfo" find "Tinfo2=..." (or a key holding "=" find another's line),
    // and a search by sorted position misses "Tinfo=" whenever "Tinfo2=" sorts before it.
    return std::find_if(m_lines.begin(), m_lines.end(), [&](const std::string& line) {
        return line.size() > key.size() && line.compare(0, key.size(), key) == 0 && line[key.size()] == '='
               && line.find('=', key.size() + 1) == std::string::npos;
    });
}

std::optional<WindowPlacement> WindowPositionMemory::Find(std::string_view key) const
{
    const auto it = LineOf(key);
    if (it == m_lines.end())
        return std::nullopt;
    return ParseNumbers(std::string_view(*it).substr(key.size() + 1));
}

void WindowPositionMemory::Remember(std::string_view key, const WindowPlacement& p)
{
    const auto it = LineOf(key);
    if (it != m_lines.end())
        m_lines.erase(it);
    std::string line(key);
    line += '=';
    for (int n : {p.state, p.left, p.top, p.width, p.height})
        line += std::to_string(n) + ',';
    m_lines.insert(std::upper_bound(m_lines.begin(), m_lines.end(), line), std::move(line));
}

WindowPositionMemory& ProcessWindowPositions()
{
    static WindowPositionMemory memory;
    return memory;
}

std::string TFormPosKeeper::Key(std::string_view className) const
{
    return ExtraName.empty() ? std::string(className) : ExtraName;
}

WindowRestore TFormPosKeeper::Restore(const WindowPositionMemory& memory, std::string_view className,
                                      bool dialogFramed) const
{
    WindowRestore restore;
    if (!SaveEnabled)
        return restore;
    const auto placement = memory.Find(Key(className));
    if (!placement)
        return restore;
    restore.placement = *placement;
    if (placement->state == 2) {
        restore.maximize = true;
        return restore;
    }
    restore.setPosition = true;
    restore.setSize = !dialogFramed && ChangeSize;
    return restore;
}

void TFormPosKeeper::Save(WindowPositionMemory& memory, std::string_view className, const WindowPlacement& placement,
                          bool hasNativeWindow) const
{
    if (SaveEnabled && hasNativeWindow)
        memory.Remember(Key(className), placement);
}
