// The calendar server in memory.
#include "fake_calendar_server.h"

bool FakeCalendarServer::Reachable()
{
    m_error.clear();
    if (failAfter == 0) {
        m_error = "Nie można połączyć się z serwerem.";
        return false;
    }
    if (failAfter > 0)
        --failAfter;
    return true;
}

std::optional<RemoteListing> FakeCalendarServer::List()
{
    requests.push_back({"LIST", Collection(), {}});
    if (!Reachable())
        return std::nullopt;
    RemoteListing listing;
    for (const auto& [href, stored] : resources)
        listing.items.push_back({href, stored.etag});
    if (offersSyncToken)
        listing.syncToken = "t" + std::to_string(m_version);
    return listing;
}

std::optional<RemoteChanges> FakeCalendarServer::Changes(const std::string& token)
{
    requests.push_back({"SYNC", Collection(), token});
    if (!Reachable())
        return std::nullopt;
    if (!offersSyncToken || !token.starts_with("t"))
        return std::nullopt;
    const int since = std::stoi(token.substr(1));
    RemoteChanges changes;
    for (const auto& [href, at] : m_changedAt)
        if (at > since && resources.contains(href))
            changes.changed.push_back({href, resources[href].etag});
    for (const auto& [href, at] : m_removedAt)
        if (at > since && !resources.contains(href))
            changes.removed.push_back(href);
    changes.syncToken = "t" + std::to_string(m_version);
    return changes;
}

std::optional<std::vector<RemoteResource>> FakeCalendarServer::Fetch(const std::vector<std::string>& hrefs)
{
    requests.push_back({"FETCH", hrefs.empty() ? std::string() : hrefs.front(), {}});
    if (!Reachable())
        return std::nullopt;
    std::vector<RemoteResource> out;
    for (const std::string& href : hrefs)
        if (const auto found = resources.find(href); found != resources.end())
            out.push_back({href, found->second.etag, found->second.data});
    return out;
}

WriteResult FakeCalendarServer::Put(const std::string& href, const std::string& data,
                                    const std::optional<std::string>& ifMatch)
{
    requests.push_back({"PUT", href, ifMatch.value_or(""), !ifMatch});
    if (!Reachable())
        return {WriteStatus::Failed, {}};
    if (beforeWrite)
        beforeWrite(*this, href);
    const auto found = resources.find(href);
    if (ifMatch ? (found == resources.end() || found->second.etag != *ifMatch) : found != resources.end())
        return {WriteStatus::PreconditionFailed, {}};
    Set(href, data);
    return {WriteStatus::Done, putWithoutEtag ? std::string() : resources[href].etag};
}

WriteResult FakeCalendarServer::Delete(const std::string& href, const std::string& etag)
{
    requests.push_back({"DELETE", href, etag});
    if (!Reachable())
        return {WriteStatus::Failed, {}};
    if (beforeWrite)
        beforeWrite(*this, href);
    const auto found = resources.find(href);
    if (found == resources.end())
        return {WriteStatus::Done, {}};
    if (found->second.etag != etag)
        return {WriteStatus::PreconditionFailed, {}};
    Remove(href);
    return {WriteStatus::Done, {}};
}

void FakeCalendarServer::Set(const std::string& href, const std::string& data)
{
    resources[href] = {NextEtag(), data};
    m_changedAt[href] = ++m_version;
}

void FakeCalendarServer::Remove(const std::string& href)
{
    resources.erase(href);
    m_removedAt[href] = ++m_version;
}
