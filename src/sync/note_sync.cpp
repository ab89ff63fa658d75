// The notes' sync with one calendar: listing, fetching, the merge of each note and the new ones.
#include "sync/note_sync.h"

#include <algorithm>
#include <map>
#include <set>

#include "ics/ics_export.h"
#include "sync/event_resource.h"

namespace {

// What a note made on several days puts between the texts of two notes; a user who sees it knows
// what it means.
constexpr std::string_view kSeparator = "\r\n----\r\n";
// Resources asked for in one request: small enough for any server's limit on a report.
constexpr std::size_t kFetchBatch = 100;
// A note whose event keeps changing under the sync's writes is left for the next sync.
constexpr int kMaxAttempts = 5;

std::string_view WithoutTrailingBlanks(std::string_view text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    return text;
}

// Servers and phones drop a note's final line break at will: that is no change of the note.
bool SameText(std::string_view a, std::string_view b)
{
    return WithoutTrailingBlanks(a) == WithoutTrailingBlanks(b);
}

std::string Joined(std::string_view first, std::string_view second)
{
    std::string out(WithoutTrailingBlanks(first));
    out += kSeparator;
    out += second;
    return out;
}

bool HoldsText(std::string_view note, std::string_view piece)
{
    piece = WithoutTrailingBlanks(piece);
    return note.find(piece) != std::string_view::npos;
}

std::string_view Trimmed(std::string_view line)
{
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos)
        return {};
    return line.substr(start, line.find_last_not_of(" \t") - start + 1);
}

// The first line that holds more than blanks, as the event's summary is made, and where it lies.
std::string_view FirstLine(std::string_view text, std::size_t* start = nullptr, std::size_t* end = nullptr)
{
    std::size_t pos = 0;
    while (pos <= text.size()) {
        const std::size_t lineEnd = std::min(text.find("\r\n", pos), text.size());
        const std::string_view line = Trimmed(text.substr(pos, lineEnd - pos));
        if (!line.empty()) {
            if (start)
                *start = pos;
            if (end)
                *end = lineEnd;
            return line;
        }
        pos = lineEnd + 2;
    }
    return {};
}

std::string ReplaceFirstLine(std::string_view text, std::string_view line)
{
    std::size_t start = 0, end = 0;
    if (FirstLine(text, &start, &end).empty())
        return std::string(line);
    std::string out(text.substr(0, start));
    out += line;
    out += text.substr(end);
    return out;
}

// The note the event stands for now, given the text both sides had at the last sync: a phone that
// lets the user edit the title alone leaves the description as it was, and then only the note's
// first line changes.
// `summaryOnly` is set when only the title changed: the event's description then no longer holds
// the note and must be sent again.
std::string NoteAfterRemoteChange(const std::string& base, const EventResource& event, bool* summaryOnly = nullptr)
{
    if (event.description.empty() || !SameText(event.description, base))
        return event.text;
    const std::string_view summary = FirstLine(event.summary);
    if (!summary.empty() && summary != FirstLine(base)) {
        if (summaryOnly)
            *summaryOnly = true;
        return ReplaceFirstLine(base, summary);
    }
    return base;
}

class NoteSync
{
public:
    NoteSync(NotesJournal& journal, NoteSyncState& state, CalendarServer& server, const NoteSyncClock& clock)
        : m_journal(journal), m_state(state), m_server(server), m_clock(clock)
    {
    }

    NoteSyncOutcome Run();

private:
    enum class Remote
    {
        Unchanged,
        Changed,
        Gone
    };

    bool ListRemote(std::string& newToken);
    bool FetchChanged(const std::map<std::string, const SyncEntry*>& byHref);
    bool MergeNote(SyncEntry entry, Remote remote, std::optional<RemoteResource> resource);
    void MergeAbsorbed(SyncEntry entry, Remote remote, const std::optional<RemoteResource>& resource);
    bool MergeNewRemote(const RemoteResource& resource);
    bool SendNewNote(const std::string& key);
    void Absorb(const std::string& uid, const RemoteResource& resource, const EventResource& event);
    // The resource again after a 412: Gone when it is no more; false when the request failed.
    bool Refetch(const std::string& href, Remote& remote, std::optional<RemoteResource>& resource);

