// Ttelform: layout and captions, loading and the save rules, search colours and tones, new
// entries, links, fonts, and a picture of the window.
#include "contacts/rtf_reader.h"
#include "contacts/rtf_writer.h"
#include "contacts/ui/contacts_window.h"
#include "contacts/ui/rich_text_document.h"
#include "platform/fake/fake_sound.h"
#include "platform/fake/fake_url_launcher.h"
#include "platform/fake/memory_file_store.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>

#include <filesystem>
#include <memory>

namespace {

const QString kSeparator(32, QLatin1Char('_'));

RichDocument Book(std::initializer_list<const char*> lines)
{
    RichDocument document;
    for (const char* line : lines)
        document.paragraphs.push_back(Paragraph{{TextRun{line, {}}}});
    return document;
}

}  // namespace

class ContactsWindowTest : public QObject
{
    Q_OBJECT

    MemoryFileStore m_files;
    FakeSound m_sound;
    FakeUrlLauncher m_links;
    QStringList m_errors;
    QStringList m_questions;
    bool m_answer = true;
    std::optional<QFont> m_chosenFont;
    bool m_realFontDialog = false;  // Qt's own dialog, answered with OK as it opens

    std::unique_ptr<Ttelform> Make()
    {
        auto chooseFont = [this](QWidget*, const QFont&) { return m_chosenFont; };
        return std::make_unique<Ttelform>(
            ContactsWindowServices{m_files, m_sound, m_links,
                                   [this](QWidget*, const QString& message) { m_errors << message; },
                                   [this](QWidget*, const QString& caption, const QString& question) {
                                       m_questions << caption + QLatin1Char('|') + question;
                                       return m_answer;
                                   },
                                   m_realFontDialog ? decltype(ContactsWindowServices::chooseFont){}
                                                    : decltype(ContactsWindowServices::chooseFont){chooseFont}},
            "/program");
    }

    void StoreBook(const RichDocument& document) { m_files.files["/program/tel.rtf"] = WriteRtf(document); }

    static QColor SearchColour(Ttelform& form) { return form.szukaj->palette().color(QPalette::Base); }

    static void DoubleClickAt(Ttelform& form, int position)
    {
        QTextCursor cursor(form.re1->document());
        cursor.setPosition(position);
        QTest::mouseDClick(form.re1->viewport(), Qt::LeftButton, {}, form.re1->cursorRect(cursor).center());
    }

    // Confirms the font dialog as soon as it shows, without a change.
    static void AcceptFontDialogWhenShown()
    {
        auto* timer = new QTimer(qApp);
        QObject::connect(timer, &QTimer::timeout, timer, [timer] {
            if (auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget())) {
                dialog->accept();
                timer->deleteLater();
            }
        });
        timer->start(10);
    }

    static void Select(Ttelform& form, int start, int length)
    {
        QTextCursor cursor(form.re1->document());
        cursor.setPosition(start);
        cursor.setPosition(start + length, QTextCursor::KeepAnchor);
        form.re1->setTextCursor(cursor);
    }

