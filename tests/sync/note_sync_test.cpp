// The notes' two-way sync against a server in memory: each rule of the merge, the first sync, a lost
// state, 412s, characters the notes file cannot hold and a server that fails mid-way.
#include "sync/note_sync.h"

#include <gtest/gtest.h>
#include <libical/ical.h>

#include <algorithm>

#include "fake_calendar_server.h"
#include "platform/fake/fake_journal_file.h"
#include "platform/fake/memory_file_store.h"

namespace {

const std::string kKey = "2026.03.10";
const std::string kHref = "/cal/notes/notatka-2026-03-10@dniarz.ics";

// An event as a phone writes it, by hand from RFC 5545's grammar rather than through the program's
// own writer; `description` in iCalendar's escaped form.
std::string PhoneEvent(const std::string& uid, const std::string& date, const std::string& summary,
                       const std::string& description = {})
{
    std::string out = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Telefon//PL\r\nBEGIN:VEVENT\r\nUID:" + uid
                      + "\r\nDTSTAMP:20260301T120000Z\r\nDTSTART;VALUE=DATE:" + date + "\r\nSUMMARY:" + summary
                      + "\r\n";
    if (!description.empty())
        out += "DESCRIPTION:" + description + "\r\n";
    return out + "END:VEVENT\r\nEND:VCALENDAR\r\n";
}

// A property of the resource's event, read by libical.
std::string Property(const std::string& data, icalproperty_kind kind)
{
    icalcomponent* root = icalparser_parse_string(data.c_str());
    if (!root)
        return "<nieczytelne>";
    icalcomponent* event = icalcomponent_get_first_component(root, ICAL_VEVENT_COMPONENT);
    icalproperty* property = event ? icalcomponent_get_first_property(event, kind) : nullptr;
    std::string value = property ? icalproperty_get_value_as_string(property) : "";
    icalcomponent_free(root);
    return value;
}

std::string Description(const std::string& data)
{
    icalcomponent* root = icalparser_parse_string(data.c_str());
    icalcomponent* event = root ? icalcomponent_get_first_component(root, ICAL_VEVENT_COMPONENT) : nullptr;
    const char* text = event ? icalcomponent_get_description(event) : nullptr;
    std::string value = text ? text : "";
    if (root)
        icalcomponent_free(root);
    return value;
}

// Every write and deletion went with the ETag the sync knew, or with If-None-Match: *.
void ExpectGuarded(const FakeCalendarServer& server)
{
    for (const auto& r : server.requests) {
        SCOPED_TRACE(r.method + " " + r.href);
        if (r.method == "PUT") {
            EXPECT_TRUE(r.ifNoneMatch || !r.ifMatch.empty());
        } else if (r.method == "DELETE") {
            EXPECT_FALSE(r.ifMatch.empty());
        }
    }
}

class NoteSyncTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_FALSE(journal.OpenNotes("/notatki/dnz.dat")); }

    void Save(const std::string& key, const std::string& text)
    {
        journal.AppendRecord(key, text, clock.now);
        journal.Flush();
    }
    std::string Note(const std::string& key) const { return journal.FindNote(key).text; }
    NoteSyncOutcome Sync()
    {
        server.requests.clear();
        NoteSyncOutcome outcome = SyncNotes(journal, state, server, clock);
        journal.Flush();
        return outcome;
    }
    int Requests(const std::string& method) const
    {
        return static_cast<int>(std::count_if(server.requests.begin(), server.requests.end(),
                                              [&](const auto& r) { return r.method == method; }));
    }
    void ExpectGuardedWrites() const { ExpectGuarded(server); }

    FakeJournalFile file;
    NotesJournal journal{file};
    NoteSyncState state;
    FakeCalendarServer server;
    NoteSyncClock clock{EncodeDate(2026, 3, 20) + 0.5, std::chrono::sys_days(std::chrono::year(2026) / 3 / 20),
                        [](auto) { return std::chrono::seconds(3600); }};
};

