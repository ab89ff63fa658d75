// Two-way sync of the notes with one calendar on a server: a three-way merge of each note against
// the text both sides last agreed on.
#pragma once

#include <chrono>
#include <string>

#include "calendar/notes_journal.h"
#include "ics/ics_import.h"
#include "platform/file_store.h"
#include "sync/calendar_server.h"
#include "sync/sync_state.h"

struct NoteSyncOutcome
{
    int sent = 0;                // notes written to or deleted from the server
    int received = 0;            // notes written or deleted here from the server's events
    int conflicts = 0;           // notes changed on both sides, kept as both texts joined
    int refused = 0;             // notes the server would not take; tried again next time
    int replacedCharacters = 0;  // notes received with characters the notes file cannot hold
    std::string error;           // in Polish: the server failed mid-way; what was done is kept
};

struct NoteSyncClock
{
    TDateTime now = 0;                            // local time: the stamp of the notes written
    std::chrono::system_clock::time_point utc{};  // the DTSTAMP of the events sent
    UtcOffsetAt utcOffset;                        // for events with a time zone
};

// One sync, updating `state` as it goes. Each note is merged by these rules:
// - changed on one side only: the change goes to the other side, a deletion too;
// - an event whose description changed replaces the note; one whose summary alone changed
//   replaces only the note's first line; an event moved to another day moves the note;
// - changed on both sides: both texts joined by a "----" line, which goes back to the server;
// - deleted on one side and changed on the other: kept, with the change;
// - a note and an event on the same day with no state between them (the first sync, a lost
//   state): joined as a change on both sides would be, never deleted.
// Every write and deletion goes with If-Match, every new resource with If-None-Match: *; a 412
// merges that note again against what the server has now. The records go into `journal`'s memory;
// the caller flushes it. Throws EInOutError when a record would take the notes file past its size
// limit. A server failure stops the sync with `error` set; the state then keeps the old token, so
// the next sync looks at every change again.
NoteSyncOutcome SyncNotes(NotesJournal& journal, NoteSyncState& state, CalendarServer& server,
                          const NoteSyncClock& clock);

// SyncNotes with the state in its file beside the notes: read (a missing or damaged one is none),
// the journal flushed, then the state stored. Throws EInOutError as a save does, the state file
// then left as it was. `stateNotSaved` tells why the state could not be stored.
NoteSyncOutcome SyncNotesRemembering(NotesJournal& journal, FileStore& files, CalendarServer& server,
                                     const NoteSyncClock& clock, std::string* stateNotSaved = nullptr);
