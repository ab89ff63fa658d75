// The CalDAV client: requests, discovery and the calendar of the notes.
#include "sync/caldav/caldav_client.h"

#include <QCryptographicHash>
#include <QEventLoop>
#include <QNetworkRequest>
#include <QSslCertificate>
#include <QSslError>

#include "sync/caldav/multistatus.h"

namespace {

constexpr int kMaxRedirects = 5;

const QByteArray kXmlHead = R"(<?xml version="1.0" encoding="utf-8"?>)";

QByteArray PropfindBody(const char* props)
{
    return kXmlHead + R"(<d:propfind xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav" )"
           + R"(xmlns:cs="http://calendarserver.org/ns/"><d:prop>)" + props + "</d:prop></d:propfind>";
}

QByteArray SyncCollectionBody(const QString& token)
{
    return kXmlHead + R"(<d:sync-collection xmlns:d="DAV:"><d:sync-token>)" + token.toHtmlEscaped().toUtf8()
           + "</d:sync-token><d:sync-level>1</d:sync-level><d:prop><d:getetag/></d:prop></d:sync-collection>";
}

QByteArray CalendarQueryBody(bool withData)
{
    return kXmlHead + R"(<c:calendar-query xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav"><d:prop>)"
           + "<d:getetag/>" + (withData ? "<c:calendar-data/>" : "")
           + R"(</d:prop><c:filter><c:comp-filter name="VCALENDAR"/></c:filter></c:calendar-query>)";
}

bool Success(int status)
{
    return status >= 200 && status <= 299;
}

// Statuses by which a server says it offers no such report or no longer knows the token: the
// sync then lists the whole calendar instead.
bool ReportRefused(int status)
{
    return status == 400 || status == 403 || status == 404 || status == 405 || status == 409 || status == 415
           || status == 501;
}

QString IssuerOf(const QSslCertificate& certificate)
{
    QStringList parts = certificate.issuerInfo(QSslCertificate::CommonName);
    parts += certificate.issuerInfo(QSslCertificate::Organization);
    parts.removeDuplicates();
    return parts.isEmpty() ? QString::fromUtf8("nieznany wystawca") : parts.join(u", ");
}

}  // namespace

QString DavErrorText(int status, QNetworkReply::NetworkError error, const QString& host, int timeoutSeconds)
{
    switch (status) {
    case 401:
        return QString::fromUtf8("Serwer %1 nie przyjął nazwy użytkownika lub hasła (401).").arg(host);
    case 403:
        return QString::fromUtf8("Serwer %1 nie pozwala na to temu użytkownikowi (403).").arg(host);
    case 404:
        return QString::fromUtf8("Pod tym adresem serwer %1 nie ma kalendarza (404).").arg(host);
    case 503:
        return QString::fromUtf8("Serwer %1 jest chwilowo zajęty (503); synchronizacja zostanie powtórzona później.")
            .arg(host);
    case 507:
        return QString::fromUtf8("Na serwerze %1 zabrakło miejsca (507).").arg(host);
    default:
        break;
    }
    if (status >= 500)
        return QString::fromUtf8("Serwer %1 zgłosił błąd (%2).").arg(host).arg(status);
    if (status >= 300)
        return QString::fromUtf8("Serwer %1 odrzucił żądanie (%2).").arg(host).arg(status);
    switch (error) {
    case QNetworkReply::HostNotFoundError:
        return QString::fromUtf8("Nie ma takiego adresu: %1.").arg(host);
    case QNetworkReply::ConnectionRefusedError:
        return QString::fromUtf8("Serwer %1 nie przyjmuje połączeń.").arg(host);
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::TimeoutError:
        return QString::fromUtf8("Serwer %1 nie odpowiedział w ciągu %2 s.").arg(host).arg(timeoutSeconds);
    case QNetworkReply::RemoteHostClosedError:
        return QString::fromUtf8("Serwer %1 przerwał połączenie.").arg(host);
    case QNetworkReply::SslHandshakeFailedError:
        return QString::fromUtf8("Nie udało się nawiązać bezpiecznego połączenia z serwerem %1.").arg(host);
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::UnknownNetworkError:
        return QString::fromUtf8("Brak połączenia z siecią.");
    default:
        return QString::fromUtf8("Nie udało się połączyć z serwerem %1.").arg(host);
    }
}

