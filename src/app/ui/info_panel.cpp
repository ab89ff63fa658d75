// The information panel and its links.
#include "app/ui/info_panel.h"

#include "app/ui/icons.h"
#include "app/ui/link_label.h"
#include "app/ui/show_error.h"
#include "ui_support/fonts.h"
#include "ui_support/named.h"

#include <QLabel>

InfoLinksPanel::InfoLinksPanel(QWidget* form, std::function<bool(const QUrl&)> openUrl)
    : QFrame(form), m_openUrl(std::move(openUrl))
{
    setObjectName(QStringLiteral("InfoPanel"));
    setGeometry(0, form->height() - 73, form->width(), 73);
    setFrameStyle(QFrame::Panel | QFrame::Raised);

    auto* picture = NamedLabel(this, "InfoPicture", {}, {12, 8}, {56, 56});
    picture->setPixmap(InfoPicture(56, picture->devicePixelRatioF()));
    QLabel* title = NamedLabel(this, "InfoLine1",
                               QStringLiteral("Dniarz – kalendarz z imieninami i świętami, Słońce i Księżyc, notatki "
                                              "oraz zegar z budzikiem"),
                               {80, 9});
    title->setFont(SansFont(11, true));
    title->adjustSize();
    NamedLabel(this, "InfoLine2",
               QStringLiteral("Nowe wersje i pomoc na stronach programu, uwagi i pytania prosimy przesyłać "
                              "pocztą elektroniczną:"),
               {80, 28});

    RxLabel1 = Named(new LinkLabel(QStringLiteral("https://dniarz.example.org"), this), "RxLabel1");
    RxLabel1->move(80, 48);
    RxLabel2 = Named(new LinkLabel(QStringLiteral("https://dniarz.example.org/pomoc"), this), "RxLabel2");
    RxLabel2->move(RxLabel1->geometry().right() + 24, 48);
    EMAIL = Named(new LinkLabel(QStringLiteral("dniarz@example.org"), this), "EMAIL");
    EMAIL->move(RxLabel2->geometry().right() + 24, 48);
    for (LinkLabel* web : {RxLabel1, RxLabel2})
        connect(web, &LinkLabel::clicked, this, [this, web] { UrlClick(web); });
    connect(EMAIL, &LinkLabel::clicked, this, [this] { EMAILClick(EMAIL); });
}

void InfoLinksPanel::UrlClick(LinkLabel* link)
{
    // The browser takes the screen, so the window steps aside to the tray first.
    window()->close();
    if (!m_openUrl(QUrl(link->text())))
        ShowError(window(), QStringLiteral("Nie można załadować domyślnej przeglądarki"));
}

void InfoLinksPanel::EMAILClick(LinkLabel* link)
{
    // Whether a mail program really started cannot be told; the desktop shows its own message.
    m_openUrl(QUrl(QStringLiteral("mailto:") + link->text()));
}