TEST_F(NoteSyncTest, EachRuleOfTheMerge)
{
    enum class Remote
    {
        None,
        Description,
        Summary,
        SameAsLocal,
        Delete
    };
    struct Row
    {
        const char* name;
        std::optional<std::string> local;  // the note's new text; "" deletes it
        Remote remote;
        std::string remoteValue;                         // the new description or summary, escaped
        std::string expectedNote;                        // at kKey
        std::optional<std::string> expectedDescription;  // of the event; nothing: no event
        int sent, received, conflicts;
    };
    const std::string base = "Spotkanie\r\nz Anną";
    const Row rows[] = {
        {"edited here",
         "Spotkanie\r\nz Anną o 10",
         Remote::None,
         {},
         "Spotkanie\r\nz Anną o 10",
         "Spotkanie\nz Anną o 10",
         1,
         0,
         0},
        {"description edited there", std::nullopt, Remote::Description, "Spotkanie\\nz Tomkiem",
         "Spotkanie\r\nz Tomkiem", "Spotkanie\nz Tomkiem", 0, 1, 0},
        // The event's description no longer holds the note: it goes back with the new first line.
        {"summary alone edited there", std::nullopt, Remote::Summary, "Zebranie", "Zebranie\r\nz Anną",
         "Zebranie\nz Anną", 1, 1, 0},
        {"edited on both sides", "Spotkanie\r\nz Anną o 10", Remote::Description, "Spotkanie\\nz Tomkiem",
         "Spotkanie\r\nz Anną o 10\r\n----\r\nSpotkanie\r\nz Tomkiem",
         "Spotkanie\nz Anną o 10\n----\nSpotkanie\nz Tomkiem", 1, 0, 1},
        {"same edit on both sides", "Spotkanie\r\nz Tomkiem", Remote::SameAsLocal, "Spotkanie\\nz Tomkiem",
         "Spotkanie\r\nz Tomkiem", "Spotkanie\nz Tomkiem", 0, 0, 0},
        {"deleted there, unchanged here", std::nullopt, Remote::Delete, {}, "", std::nullopt, 0, 1, 0},
        {"deleted there, edited here",
         "Spotkanie\r\nz Anną o 10",
         Remote::Delete,
         {},
         "Spotkanie\r\nz Anną o 10",
         "Spotkanie\nz Anną o 10",
         1,
         0,
         0},
        {"deleted here, unchanged there", "", Remote::None, {}, "", std::nullopt, 1, 0, 0},
        {"deleted here, edited there", "", Remote::Description, "Spotkanie\\nz Tomkiem", "Spotkanie\r\nz Tomkiem",
         "Spotkanie\nz Tomkiem", 0, 1, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeJournalFile rowFile;
        NotesJournal rowJournal(rowFile);
        ASSERT_FALSE(rowJournal.OpenNotes("/notatki/dnz.dat"));
        FakeCalendarServer rowServer;
        NoteSyncState rowState;
        rowJournal.AppendRecord(kKey, base, clock.now);
        ASSERT_EQ(SyncNotes(rowJournal, rowState, rowServer, clock).sent, 1);
        ASSERT_TRUE(rowServer.resources.contains(kHref));

        if (row.local)
            rowJournal.AppendRecord(kKey, *row.local, clock.now);
        const std::string uid = "notatka-2026-03-10@dniarz";
        switch (row.remote) {
        case Remote::None:
            break;
        case Remote::Description:
        case Remote::SameAsLocal:
            rowServer.Set(kHref, PhoneEvent(uid, "20260310", "Spotkanie", row.remoteValue));
            break;
        case Remote::Summary:
            rowServer.Set(kHref, PhoneEvent(uid, "20260310", row.remoteValue, "Spotkanie\\nz Anną"));
            break;
        case Remote::Delete:
            rowServer.Remove(kHref);
            break;
        }
        rowServer.requests.clear();
        const NoteSyncOutcome outcome = SyncNotes(rowJournal, rowState, rowServer, clock);
        EXPECT_EQ(outcome.error, "");
        EXPECT_EQ(rowJournal.FindNote(kKey).text, row.expectedNote);
        EXPECT_EQ(outcome.sent, row.sent);
        EXPECT_EQ(outcome.received, row.received);
        EXPECT_EQ(outcome.conflicts, row.conflicts);
        std::optional<std::string> description;
        for (const auto& [href, stored] : rowServer.resources)
            description = Description(stored.data);
        EXPECT_LE(rowServer.resources.size(), 1u);
        EXPECT_EQ(description, row.expectedDescription);
        ExpectGuarded(rowServer);

        // Once merged, both sides agree: another sync changes nothing.
        rowServer.requests.clear();
        const NoteSyncOutcome again = SyncNotes(rowJournal, rowState, rowServer, clock);
        EXPECT_EQ(again.sent + again.received + again.conflicts, 0);
    }
}

TEST_F(NoteSyncTest, AnEventMovedToAnotherDayMovesTheNote)
{
    Save(kKey, "Dentysta");
    Sync();
    server.Set(kHref, PhoneEvent("notatka-2026-03-10@dniarz", "20260312", "Dentysta"));
    const NoteSyncOutcome outcome = Sync();
    EXPECT_EQ(Note(kKey), "");
    EXPECT_EQ(Note("2026.03.12"), "Dentysta");
    EXPECT_EQ(outcome.received, 1);
    // Edited here afterwards, the note goes back to the same event, which keeps its UID.
    Save("2026.03.12", "Dentysta 9:30");
    Sync();
    ASSERT_EQ(server.resources.size(), 1u);
    EXPECT_EQ(Property(server.resources[kHref].data, ICAL_UID_PROPERTY), "notatka-2026-03-10@dniarz");
    EXPECT_EQ(Description(server.resources[kHref].data), "Dentysta 9:30");
    EXPECT_EQ(Property(server.resources[kHref].data, ICAL_DTSTART_PROPERTY), "20260312");
}

TEST_F(NoteSyncTest, FirstSyncMergesWithWhatTheCalendarHoldsAndDeletesNothing)
{
    // The calendar imported the export earlier: one note is as it was, one changed since; the phone
    // added an event of its own; one note is new here.
    Save("2026.03.10", "Spotkanie");
    Save("2026.03.11", "Basen\r\no 18");
    Save("2026.03.13", "Nowa");
    server.Set("/cal/notes/a.ics", PhoneEvent("notatka-2026-03-10@dniarz", "20260310", "Spotkanie", "Spotkanie"));
    server.Set("/cal/notes/b.ics", PhoneEvent("notatka-2026-03-11@dniarz", "20260311", "Basen", "Basen\\no 17"));
    server.Set("/cal/notes/c.ics", PhoneEvent("telefon-1", "20260312", "Kino"));
    const NoteSyncOutcome outcome = Sync();
    EXPECT_EQ(outcome.error, "");
    EXPECT_EQ(Requests("DELETE"), 0);
    EXPECT_EQ(Note("2026.03.10"), "Spotkanie");
    EXPECT_EQ(Note("2026.03.11"), "Basen\r\no 18\r\n----\r\nBasen\r\no 17");
    EXPECT_EQ(Note("2026.03.12"), "Kino");
    EXPECT_EQ(Note("2026.03.13"), "Nowa");
    EXPECT_EQ(server.resources.size(), 4u);  // nothing doubled
    EXPECT_EQ(Description(server.resources["/cal/notes/b.ics"].data), "Basen\no 18\n----\nBasen\no 17");
    EXPECT_EQ(outcome.conflicts, 1);
    EXPECT_EQ(outcome.received, 1);
    EXPECT_EQ(outcome.sent, 2);  // the merged note and the new one
    ExpectGuardedWrites();
    const auto created = std::find_if(server.requests.begin(), server.requests.end(), [](const auto& r) {
        return r.method == "PUT" && r.href.find("2026-03-13") != std::string::npos;
    });
    ASSERT_NE(created, server.requests.end());
    EXPECT_TRUE(created->ifNoneMatch);
}

TEST_F(NoteSyncTest, LosingTheStateCostsAComparisonOnly)
{
    Save("2026.03.10", "Spotkanie");
    Save("    .05.03", "Święto Konstytucji");
    Save("2026.03.11", "Basen");
    Sync();
    ASSERT_EQ(server.resources.size(), 3u);
    const auto before = server.resources;
    for (const bool damaged : {false, true}) {
        SCOPED_TRACE(damaged ? "damaged file" : "no file");
        state = damaged ? ParseSyncState("dniarz-sync 1\ncalendar\t/cal/notes/\n") : NoteSyncState();
        const NoteSyncOutcome outcome = Sync();
        EXPECT_EQ(outcome.sent + outcome.received + outcome.conflicts, 0);
        EXPECT_EQ(Requests("PUT") + Requests("DELETE"), 0);
        EXPECT_EQ(server.resources.size(), 3u);
        EXPECT_EQ(Note("2026.03.11"), "Basen");
        EXPECT_EQ(state.entries.size(), 3u);
    }
    EXPECT_EQ(server.resources.begin()->second.etag, before.begin()->second.etag);
}

TEST_F(NoteSyncTest, YearlyNotesRecurEveryYearAndComeBackAsYearly)
{
    Save("    .05.03", "Święto Konstytucji");
    Sync();
    const std::string href = "/cal/notes/coroczna-05-03@dniarz.ics";
    ASSERT_TRUE(server.resources.contains(href));
    EXPECT_EQ(Property(server.resources[href].data, ICAL_RRULE_PROPERTY), "FREQ=YEARLY");
    server.Set(href,
               "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//T//PL\r\nBEGIN:VEVENT\r\nUID:coroczna-05-03@dniarz\r\n"
               "DTSTAMP:20260301T120000Z\r\nDTSTART;VALUE=DATE:20260503\r\nRRULE:FREQ=YEARLY\r\n"
               "SUMMARY:3 Maja\r\nDESCRIPTION:Święto Konstytucji\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    Sync();
    EXPECT_EQ(Note("    .05.03"), "3 Maja");
}

TEST_F(NoteSyncTest, A412MergesThatNoteAgainstWhatTheServerHasNow)
{
    Save(kKey, "Spotkanie");
    Sync();
    Save(kKey, "Spotkanie o 10");
    // The phone writes between the listing and the sync's write.
    int races = 1;
    server.beforeWrite = [&](FakeCalendarServer& s, const std::string& href) {
        if (races-- > 0)
            s.Set(href,
                  PhoneEvent("notatka-2026-03-10@dniarz", "20260310", "Spotkanie w biurze", "Spotkanie w biurze"));
    };
    const NoteSyncOutcome outcome = Sync();
    EXPECT_EQ(outcome.error, "");
    EXPECT_EQ(outcome.conflicts, 1);
    EXPECT_EQ(Note(kKey), "Spotkanie o 10\r\n----\r\nSpotkanie w biurze");
    EXPECT_EQ(Description(server.resources[kHref].data), "Spotkanie o 10\n----\nSpotkanie w biurze");
    ExpectGuardedWrites();

    // A new note whose event appears at its address meanwhile: merged, not doubled.
    Save("2026.03.15", "Urodziny");
    races = 1;
    server.beforeWrite = [&](FakeCalendarServer& s, const std::string& href) {
        if (races-- > 0)
            s.Set(href, PhoneEvent("notatka-2026-03-15@dniarz", "20260315", "Urodziny Ani"));
    };
    Sync();
    EXPECT_EQ(Note("2026.03.15"), "Urodziny\r\n----\r\nUrodziny Ani");
    EXPECT_EQ(server.resources.size(), 2u);
}

TEST_F(NoteSyncTest, CharactersTheNotesCannotHoldArriveAsQuestionMarksAndStayOnTheServer)
{
    server.Set("/cal/notes/p.ics", PhoneEvent("telefon-2", "20260310", "Kawa \xE2\x98\x95 z Olą"));
    const NoteSyncOutcome outcome = Sync();
    EXPECT_EQ(Note(kKey), "Kawa ? z Olą");
    EXPECT_EQ(outcome.replacedCharacters, 1);
    const std::string original = server.resources["/cal/notes/p.ics"].data;
    EXPECT_EQ(Sync().sent, 0);
    EXPECT_EQ(server.resources["/cal/notes/p.ics"].data, original);
    // Edited here, it goes back, under the phone's UID.
    Save(kKey, "Kawa z Olą o 9");
    EXPECT_EQ(Sync().sent, 1);
    EXPECT_EQ(Property(server.resources["/cal/notes/p.ics"].data, ICAL_UID_PROPERTY), "telefon-2");
}

TEST_F(NoteSyncTest, ASecondEventOnADayJoinsItsNoteAndIsNeverWrittenTo)
{
    Save(kKey, "Praca");
    Sync();
    server.Set("/cal/notes/x.ics", PhoneEvent("telefon-3", "20260310", "Fryzjer"));
    Sync();
    EXPECT_EQ(Note(kKey), "Praca\r\n----\r\nFryzjer");
    // The note's own event gets the joined text; the phone's stays its own.
    EXPECT_EQ(Description(server.resources[kHref].data), "Praca\n----\nFryzjer");
    EXPECT_EQ(Property(server.resources["/cal/notes/x.ics"].data, ICAL_SUMMARY_PROPERTY), "Fryzjer");
    const NoteSyncOutcome again = Sync();
    EXPECT_EQ(again.sent + again.received + again.conflicts, 0);
    EXPECT_EQ(Note(kKey), "Praca\r\n----\r\nFryzjer");
}

TEST_F(NoteSyncTest, AServerThatFailsMidWayLeavesNothingDoubledOrLost)
{
    for (int day = 1; day <= 9; ++day)
        Save("2026.04.0" + std::to_string(day), "Notatka " + std::to_string(day));
    // Listing, fetching, then nine writes: a failure at each step.
    for (int failAfter = 0; failAfter < 11; ++failAfter) {
        SCOPED_TRACE(failAfter);
        FakeJournalFile rowFile;
        NotesJournal rowJournal(rowFile);
        ASSERT_FALSE(rowJournal.OpenNotes("/notatki/dnz.dat"));
        for (int day = 1; day <= 9; ++day)
            rowJournal.AppendRecord("2026.04.0" + std::to_string(day), "Notatka " + std::to_string(day), clock.now);
        FakeCalendarServer rowServer;
        rowServer.Set("/cal/notes/t.ics", PhoneEvent("telefon-4", "20260420", "Z telefonu"));
        NoteSyncState rowState;
        rowServer.failAfter = failAfter;
        const NoteSyncOutcome cut = SyncNotes(rowJournal, rowState, rowServer, clock);
        EXPECT_NE(cut.error, "");
        rowServer.failAfter = -1;
        const NoteSyncOutcome next = SyncNotes(rowJournal, rowState, rowServer, clock);
        EXPECT_EQ(next.error, "");
        EXPECT_EQ(rowServer.resources.size(), 10u);
        for (int day = 1; day <= 9; ++day)
            EXPECT_EQ(rowJournal.FindNote("2026.04.0" + std::to_string(day)).text, "Notatka " + std::to_string(day));
        EXPECT_EQ(rowJournal.FindNote("2026.04.20").text, "Z telefonu");
    }
}

TEST_F(NoteSyncTest, WithASyncTokenANoChangeSyncIsOneRequest)
{
    server.offersSyncToken = true;
    Save(kKey, "Spotkanie");
    Sync();
    Sync();  // our own write comes back once in the changes, with the ETag already known
    Sync();
    EXPECT_EQ(server.requests.size(), 1u);
    EXPECT_EQ(server.requests[0].method, "SYNC");
    server.Set(kHref, PhoneEvent("notatka-2026-03-10@dniarz", "20260310", "Spotkanie", "Spotkanie\\nw biurze"));
    Sync();
    EXPECT_EQ(Note(kKey), "Spotkanie\r\nw biurze");
}

TEST_F(NoteSyncTest, AWriteWithoutAnEtagInTheAnswerIsFetchedBeforeAnyDeletion)
{
    server.putWithoutEtag = true;
    Save(kKey, "Spotkanie");
    Sync();
    Save(kKey, "");
    Sync();
    EXPECT_TRUE(server.resources.empty());
    ExpectGuardedWrites();
}

TEST(SyncNotesRemembering, KeepsTheStateBesideTheNotesAndRewritesItOnlyWhenItChanged)
{
    FakeJournalFile file;
    NotesJournal journal(file);
    ASSERT_FALSE(journal.OpenNotes("/notatki/dnz.dat"));
    MemoryFileStore files;
    FakeCalendarServer server;
    const NoteSyncClock clock{EncodeDate(2026, 3, 20), {}, [](auto) { return std::chrono::seconds(0); }};
    journal.AppendRecord(kKey, "Spotkanie", clock.now);
    std::string notSaved;
    SyncNotesRemembering(journal, files, server, clock, &notSaved);
    EXPECT_EQ(notSaved, "");
    ASSERT_TRUE(files.files.contains("/notatki/dnz-sync.txt"));
    EXPECT_NE(file.DurableFile("/notatki/dnz.dat")->find("Spotkanie"), std::string::npos);
    const int writes = files.writes;
    SyncNotesRemembering(journal, files, server, clock, &notSaved);
    EXPECT_EQ(files.writes, writes);
    EXPECT_EQ(server.resources.size(), 1u);
}

}  // namespace
