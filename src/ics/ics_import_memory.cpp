// The memory of earlier imports and its file.
#include "ics/ics_import_memory.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>
#include <optional>

namespace {

constexpr std::string_view kHeader = "dniarz-import 1";

// Each character the file's lines cannot hold as it is, with the letter after the backslash.
constexpr std::pair<char, char> kEscapes[] = {{'\\', '\\'}, {'\t', 't'}, {'\r', 'r'}, {'\n', 'n'}};

}  // namespace

std::string EscapeField(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto* escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                          [c](const std::pair<char, char>& e) { return e.first == c; });
        if (escape == std::end(kEscapes)) {
            out += c;
        } else {
            out += '\\';
            out += escape->second;
        }
    }
    return out;
}

std::optional<std::string> UnescapeField(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        const char letter = text[i];
        const auto* escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                          [letter](const std::pair<char, char>& e) { return e.second == letter; });
        if (escape == std::end(kEscapes))
            return std::nullopt;
        out += escape->first;
    }
    return out;
}

std::optional<std::vector<std::string_view>> SplitFields(std::string_view line, std::size_t count)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos)
            break;
        start = tab + 1;
    }
    if (fields.size() != count)
        return std::nullopt;
    return fields;
}

std::filesystem::path ImportMemoryPath(const std::filesystem::path& notesFile)
{
    return notesFile.parent_path() / "dnz-import.txt";
}

std::optional<std::vector<std::string_view>> WholeLines(std::string_view contents)
{
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < contents.size()) {
        const std::size_t end = contents.find('\n', pos);
        if (end == std::string_view::npos)
            return std::nullopt;
        lines.push_back(contents.substr(pos, end - pos));
        pos = end + 1;
    }
    return lines;
}

ImportMemory ParseImportMemory(std::string_view contents)
{
    const auto lines = WholeLines(contents);
    if (!lines || lines->empty() || lines->front() != kHeader)
        return {};
    ImportMemory memory;
    for (std::size_t i = 1; i < lines->size(); ++i) {
        const auto fields = SplitFields((*lines)[i], 4);
        if (!fields)
            return {};
        auto id = UnescapeField((*fields)[0]);
        auto key = UnescapeField((*fields)[2]);
        auto text = UnescapeField((*fields)[3]);
        const std::string_view hash = (*fields)[1];
        if (!id || !key || !text || id->empty() || key->empty() || hash.size() != 16)
            return {};
        RememberedEvent& event = memory[*id];
        if (!event.pieces.empty() && event.hash != hash)
            return {};
        event.hash = std::string(hash);
        event.pieces.push_back({std::move(*key), std::move(*text)});
    }
    return memory;
}

std::string FormatImportMemory(const ImportMemory& memory)
{
    std::string out(kHeader);
    out += '\n';
    for (const auto& [id, event] : memory)
        for (const RememberedPiece& piece : event.pieces)
            out += EscapeField(id) + '\t' + event.hash + '\t' + EscapeField(piece.key) + '\t' + EscapeField(piece.text)
                   + '\n';
    return out;
}

std::string ContentHash(std::string_view bytes)
{
    constexpr std::uint64_t kOffsetBasis = 14695981039346656037ULL, kPrime = 1099511628211ULL;
    std::uint64_t hash = kOffsetBasis;
    for (const unsigned char c : bytes)
        hash = (hash ^ c) * kPrime;
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out(16, '0');
    for (int i = 15; i >= 0; --i, hash >>= 4)
        out[static_cast<std::size_t>(i)] = kDigits[hash & 15];
    return out;
}
