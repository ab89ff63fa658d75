// WebDAV multistatus replies (RFC 4918, with the CalDAV and sync-collection properties) read with
// QXmlStreamReader into the few fields the sync uses.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

struct DavResponse
{
    QString href;               // as the server wrote it, percent-encoding and all
    int status = 0;             // the response's own status (sync-collection's 404), 0 when none
    QString etag;               // getetag
    QString calendarData;       // calendar-data
    QString displayName;        // displayname
    QString principal;          // current-user-principal's href
    QString calendarHome;       // calendar-home-set's first href
    QString ctag;               // CalendarServer.org's getctag
    bool isCalendar = false;    // resourcetype holds calendar
    bool isCollection = false;  // resourcetype holds collection
    bool hasComponentSet = false;
    QStringList components;  // supported-calendar-component-set's names, upper case
};

struct MultiStatus
{
    std::vector<DavResponse> responses;
    QString syncToken;  // the report's own sync-token
    bool ok = false;    // false: no multistatus, or XML that is not well formed
};

// Only properties in a propstat of status 2xx are taken: a 404 propstat lists what the resource
// lacks. Never throws; input of any size and shape gives a result.
MultiStatus ParseMultiStatus(const QByteArray& xml);