private slots:
    void init()
    {
        m_files = MemoryFileStore();
        m_sound.ClearCalls();
        m_links = FakeUrlLauncher();
        m_errors.clear();
        m_questions.clear();
        m_answer = true;
        m_chosenFont.reset();
        m_realFontDialog = false;
    }

    void CaptionHintsAndLayout()
    {
        auto form = Make();
        QCOMPARE(form->windowTitle(), QStringLiteral("Spis kontaktów"));
        QCOMPARE(form->size(), QSize(432, 509));
        QCOMPARE(form->cale->text(), QStringLiteral("Całe wyrazy"));
        QCOMPARE(form->SpeedButton3->toolTip(),
                 QStringLiteral("Szukaj kolejnego wystąpienia w dół (Strzałka w dół w polu \"Szukaj\")."));
        QCOMPARE(form->SpeedButton1->toolTip(), QStringLiteral("Przenosi wpis pola \"Nowy kontakt\" do głównego "
                                                               "okna (Ctrl Enter w polu \"Nowy kontakt\")."));
        QCOMPARE(form->re2->size(), QSize(324, 88));
        QCOMPARE(form->szukaj->width(), 168);
        QCOMPARE(form->re1->geometry(), QRect(0, 37, 432, 509 - 37 - 114));
        QStringList menu;
        for (QAction* action : form->PopupMenu1->actions())
            if (!action->isSeparator())
                menu << action->text();
        QCOMPARE(menu, (QStringList{"Kopiuj", "Wytnij", "Wklej", "Zaznacz wszystko", "Zmiana czcionki",
                                    "Domyślna czcionka"}));
        // The search controls and the buttons keep to the right edge; the editors take the width.
        form->show();
        form->resize(600, 600);
        QCOMPARE(form->cale->geometry().right(), 600 - 9);
        QCOMPARE(form->re2->width(), 324 + 168);
        QCOMPARE(form->SpeedButton2->geometry().right(), 600 - 9);
        QCOMPARE(form->re1->height(), 600 - 37 - 114);
    }

    void EveryCaptionFitsItsControl()
    {
        auto form = Make();
        for (QPushButton* button : form->findChildren<QPushButton*>())
            QVERIFY2(button->sizeHint().width() <= button->width(), qPrintable(button->objectName()));
        // The two search options one above the other in the band over the book.
        for (QCheckBox* box : {form->cale, form->bezPolskich}) {
            QVERIFY2(box->sizeHint().width() <= box->width(),
                     qPrintable(box->objectName() + QStringLiteral(" %1").arg(box->sizeHint().width())));
            QVERIFY2(box->fontMetrics().height() <= box->height(), qPrintable(box->objectName()));
            QVERIFY2(box->geometry().bottom() < form->re1->y(), qPrintable(box->objectName()));
        }
        QVERIFY(!form->cale->geometry().intersects(form->bezPolskich->geometry()));
        for (QLabel* label : {form->Label1, form->Label2})
            QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->objectName()));
        for (QWidget* child : form->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (!child->isWindow())
                QVERIFY2(form->rect().contains(child->geometry()), qPrintable(child->objectName()));
        QVERIFY(form->Label1->geometry().right() < form->szukaj->x());
        QVERIFY(form->SpeedButton4->geometry().right() < form->cale->x());
        QVERIFY(form->SpeedButton4->geometry().right() < form->bezPolskich->x());
    }

    void LoadsTheBookAndOnlyChangesAreSaved()
    {
        auto form = Make();
        QCOMPARE(form->re1->toPlainText(), QString());
        StoreBook(Book({"Jan Kowalski", "tel. 42 123 45 67"}));
        form = Make();
        QCOMPARE(form->re1->toPlainText(), QStringLiteral("Jan Kowalski\ntel. 42 123 45 67"));
        QVERIFY(!form->re1->document()->isModified());
        form->show();
        QVERIFY(form->close());
        form.reset();
        QCOMPARE(m_files.writes, 0);
    }

    void DamagedFileLeavesTheEditorAsItWas()
    {
        StoreBook(Book({"Ewa"}));
        auto form = Make();
        m_files.files["/program/tel.rtf"] = "not rich text at all";
        form->LoadContacts();
        QCOMPARE(form->re1->toPlainText(), QStringLiteral("Ewa"));
        QVERIFY(m_errors.isEmpty());
    }

    void FailedSaveKeepsTheWindowOpenAndTheChanges()
    {
        auto form = Make();
        form->show();
        form->re1->insertPlainText(QStringLiteral("Nowak Ewa"));
        m_files.failWrites = true;
        QVERIFY(!form->close());
        QVERIFY(form->isVisible());
        QVERIFY(form->re1->document()->isModified());
        const QString file = QString::fromStdString((std::filesystem::path("/program") / "tel.rtf").string());
        QCOMPARE(m_errors, QStringList{QStringLiteral("Zapis do pliku: ") + file
                                       + QStringLiteral("  nie powiódł się (brak miejsca na dysku).")});
        m_files.failWrites = false;
        form->SpeedButton2->click();
        QVERIFY(!form->isVisible());
        QVERIFY(!form->re1->document()->isModified());
        const auto saved = ReadRtf(m_files.files["/program/tel.rtf"]);
        QVERIFY(saved);
        QCOMPARE(QString::fromStdString(PlainText(*saved)), QStringLiteral("Nowak Ewa\n"));
        // Hidden, not destroyed: the content is still there for the next showing.
        QCOMPARE(form->re1->toPlainText(), QStringLiteral("Nowak Ewa"));
    }

    void ZapiszSavesAndAnulujReloadsAfterAsking()
    {
        StoreBook(Book({"Jan"}));
        auto form = Make();
        form->re1->moveCursor(QTextCursor::End);
        form->re1->insertPlainText(QStringLiteral(" Kowalski"));
        m_answer = false;
        form->SpeedButton5->click();
        QCOMPARE(m_questions, QStringList{QStringLiteral("Potwierdzenie|Anulować ostatnie zmiany?")});
        QCOMPARE(form->re1->toPlainText(), QStringLiteral("Jan Kowalski"));
        m_answer = true;
        form->SpeedButton5->click();
        QCOMPARE(form->re1->toPlainText(), QStringLiteral("Jan"));
        QVERIFY(!form->re1->document()->isModified());
        form->re1->insertPlainText(QStringLiteral("Ola "));
        form->SpeedButton6->click();
        QCOMPARE(m_files.writes, 1);
        QVERIFY(!form->re1->document()->isModified());
    }

    void DodajAppendsPlainLinesTheSeparatorAndAnEmptyLine()
    {
        StoreBook(Book({"Jan"}));
        auto form = Make();
        form->re2->setHtml(QStringLiteral("<b>Ewa</b> Nowak<br>tel. 1"));
        form->SpeedButton1->click();
        QCOMPARE(form->re1->toPlainText(),
                 QStringLiteral("Jan\nEwa Nowak\ntel. 1\n") + kSeparator + QStringLiteral("\n\n"));
        QVERIFY(form->re2->toPlainText().isEmpty());
        QVERIFY(form->re1->document()->isModified());
        QVERIFY(form->re1->document()->findBlockByNumber(1).begin().fragment().charFormat().fontWeight()
                <= QFont::Normal);
        // An empty entry still adds the separator and an empty line.
        form->SpeedButton1->click();
        QCOMPARE(form->re1->toPlainText(), QStringLiteral("Jan\nEwa Nowak\ntel. 1\n") + kSeparator
                                               + QStringLiteral("\n\n") + kSeparator + QStringLiteral("\n\n"));
    }

    void CtrlEnterAddsAndEnterBreaksTheLine()
    {
        auto form = Make();
        form->show();
        form->re2->setFocus();
        QTest::keyClicks(form->re2, QStringLiteral("Ola"));
        QTest::keyClick(form->re2, Qt::Key_Return);
        QTest::keyClicks(form->re2, QStringLiteral("tel"));
        QCOMPARE(form->re2->toPlainText(), QStringLiteral("Ola\ntel"));
        QVERIFY(form->re1->toPlainText().isEmpty());
        QTest::keyClick(form->re2, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(form->re1->toPlainText(), QStringLiteral("Ola\ntel\n") + kSeparator + QStringLiteral("\n\n"));
        QVERIFY(form->re2->toPlainText().isEmpty());
    }

    void IncrementalSearchColourAndOneTone()
    {
        StoreBook(Book({"Kowalski Jan", "Nowak Ewa", "Nowakowska Ola"}));
        auto form = Make();
        form->show();
        const QColor normal = SearchColour(*form);
        QTest::keyClicks(form->szukaj, QStringLiteral("NOWAK"));
        QCOMPARE(form->re1->textCursor().selectionStart(), 13);
        QCOMPARE(form->re1->textCursor().selectedText(), QStringLiteral("Nowak"));
        QCOMPARE(SearchColour(*form), normal);
        QTest::keyClicks(form->szukaj, QStringLiteral("xyz"));
        form->WaitForTones();
        QCOMPARE(m_sound.Calls().size(), std::size_t{1});
        QCOMPARE(m_sound.Calls().front().frequency, 300);
        QCOMPARE(m_sound.Calls().front().ms, 100);
        QCOMPARE(SearchColour(*form), QColor(255, 255, 0));
        QVERIFY(!form->re1->textCursor().hasSelection());
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(form->szukaj, Qt::Key_Backspace);
        form->WaitForTones();
        QCOMPARE(m_sound.Calls().size(), std::size_t{1});
        QCOMPARE(SearchColour(*form), normal);
        QCOMPARE(form->re1->textCursor().selectionStart(), 13);
        form->szukaj->selectAll();
        QTest::keyClick(form->szukaj, Qt::Key_Delete);
        QVERIFY(!form->re1->textCursor().hasSelection());
        QCOMPARE(SearchColour(*form), normal);
    }

    void DownAndUpStopAtTheEndsWithATone()
    {
        StoreBook(Book({"Nowak Ewa", "Nowak Jan", "Nowak Ola"}));
        auto form = Make();
        form->show();
        QTest::keyClicks(form->szukaj, QStringLiteral("nowak"));
        QCOMPARE(form->re1->textCursor().selectionStart(), 0);
        QTest::keyClick(form->szukaj, Qt::Key_Down);
        QCOMPARE(form->re1->textCursor().selectionStart(), 10);
        form->SpeedButton3->click();
        QCOMPARE(form->re1->textCursor().selectionStart(), 20);
        form->SpeedButton3->click();
        form->WaitForTones();
        QCOMPARE(m_sound.Calls().size(), std::size_t{1});
        QCOMPARE(form->re1->textCursor().selectionStart(), 20);
        QTest::keyClick(form->szukaj, Qt::Key_Up);
        QCOMPARE(form->re1->textCursor().selectionStart(), 10);
        form->SpeedButton4->click();
        QCOMPARE(form->re1->textCursor().selectionStart(), 0);
        form->SpeedButton4->click();
        form->WaitForTones();
        QCOMPARE(m_sound.Calls().size(), std::size_t{2});
        QCOMPARE(form->re1->textCursor().selectionStart(), 0);
        QCOMPARE(SearchColour(*form), form->palette().color(QPalette::Base));
    }

    void WholeWordsRepeatTheSearchAndReturnToTheField()
    {
        StoreBook(Book({"Annamaria", "Anna"}));
        auto form = Make();
        form->show();
        QTest::keyClicks(form->szukaj, QStringLiteral("anna"));
        QCOMPARE(form->re1->textCursor().selectionStart(), 0);
        form->cale->click();
        QCOMPARE(form->re1->textCursor().selectionStart(), 10);
        QVERIFY(!form->szukaj->hasSelectedText());
        QCOMPARE(form->szukaj->cursorPosition(), 4);
        form->szukaj->setText(QStringLiteral("maria"));
        form->szukajChange();
        QCOMPARE(SearchColour(*form), QColor(255, 255, 0));
    }

    // "bez polskich znaków", as in the notes search: "sliwa" finds "Śliwa", and without it not.
    void TheSearchMayIgnorePolishMarks()
    {
        StoreBook(Book({"Jan Sliwinski", "Anna Śliwa", "Łódź"}));
        auto form = Make();
        form->show();
        QTest::keyClicks(form->szukaj, QStringLiteral("sliwa"));
        QCOMPARE(SearchColour(*form), QColor(255, 255, 0));
        form->bezPolskich->click();
        QCOMPARE(form->re1->textCursor().selectedText(), QStringLiteral("Śliwa"));
        QCOMPARE(form->re1->textCursor().selectionStart(), 19);
        form->szukaj->setText(QStringLiteral("lodz"));
        form->szukajChange();
        QCOMPARE(form->re1->textCursor().selectedText(), QStringLiteral("Łódź"));
        form->bezPolskich->click();
        QCOMPARE(SearchColour(*form), QColor(255, 255, 0));
    }

    void DoubleClickOpensAddressesAsTyped()
    {
        StoreBook(Book({"strona WwW.Example.PL/kontakt i poczta jan@example.pl", "zwykle slowo"}));
        auto form = Make();
        form->show();
        DoubleClickAt(*form, 10);
        QCOMPARE(m_links.browsed, (std::vector<std::string>{"WwW.Example.PL/kontakt"}));
        QCOMPARE(form->re1->textCursor().selectedText(), QStringLiteral("WwW.Example.PL/kontakt"));
        DoubleClickAt(*form, 45);
        QCOMPARE(m_links.mailed, (std::vector<std::string>{"jan@example.pl"}));
        DoubleClickAt(*form, 57);
        QCOMPARE(m_links.browsed.size(), std::size_t{1});
        QCOMPARE(m_links.mailed.size(), std::size_t{1});
        QCOMPARE(form->re1->textCursor().selectedText(), QStringLiteral("zwykle"));
    }

    // A link opens its own address, whatever its text; one to a file opens nothing.
    void DoubleClickOnALinkOpensItsAddress()
    {
        TextFormat web;
        web.link = "https://www.example.pl/rejestracja";
        TextFormat mail;
        mail.link = "mailto:ewa@example.pl";
        TextFormat file;
        file.link = "file:///home/jan/program";
        StoreBook(RichDocument{{Paragraph{
            {TextRun{"zapisy online ", web}, TextRun{"poczta ", mail}, TextRun{"www.example.pl/plik", file}}}}});
        auto form = Make();
        form->show();
        DoubleClickAt(*form, 9);
        DoubleClickAt(*form, 17);
        QCOMPARE(m_links.browsed, (std::vector<std::string>{"https://www.example.pl/rejestracja"}));
        QCOMPARE(m_links.mailed, (std::vector<std::string>{"ewa@example.pl"}));
        // A link that does not open leaves the token rule: this token is a web address itself.
        DoubleClickAt(*form, 25);
        QCOMPARE(m_links.browsed.back(), std::string("www.example.pl/plik"));
    }

    void FontDialogChangesOnlyWhatTheUserChanged()
    {
        RichDocument document;
        TextFormat times;
        times.font = "Times New Roman";
        times.italic = true;
        document.paragraphs.push_back(Paragraph{{TextRun{"Jan ", times}, TextRun{"Kowalski", {}}}});
        StoreBook(document);
        auto form = Make();
        Select(*form, 0, 12);
        QFont chosen = form->re1->textCursor().charFormat().font();
        chosen.setBold(true);
        m_chosenFont = chosen;
        form->Font2Click();
        const RichDocument after = ToRichDocument(*form->re1->document());
        QCOMPARE(after.paragraphs[0].runs.size(), std::size_t{2});
        QVERIFY(after.paragraphs[0].runs[0].format.bold && after.paragraphs[0].runs[1].format.bold);
        QCOMPARE(after.paragraphs[0].runs[0].format.font, std::string("Times New Roman"));
        QVERIFY(after.paragraphs[0].runs[0].format.italic);
        QVERIFY(!after.paragraphs[0].runs[1].format.italic);
        form->Domylnaczcionka1Click();
        const RichDocument plain = ToRichDocument(*form->re1->document());
        QVERIFY(plain == Book({"Jan Kowalski"}));
    }

    // The editors' Arial is a family the system has, so the dialog finds it; OK without a change
    // leaves the text as it was, whether in the editor's font, Arial named by the file, or another.
    void FontDialogConfirmedUnchangedChangesNothing()
    {
        QVERIFY(QFontDatabase::hasFamily(RichTextFamily()));
        QCOMPARE(RichTextFont().family(), RichTextFamily());
        if (!QFontDatabase::hasFamily(QStringLiteral("Arial")))
            QCOMPARE(RichTextFamily(), QStringLiteral("Liberation Sans"));
        RichDocument document;
        TextFormat arial;
        arial.font = "Arial";
        arial.halfPoints = 20;
        TextFormat serif;
        serif.font = "Liberation Serif";
        serif.halfPoints = 28;
        serif.bold = true;
        document.paragraphs.push_back(
            Paragraph{{TextRun{"Jan ", {}}, TextRun{"Kowalski ", arial}, TextRun{"Łódź", serif}}});
        StoreBook(document);
        m_realFontDialog = true;
        auto form = Make();
        form->show();
        const RichDocument before = ToRichDocument(*form->re1->document());
        for (const auto& [start, length] : {std::pair{1, 2}, {5, 3}, {14, 3}, {0, 17}}) {
            Select(*form, start, length);
            AcceptFontDialogWhenShown();
            form->Font2Click();
            QVERIFY2(ToRichDocument(*form->re1->document()) == before, qPrintable(QString::number(start)));
        }
    }

    // Ctrl+B, Ctrl+I and Ctrl+U turn the property over for the whole selection, by its first
    // character; without a selection they set what is typed next.
    void CtrlBIUToggleTheSelection()
    {
        RichDocument document;
        TextFormat bold;
        bold.bold = true;
        document.paragraphs.push_back(Paragraph{{TextRun{"Jan ", {}}, TextRun{"Kowalski", bold}}});
        StoreBook(document);
        auto form = Make();
        form->show();
        form->re1->setFocus();
        const auto runs = [&] { return ToRichDocument(*form->re1->document()).paragraphs[0].runs; };
        Select(*form, 0, 12);
        QTest::keyClick(form->re1, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(runs().size(), std::size_t{1});
        QVERIFY(runs()[0].format.bold);
        QTest::keyClick(form->re1, Qt::Key_B, Qt::ControlModifier);
        QVERIFY(!runs()[0].format.bold);
        Select(*form, 4, 8);
        QTest::keyClick(form->re1, Qt::Key_I, Qt::ControlModifier);
        QTest::keyClick(form->re1, Qt::Key_U, Qt::ControlModifier);
        QCOMPARE(runs().size(), std::size_t{2});
        QVERIFY(runs()[1].format.italic && runs()[1].format.underline && !runs()[0].format.italic);
        QCOMPARE(form->re1->toPlainText(), QStringLiteral("Jan Kowalski"));
        form->re1->moveCursor(QTextCursor::End);
        QTest::keyClick(form->re1, Qt::Key_U, Qt::ControlModifier);
        QTest::keyClick(form->re1, Qt::Key_B, Qt::ControlModifier);
        QTest::keyClicks(form->re1, QStringLiteral(" tel"));
        QCOMPARE(runs().back().text, std::string(" tel"));
        QVERIFY(runs().back().format.bold && runs().back().format.italic && !runs().back().format.underline);
        QVERIFY(form->re1->document()->isModified());
    }

    // A book from another editor keeps its links through the editor and a save, also where the
    // editor's own font is given back.
    void LinksSurviveEditingAndSaving()
    {
        m_files.files["/program/tel.rtf"] =
            "{\\rtf1\\ansi\\ansicpg1250 Przychodnia {\\field{\\*\\fldinst HYPERLINK \"https://example.pl/\"}"
            "{\\fldrslt{\\ul\\b zapisy}}} tel.}";
        auto form = Make();
        Select(*form, 0, 18);
        form->Domylnaczcionka1Click();
        form->re1->moveCursor(QTextCursor::End);
        form->re1->insertPlainText(QStringLiteral(" 42"));
        QVERIFY(form->SaveContacts());
        const auto saved = ReadRtf(m_files.files["/program/tel.rtf"]);
        QVERIFY(saved);
        QCOMPARE(QString::fromStdString(PlainText(*saved)), QStringLiteral("Przychodnia zapisy tel. 42\n"));
        QCOMPARE(saved->paragraphs[0].runs.size(), std::size_t{3});
        QCOMPARE(saved->paragraphs[0].runs[1].text, std::string("zapisy"));
        QCOMPARE(saved->paragraphs[0].runs[1].format.link, std::string("https://example.pl/"));
        QVERIFY(!saved->paragraphs[0].runs[1].format.bold);
        QVERIFY(saved->paragraphs[0].runs[0].format.link.empty() && saved->paragraphs[0].runs[2].format.link.empty());
    }

    // Typing right after a link adds plain text that does not look like a link either: it takes
    // the look of the text beside the link; typing inside the link adds to it.
    void TextTypedAfterALinkIsNoPartOfIt()
    {
        TextFormat link;
        link.link = "https://example.pl/";
        link.underline = true;
        link.colour = 0x0563C1;
        TextFormat bold;
        bold.bold = true;
        StoreBook(RichDocument{
            {Paragraph{{TextRun{"strona", link}}}, Paragraph{{TextRun{"Jan ", bold}, TextRun{"poczta", link}}},
             Paragraph{{TextRun{"dalej", {}}}}, Paragraph{{TextRun{"www", link}, TextRun{" 42", {}}}}}});
        auto form = Make();
        form->show();
        form->re1->setFocus();
        const auto typeAt = [&](int position, const QString& text) {
            QTextCursor cursor(form->re1->document());
            cursor.setPosition(position);
            form->re1->setTextCursor(cursor);
            QTest::keyClicks(form->re1, text);
        };
        typeAt(27, QStringLiteral("X"));
        typeAt(17, QStringLiteral(" 42"));
        typeAt(6, QStringLiteral(" tel"));
        typeAt(3, QStringLiteral("X"));
        const RichDocument after = ToRichDocument(*form->re1->document());
        QCOMPARE(after.paragraphs[0].runs.size(), std::size_t{2});
        QCOMPARE(after.paragraphs[0].runs[0].text, std::string("strXona"));
        QCOMPARE(after.paragraphs[0].runs[0].format.link, link.link);
        QCOMPARE(after.paragraphs[0].runs[1].text, std::string(" tel"));
        QVERIFY(after.paragraphs[0].runs[1].format.link.empty());
        QVERIFY(!after.paragraphs[0].runs[1].format.underline);
        QVERIFY(!after.paragraphs[0].runs[1].format.colour);
        QCOMPARE(after.paragraphs[1].runs.size(), std::size_t{3});
        QCOMPARE(after.paragraphs[1].runs[2].text, std::string(" 42"));
        QVERIFY(after.paragraphs[1].runs[2].format == after.paragraphs[1].runs[0].format);
        QVERIFY(after.paragraphs[1].runs[0].format.bold);
        QCOMPARE(after.paragraphs[3].runs.size(), std::size_t{2});
        QCOMPARE(after.paragraphs[3].runs[1].text, std::string("X 42"));
    }

    void DocumentBridgeKeepsFormatsLineBreaksAndTabs()
    {
        RichDocument document;
        TextFormat red;
        red.colour = 0xFF0000;
        red.halfPoints = 28;
        red.underline = true;
        red.strike = true;
        TextFormat link;
        link.link = "mailto:ewa@example.pl";
        document.paragraphs.push_back(
            Paragraph{{TextRun{"Łódź\ttel.\nkom.", red}, TextRun{" 😀", {}}, TextRun{" ewa", link}}});
        document.paragraphs.emplace_back();
        document.paragraphs.push_back(Paragraph{{TextRun{"koniec", {}}}});
        QTextDocument qt;
        FillDocument(qt, document);
        QVERIFY(ToRichDocument(qt) == document);
    }

    void PictureOfTheWindow()
    {
        RichDocument book = Book({"tel. 42 123 45 67, jan.kowalski@example.pl", "________________________________", "",
                                  "www.example.pl/rejestracja"});
        TextFormat bold;
        bold.bold = true;
        TextFormat link;
        link.link = "https://www.example.pl/rejestracja";
        link.underline = true;
        link.colour = 0x0563C1;
        book.paragraphs.insert(book.paragraphs.begin(),
                               Paragraph{{TextRun{"Kowalski Jan", bold}, TextRun{", ul. Świętokrzyska 5, Łódź", {}}}});
        book.paragraphs.insert(book.paragraphs.end() - 1, Paragraph{{TextRun{"Nowak Ewa – przychodnia, ", {}},
                                                                     TextRun{"zapisy przez sieć", link}}});
        StoreBook(book);
        auto form = Make();
        form->show();
        form->szukaj->setText(QStringLiteral("ŁÓDŹ"));
        form->szukajChange();
        form->re2->setPlainText(QStringLiteral("Zając Zofia\ntel. 600 700 800"));
        QVERIFY(QDir().mkpath(QStringLiteral(DNIARZ_PICTURE_DIR)));
        QVERIFY(form->grab().save(QStringLiteral(DNIARZ_PICTURE_DIR "/telform.png")));
    }
};

QTEST_MAIN(ContactsWindowTest)
#include "contacts_window_test.moc"