CalDavClient::CalDavClient(CalDavAccount account) : m_account(std::move(account))
{
    m_net.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

void CalDavClient::SetError(const QString& text, bool unreachable)
{
    m_error = text;
    m_unreachable = unreachable;
}

void CalDavClient::SetError(const Reply& reply)
{
    if (!m_untrustedDigest.isEmpty()) {
        SetError(QString::fromUtf8("Certyfikat serwera %1 nie jest zaufany (wystawca: %2; odcisk SHA-256: %3).")
                     .arg(Host(), m_untrustedIssuer, m_untrustedDigest),
                 true);
        return;
    }
    const bool unreachable = reply.status == 0 || reply.status == 401 || reply.status >= 500;
    SetError(DavErrorText(reply.status, reply.error, Host(), m_account.timeoutSeconds), unreachable);
}

CalDavClient::Reply CalDavClient::Send(const QByteArray& verb, const QUrl& url, const QByteArray& body,
                                       const Headers& headers)
{
    m_error.clear();
    m_unreachable = false;
    m_untrustedIssuer.clear();
    m_untrustedDigest.clear();
    Reply out;
    QUrl target = url;
    for (int redirect = 0; redirect <= kMaxRedirects; ++redirect) {
        QNetworkRequest request(target);
        request.setTransferTimeout(m_account.timeoutSeconds * 1000);
        // Sent before the server asks: every CalDAV server takes Basic over the connection the
        // user chose, and asking first doubles the requests.
        if (!m_account.user.isEmpty())
            request.setRawHeader("Authorization",
                                 "Basic " + (m_account.user + u':' + m_account.password).toUtf8().toBase64());
        request.setRawHeader("User-Agent", "Dniarz");
        for (const auto& [name, value] : headers)
            request.setRawHeader(name, value);
        QNetworkReply* reply = m_net.sendCustomRequest(request, verb, body);
        QObject::connect(reply, &QNetworkReply::sslErrors, reply, [this, reply](const QList<QSslError>& errors) {
            const QSslCertificate certificate = reply->sslConfiguration().peerCertificate();
            const QString digest = QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex());
            if (!errors.isEmpty() && m_account.trustedCertificates.contains(digest, Qt::CaseInsensitive)) {
                reply->ignoreSslErrors(errors);
                return;
            }
            m_untrustedIssuer = IssuerOf(certificate);
            m_untrustedDigest = digest;
        });
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        out.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        out.error = reply->error();
        out.body = reply->readAll();
        out.etag = QString::fromUtf8(reply->rawHeader("ETag"));
        out.lastModified = reply->rawHeader("Last-Modified");
        out.url = target;
        const QByteArray location = reply->rawHeader("Location");
        reply->deleteLater();
        // A reply the connection lost part of has a status but is no answer.
        if (out.status != 0 && out.error != QNetworkReply::NoError && out.error < QNetworkReply::ContentAccessDenied
            && out.error != QNetworkReply::OperationCanceledError)
            out.status = 0;
        if (out.error == QNetworkReply::OperationCanceledError || out.error == QNetworkReply::TimeoutError)
            out.status = 0;
        if ((out.status == 301 || out.status == 302 || out.status == 307 || out.status == 308) && !location.isEmpty()) {
            target = target.resolved(QUrl::fromEncoded(location));
            continue;
        }
        break;
    }
    return out;
}

CalDavClient::Reply CalDavClient::Propfind(const QUrl& url, const QByteArray& body, const char* depth)
{
    return Send("PROPFIND", url, body, {{"Depth", depth}, {"Content-Type", "application/xml; charset=utf-8"}});
}

CalDavClient::Reply CalDavClient::Report(const QString& path, const QByteArray& body, const char* depth)
{
    return Send("REPORT", UrlOf(path), body, {{"Depth", depth}, {"Content-Type", "application/xml; charset=utf-8"}});
}

QUrl CalDavClient::UrlOf(const QString& path) const
{
    QUrl url = m_account.server;
    url.setPath(path, QUrl::DecodedMode);
    url.setQuery(QString());
    url.setFragment(QString());
    return url;
}

QString CalDavClient::PathOf(const QString& href, const QUrl& base) const
{
    return base.resolved(QUrl(href)).path(QUrl::FullyDecoded);
}

