// The multistatus reader.
#include "sync/caldav/multistatus.h"

#include <QXmlStreamReader>

namespace {

constexpr QStringView kDav = u"DAV:";
constexpr QStringView kCalDav = u"urn:ietf:params:xml:ns:caldav";
constexpr QStringView kCalendarServer = u"http://calendarserver.org/ns/";

// "HTTP/1.1 404 Not Found" -> 404; 0 when it is no status line.
int StatusCode(const QString& line)
{
    const QStringList parts = line.simplified().split(u' ');
    if (parts.size() < 2)
        return 0;
    bool ok = false;
    const int code = parts[1].toInt(&ok);
    return ok ? code : 0;
}

bool Is(const QXmlStreamReader& xml, QStringView ns, QStringView name)
{
    return xml.namespaceUri() == ns && xml.name() == name;
}

// The text of the first <href> inside the current element, which is then read to its end.
QString InnerHref(QXmlStreamReader& xml)
{
    QString href;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (href.isEmpty() && Is(xml, kDav, u"href")) {
                href = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
                continue;
            }
            ++depth;
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    return href;
}

// One <prop>: the properties into `r`.
void ReadProp(QXmlStreamReader& xml, DavResponse& r)
{
    while (xml.readNextStartElement()) {
        if (Is(xml, kDav, u"getetag")) {
            r.etag = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        } else if (Is(xml, kCalDav, u"calendar-data")) {
            r.calendarData = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (Is(xml, kDav, u"displayname")) {
            r.displayName = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        } else if (Is(xml, kCalendarServer, u"getctag")) {
            r.ctag = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        } else if (Is(xml, kDav, u"current-user-principal")) {
            r.principal = InnerHref(xml);
        } else if (Is(xml, kCalDav, u"calendar-home-set")) {
            r.calendarHome = InnerHref(xml);
        } else if (Is(xml, kDav, u"resourcetype")) {
            while (xml.readNextStartElement()) {
                if (Is(xml, kCalDav, u"calendar"))
                    r.isCalendar = true;
                else if (Is(xml, kDav, u"collection"))
                    r.isCollection = true;
                xml.skipCurrentElement();
            }
        } else if (Is(xml, kCalDav, u"supported-calendar-component-set")) {
            r.hasComponentSet = true;
            while (xml.readNextStartElement()) {
                if (Is(xml, kCalDav, u"comp"))
                    r.components.append(xml.attributes().value(QStringLiteral("name")).toString().toUpper());
                xml.skipCurrentElement();
            }
        } else {
            xml.skipCurrentElement();
        }
    }
}

void ReadPropstat(QXmlStreamReader& xml, DavResponse& r)
{
    DavResponse found;
    int status = 0;
    while (xml.readNextStartElement()) {
        if (Is(xml, kDav, u"prop"))
            ReadProp(xml, found);
        else if (Is(xml, kDav, u"status"))
            status = StatusCode(xml.readElementText(QXmlStreamReader::IncludeChildElements));
        else
            xml.skipCurrentElement();
    }
    if (status < 200 || status > 299)
        return;
    // Later propstats add to, never clear, what earlier ones gave.
    auto take = [](QString& to, const QString& from) {
        if (!from.isEmpty())
            to = from;
    };
    take(r.etag, found.etag);
    take(r.calendarData, found.calendarData);
    take(r.displayName, found.displayName);
    take(r.principal, found.principal);
    take(r.calendarHome, found.calendarHome);
    take(r.ctag, found.ctag);
    r.isCalendar = r.isCalendar || found.isCalendar;
    r.isCollection = r.isCollection || found.isCollection;
    r.hasComponentSet = r.hasComponentSet || found.hasComponentSet;
    r.components += found.components;
}

DavResponse ReadResponse(QXmlStreamReader& xml)
{
    DavResponse r;
    while (xml.readNextStartElement()) {
        if (Is(xml, kDav, u"href") && r.href.isEmpty())
            r.href = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        else if (Is(xml, kDav, u"status"))
            r.status = StatusCode(xml.readElementText(QXmlStreamReader::IncludeChildElements));
        else if (Is(xml, kDav, u"propstat"))
            ReadPropstat(xml, r);
        else
            xml.skipCurrentElement();
    }
    return r;
}

}  // namespace

MultiStatus ParseMultiStatus(const QByteArray& bytes)
{
    MultiStatus result;
    QXmlStreamReader xml(bytes);
    if (!xml.readNextStartElement() || !Is(xml, kDav, u"multistatus"))
        return result;
    while (xml.readNextStartElement()) {
        if (Is(xml, kDav, u"response")) {
            DavResponse r = ReadResponse(xml);
            if (!r.href.isEmpty())
                result.responses.push_back(std::move(r));
        } else if (Is(xml, kDav, u"sync-token")) {
            result.syncToken = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        } else {
            xml.skipCurrentElement();
        }
    }
    // Reading to the end catches a reply cut off or spoiled after the last whole response.
    while (!xml.atEnd())
        xml.readNext();
    result.ok = !xml.hasError();
    if (!result.ok)
        result.responses.clear();
    return result;
}
