// Ttelform: the contacts book window, "Spis kontaktów".
#pragma once

#include "contacts/contacts_book.h"
#include "contacts/tone_player.h"

#include <QColor>
#include <QFont>
#include <QTextCharFormat>
#include <QTextEdit>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <optional>

class FileStore;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;
class Sound;
class UrlLauncher;

// What the window needs from the program; tests pass fakes and answer the boxes themselves.
struct ContactsWindowServices
{
    FileStore& files;
    Sound& sound;
    UrlLauncher& links;
    // The program's error display.
    std::function<void(QWidget* parent, const QString& message)> showError;
    // A Yes/No question with the question icon; true for Yes.
    std::function<bool(QWidget* parent, const QString& caption, const QString& question)> confirm;
    // The font dialog; nothing when cancelled. Empty: QFontDialog.
    std::function<std::optional<QFont>(QWidget* parent, const QFont& initial)> chooseFont = {};
};

// The rich-text editor of the window: keeps the selection visible without the focus, takes
// only text from the clipboard, reports double-clicks once the word is selected, and toggles
// bold, italic and underline with Ctrl+B, Ctrl+I and Ctrl+U.
class ContactsEditor : public QTextEdit
{
    Q_OBJECT
public:
    explicit ContactsEditor(QWidget* parent);

signals:
    void doubleClicked();

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// The family the editors show for Arial: Arial where it is installed, otherwise the metrically
// equal Liberation Sans, so that the font dialog can name what is shown.
QString RichTextFamily();

// The rich-text editors' own font: Arial (see RichTextFamily) at 10 points, the size a file
// gives it (13 pixels at 96 dots per inch); in points so that it follows the screen's resolution
// as the windows do, and so that the font dialog shows a size.
QFont RichTextFont();

// The font a selection's format shows in an editor: the format's own properties over the
// editor's font, with a family that is not installed named as the one shown in its place.
QFont ShownFont(const QTextCharFormat& format, const QFont& editorFont);

// The properties a font dialog changed, and only those, as a format to merge into a selection.
QTextCharFormat ChangedFontProperties(const QFont& before, const QFont& after);

class Ttelform : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kClientWidth = 432;
    static constexpr int kClientHeight = 509;
    static constexpr int kToneHz = 300;
    static constexpr std::chrono::milliseconds kToneLength{100};

    Ttelform(ContactsWindowServices services, const std::filesystem::path& programDir, QWidget* parent = nullptr);
    ~Ttelform() override;

    // Silent on any failure; the editor then keeps what it had. Clears the modified flag.
    void LoadContacts();
    // Only when modified; false (after the error box) when the file could not be written.
    bool SaveContacts();

    void SpeedButton1Click();  // "Dodaj"
    void SpeedButton2Click();  // "Zamknij"
    void SpeedButton3Click();  // search down
    void SpeedButton4Click();  // search up
    void SpeedButton5Click();  // "Anuluj"
    void SpeedButton6Click();  // "Zapisz"
    void szukajChange();
    void caleClick();
    void re1DblClick();
    void Font2Click();             // "Zmiana czcionki"
    void Domylnaczcionka1Click();  // "Domyślna czcionka"
    // Tests: until the tones started so far have played.
    void WaitForTones() { m_tones.Wait(); }

    QLabel* Label1 = nullptr;  // "Szukaj:"
    QLineEdit* szukaj = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QToolButton* SpeedButton4 = nullptr;
    QCheckBox* cale = nullptr;
    QCheckBox* bezPolskich = nullptr;  // the search ignores the marks of Polish letters
    ContactsEditor* re1 = nullptr;
    QLabel* Label2 = nullptr;  // "Nowy kontakt:"
    ContactsEditor* re2 = nullptr;
    QPushButton* SpeedButton1 = nullptr;
    QPushButton* SpeedButton5 = nullptr;
    QPushButton* SpeedButton6 = nullptr;
    QPushButton* SpeedButton2 = nullptr;
    QMenu* PopupMenu1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void CreateMenu();
    void LayOut();
    int Scaled(int pixels) const;
    std::u16string EditorText() const;
    SearchQuery Query(const std::u16string& needle) const;
    void StepSearch(bool down);
    void ApplySearch(const SearchFeedback& feedback, std::size_t length);
    void ShowNotFound(bool notFound);

    ContactsWindowServices m_services;
    ContactsFile m_file;
    ContactsSearch m_search;
    TonePlayer m_tones;
    double m_scale = 1.0;
    QColor m_searchColour;  // the search field's own background, shown again after a find
};
