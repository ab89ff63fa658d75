// A calendar server in memory for the sync's tests: resources with ETags, a sync-token when asked
// for, every request written down, and faults on request.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "sync/calendar_server.h"

class FakeCalendarServer final : public CalendarServer
{
public:
    struct Stored
    {
        std::string etag, data;
    };
    struct Request
    {
        std::string method, href, ifMatch;
        bool ifNoneMatch = false;
    };

    std::string Collection() const override { return "/cal/notes/"; }
    std::optional<RemoteListing> List() override;
    std::optional<RemoteChanges> Changes(const std::string& token) override;
    std::optional<std::vector<RemoteResource>> Fetch(const std::vector<std::string>& hrefs) override;
    WriteResult Put(const std::string& href, const std::string& data,
                    const std::optional<std::string>& ifMatch) override;
    WriteResult Delete(const std::string& href, const std::string& etag) override;
    std::string NewHref(std::string_view uid) const override { return Collection() + std::string(uid) + ".ics"; }
    std::string Error() const override { return m_error; }

    // What another client does: a new ETag each time.
    void Set(const std::string& href, const std::string& data);
    void Remove(const std::string& href);

    std::map<std::string, Stored> resources;
    std::vector<Request> requests;
    bool offersSyncToken = false;
    // Requests after this many fail as an unreachable server would.
    int failAfter = -1;
    // Runs before a PUT or DELETE is answered: a phone's write racing the sync.
    std::function<void(FakeCalendarServer&, const std::string& href)> beforeWrite;
    // Answers a PUT with no ETag, as some servers do.
    bool putWithoutEtag = false;

private:
    bool Reachable();
    std::string NextEtag() { return "\"e" + std::to_string(++m_etags) + "\""; }

    int m_etags = 0;
    int m_version = 0;
    std::map<std::string, int> m_changedAt;  // href -> version of its last change
    std::map<std::string, int> m_removedAt;  // href -> version it was removed at
    std::string m_error;
};
