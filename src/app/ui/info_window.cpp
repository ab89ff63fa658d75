// The about window.
#include "app/ui/info_window.h"

#include "app/version.h"
#include "ui_support/form_pos_keeper.h"
#include "contacts/contacts_search.h"
#include "contacts/rtf_reader.h"
#include "contacts/ui/contacts_window.h"
#include "contacts/ui/rich_text_document.h"
#include "platform/file_store.h"
#include "platform/url_launcher.h"
#include "ui_support/fonts.h"
#include "ui_support/named.h"
#include "platform/path_text.h"

#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>

namespace {

QLabel* NoticeLabel(QWidget* parent, const char* name, const QString& text, int top)
{
    auto* label = NamedAt(new QLabel(text, parent), name, {16, top, 357, 39});
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

}  // namespace

Tinfo::Tinfo(FileStore& files, UrlLauncher& links, std::filesystem::path infoFile, QWidget* parent)
    : QDialog(parent), m_files(files), m_links(links), m_path(std::move(infoFile))
{
    setObjectName(QStringLiteral("info"));
    setWindowTitle(QStringLiteral("Informacja o programie"));
    setFont(WindowFont());
    resize(kClientWidth, kClientHeight);

    Label1 = new QLabel(QStringLiteral("Program: Dniarz        wersja: ") + QLatin1String(kProgramVersion), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(16, 16);
    Label1->adjustSize();
    Label2 = NoticeLabel(this, "Label2",
                         QStringLiteral("Autorzy: zespół programu Dniarz. Program jest rozpowszechniany bezpłatnie; "
                                        "można go kopiować i przekazywać innym bez zmian."),
                         40);
    Label3 = NoticeLabel(this, "Label3",
                         QStringLiteral("Program jest dostarczany w takim stanie, w jakim jest, bez żadnej "
                                        "gwarancji; korzystasz z niego na własną odpowiedzialność."),
                         68);
    // Read-only, and its links open as a click on them asks, where the program opens addresses.
    auto* browser = new QTextBrowser(this);
    browser->setOpenLinks(false);
    connect(browser, &QTextBrowser::anchorClicked, this, &Tinfo::OpenLink);
    RichEdit = browser;
    RichEdit->setObjectName(QStringLiteral("RichEdit"));
    RichEdit->setReadOnly(true);
    RichEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit->document()->setDefaultFont(RichTextFont());
    OK = new QPushButton(QStringLiteral("OK"), this);
    OK->setObjectName(QStringLiteral("OK"));
    OK->setDefault(true);
    connect(OK, &QPushButton::clicked, this, &QDialog::accept);

    m_keeper.SaveEnabled = true;
    m_keeper.ChangeSize = true;
    // A dialog: the next one opens where this one was left, but at its own size.
    RestoreWindowPosition(m_keeper, this, true);
}

Tinfo::~Tinfo()
{
    SaveWindowPosition(m_keeper, this);
}

void Tinfo::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    // The description takes what the window gains; the OK button stays centred at the bottom.
    RichEdit->setGeometry(16, 120, width() - 30, height() - 176);
    OK->setGeometry((width() - 75) / 2, height() - 37, 75, 25);
    RichEdit->viewport()->update();
}

void Tinfo::OpenLink(const QUrl& link)
{
    // As in the contacts book: only web and mail addresses, and a failure is the desktop's to tell.
    const LinkOpening opening = OpeningOfLink(link.toString().toStdString());
    if (opening.browser)
        (void)m_links.OpenInBrowser(opening.address);
    else if (opening.mail)
        (void)m_links.OpenMail(opening.address);
}

void Tinfo::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void Tinfo::FormShow()
{
    const auto bytes = m_files.ReadContents(m_path);
    const auto document = bytes ? ReadRtf(*bytes) : std::nullopt;
    if (document)
        FillDocument(*RichEdit->document(), *document);
    else
        RichEdit->setPlainText(QStringLiteral("Brak pliku:\n") + QString::fromStdString(PathToUtf8(m_path)));
}
