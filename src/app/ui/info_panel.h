// InfoPanel: the strip along the main window's foot with the program's picture, its description
// and its links: two web pages and the mail address.
#pragma once

#include <QFrame>
#include <QUrl>

#include <functional>

class LinkLabel;

class InfoLinksPanel : public QFrame
{
    Q_OBJECT
public:
    // `openUrl` opens a web or mail address with the desktop's programs; false when it could not.
    InfoLinksPanel(QWidget* form, std::function<bool(const QUrl&)> openUrl);

    void UrlClick(LinkLabel* link);
    void EMAILClick(LinkLabel* link);

private:
    std::function<bool(const QUrl&)> m_openUrl;
    LinkLabel* RxLabel1 = nullptr;  // web
    LinkLabel* RxLabel2 = nullptr;  // web
    LinkLabel* EMAIL = nullptr;
};
