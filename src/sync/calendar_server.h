// The calendar on the server as the notes' sync sees it: list, fetch, write and delete resources.
// The CalDAV client is one; the tests drive the sync through a server in memory.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct RemoteItem
{
    std::string href;  // the resource's path, as the server names it
    std::string etag;  // empty when the server gave none
};

struct RemoteListing
{
    std::vector<RemoteItem> items;
    std::string syncToken;  // empty when the collection offers none
};

struct RemoteChanges
{
    std::vector<RemoteItem> changed;   // new or changed since the token
    std::vector<std::string> removed;  // gone since the token
    std::string syncToken;
};

struct RemoteResource
{
    std::string href, etag, data;
};

enum class WriteStatus
{
    Done,
    PreconditionFailed,  // 412: the resource is not as the ETag said (or exists, for a new one)
    Refused,             // the server will not take this one resource (403, 409, 415, …); others may go
    Failed,              // the server could not be reached or failed: the sync stops
};

struct WriteResult
{
    WriteStatus status = WriteStatus::Failed;
    std::string etag;  // the new ETag after a write, when the server gave one
};

class CalendarServer
{
public:
    virtual ~CalendarServer() = default;
    // The collection's path: the sync state belongs to it.
    virtual std::string Collection() const = 0;
    // Every resource with its ETag; nothing when the request failed (Error() says why).
    virtual std::optional<RemoteListing> List() = 0;
    // What changed since `token`; nothing when the collection offers no such report or no longer
    // knows the token (Error() empty: List is asked instead) or when the request failed.
    virtual std::optional<RemoteChanges> Changes(const std::string& token) = 0;
    // The resources with their data; those gone meanwhile are left out. Nothing when it failed.
    virtual std::optional<std::vector<RemoteResource>> Fetch(const std::vector<std::string>& hrefs) = 0;
    // Writes the resource with If-Match: `ifMatch`, or with If-None-Match: * when it is nothing.
    virtual WriteResult Put(const std::string& href, const std::string& data,
                            const std::optional<std::string>& ifMatch) = 0;
    // Deletes the resource with If-Match: `etag`; a resource already gone is Done.
    virtual WriteResult Delete(const std::string& href, const std::string& etag) = 0;
    // Where a new resource with this UID goes.
    virtual std::string NewHref(std::string_view uid) const = 0;
    // Why the last request failed, in Polish; empty after one that did not.
    virtual std::string Error() const = 0;
};
