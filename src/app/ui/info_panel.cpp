// The information panel and its links.
#include "app/ui/info_panel.h"

#include "app/ui/icons.h"
#include "app/ui/link_label.h"
#include "app/ui/show_error.h"
#include "ui_support/fonts.h"
#include "ui_support/named.h"

#include <QLabel>

InfoLinks BuiltInfoLinks(const QString& helpDocument)
{
    InfoLinks links;
    links.homepage = QStringLiteral(DNIARZ_HOMEPAGE_URL);
    links.email = QStringLiteral(DNIARZ_CONTACT_EMAIL);
    if (!helpDocument.isEmpty())
        links.help = QUrl::fromLocalFile(helpDocument);
    return links;
}

InfoLinksPanel::InfoLinksPanel(QWidget* form, std::function<bool(const QUrl&)> openUrl, InfoLinks links)
    : QFrame(form), m_openUrl(std::move(openUrl)), m_links(std::move(links))
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
    const bool reachable = !m_links.homepage.isEmpty() || !m_links.email.isEmpty();
    NamedLabel(this, "InfoLine2",
               reachable ? QStringLiteral("Nowe wersje na stronie programu, opis w pomocy, uwagi i pytania pocztą "
                                          "elektroniczną:")
                         : QStringLiteral("Opis okien, ustawień, przypomnień i opcji wiersza poleceń jest w pomocy:"),
               {80, 28});

    // Each link is placed after the one before it that is shown, so that a missing address
    // leaves no gap.
    int left = 80;
    auto place = [&left, this](const QString& caption, const char* name) {
        auto* link = Named(new LinkLabel(caption, this), name);
        link->move(left, 48);
        link->setVisible(!caption.isEmpty());
        if (!caption.isEmpty())
            left = link->geometry().right() + 24;
        return link;
    };
    RxLabel1 = place(m_links.homepage, "RxLabel1");
    RxLabel2 = place(QStringLiteral("Pomoc"), "RxLabel2");
    EMAIL = place(m_links.email, "EMAIL");
    connect(RxLabel1, &LinkLabel::clicked, this, [this] { UrlClick(RxLabel1); });
    connect(RxLabel2, &LinkLabel::clicked, this, [this] { HelpClick(); });
    connect(EMAIL, &LinkLabel::clicked, this, [this] { EMAILClick(EMAIL); });
}

void InfoLinksPanel::UrlClick(LinkLabel* link)
{
    // The browser takes the screen, so the window steps aside to the tray first.
    window()->close();
    if (!m_openUrl(QUrl(link->text())))
        ShowError(window(), QStringLiteral("Nie można załadować domyślnej przeglądarki"));
}

void InfoLinksPanel::HelpClick()
{
    if (m_links.help.isEmpty()) {
        ShowError(window(), QStringLiteral("Nie znaleziono opisu programu (README.md). Opcje wiersza poleceń "
                                           "pokazuje „dniarz --help”."));
        return;
    }
    window()->close();
    if (!m_openUrl(m_links.help))
        ShowError(window(), QStringLiteral("Nie można otworzyć opisu programu:\n") + m_links.help.toLocalFile());
}

void InfoLinksPanel::EMAILClick(LinkLabel* link)
{
    // Whether a mail program really started cannot be told; the desktop shows its own message.
    m_openUrl(QUrl(QStringLiteral("mailto:") + link->text()));
}
