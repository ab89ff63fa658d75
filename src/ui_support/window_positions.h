// The window position keeper: where each kind of dialog was when it last closed, remembered for
// the rest of the run so that the next one of its kind opens there. Nothing is stored on disk.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct WindowPlacement
{
    int state = 0;                                 // 0 normal, 1 minimized, 2 maximized
    int left = 0, top = 0, width = 0, height = 0;  // pixels, the normal geometry as the window reports it
    bool operator==(const WindowPlacement&) const = default;
};

// The memory: sorted lines "key=state,left,top,width,height," with at most one line per key.
class WindowPositionMemory
{
public:
    std::optional<WindowPlacement> Find(std::string_view key) const;
    void Remember(std::string_view key, const WindowPlacement& placement);
    const std::vector<std::string>& Lines() const { return m_lines; }
    void Clear() { m_lines.clear(); }

private:
    std::vector<std::string>::const_iterator LineOf(std::string_view key) const;

    std::vector<std::string> m_lines;
};

// The one memory all keepers of this process share.
WindowPositionMemory& ProcessWindowPositions();

// What to do to a window when it is created.
struct WindowRestore
{
    bool maximize = false;
    bool setPosition = false;  // left, top
    bool setSize = false;      // width, height
    WindowPlacement placement;
};

// The keeper placed on a window. The Qt side calls Restore after building the window and Save
// when it is destroyed, passing the window's class name ("Tinfo") and whether it has a dialog frame.
struct TFormPosKeeper
{
    bool SaveEnabled = true;
    std::string ExtraName;   // the key when not empty; otherwise the class name
    bool ChangeSize = true;  // dialog-framed windows never change size

    std::string Key(std::string_view className) const;
    // Nothing to do (all false) for a key never saved or with SaveEnabled off. A maximized window
    // is only maximized, so that it un-maximizes to its own default place.
    WindowRestore Restore(const WindowPositionMemory& memory, std::string_view className, bool dialogFramed) const;
    // Ignored with SaveEnabled off or when the window never got a native window (no real geometry).
    void Save(WindowPositionMemory& memory, std::string_view className, const WindowPlacement& placement,
              bool hasNativeWindow) const;
};
