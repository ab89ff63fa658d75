// What the last sync left agreed between the notes and the calendar on the server, kept in a file
// beside the notes.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

struct SyncEntry
{
    enum class Kind
    {
        Note,      // the event of a note: changes flow both ways
        Absorbed,  // a second event on a day that already had one: its text was added to that
                   // day's note and only its own changes flow in
        Ignored,   // a resource that is no event a note can be made of (a task, an empty event)
    };
    Kind kind = Kind::Note;
    std::string key;   // the note's key, "yyyy.mm.dd" or "    .mm.dd"; empty for Ignored
    std::string uid;   // the event's UID, which every later write of the note keeps
    std::string href;  // the resource's path on the server
    std::string etag;  // as the server gave it; empty when it gave none
    std::string text;  // the note's text as both sides last had it, in record form (CR LF)
};

struct NoteSyncState
{
    std::string collection;  // the calendar's path; a state of another calendar is none
    std::string syncToken;   // the collection's sync-token after the last sync, when it offers one
    std::vector<SyncEntry> entries;
};

// The state beside the notes file: "dnz-sync.txt" in its folder.
std::filesystem::path SyncStatePath(const std::filesystem::path& notesFile);
// Read no further than this; a larger file is no state.
constexpr std::size_t kMaxSyncStateBytes = 256 * 1024 * 1024;

// The state from its file's contents. A file damaged anywhere is no state at all: the next sync
// then compares everything, which costs time but never doubles or deletes a note.
NoteSyncState ParseSyncState(std::string_view contents);
// The file's contents: a header line, "calendar TAB path", "token TAB token", then a line an
// entry, "kind TAB key TAB uid TAB href TAB etag TAB
// text", every field escaped as the import's memory is.
std::string FormatSyncState(const NoteSyncState& state);
