// A CalDAV (RFC 4791) client over Qt Network: finding the user's calendars, and the calendar of the
// notes as the sync's CalendarServer (sync-collection, calendar-query, calendar-multiget, PUT and
// DELETE with ETags). Each request waits in a local event loop, so the client works the same in
// the command line and on a worker thread; none may run on the window's thread.
#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QUrl>

#include "sync/calendar_server.h"
#include "sync/caldav/multistatus.h"

struct CalDavAccount
{
    QUrl server;  // the server's root address, from which the calendars are found
    QString user;
    QString password;
    int timeoutSeconds = 30;          // a request that makes no progress this long fails
    QStringList trustedCertificates;  // SHA-256 digests (hex) of certificates the user accepted
};

struct CalendarInfo
{
    QString path;  // the collection's path, percent-decoded
    QString displayName;
};

class CalDavClient final : public CalendarServer
{
public:
    explicit CalDavClient(CalDavAccount account);

    // The calendars with events: /.well-known/caldav (or the address itself), the user's
    // principal, its calendar-home-set, and the collections there whose component set holds
    // VEVENT. Nothing when that failed, or found none (Error() says which).
    std::optional<std::vector<CalendarInfo>> Discover();
    // The calendar the CalendarServer calls work on.
    void UseCollection(const QString& path) { m_collection = path; }
    // Every resource of a calendar with its data, in one calendar-query; for the calendars shown
    // read-only.
    std::optional<std::vector<RemoteResource>> FetchAll(const QString& collection);

    // A whole file by GET, for a calendar subscribed by address; nothing when that failed. With
    // the validators of the copy already held, the server may answer that it has not changed.
    struct File
    {
        bool unchanged = false;  // 304: the copy held is the file
        QByteArray body;
        std::string etag;
        std::string lastModified;
    };
    std::optional<File> GetFile(const QUrl& url, const std::string& heldEtag = {},
                                const std::string& heldLastModified = {});

    // A certificate the last request met and nobody trusts: who issued it and its SHA-256 digest
    // (hex), for the user to accept. Empty otherwise.
    QString UntrustedIssuer() const { return m_untrustedIssuer; }
    QString UntrustedDigest() const { return m_untrustedDigest; }
    // The last request failed before the server answered it at all, or the server refused the
    // account: the command line's exit code 1 rather than 2.
    bool Unreachable() const { return m_unreachable; }

    std::string Collection() const override { return m_collection.toStdString(); }
    std::optional<RemoteListing> List() override;
    std::optional<RemoteChanges> Changes(const std::string& token) override;
    std::optional<std::vector<RemoteResource>> Fetch(const std::vector<std::string>& hrefs) override;
    WriteResult Put(const std::string& href, const std::string& data,
                    const std::optional<std::string>& ifMatch) override;
    WriteResult Delete(const std::string& href, const std::string& etag) override;
    std::string NewHref(std::string_view uid) const override;
    std::string Error() const override { return m_error.toStdString(); }

private:
    struct Reply
    {
        int status = 0;  // HTTP status; 0 when none came
        QNetworkReply::NetworkError error = QNetworkReply::NoError;
        QByteArray body;
        QString etag;
        QByteArray lastModified;
        QUrl url;  // where the answer came from, after redirects
    };
    using Headers = QList<QPair<QByteArray, QByteArray>>;

    Reply Send(const QByteArray& verb, const QUrl& url, const QByteArray& body, const Headers& headers);
    Reply Report(const QString& path, const QByteArray& body, const char* depth = "1");
    Reply Propfind(const QUrl& url, const QByteArray& body, const char* depth);
    // Sets Error() from a reply that failed (no status, or one outside 2xx).
    void SetError(const Reply& reply);
    void SetError(const QString& text, bool unreachable);
    // The multistatus of a WebDAV reply; nothing, with Error() set, when the reply is another
    // status or cannot be read.
    std::optional<MultiStatus> MultiStatusOf(const Reply& reply);
    void SetUnreadable();
    // The calendar data of each response, by path; `skipMissing` leaves out those answered 404.
    std::vector<RemoteResource> ResourcesOf(const MultiStatus& found, const QUrl& base, bool skipMissing) const;
    QUrl UrlOf(const QString& path) const;
    QString PathOf(const QString& href, const QUrl& base) const;
    QString Host() const { return m_account.server.host(); }

    CalDavAccount m_account;
    QNetworkAccessManager m_net;
    QString m_collection;
    QString m_error;
    bool m_unreachable = false;
    QString m_untrustedIssuer, m_untrustedDigest;
};

// A WebDAV status outside 2xx, or a failed connection, told in Polish for the user.
QString DavErrorText(int status, QNetworkReply::NetworkError error, const QString& host, int timeoutSeconds);