std::optional<std::vector<CalendarInfo>> CalDavClient::Discover()
{
    const QByteArray principalBody = PropfindBody("<d:current-user-principal/><d:resourcetype/>");
    QUrl wellKnown = m_account.server;
    wellKnown.setPath("/.well-known/caldav");
    Reply reply = Propfind(wellKnown, principalBody, "0");
    if (reply.status == 0 || reply.status == 401 || reply.status >= 500 || !m_untrustedDigest.isEmpty()) {
        SetError(reply);
        return std::nullopt;
    }
    MultiStatus found = reply.status == 207 ? ParseMultiStatus(reply.body) : MultiStatus();
    if (found.responses.empty() || found.responses.front().principal.isEmpty()) {
        // No well-known address: the address given may be the principal, the home or a calendar.
        reply = Propfind(m_account.server, principalBody, "0");
        if (reply.status != 207) {
            SetError(reply);
            return std::nullopt;
        }
        found = ParseMultiStatus(reply.body);
    }
    if (!found.ok || found.responses.empty()) {
        SetUnreadable();
        return std::nullopt;
    }
    QUrl home = reply.url;
    if (const QString principal = found.responses.front().principal; !principal.isEmpty()) {
        const QUrl principalUrl = reply.url.resolved(QUrl(principal));
        reply = Propfind(principalUrl, PropfindBody("<c:calendar-home-set/>"), "0");
        if (reply.status != 207) {
            SetError(reply);
            return std::nullopt;
        }
        found = ParseMultiStatus(reply.body);
        const QString homeHref = found.responses.empty() ? QString() : found.responses.front().calendarHome;
        home = homeHref.isEmpty() ? principalUrl : reply.url.resolved(QUrl(homeHref));
    }
    reply = Propfind(home, PropfindBody("<d:resourcetype/><d:displayname/><c:supported-calendar-component-set/>"), "1");
    const std::optional<MultiStatus> collections = MultiStatusOf(reply);
    if (!collections)
        return std::nullopt;
    std::vector<CalendarInfo> calendars;
    for (const DavResponse& r : collections->responses) {
        if (!r.isCalendar || (r.hasComponentSet && !r.components.contains(u"VEVENT")))
            continue;
        QString path = PathOf(r.href, reply.url);
        if (!path.endsWith(u'/'))
            path += u'/';
        calendars.push_back({path, r.displayName.isEmpty() ? path.section(u'/', -2, -2) : r.displayName});
    }
    if (calendars.empty()) {
        SetError(QString::fromUtf8("Na serwerze %1 nie ma żadnego kalendarza z wydarzeniami.").arg(Host()), false);
        return std::nullopt;
    }
    return calendars;
}

std::optional<RemoteListing> CalDavClient::List()
{
    const QString collection = m_collection;
    auto items = [&](const MultiStatus& found, const QUrl& base) {
        std::vector<RemoteItem> out;
        for (const DavResponse& r : found.responses) {
            const QString path = PathOf(r.href, base);
            if (path == collection || path.endsWith(u'/') || r.status == 404)
                continue;
            out.push_back({path.toStdString(), r.etag.toStdString()});
        }
        return out;
    };
    Reply reply = Report(collection, SyncCollectionBody({}));
    if (reply.status == 207) {
        const MultiStatus found = ParseMultiStatus(reply.body);
        if (found.ok)
            return RemoteListing{items(found, reply.url), found.syncToken.toStdString()};
    } else if (reply.status == 0 || reply.status == 401 || reply.status >= 500) {
        SetError(reply);
        return std::nullopt;
    }
    reply = Report(collection, CalendarQueryBody(false));
    const std::optional<MultiStatus> found = MultiStatusOf(reply);
    if (!found)
        return std::nullopt;
    return RemoteListing{items(*found, reply.url), {}};
}

std::optional<RemoteChanges> CalDavClient::Changes(const std::string& token)
{
    const Reply reply = Report(m_collection, SyncCollectionBody(QString::fromStdString(token)));
    if (reply.status != 207) {
        if (ReportRefused(reply.status)) {
            m_error.clear();
            return std::nullopt;
        }
        SetError(reply);
        return std::nullopt;
    }
    const MultiStatus found = ParseMultiStatus(reply.body);
    if (!found.ok) {
        SetUnreadable();
        return std::nullopt;
    }
    RemoteChanges changes;
    changes.syncToken = found.syncToken.toStdString();
    for (const DavResponse& r : found.responses) {
        const QString path = PathOf(r.href, reply.url);
        if (path == m_collection || path.endsWith(u'/'))
            continue;
        if (r.status == 404)
            changes.removed.push_back(path.toStdString());
        else
            changes.changed.push_back({path.toStdString(), r.etag.toStdString()});
    }
    return changes;
}

std::optional<std::vector<RemoteResource>> CalDavClient::Fetch(const std::vector<std::string>& hrefs)
{
    QByteArray body = kXmlHead + R"(<c:calendar-multiget xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav">)"
                      + "<d:prop><d:getetag/><c:calendar-data/></d:prop>";
    for (const std::string& href : hrefs)
        body += "<d:href>" + UrlOf(QString::fromStdString(href)).path(QUrl::FullyEncoded).toHtmlEscaped().toUtf8()
                + "</d:href>";
    body += "</c:calendar-multiget>";
    const Reply reply = Report(m_collection, body);
    const std::optional<MultiStatus> found = MultiStatusOf(reply);
    if (!found)
        return std::nullopt;
    return ResourcesOf(*found, reply.url, true);
}

