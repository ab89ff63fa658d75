// InfoPanel: the strip along the main window's foot with the program's picture, its description
// and its links: the program's web page, its documentation ("Pomoc") and the mail address.
#pragma once

#include <QFrame>
#include <QString>
#include <QUrl>

#include <functional>

class LinkLabel;

// Where the panel's links lead. A build names its web page and mail address only where real ones
// exist; without them those links are not shown at all rather than leading nowhere.
struct InfoLinks
{
    QString homepage;  // "https://…", or empty
    QString email;     // "name@domain", or empty
    QUrl help;         // the installed documentation; empty when none was found
};

// The links of this build: its configured addresses and the documentation that `helpDocument`
// names (empty: none was found).
InfoLinks BuiltInfoLinks(const QString& helpDocument);

class InfoLinksPanel : public QFrame
{
    Q_OBJECT
public:
    // `openUrl` opens a web or mail address with the desktop's programs; false when it could not.
    InfoLinksPanel(QWidget* form, std::function<bool(const QUrl&)> openUrl, InfoLinks links);

    void UrlClick(LinkLabel* link);
    void EMAILClick(LinkLabel* link);
    void HelpClick();

private:
    std::function<bool(const QUrl&)> m_openUrl;
    InfoLinks m_links;
    LinkLabel* RxLabel1 = nullptr;  // the web page
    LinkLabel* RxLabel2 = nullptr;  // "Pomoc"
    LinkLabel* EMAIL = nullptr;
};
