// The multistatus reader against the replies of RFC 6578 and RFC 4791's examples and the ways a
// reply goes wrong on the wire.
#include "sync/caldav/multistatus.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

QByteArray Corpus(const char* name)
{
    std::ifstream in(std::string(DNIARZ_FUZZ_CORPUS) + "/" + name, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return QByteArray::fromStdString(text);
}

TEST(MultiStatus, ReadsTheSyncCollectionReplyOfRfc6578)
{
    const MultiStatus status = ParseMultiStatus(Corpus("sync-collection.xml"));
    ASSERT_TRUE(status.ok);
    ASSERT_EQ(status.responses.size(), 2u);
    EXPECT_EQ(status.responses[0].etag, "\"00001-abcd1\"");
    EXPECT_EQ(status.responses[0].status, 0);
    EXPECT_EQ(status.responses[1].status, 404);
    EXPECT_EQ(status.syncToken, "http://example.com/ns/sync/1234");
}

TEST(MultiStatus, TakesOnlyWhatA2xxPropstatGives)
{
    const MultiStatus status = ParseMultiStatus(Corpus("calendars.xml"));
    ASSERT_TRUE(status.ok);
    ASSERT_EQ(status.responses.size(), 3u);
    EXPECT_EQ(status.responses[0].principal, "/ania/");
    EXPECT_EQ(status.responses[0].calendarHome, "/ania/");
    EXPECT_FALSE(status.responses[0].isCalendar);
    const DavResponse& calendar = status.responses[1];
    EXPECT_TRUE(calendar.isCalendar && calendar.isCollection);
    EXPECT_EQ(calendar.displayName, "Notatki");
    EXPECT_EQ(calendar.components, QStringList({"VEVENT", "VTODO"}));
    EXPECT_EQ(calendar.ctag, "\"7\"");
    EXPECT_EQ(calendar.etag, "");  // listed only under 404
    EXPECT_EQ(status.responses[2].calendarData, "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n");
}

TEST(MultiStatus, AReplyCutOffOrSpoiledGivesNothing)
{
    const QByteArray whole = Corpus("sync-collection.xml");
    const struct
    {
        const char* name;
        QByteArray bytes;
    } rows[] = {
        {"cut after a whole response", whole.left(whole.indexOf("<D:response>", 100))},
        {"cut mid-element", whole.left(whole.size() / 2)},
        {"no multistatus", "<?xml version=\"1.0\"?><D:error xmlns:D=\"DAV:\"/>"},
        {"not XML", "HTTP/1.1 200 OK"},
        {"empty", ""},
        {"two roots", whole + whole},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const MultiStatus status = ParseMultiStatus(row.bytes);
        EXPECT_FALSE(status.ok);
        EXPECT_TRUE(status.responses.empty());
    }
}

}  // namespace