    std::string LocalText(const std::string& key) const { return m_journal.FindNote(key).text; }
    void WriteLocal(const std::string& key, const std::string& text)
    {
        if (LocalText(key) != text)
            m_journal.AppendRecord(key, text, m_clock.now);
    }
    std::string EventData(const std::string& uid, const std::string& key, const std::string& text) const;
    bool Fail()
    {
        m_outcome.error = m_server.Error();
        if (m_outcome.error.empty())
            m_outcome.error = "Serwer przerwał synchronizację.";
        return false;
    }
    void Keep(SyncEntry entry) { m_state.entries.push_back(std::move(entry)); }

    NotesJournal& m_journal;
    NoteSyncState& m_state;
    CalendarServer& m_server;
    const NoteSyncClock& m_clock;
    NoteSyncOutcome m_outcome;
    std::map<std::string, std::string> m_remote;  // href -> ETag, as the server has them now
    std::map<std::string, RemoteResource> m_fetched;
    std::set<std::string> m_fetchWanted;
    std::set<std::string> m_mappedKeys;  // the keys of the notes that have an event of their own
};

std::string NoteSync::EventData(const std::string& uid, const std::string& key, const std::string& text) const
{
    // A yearly note begins in the year it was written, as the export has it.
    int yearlyStart = DecodeDate(m_clock.now).year;
    if (const std::optional<std::string_view> record = m_journal.Records().NewestRecord(key)) {
        const std::string_view stamp = RecordTimestamp(*record);
        if (stamp.size() >= 4
            && std::all_of(stamp.begin(), stamp.begin() + 4, [](char c) { return c >= '0' && c <= '9'; }))
            yearlyStart = std::stoi(std::string(stamp.substr(0, 4)));
    }
    return NoteEventIcs(uid, key, text, yearlyStart, m_clock.utc);
}

bool NoteSync::ListRemote(std::string& newToken)
{
    if (!m_state.syncToken.empty()) {
        if (std::optional<RemoteChanges> changes = m_server.Changes(m_state.syncToken)) {
            for (const SyncEntry& e : m_state.entries)
                m_remote[e.href] = e.etag;
            for (RemoteItem& item : changes->changed) {
                m_fetchWanted.insert(item.href);
                m_remote[item.href] = std::move(item.etag);
            }
            for (const std::string& href : changes->removed)
                m_remote.erase(href);
            newToken = std::move(changes->syncToken);
            return true;
        }
        if (!m_server.Error().empty())
            return Fail();
    }
    std::optional<RemoteListing> listing = m_server.List();
    if (!listing)
        return Fail();
    for (RemoteItem& item : listing->items)
        m_remote[item.href] = std::move(item.etag);
    newToken = std::move(listing->syncToken);
    return true;
}

bool NoteSync::FetchChanged(const std::map<std::string, const SyncEntry*>& byHref)
{
    std::vector<std::string> wanted;
    for (const auto& [href, etag] : m_remote) {
        const auto known = byHref.find(href);
        // A change reported for a resource whose ETag we already hold is our own write coming back.
        if (known == byHref.end() || known->second->etag.empty() || known->second->etag != etag)
            wanted.push_back(href);
    }
    m_fetchWanted = std::set<std::string>(wanted.begin(), wanted.end());
    for (std::size_t i = 0; i < wanted.size(); i += kFetchBatch) {
        const std::vector<std::string> batch(
            wanted.begin() + static_cast<std::ptrdiff_t>(i),
            wanted.begin() + static_cast<std::ptrdiff_t>(std::min(i + kFetchBatch, wanted.size())));
        std::optional<std::vector<RemoteResource>> resources = m_server.Fetch(batch);
        if (!resources)
            return Fail();
        for (RemoteResource& r : *resources)
            if (m_fetchWanted.contains(r.href))
                m_fetched[r.href] = std::move(r);
    }
    return true;
}

