// The contacts window's rules.
#include "contacts/contacts_book.h"

#include "contacts/rtf_reader.h"
#include "contacts/rtf_writer.h"
#include "platform/file_store.h"
#include "platform/path_text.h"

ContactsFile::ContactsFile(FileStore& store, std::filesystem::path programDir)
    : m_store(store), m_path(std::move(programDir) / "tel.rtf")
{
}

std::optional<RichDocument> ContactsFile::Load() const
{
    m_unreadable.reset();
    FileRead read = m_store.Read(m_path, kRichTextLimit);
    m_readFailed = read.status == FileRead::Status::Failed;
    m_readProblem = read.problem;
    if (read.status != FileRead::Status::Read)
        return std::nullopt;
    auto document = ReadRtf(read.contents);
    if (!document && !read.contents.empty())
        m_unreadable = std::move(read.contents);
    return document;
}

namespace {

std::filesystem::path AsideName(const std::filesystem::path& path, int n)
{
    auto aside = path;
    aside += ".unreadable";
    if (n > 0)
        aside += "." + std::to_string(n);
    return aside;
}

constexpr int kMaxCopies = 100;

}  // namespace

bool ContactsFile::SetAsideUnreadable() const
{
    for (int n = 0; n < kMaxCopies; ++n) {
        const auto aside = AsideName(m_path, n);
        if (m_store.Read(aside, 0).status != FileRead::Status::Missing)
            continue;  // an earlier copy: keep it too
        // A file that could not be read can only be moved, never copied.
        if (m_readFailed)
            return m_store.RenameToFreeName(m_path, aside);
        return (m_writeProblem = m_store.Replace(aside, *m_unreadable)) == FileProblem::None;
    }
    return false;
}

bool ContactsFile::Save(const RichDocument& document) const
{
    m_refused = false;
    m_writeProblem = FileProblem::None;
    if (m_unreadable || m_readFailed) {
        if (!SetAsideUnreadable()) {
            m_refused = m_readFailed;
            return false;
        }
        m_unreadable.reset();
        m_readFailed = false;
    }
    return (m_writeProblem = m_store.Replace(m_path, WriteRtf(document))) == FileProblem::None;
}

std::string ContactsFile::SaveFailureMessage() const
{
    const auto why = [](FileProblem problem) {
        return problem == FileProblem::None ? std::string() : " (" + FileProblemText(problem) + ")";
    };
    if (m_refused)
        return "Nie udało się odczytać pliku: " + PathToUtf8(m_path) + why(m_readProblem)
               + "  Zapis nie zastąpi go, by nie utracić jego zawartości.";
    return "Zapis do pliku: " + PathToUtf8(m_path) + "  nie powiódł się" + why(m_writeProblem) + ".";
}

SearchFeedback ContactsSearch::Incremental(std::u16string_view text, const SearchQuery& query)
{
    SearchFeedback feedback;
    if (query.needle.empty()) {
        m_notFound = false;
        feedback.collapseSelection = true;
        return feedback;
    }
    feedback.hit = FindDown(text, query, 0);
    if (!feedback.hit) {
        feedback.collapseSelection = true;
        feedback.tone = !m_notFound;
        m_notFound = true;
    } else {
        m_notFound = false;
    }
    feedback.notFoundColour = m_notFound;
    return feedback;
}

SearchFeedback ContactsSearch::Step(std::u16string_view text, const SearchQuery& query, std::size_t selectionStart,
                                    std::size_t selectionLength, bool down)
{
    SearchFeedback feedback;
    feedback.hit = down ? FindDown(text, query, NextSearchStart(selectionStart, selectionLength))
                        : FindUp(text, query, selectionStart);
    if (feedback.hit)
        m_notFound = false;
    else
        feedback.tone = true;
    feedback.notFoundColour = m_notFound;
    return feedback;
}

std::vector<std::string> NewEntryLines(std::string_view plainText)
{
    std::vector<std::string> lines;
    std::string line;
    bool any = false;
    for (std::size_t i = 0; i < plainText.size(); ++i) {
        const char c = plainText[i];
        // Line ends of every kind: LF, CR LF, CR, and the editor's U+2028 and U+2029.
        std::size_t endLength = 0;
        if (c == '\n' || c == '\r')
            endLength = c == '\r' && i + 1 < plainText.size() && plainText[i + 1] == '\n' ? 2 : 1;
        else if (plainText.substr(i, 3) == "\xE2\x80\xA8" || plainText.substr(i, 3) == "\xE2\x80\xA9")
            endLength = 3;
        if (endLength == 0) {
            line += c;
            any = true;
            continue;
        }
        lines.push_back(std::move(line));
        line.clear();
        any = false;
        i += endLength - 1;
    }
    if (any)
        lines.push_back(std::move(line));
    lines.emplace_back(kSeparatorLine);
    lines.emplace_back();
    return lines;
}

int ScrollLinesForHit(int y, int height)
{
    if (y > height - height / 5)
        return 3;
    if (y < height / 5)
        return -3;
    return 0;
}
