// The sync state's file: what it keeps, and that a damaged one is none.
#include "sync/sync_state.h"

#include <gtest/gtest.h>

namespace {

TEST(NoteSyncState, KeepsEveryFieldThroughItsFile)
{
    NoteSyncState state;
    state.collection = "/dav/ania/notatki/";
    state.syncToken = "http://radicale.org/ns/sync/1\tx";
    state.entries = {
        {SyncEntry::Kind::Note, "2026.03.10", "notatka-2026-03-10@dniarz", "/dav/a b.ics", "\"12\"",
         "Linia\r\nz \\ i\ttab"},
        {SyncEntry::Kind::Absorbed, "    .05.03", "telefon", "/dav/x.ics", "", "3 Maja"},
        {SyncEntry::Kind::Ignored, "", "", "/dav/zadanie.ics", "W/\"1\"", ""},
    };
    const NoteSyncState back = ParseSyncState(FormatSyncState(state));
    EXPECT_EQ(back.collection, state.collection);
    EXPECT_EQ(back.syncToken, state.syncToken);
    ASSERT_EQ(back.entries.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(back.entries[i].kind, state.entries[i].kind);
        EXPECT_EQ(back.entries[i].key, state.entries[i].key);
        EXPECT_EQ(back.entries[i].uid, state.entries[i].uid);
        EXPECT_EQ(back.entries[i].href, state.entries[i].href);
        EXPECT_EQ(back.entries[i].etag, state.entries[i].etag);
        EXPECT_EQ(back.entries[i].text, state.entries[i].text);
    }
}

TEST(NoteSyncState, ADamagedFileIsNoState)
{
    const std::string whole = "dniarz-sync 1\ncalendar\t/c/\ntoken\t\nnotatka\t2026.03.10\tu\t/c/a.ics\t\"1\"\tTekst\n";
    ASSERT_EQ(ParseSyncState(whole).entries.size(), 1u);
    const struct
    {
        const char* name;
        std::string contents;
    } rows[] = {
        {"cut mid-line", whole.substr(0, whole.size() - 3)},
        {"other header", "dniarz-sync 2" + whole.substr(13)},
        {"field missing", "dniarz-sync 1\ncalendar\t/c/\ntoken\t\nnotatka\t2026.03.10\t/c/a.ics\t\"1\"\tTekst\n"},
        {"unknown kind", "dniarz-sync 1\ncalendar\t/c/\ntoken\t\ninna\t2026.03.10\tu\t/c/a.ics\t\"1\"\tTekst\n"},
        {"broken escape", "dniarz-sync 1\ncalendar\t/c/\ntoken\t\nnotatka\t2026.03.10\tu\t/c/a.ics\t\"1\"\tT\\q\n"},
        {"short key", "dniarz-sync 1\ncalendar\t/c/\ntoken\t\nnotatka\t2026.3.10\tu\t/c/a.ics\t\"1\"\tTekst\n"},
        {"no calendar", "dniarz-sync 1\ntoken\t\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const NoteSyncState state = ParseSyncState(row.contents);
        EXPECT_TRUE(state.entries.empty());
        EXPECT_EQ(state.collection, "");
    }
}

}  // namespace