bool NoteSync::Refetch(const std::string& href, Remote& remote, std::optional<RemoteResource>& resource)
{
    std::optional<std::vector<RemoteResource>> again = m_server.Fetch({href});
    if (!again)
        return Fail();
    const auto found = std::find_if(again->begin(), again->end(),
                                    [&](const RemoteResource& r) { return r.href == href; });
    if (found == again->end()) {
        remote = Remote::Gone;
        resource.reset();
    } else {
        remote = Remote::Changed;
        resource = *found;
    }
    return true;
}

bool NoteSync::MergeNote(SyncEntry e, Remote remote, std::optional<RemoteResource> resource)
{
    for (int attempt = 0;; ++attempt) {
        if (attempt == kMaxAttempts) {
            ++m_outcome.refused;
            Keep(std::move(e));
            return true;
        }
        const std::string local = LocalText(e.key);
        const bool localChanged = !SameText(local, e.text);
        if (remote == Remote::Gone) {
            // A note changed here stays, and goes out again as a new event with the new ones.
            m_mappedKeys.erase(e.key);
            if (!localChanged && !local.empty()) {
                WriteLocal(e.key, "");
                ++m_outcome.received;
            }
            return true;
        }
        WriteResult written;
        bool conflict = false;
        std::string result;
        if (remote == Remote::Unchanged) {
            if (!localChanged) {
                Keep(std::move(e));
                return true;
            }
            // Without an ETag nothing may be written over or deleted: the server is asked first.
            if (e.etag.empty()) {
                if (!Refetch(e.href, remote, resource)) {
                    Keep(std::move(e));
                    return false;
                }
                continue;
            }
            result = local;
            written = local.empty() ? m_server.Delete(e.href, e.etag)
                                    : m_server.Put(e.href, EventData(e.uid, e.key, local), e.etag);
        } else {
            const std::optional<EventResource> event = ReadEventResource(resource->data, m_clock.utcOffset);
            if (!event) {
                // No longer anything a note can be made of: the server keeps it as it is, and the
                // note, no longer tied to it, goes out as a new event.
                m_mappedKeys.erase(e.key);
                Keep({SyncEntry::Kind::Ignored, {}, e.uid, e.href, resource->etag, {}});
                return true;
            }
            bool summaryOnly = false;
            const std::string remoteText = NoteAfterRemoteChange(e.text, *event, &summaryOnly);
            if (event->key == e.key && SameText(remoteText, e.text)) {
                // A new ETag for the same note: a server's own rewrite, or the first ETag of a
                // write whose answer gave none.
                e.etag = resource->etag;
                remote = Remote::Unchanged;
                resource.reset();
                continue;
            }
            if (!localChanged || local.empty())
                result = remoteText;
            else if (SameText(local, remoteText))
                result = local;
            else {
                result = Joined(local, remoteText);
                conflict = true;
            }
            std::string key = e.key;
            if (event->key != e.key) {
                m_mappedKeys.erase(e.key);
                WriteLocal(e.key, "");
                if (m_mappedKeys.contains(event->key)) {
                    // The day it moved to has an event of its own: the text joins that day's note.
                    e.text = result;
                    Absorb(e.uid, *resource, *event);
                    return true;
                }
                const std::string target = LocalText(event->key);
                if (!target.empty() && !SameText(target, result)) {
                    result = Joined(target, result);
                    conflict = true;
                }
                key = event->key;
                m_mappedKeys.insert(key);
            }
            if (!SameText(LocalText(key), result)) {
                WriteLocal(key, result);
                if (!conflict)
                    ++m_outcome.received;
                if (event->replacedCharacters)
                    ++m_outcome.replacedCharacters;
            }
            e.key = key;
            e.etag = resource->etag;
            e.text = remoteText;
            if (!conflict && !summaryOnly) {
                Keep(std::move(e));
                return true;
            }
            if (conflict)
                ++m_outcome.conflicts;
            else
                e.text = summaryOnly ? event->text : e.text;
            written = m_server.Put(e.href, EventData(e.uid, key, result), e.etag);
        }
        switch (written.status) {
        case WriteStatus::Done:
            ++m_outcome.sent;
            if (result.empty()) {
                m_mappedKeys.erase(e.key);
                return true;
            }
            e.etag = written.etag;
            e.text = result;
            Keep(std::move(e));
            return true;
        case WriteStatus::Refused:
            // The note still differs from the state, so the next sync tries again.
            ++m_outcome.refused;
            Keep(std::move(e));
            return true;
        case WriteStatus::Failed:
            Keep(std::move(e));
            return Fail();
        case WriteStatus::PreconditionFailed:
            if (!Refetch(e.href, remote, resource)) {
                Keep(std::move(e));
                return false;
            }
            break;
        }
    }
}