std::optional<std::vector<RemoteResource>> CalDavClient::FetchAll(const QString& collection)
{
    const Reply reply = Report(collection, CalendarQueryBody(true));
    const std::optional<MultiStatus> found = MultiStatusOf(reply);
    if (!found)
        return std::nullopt;
    return ResourcesOf(*found, reply.url, false);
}

std::optional<MultiStatus> CalDavClient::MultiStatusOf(const Reply& reply)
{
    if (reply.status != 207) {
        SetError(reply);
        return std::nullopt;
    }
    MultiStatus found = ParseMultiStatus(reply.body);
    if (!found.ok) {
        SetUnreadable();
        return std::nullopt;
    }
    return found;
}

void CalDavClient::SetUnreadable()
{
    SetError(QString::fromUtf8("Serwer %1 przysłał odpowiedź, której nie da się odczytać.").arg(Host()), false);
}

std::vector<RemoteResource> CalDavClient::ResourcesOf(const MultiStatus& found, const QUrl& base,
                                                      bool skipMissing) const
{
    std::vector<RemoteResource> out;
    for (const DavResponse& r : found.responses)
        if (!(skipMissing && r.status == 404) && !r.calendarData.isEmpty())
            out.push_back({PathOf(r.href, base).toStdString(), r.etag.toStdString(), r.calendarData.toStdString()});
    return out;
}

std::optional<CalDavClient::File> CalDavClient::GetFile(const QUrl& url, const std::string& heldEtag,
                                                        const std::string& heldLastModified)
{
    // A feed fetched every few minutes is mostly unchanged: asking conditionally spares the
    // server and the line the whole file (RFC 9110, 13.1.2 and 13.1.3).
    Headers headers;
    if (!heldEtag.empty())
        headers.append(qMakePair(QByteArray("If-None-Match"), QByteArray::fromStdString(heldEtag)));
    if (!heldLastModified.empty())
        headers.append(qMakePair(QByteArray("If-Modified-Since"), QByteArray::fromStdString(heldLastModified)));
    const Reply reply = Send("GET", url, {}, headers);
    File file;
    if (reply.status == 304 && (!heldEtag.empty() || !heldLastModified.empty())) {
        file.unchanged = true;
        file.etag = heldEtag;
        file.lastModified = heldLastModified;
        return file;
    }
    if (!Success(reply.status)) {
        SetError(reply);
        return std::nullopt;
    }
    file.body = reply.body;
    file.etag = reply.etag.toStdString();
    file.lastModified = reply.lastModified.toStdString();
    return file;
}

namespace {

WriteStatus StatusOfWrite(int status)
{
    if (Success(status))
        return WriteStatus::Done;
    if (status == 412)
        return WriteStatus::PreconditionFailed;
    if (status == 400 || status == 403 || status == 409 || status == 413 || status == 415 || status == 422)
        return WriteStatus::Refused;
    return WriteStatus::Failed;
}

}  // namespace

WriteResult CalDavClient::Put(const std::string& href, const std::string& data,
                              const std::optional<std::string>& ifMatch)
{
    Headers headers{{"Content-Type", "text/calendar; charset=utf-8"}};
    if (ifMatch)
        headers.append(qMakePair(QByteArray("If-Match"), QByteArray::fromStdString(*ifMatch)));
    else
        headers.append(qMakePair(QByteArray("If-None-Match"), QByteArray("*")));
    const Reply reply = Send("PUT", UrlOf(QString::fromStdString(href)), QByteArray::fromStdString(data), headers);
    const WriteStatus status = StatusOfWrite(reply.status);
    if (status == WriteStatus::Failed || status == WriteStatus::Refused)
        SetError(reply);
    return {status, reply.etag.toStdString()};
}

WriteResult CalDavClient::Delete(const std::string& href, const std::string& etag)
{
    const Reply reply = Send("DELETE", UrlOf(QString::fromStdString(href)), {},
                             {{"If-Match", QByteArray::fromStdString(etag)}});
    if (reply.status == 404 || reply.status == 410)
        return {WriteStatus::Done, {}};
    const WriteStatus status = StatusOfWrite(reply.status);
    if (status == WriteStatus::Failed || status == WriteStatus::Refused)
        SetError(reply);
    return {status, {}};
}

std::string CalDavClient::NewHref(std::string_view uid) const
{
    // Only letters, digits and a few marks in the name: a UID from elsewhere may hold anything.
    QString name;
    for (const QChar c : QString::fromUtf8(uid.data(), static_cast<qsizetype>(uid.size())))
        name += (c.isLetterOrNumber() && c.unicode() < 128) || c == u'-' || c == u'_' || c == u'.' || c == u'@' ? c
                                                                                                                : u'_';
    return (m_collection + name + QStringLiteral(".ics")).toStdString();
}
