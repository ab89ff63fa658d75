// The contacts window: layout and wiring; the rules live in ContactsSearch, ContactsFile and the
// link token functions.
#include "contacts/ui/contacts_window.h"

#include "contacts/ui/rich_text_document.h"
#include "platform/url_launcher.h"
#include "ui_support/fonts.h"
#include "ui_support/named.h"
#include "ui_support/qt_windows.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolButton>

namespace {

void SetupEditor(ContactsEditor* editor, const char* name)
{
    Named(editor, name)->setAcceptRichText(true);
    editor->document()->setDefaultFont(RichTextFont());
    editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor->setTabChangesFocus(false);
    // The found entry stays marked while the user types in the search field.
    QPalette palette = editor->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    editor->setPalette(palette);
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, const QString& hint)
{
    auto* button = Named(new QPushButton(text, parent), name);
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

QToolButton* MakeArrowButton(QWidget* parent, const char* name, Qt::ArrowType arrow, const QString& hint)
{
    auto* button = Named(new QToolButton(parent), name);
    button->setArrowType(arrow);
    button->setAutoRaise(true);
    button->setToolTip(hint);
    return button;
}

std::u16string ToU16(const QString& text)
{
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
}

}  // namespace

namespace {

// The format of the character before `position`.
QTextCharFormat FormatBefore(QTextDocument* document, int position)
{
    QTextCursor cursor(document);
    cursor.setPosition(position);
    return cursor.charFormat();
}

// What is typed right after a link: the look of the text beside it, the text that follows or else
// the text before the link; a link alone in its line gives its own format without what makes it
// look like one.
QTextCharFormat PlainFormatAfterLink(const QTextCursor& cursor)
{
    const QTextCharFormat link = cursor.charFormat();
    QTextDocument* document = cursor.document();
    if (!cursor.atBlockEnd()) {
        const QTextCharFormat after = FormatBefore(document, cursor.position() + 1);
        if (!after.isAnchor())
            return after;
    }
    const int blockStart = cursor.block().position();
    int start = cursor.position() - 1;
    while (start > blockStart && FormatBefore(document, start).anchorHref() == link.anchorHref())
        --start;
    if (start > blockStart && !FormatBefore(document, start).isAnchor())
        return FormatBefore(document, start);
    QTextCharFormat plain = link;
    for (const int property : {QTextFormat::IsAnchor, QTextFormat::AnchorHref, QTextFormat::AnchorName,
                               QTextFormat::ForegroundBrush, QTextFormat::TextUnderlineStyle})
        plain.clearProperty(property);
    return plain;
}

}  // namespace

ContactsEditor::ContactsEditor(QWidget* parent) : QTextEdit(parent)
{
    // What is typed right after a link is no part of it, as in other editors; the editor would
    // otherwise stretch the link over the phone number typed after it.
    connect(this, &QTextEdit::cursorPositionChanged, this, [this] {
        const QTextCursor cursor = textCursor();
        const QTextCharFormat before = cursor.charFormat();
        if (cursor.hasSelection() || !before.isAnchor() || cursor.atBlockStart())
            return;
        QTextCursor next = cursor;
        next.movePosition(QTextCursor::NextCharacter);
        if (!cursor.atBlockEnd() && next.charFormat().anchorHref() == before.anchorHref())
            return;
        setCurrentCharFormat(PlainFormatAfterLink(cursor));
    });
}

bool ContactsEditor::canInsertFromMimeData(const QMimeData* source) const
{
    return source->hasText() || source->hasHtml();
}

void ContactsEditor::insertFromMimeData(const QMimeData* source)
{
    // Pictures and other objects have no place in the contacts file; formatted text keeps its
    // formatting, minus any images inside it.
    QMimeData textOnly;
    if (source->hasHtml()) {
        QString html = source->html();
        static const QRegularExpression image(QStringLiteral("<img[^>]*>"), QRegularExpression::CaseInsensitiveOption);
        html.remove(image);
        textOnly.setHtml(html);
    }
    if (source->hasText())
        textOnly.setText(source->text());
    QTextEdit::insertFromMimeData(&textOnly);
}

void ContactsEditor::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTextEdit::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

void ContactsEditor::keyPressEvent(QKeyEvent* event)
{
    // Whether the first selected character (or the one before the caret) has the property
    // decides, as in other editors: the whole selection gets the opposite.
    const auto toggle = [&](auto has, auto set) {
        QTextCursor cursor = textCursor();
        QTextCursor first = cursor;
        if (cursor.hasSelection()) {
            first.setPosition(cursor.selectionStart());
            first.movePosition(QTextCursor::NextCharacter);
        }
        QTextCharFormat format;
        set(format, !has(first.charFormat()));
        mergeCurrentCharFormat(format);
    };
    if (event->matches(QKeySequence::Bold))
        toggle([](const QTextCharFormat& f) { return f.fontWeight() > QFont::Medium; },
               [](QTextCharFormat& f, bool on) { f.setFontWeight(on ? QFont::Bold : QFont::Normal); });
    else if (event->matches(QKeySequence::Italic))
        toggle([](const QTextCharFormat& f) { return f.fontItalic(); },
               [](QTextCharFormat& f, bool on) { f.setFontItalic(on); });
    else if (event->matches(QKeySequence::Underline))
        toggle([](const QTextCharFormat& f) { return f.fontUnderline(); },
               [](QTextCharFormat& f, bool on) { f.setFontUnderline(on); });
    else
        QTextEdit::keyPressEvent(event);
}

QString RichTextFamily()
{
    const QString arial = QStringLiteral("Arial");
    const QString liberation = QStringLiteral("Liberation Sans");
    return !QFontDatabase::hasFamily(arial) && QFontDatabase::hasFamily(liberation) ? liberation : arial;
}

QFont RichTextFont()
{
    QFont font = WindowFont();
    font.setFamilies({RichTextFamily()});
    font.setPointSizeF(kEditorHalfPoints / 2.0);
    return font;
}

QFont ShownFont(const QTextCharFormat& format, const QFont& editorFont)
{
    QFont font = format.font().resolve(editorFont);
    const QString family = font.families().value(0, font.family());
    if (!QFontDatabase::hasFamily(family))
        font.setFamilies({family == QStringLiteral("Arial") ? RichTextFamily() : QFontInfo(font).family()});
    return font;
}

QTextCharFormat ChangedFontProperties(const QFont& before, const QFont& after)
{
    QTextCharFormat format;
    if (after.family() != before.family())
        format.setFontFamilies(QStringList{after.family()});
    if (after.pointSizeF() > 0 && after.pointSizeF() != before.pointSizeF())
        format.setFontPointSize(after.pointSizeF());
    if (after.bold() != before.bold())
        format.setFontWeight(after.bold() ? QFont::Bold : QFont::Normal);
    if (after.italic() != before.italic())
        format.setFontItalic(after.italic());
    if (after.underline() != before.underline())
        format.setFontUnderline(after.underline());
    if (after.strikeOut() != before.strikeOut())
        format.setFontStrikeOut(after.strikeOut());
    return format;
}

Ttelform::Ttelform(ContactsWindowServices services, const std::filesystem::path& programDir, QWidget* parent)
    : QWidget(parent, Qt::Window), m_services(std::move(services)), m_file(m_services.files, programDir),
      m_tones(m_services.sound)
{
    setObjectName(QStringLiteral("telform"));
    setWindowTitle(QStringLiteral("Spis kontaktów"));
    setFont(WindowFont());
    m_scale = logicalDpiY() / 96.0;
    CreateControls();
    CreateMenu();
    resize(Scaled(kClientWidth), Scaled(kClientHeight));
    LayOut();
    LoadContacts();
}

Ttelform::~Ttelform()
{
    SaveContacts();
}

int Ttelform::Scaled(int pixels) const
{
    return static_cast<int>(pixels * m_scale + 0.5);
}

void Ttelform::CreateControls()
{
    Label1 = new QLabel(QStringLiteral("Szukaj:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    szukaj = new QLineEdit(this);
    szukaj->setObjectName(QStringLiteral("szukaj"));
    Label1->setBuddy(szukaj);
    m_searchColour = szukaj->palette().color(QPalette::Base);
    SpeedButton3 = MakeArrowButton(
        this, "SpeedButton3", Qt::DownArrow,
        QStringLiteral("Szukaj kolejnego wystąpienia w dół (Strzałka w dół w polu \"Szukaj\")."));
    SpeedButton4 = MakeArrowButton(
        this, "SpeedButton4", Qt::UpArrow,
        QStringLiteral("Szukaj kolejnego wystąpienia w górę (Strzałka w górę w polu \"Szukaj\")."));
    cale = new QCheckBox(QStringLiteral("Całe wyrazy"), this);
    cale->setObjectName(QStringLiteral("cale"));
    cale->setToolTip(QStringLiteral("Poszukiwanie całych wyrazów wpisanych w polu \"Szukaj\""));
    bezPolskich = new QCheckBox(QStringLiteral("bez polskich znaków"), this);
    bezPolskich->setObjectName(QStringLiteral("bezPolskich"));
    bezPolskich->setToolTip(QStringLiteral("Litery z polskimi znakami i bez nich są jednakowe (\"sliwa\" znajdzie "
                                           "\"Śliwa\")"));

    re1 = new ContactsEditor(this);
    SetupEditor(re1, "re1");
    re1->setContextMenuPolicy(Qt::CustomContextMenu);
    Label2 = new QLabel(QStringLiteral("Nowy kontakt:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    re2 = new ContactsEditor(this);
    SetupEditor(re2, "re2");
    // The arrows and the two editors show no words of their own to a screen reader.
    re1->setAccessibleName(QStringLiteral("Kontakty"));
    Label2->setBuddy(re2);
    SpeedButton3->setAccessibleName(QStringLiteral("Szukaj w dół"));
    SpeedButton4->setAccessibleName(QStringLiteral("Szukaj w górę"));

    SpeedButton1 = MakeButton(this, "SpeedButton1", QStringLiteral("Dodaj"),
                              QStringLiteral("Przenosi wpis pola \"Nowy kontakt\" do głównego okna (Ctrl Enter w "
                                             "polu \"Nowy kontakt\")."));
    SpeedButton5 = MakeButton(this, "SpeedButton5", QStringLiteral("Anuluj"),
                              QStringLiteral("Anulowanie wszystkich wpisów od ostatniego zachowania (reodczyt)"));
    SpeedButton6 = MakeButton(this, "SpeedButton6", QStringLiteral("Zapisz"), QStringLiteral("Zapisz kontakty."));
    SpeedButton2 = MakeButton(this, "SpeedButton2", QStringLiteral("Zamknij"),
                              QStringLiteral("Zapisz kontakty i zamknij okno."));

    connect(szukaj, &QLineEdit::textEdited, this, &Ttelform::szukajChange);
    connect(SpeedButton3, &QToolButton::clicked, this, &Ttelform::SpeedButton3Click);
    connect(SpeedButton4, &QToolButton::clicked, this, &Ttelform::SpeedButton4Click);
    connect(cale, &QCheckBox::clicked, this, &Ttelform::caleClick);
    connect(bezPolskich, &QCheckBox::clicked, this, &Ttelform::caleClick);
    connect(re1, &ContactsEditor::doubleClicked, this, &Ttelform::re1DblClick);
    connect(SpeedButton1, &QPushButton::clicked, this, &Ttelform::SpeedButton1Click);
    connect(SpeedButton5, &QPushButton::clicked, this, &Ttelform::SpeedButton5Click);
    connect(SpeedButton6, &QPushButton::clicked, this, &Ttelform::SpeedButton6Click);
    connect(SpeedButton2, &QPushButton::clicked, this, &Ttelform::SpeedButton2Click);
    szukaj->installEventFilter(this);
    re2->installEventFilter(this);
    re1->installEventFilter(this);
}

void Ttelform::CreateMenu()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addAction(QStringLiteral("Kopiuj"), re1, &QTextEdit::copy);
    PopupMenu1->addAction(QStringLiteral("Wytnij"), re1, &QTextEdit::cut);
    PopupMenu1->addAction(QStringLiteral("Wklej"), re1, &QTextEdit::paste);
    PopupMenu1->addAction(QStringLiteral("Zaznacz wszystko"), re1, &QTextEdit::selectAll);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(QStringLiteral("Zmiana czcionki"), this, &Ttelform::Font2Click);
    PopupMenu1->addAction(QStringLiteral("Domyślna czcionka"), this, &Ttelform::Domylnaczcionka1Click);
    connect(re1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(re1->viewport()->mapToGlobal(at)); });
}

// Sizes at 96 dots per inch, scaled: the search field, re1 and re2 take the width; the search
// controls and the buttons keep to the right edge.
void Ttelform::LayOut()
{
    const int w = width();
    const int h = height();
    const int top = Scaled(37);
    const int bottom = Scaled(114);
    const int right = w - Scaled(8);
    // The two search options one above the other, so that the search field keeps its width.
    cale->setGeometry(right - Scaled(140), Scaled(2), Scaled(140), Scaled(16));
    bezPolskich->setGeometry(cale->x(), Scaled(19), cale->width(), Scaled(16));
    SpeedButton4->setGeometry(cale->x() - Scaled(6) - Scaled(24), Scaled(6), Scaled(24), Scaled(24));
    SpeedButton3->setGeometry(SpeedButton4->x() - Scaled(2) - Scaled(24), Scaled(6), Scaled(24), Scaled(24));
    Label1->setGeometry(Scaled(8), Scaled(11), Scaled(44), Scaled(14));
    szukaj->setGeometry(Scaled(56), Scaled(8), SpeedButton3->x() - Scaled(4) - Scaled(56), Scaled(21));
    re1->setGeometry(0, top, w, h - top - bottom);
    const int bar = h - bottom;
    const int buttonWidth = Scaled(84);
    const int buttonX = right - buttonWidth;
    Label2->setGeometry(Scaled(8), bar + Scaled(4), Scaled(100), Scaled(14));
    re2->setGeometry(Scaled(8), bar + Scaled(20), buttonX - Scaled(8) - Scaled(8), Scaled(88));
    int y = bar + Scaled(6);
    for (QPushButton* button : {SpeedButton1, SpeedButton5, SpeedButton6, SpeedButton2}) {
        button->setGeometry(buttonX, y, buttonWidth, Scaled(23));
        y += Scaled(26);
    }
}

void Ttelform::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayOut();
    re1->viewport()->update();
    re2->viewport()->update();
}

void Ttelform::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    szukaj->setFocus();
}

void Ttelform::closeEvent(QCloseEvent* event)
{
    // A failed save keeps the window open, so the user can try again or copy the text away.
    if (!SaveContacts()) {
        event->ignore();
        return;
    }
    event->accept();
}

bool Ttelform::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == szukaj && key->key() == Qt::Key_Down) {
        SpeedButton3->click();
        return true;
    }
    if (watched == szukaj && key->key() == Qt::Key_Up) {
        SpeedButton4->click();
        return true;
    }
    if (watched == re2 && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        && key->modifiers().testFlag(Qt::ControlModifier)) {
        SpeedButton1->click();
        return true;
    }
    // What a double click does to the address under the pointer, Ctrl+Enter does at the caret.
    if (watched == re1 && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        && key->modifiers().testFlag(Qt::ControlModifier)) {
        re1DblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Ttelform::LoadContacts()
{
    if (const auto document = m_file.Load())
        FillDocument(*re1->document(), *document);
    re1->document()->clearUndoRedoStacks();
    re1->document()->setModified(false);
}

bool Ttelform::SaveContacts()
{
    if (!re1->document()->isModified())
        return true;
    if (!m_file.Save(ToRichDocument(*re1->document()))) {
        m_services.showError(this, QString::fromStdString(m_file.SaveFailureMessage()));
        return false;
    }
    re1->document()->setModified(false);
    return true;
}

void Ttelform::SpeedButton1Click()
{
    QTextCursor cursor(re1->document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    // Each added line ends with a line end of its own, as when lines are added to a list.
    if (!cursor.block().text().isEmpty())
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    for (const std::string& line : NewEntryLines(re2->toPlainText().toStdString())) {
        cursor.insertText(QString::fromStdString(line), QTextCharFormat());
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    }
    cursor.endEditBlock();
    re2->clear();
}

void Ttelform::SpeedButton2Click()
{
    close();
}

void Ttelform::SpeedButton5Click()
{
    if (m_services.confirm(this, QStringLiteral("Potwierdzenie"), QStringLiteral("Anulować ostatnie zmiany?")))
        LoadContacts();
}

void Ttelform::SpeedButton6Click()
{
    SaveContacts();
}

std::u16string Ttelform::EditorText() const
{
    return ToU16(re1->document()->toRawText());
}

SearchQuery Ttelform::Query(const std::u16string& needle) const
{
    return {needle, cale->isChecked(), bezPolskich->isChecked()};
}

void Ttelform::ShowNotFound(bool notFound)
{
    QPalette palette = szukaj->palette();
    palette.setColor(QPalette::Base, notFound ? QColor(255, 255, 0) : m_searchColour);
    szukaj->setPalette(palette);
}

void Ttelform::ApplySearch(const SearchFeedback& feedback, std::size_t length)
{
    ShowNotFound(feedback.notFoundColour);
    if (feedback.tone)
        m_tones.Play(kToneHz, kToneLength);
    QTextCursor cursor = re1->textCursor();
    if (feedback.collapseSelection) {
        cursor.setPosition(cursor.selectionStart());
        re1->setTextCursor(cursor);
    }
    if (!feedback.hit)
        return;
    cursor.setPosition(static_cast<int>(*feedback.hit));
    cursor.setPosition(static_cast<int>(*feedback.hit + length), QTextCursor::KeepAnchor);
    re1->setTextCursor(cursor);
    // Where the hit lies once the editor has brought the selection into view.
    QTextCursor start(re1->document());
    start.setPosition(static_cast<int>(*feedback.hit));
    const int lines = ScrollLinesForHit(re1->cursorRect(start).top(), re1->viewport()->height());
    if (lines != 0) {
        QScrollBar* bar = re1->verticalScrollBar();
        bar->setValue(bar->value() + lines * re1->fontMetrics().lineSpacing());
    }
}

void Ttelform::szukajChange()
{
    const std::u16string needle = ToU16(szukaj->text());
    ApplySearch(m_search.Incremental(EditorText(), Query(needle)), needle.size());
}

void Ttelform::StepSearch(bool down)
{
    const std::u16string needle = ToU16(szukaj->text());
    const QTextCursor cursor = re1->textCursor();
    ApplySearch(m_search.Step(EditorText(), Query(needle), static_cast<std::size_t>(cursor.selectionStart()),
                              static_cast<std::size_t>(cursor.selectionEnd() - cursor.selectionStart()), down),
                needle.size());
}

void Ttelform::SpeedButton3Click()
{
    StepSearch(true);
}

void Ttelform::SpeedButton4Click()
{
    StepSearch(false);
}

void Ttelform::caleClick()
{
    szukajChange();
    szukaj->setFocus();
    szukaj->deselect();
    szukaj->end(false);
}

void Ttelform::re1DblClick()
{
    const std::u16string text = EditorText();
    const int clicked = re1->textCursor().selectionStart();
    const TextSpan span = LinkTokenAt(text, static_cast<std::size_t>(clicked));
    QTextCursor cursor = re1->textCursor();
    // A link's text need not be its address: the link decides where it has one that opens.
    QTextCursor at(re1->document());
    at.setPosition(clicked);
    at.movePosition(QTextCursor::NextCharacter);
    const LinkOpening link = OpeningOfLink(at.charFormat().anchorHref().toStdString());
    cursor.setPosition(static_cast<int>(span.start));
    cursor.setPosition(static_cast<int>(span.start + span.length), QTextCursor::KeepAnchor);
    re1->setTextCursor(cursor);
    // Failures to start a program are the desktop's to report; the book has nothing to add.
    if (link.browser || link.mail) {
        (void)(link.browser ? m_services.links.OpenInBrowser(link.address) : m_services.links.OpenMail(link.address));
        return;
    }
    const std::u16string_view token = std::u16string_view(text).substr(span.start, span.length);
    const LinkTargets targets = ClassifyLinkToken(token);
    const std::string address = cursor.selectedText().toStdString();
    if (targets.browser)
        (void)m_services.links.OpenInBrowser(address);
    if (targets.mail)
        (void)m_services.links.OpenMail(address);
}

void Ttelform::Font2Click()
{
    QTextCursor cursor = re1->textCursor();
    // The dialog starts with what is shown, so that OK without a change changes nothing.
    const QFont before = ShownFont(cursor.charFormat(), re1->document()->defaultFont());
    std::optional<QFont> chosen;
    if (m_services.chooseFont) {
        chosen = m_services.chooseFont(this, before);
    } else {
        chosen = ChooseFont(this, before, QStringLiteral("Czcionka"));
    }
    if (!chosen)
        return;
    cursor.mergeCharFormat(ChangedFontProperties(before, *chosen));
    re1->setTextCursor(cursor);
}

void Ttelform::Domylnaczcionka1Click()
{
    // The editor's own font is the document's default: a selection without a format of its own.
    // A link is no part of the font, so each linked piece keeps its address.
    QTextCursor selection = re1->textCursor();
    if (!selection.hasSelection()) {
        selection.setCharFormat(QTextCharFormat());  // what is typed next
        re1->setTextCursor(selection);
        return;
    }
    const int start = selection.selectionStart();
    const int end = selection.selectionEnd();
    struct Piece
    {
        int from, to;
        QTextCharFormat format;
    };
    std::vector<Piece> pieces;
    for (QTextBlock block = re1->document()->findBlock(start); block.isValid() && block.position() <= end;
         block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            Piece piece{
                std::max(start, fragment.position()), std::min(end, fragment.position() + fragment.length()), {}};
            if (piece.from >= piece.to)
                continue;
            if (fragment.charFormat().isAnchor()) {
                piece.format.setAnchor(true);
                piece.format.setAnchorHref(fragment.charFormat().anchorHref());
            }
            pieces.push_back(piece);
        }
    QTextCursor cursor(re1->document());
    cursor.beginEditBlock();
    for (const Piece& piece : pieces) {
        cursor.setPosition(piece.from);
        cursor.setPosition(piece.to, QTextCursor::KeepAnchor);
        cursor.setCharFormat(piece.format);
    }
    cursor.endEditBlock();
    re1->setTextCursor(selection);
}