void NoteSync::Absorb(const std::string& uid, const RemoteResource& resource, const EventResource& event)
{
    const std::string target = LocalText(event.key);
    if (!HoldsText(target, event.text)) {
        WriteLocal(event.key, target.empty() ? event.text : Joined(target, event.text));
        ++m_outcome.received;
    }
    Keep({SyncEntry::Kind::Absorbed, event.key, uid, resource.href, resource.etag, event.text});
}

void NoteSync::MergeAbsorbed(SyncEntry e, Remote remote, const std::optional<RemoteResource>& resource)
{
    if (remote == Remote::Gone)
        return;
    if (remote == Remote::Unchanged) {
        Keep(std::move(e));
        return;
    }
    if (const std::optional<EventResource> event = ReadEventResource(resource->data, m_clock.utcOffset))
        Absorb(e.uid, *resource, *event);
    else
        Keep({SyncEntry::Kind::Ignored, {}, e.uid, e.href, resource->etag, {}});
}

bool NoteSync::MergeNewRemote(const RemoteResource& resource)
{
    const std::optional<EventResource> event = ReadEventResource(resource.data, m_clock.utcOffset);
    if (!event) {
        Keep({SyncEntry::Kind::Ignored, {}, {}, resource.href, resource.etag, {}});
        return true;
    }
    if (m_mappedKeys.contains(event->key)) {
        Absorb(event->uid, resource, *event);
        return true;
    }
    m_mappedKeys.insert(event->key);
    SyncEntry e{SyncEntry::Kind::Note, event->key, event->uid, resource.href, resource.etag, event->text};
    const std::string local = LocalText(event->key);
    if (local.empty()) {
        WriteLocal(event->key, event->text);
        ++m_outcome.received;
        if (event->replacedCharacters)
            ++m_outcome.replacedCharacters;
    } else if (SameText(local, event->text)) {
        e.text = local;
    } else {
        // Both sides have this day with no state between them: nothing tells which is newer.
        WriteLocal(event->key, Joined(local, event->text));
        ++m_outcome.conflicts;
        return MergeNote(std::move(e), Remote::Unchanged, std::nullopt);
    }
    Keep(std::move(e));
    return true;
}

bool NoteSync::SendNewNote(const std::string& key)
{
    const std::string uid = NoteUid(key);
    const std::string text = LocalText(key);
    if (uid.empty() || text.empty())
        return true;
    const std::string data = EventData(uid, key, text);
    if (data.empty())
        return true;  // a note of blanks alone makes no event
    const std::string href = m_server.NewHref(uid);
    const WriteResult written = m_server.Put(href, data, std::nullopt);
    switch (written.status) {
    case WriteStatus::Done:
        ++m_outcome.sent;
        m_mappedKeys.insert(key);
        Keep({SyncEntry::Kind::Note, key, uid, href, written.etag, text});
        return true;
    case WriteStatus::Refused:
        ++m_outcome.refused;
        return true;
    case WriteStatus::Failed:
        return Fail();
    case WriteStatus::PreconditionFailed:
        break;
    }
    // Something is there already: an event this sync did not list, or one a lost state forgot.
    Remote remote = Remote::Gone;
    std::optional<RemoteResource> resource;
    if (!Refetch(href, remote, resource))
        return false;
    if (!resource) {
        ++m_outcome.refused;
        return true;
    }
    return MergeNewRemote(*resource);
}

