// The contacts window's logic without the widgets: the file, the search state and its
// feedback, new entries and the scroll rule.
#pragma once

#include "contacts/contacts_search.h"
#include "contacts/rich_text.h"
#include "platform/file_problem.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class FileStore;

// The contacts file "tel.rtf" in the program directory.
class ContactsFile
{
public:
    ContactsFile(FileStore& store, std::filesystem::path programDir);

    const std::filesystem::path& Path() const { return m_path; }
    // The saved book; nothing when the file is missing, unreadable or no rich text.
    std::optional<RichDocument> Load() const;
    // Replaces the file as a whole; false leaves the old file as it was. A file that the last
    // load found but could not read, or not as rich text, is first kept beside it under the first
    // free name "tel.rtf.unreadable[.N]": the window shows such a file as an empty book, and
    // saving that must not be the end of what the user had there. A file that could not be read
    // and cannot be moved aside is never saved over.
    bool Save(const RichDocument& document) const;
    // The message of a failed save.
    std::string SaveFailureMessage() const;

private:
    bool SetAsideUnreadable() const;

    FileStore& m_store;
    std::filesystem::path m_path;
    mutable std::optional<std::string> m_unreadable;         // the contents the last load could not read
    mutable bool m_readFailed = false;                       // the last load found the file but could not read it
    mutable bool m_refused = false;                          // the last save was refused for that
    mutable FileProblem m_readProblem = FileProblem::None;   // why the last load could not read it
    mutable FileProblem m_writeProblem = FileProblem::None;  // why the last save could not write
};

// What the window does after a search.
struct SearchFeedback
{
    std::optional<std::size_t> hit;  // select from here, the needle's length
    bool collapseSelection = false;
    bool tone = false;            // the short "not found" tone
    bool notFoundColour = false;  // the search field's colour from now on: yellow when true
};

// The search field's state: whether the last incremental search failed, which is what the yellow
// colour shows, so that the tone sounds only on the first failing keystroke.
class ContactsSearch
{
public:
    // Every edit of the search field: from the beginning, downward. An empty field collapses the
    // selection and restores the colour.
    SearchFeedback Incremental(std::u16string_view text, const SearchQuery& query);
    // The down and up buttons, from the current selection. A miss only sounds the tone.
    SearchFeedback Step(std::u16string_view text, const SearchQuery& query, std::size_t selectionStart,
                        std::size_t selectionLength, bool down);

private:
    bool m_notFound = false;
};

// The lines "Dodaj" appends for the new-contact text: its lines as plain text (a final line end
// adds no empty line), the separator, and one empty line.
std::vector<std::string> NewEntryLines(std::string_view plainText);
inline constexpr std::string_view kSeparatorLine = "________________________________";

// Lines to scroll so that a hit at `y` (pixels from the top of an editor `height` high) is not
// left at the edge: +3 below the lowest fifth, -3 above the top fifth, else 0.
int ScrollLinesForHit(int y, int height);