NoteSyncOutcome NoteSync::Run()
{
    if (m_state.collection != m_server.Collection()) {
        m_state = NoteSyncState();
        m_state.collection = m_server.Collection();
    }
    std::string newToken;
    if (!ListRemote(newToken))
        return m_outcome;
    std::vector<SyncEntry> old = std::move(m_state.entries);
    m_state.entries.clear();
    std::map<std::string, const SyncEntry*> byHref;
    for (const SyncEntry& e : old) {
        byHref[e.href] = &e;
        if (e.kind == SyncEntry::Kind::Note)
            m_mappedKeys.insert(e.key);
    }
    if (!FetchChanged(byHref)) {
        m_state.entries = std::move(old);
        return m_outcome;
    }

    std::size_t i = 0;
    bool going = true;
    for (; going && i < old.size(); ++i) {
        SyncEntry& e = old[i];
        const auto listed = m_remote.find(e.href);
        Remote remote = Remote::Unchanged;
        std::optional<RemoteResource> resource;
        if (listed == m_remote.end()) {
            remote = Remote::Gone;
        } else if (const auto fetched = m_fetched.find(e.href); fetched != m_fetched.end()) {
            remote = Remote::Changed;
            resource = fetched->second;
        } else if (m_fetchWanted.contains(e.href)) {
            remote = Remote::Gone;  // changed, then gone before it could be fetched
        }
        switch (e.kind) {
        case SyncEntry::Kind::Note:
            going = MergeNote(std::move(e), remote, std::move(resource));
            break;
        case SyncEntry::Kind::Absorbed:
            MergeAbsorbed(std::move(e), remote, resource);
            break;
        case SyncEntry::Kind::Ignored:
            if (remote != Remote::Gone) {
                e.etag = listed->second;
                Keep(std::move(e));
            }
            break;
        }
    }
    if (!going) {
        for (; i < old.size(); ++i)
            Keep(std::move(old[i]));
        return m_outcome;
    }
    for (const auto& [href, resource] : m_fetched)
        if (!byHref.contains(href) && !MergeNewRemote(resource))
            return m_outcome;

    // Notes that new events on their days changed go back now rather than at the next sync.
    std::vector<SyncEntry> merged = std::move(m_state.entries);
    m_state.entries.clear();
    for (i = 0; i < merged.size(); ++i) {
        SyncEntry& e = merged[i];
        if (e.kind != SyncEntry::Kind::Note || SameText(LocalText(e.key), e.text)) {
            Keep(std::move(e));
        } else if (!MergeNote(std::move(e), Remote::Unchanged, std::nullopt)) {
            for (++i; i < merged.size(); ++i)
                Keep(std::move(merged[i]));
            return m_outcome;
        }
    }

    std::vector<std::string> unsent;
    const JournalRecords& records = m_journal.Records();
    for (const std::size_t r : records.LiveRecords({}))
        if (const std::string key(RecordKey(records.Record(r))); !m_mappedKeys.contains(key))
            unsent.push_back(key);
    std::sort(unsent.begin(), unsent.end());
    for (const std::string& key : unsent)
        if (!m_mappedKeys.contains(key) && !SendNewNote(key))
            return m_outcome;
    m_state.syncToken = std::move(newToken);
    return m_outcome;
}

}  // namespace

NoteSyncOutcome SyncNotes(NotesJournal& journal, NoteSyncState& state, CalendarServer& server,
                          const NoteSyncClock& clock)
{
    return NoteSync(journal, state, server, clock).Run();
}

NoteSyncOutcome SyncNotesRemembering(NotesJournal& journal, FileStore& files, CalendarServer& server,
                                     const NoteSyncClock& clock, std::string* stateNotSaved)
{
    const std::filesystem::path path = SyncStatePath(journal.NotesPath());
    const FileRead stored = files.Read(path, kMaxSyncStateBytes);
    NoteSyncState state = stored.status == FileRead::Status::Read ? ParseSyncState(stored.contents) : NoteSyncState();
    const NoteSyncOutcome outcome = SyncNotes(journal, state, server, clock);
    // The notes first: a state that ran ahead of them would take a note lost here for one
    // deleted here, and delete it on the server.
    journal.Flush();
    const std::string contents = FormatSyncState(state);
    if (stored.status != FileRead::Status::Read || contents != stored.contents) {
        if (const FileProblem problem = files.Replace(path, contents); problem != FileProblem::None && stateNotSaved)
            *stateNotSaved = path.filename().string() + ": " + FileProblemText(problem);
    }
    return outcome;
}
