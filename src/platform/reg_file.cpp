// Reading and writing registry export files.
#include "platform/reg_file.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <unordered_map>

#include "text/cp1250.h"
#include "text/utf16.h"

namespace {

constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeader4 = "REGEDIT4";

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameAsciiCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
           && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

std::string_view TrimRight(std::string_view s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::string_view TrimLeft(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    return s;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = AsciiLower(c);
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// A quoted text starting at s[pos] == '"', with \\ and \" as the only escapes. Advances pos past
// the closing quote; nullopt when the quote never closes, which is what a cut line looks like.
std::optional<std::string> ReadQuoted(std::string_view s, std::size_t& pos)
{
    std::string out;
    for (++pos; pos < s.size(); ++pos) {
        const char c = s[pos];
        if (c == '"') {
            ++pos;
            return out;
        }
        if (c == '\\') {
            if (pos + 1 >= s.size() || (s[pos + 1] != '\\' && s[pos + 1] != '"'))
                return std::nullopt;
            ++pos;
        }
        out += s[pos];
    }
    return std::nullopt;
}

// "xx,xx,...": every byte exactly two digits, so a cut-off last byte never reads as a shorter one.
std::optional<std::vector<std::uint8_t>> ReadHexBytes(std::string_view s)
{
    std::vector<std::uint8_t> out;
    s = TrimRight(s);
    if (s.empty())
        return out;
    std::size_t pos = 0;
    while (true) {
        if (pos + 2 > s.size())
            return std::nullopt;
        const int hi = HexDigit(s[pos]);
        const int lo = HexDigit(s[pos + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
        pos += 2;
        if (pos == s.size())
            return out;
        if (s[pos] != ',')
            return std::nullopt;
        ++pos;
    }
}

std::string DecodeStringBytes(const std::vector<std::uint8_t>& bytes, bool ansi)
{
    const std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (ansi)
        return Cp1250ToUtf8(raw.substr(0, raw.find('\0')));
    std::string text = Utf16LeToUtf8(raw);
    return text.substr(0, text.find('\0'));
}

// The value part of a line after "name"=; nullopt when it is not one whole value of a known form.
// A removal ("-") comes back as a value of type 0 with `remove` set.
std::optional<RegValue> ReadValue(std::string_view v, bool ansi, bool& remove)
{
    remove = false;
    if (TrimRight(v) == "-") {
        remove = true;
        return RegValue{};
    }
    if (!v.empty() && v.front() == '"') {
        std::size_t pos = 0;
        auto text = ReadQuoted(v, pos);
        if (!text || !TrimRight(v.substr(pos)).empty())
            return std::nullopt;
        return RegValue::String(*text);
    }
    if (v.starts_with("dword:")) {
        const std::string_view digits = TrimRight(v.substr(6));
        if (digits.size() != 8)
            return std::nullopt;
        std::uint32_t value = 0;
        for (char c : digits) {
            const int d = HexDigit(c);
            if (d < 0)
                return std::nullopt;
            value = value * 16 + static_cast<std::uint32_t>(d);
        }
        return RegValue::Dword(value);
    }
    std::uint32_t type = static_cast<std::uint32_t>(RegType::Binary);
    if (v.starts_with("hex:")) {
        v.remove_prefix(4);
    } else if (v.starts_with("hex(")) {
        const std::size_t close = v.find("):");
        if (close == std::string_view::npos || close == 4 || close > 12)
            return std::nullopt;
        type = 0;
        for (char c : v.substr(4, close - 4)) {
            const int d = HexDigit(c);
            if (d < 0)
                return std::nullopt;
            type = type * 16 + static_cast<std::uint32_t>(d);
        }
        v.remove_prefix(close + 2);
    } else {
        return std::nullopt;
    }
    auto bytes = ReadHexBytes(v);
    if (!bytes)
        return std::nullopt;
    if (type == static_cast<std::uint32_t>(RegType::String))
        return RegValue::String(DecodeStringBytes(*bytes, ansi));
    if (type == static_cast<std::uint32_t>(RegType::Dword)) {
        if (bytes->size() != 4)
            return std::nullopt;
        return RegValue::Dword(static_cast<std::uint32_t>((*bytes)[0]) | static_cast<std::uint32_t>((*bytes)[1]) << 8
                               | static_cast<std::uint32_t>((*bytes)[2]) << 16
                               | static_cast<std::uint32_t>((*bytes)[3]) << 24);
    }
    return RegValue::Binary(std::move(*bytes), type);
}

struct Line
{
    std::string_view text;
    bool ended = false;  // a line end followed it
};

std::vector<Line> SplitLines(std::string_view text)
{
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        const bool ended = end != std::string_view::npos;
        if (!ended)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back({line, ended});
        start = end + 1;
    }
    return lines;
}

bool AppendQuoted(std::string& out, std::string_view text)
{
    if (text.find('\n') != std::string_view::npos)
        return false;
    out += '"';
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    out += '"';
    return true;
}

void AppendHex(std::string& out, std::string_view bytes)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            out += ',';
        const auto b = static_cast<unsigned char>(bytes[i]);
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
}

void AppendValue(std::string& out, const RegValue& value)
{
    char buffer[32];
    if (value.type == static_cast<std::uint32_t>(RegType::String)) {
        if (AppendQuoted(out, value.text))
            return;
        // A line break cannot stand inside quotes; the UTF-16 form with its terminator carries it.
        std::snprintf(buffer, sizeof buffer, "hex(%x):", value.type);
        out += buffer;
        AppendHex(out, Utf8ToUtf16Le(value.text) + std::string(2, '\0'));
    } else if (value.type == static_cast<std::uint32_t>(RegType::Dword)) {
        std::snprintf(buffer, sizeof buffer, "dword:%08x", value.dword);
        out += buffer;
    } else {
        if (value.type == static_cast<std::uint32_t>(RegType::Binary))
            out += "hex:";
        else {
            std::snprintf(buffer, sizeof buffer, "hex(%x):", value.type);
            out += buffer;
        }
        AppendHex(out, std::string_view(reinterpret_cast<const char*>(value.bytes.data()), value.bytes.size()));
    }
}

}  // namespace

RegValue RegValue::String(std::string_view text)
{
    RegValue v;
    v.type = static_cast<std::uint32_t>(RegType::String);
    v.text = std::string(text);
    return v;
}

RegValue RegValue::Dword(std::uint32_t value)
{
    RegValue v;
    v.type = static_cast<std::uint32_t>(RegType::Dword);
    v.dword = value;
    return v;
}

RegValue RegValue::Binary(std::vector<std::uint8_t> bytes, std::uint32_t type)
{
    RegValue v;
    v.type = type;
    v.bytes = std::move(bytes);
    return v;
}

const RegValue* RegKey::Find(std::string_view name) const
{
    for (const auto& [n, v] : values)
        if (n == name)
            return &v;
    return nullptr;
}

void RegKey::Set(std::string_view name, RegValue value)
{
    for (auto& [n, v] : values) {
        if (n == name) {
            v = std::move(value);
            return;
        }
    }
    values.emplace_back(std::string(name), std::move(value));
}

bool RegKey::Erase(std::string_view name)
{
    const auto it = std::find_if(values.begin(), values.end(), [&](const auto& nv) { return nv.first == name; });
    if (it == values.end())
        return false;
    values.erase(it);
    return true;
}

RegKey* RegFile::FindKey(std::string_view path)
{
    for (RegKey& key : keys)
        if (SameAsciiCase(key.path, path))
            return &key;
    return nullptr;
}

const RegKey* RegFile::FindKey(std::string_view path) const
{
    return const_cast<RegFile*>(this)->FindKey(path);
}

bool RegFile::EraseKey(std::string_view path)
{
    const auto below = [&](const RegKey& key) {
        return SameAsciiCase(key.path, path)
               || (key.path.size() > path.size() && key.path[path.size()] == '\\'
                   && SameAsciiCase(std::string_view(key.path).substr(0, path.size()), path));
    };
    const auto before = keys.size();
    std::erase_if(keys, below);
    return keys.size() != before;
}

namespace {

std::string AsciiLowerCopy(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = AsciiLower(c);
    return out;
}

// The file being read, with indexes by key path and value name, so that a file of many keys or
// values reads in linear time. Removed keys and values stay as empty slots until Finish, which
// keeps every index valid and the surviving entries in file order.
class RegFileBuilder
{
public:
    class KeyBuild
    {
    public:
        explicit KeyBuild(std::string_view path) : m_path(path) {}

        void Set(std::string name, RegValue value)
        {
            const auto found = m_index.find(name);
            if (found != m_index.end()) {
                m_values[found->second]->second = std::move(value);
                return;
            }
            m_index.emplace(name, m_values.size());
            m_values.emplace_back(std::in_place, std::move(name), std::move(value));
        }

        void Erase(const std::string& name)
        {
            const auto found = m_index.find(name);
            if (found == m_index.end())
                return;
            m_values[found->second].reset();
            m_index.erase(found);
        }

        RegKey Finish()
        {
            RegKey key{std::move(m_path), {}};
            key.values.reserve(m_index.size());
            for (auto& slot : m_values)
                if (slot)
                    key.values.push_back(std::move(*slot));
            return key;
        }

    private:
        std::string m_path;
        std::vector<std::optional<std::pair<std::string, RegValue>>> m_values;
        std::unordered_map<std::string, std::size_t> m_index;
    };

    // The key of this path, made when it is new; paths compare without regard to ASCII case.
    KeyBuild& Key(std::string_view path)
    {
        auto [it, added] = m_byPath.try_emplace(AsciiLowerCopy(path), m_keys.size());
        if (added)
            m_keys.push_back(std::make_unique<KeyBuild>(path));
        return *m_keys[it->second];
    }

    // The key and every key below it. Each key leaves the index once, so removals stay linear.
    void EraseKey(std::string_view path)
    {
        const std::string lower = AsciiLowerCopy(path);
        if (const auto it = m_byPath.find(lower); it != m_byPath.end()) {
            m_keys[it->second].reset();
            m_byPath.erase(it);
        }
        // The paths below are those starting with "path\"; ']' is the character after the backslash.
        const auto first = m_byPath.lower_bound(lower + '\\');
        const auto last = m_byPath.lower_bound(lower + ']');
        for (auto it = first; it != last; ++it)
            m_keys[it->second].reset();
        m_byPath.erase(first, last);
    }

    RegFile Finish()
    {
        RegFile file;
        file.keys.reserve(m_byPath.size());
        for (auto& key : m_keys)
            if (key)
                file.keys.push_back(key->Finish());
        return file;
    }

private:
    std::vector<std::unique_ptr<KeyBuild>> m_keys;
    std::map<std::string, std::size_t> m_byPath;
};

// The file's text in UTF-8, and whether it is a REGEDIT4 file; nullopt without either header.
std::optional<std::pair<std::string, bool>> DecodeRegText(std::string_view bytes)
{
    std::string text;
    bool decoded = false;
    if (bytes.starts_with("\xFF\xFE")) {
        text = Utf16LeToUtf8(bytes.substr(2));
        decoded = true;
    } else if (bytes.starts_with("\xEF\xBB\xBF")) {
        text = std::string(bytes.substr(3));
        decoded = true;
    } else {
        text = std::string(bytes);
    }
    const std::string_view firstLine = TrimRight(SplitLines(text).front().text);
    bool ansi = false;
    if (firstLine == kHeader4)
        ansi = true;
    else if (firstLine != kHeader5)
        return std::nullopt;
    // A REGEDIT4 file holds its text in the system's code page, which for this program is 1250.
    if (ansi && !decoded)
        text = Cp1250ToUtf8(text);
    return std::pair{std::move(text), ansi};
}

// A value line's name ("@" for the default value) up to its "=", with `pos` just past the "=".
std::optional<std::string> ReadValueName(std::string_view line, std::size_t& pos)
{
    std::string name;
    pos = 0;
    if (line.front() == '@') {
        pos = 1;
    } else if (line.front() == '"') {
        auto quoted = ReadQuoted(line, pos);
        if (!quoted)
            return std::nullopt;
        name = std::move(*quoted);
    } else {
        return std::nullopt;
    }
    if (pos >= line.size() || line[pos] != '=')
        return std::nullopt;
    ++pos;
    return name;
}

// Long binary values go on over several lines, each but the last ending in a backslash: joins
// them onto `valueText`, leaving `i` at the last. False when the value was cut: cut after any
// whole byte, a binary value still looks whole, only shorter; without the line end after it
// there is no telling, so it counts as cut. The text is cut and extended in place: a copy per
// line would make a long value, as Windows wraps it every 80 columns, quadratic to read.
bool JoinContinuedLines(const std::vector<Line>& lines, std::size_t& i, std::string& valueText)
{
    bool ended = lines[i].ended;
    if (!valueText.starts_with("hex"))
        return true;
    while (i + 1 < lines.size()) {
        valueText.resize(TrimRight(valueText).size());
        if (!valueText.ends_with('\\'))
            break;
        valueText.pop_back();
        valueText += TrimLeft(lines[++i].text);
        ended = lines[i].ended;
    }
    return ended;
}

// A key line "[path]" or "[-path]": the key it opens, null for a damaged line or an erased key.
RegFileBuilder::KeyBuild* ReadKeyLine(std::string_view line, RegFileBuilder& builder)
{
    const std::string_view head = TrimRight(line);
    if (head.size() < 3 || head.back() != ']')
        return nullptr;
    const std::string_view path = head.substr(1, head.size() - 2);
    if (path.front() == '-') {
        builder.EraseKey(path.substr(1));
        return nullptr;
    }
    return &builder.Key(path);
}

}  // namespace

std::optional<RegFile> ParseRegFile(std::string_view bytes)
{
    auto decoded = DecodeRegText(bytes);
    if (!decoded)
        return std::nullopt;
    const bool ansi = decoded->second;
    const std::vector<Line> lines = SplitLines(decoded->first);
    RegFileBuilder builder;
    RegFileBuilder::KeyBuild* current = nullptr;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = lines[i].text;
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            // Values under a damaged key line must not fall into the key before it.
            current = ReadKeyLine(line, builder);
            continue;
        }
        std::size_t pos = 0;
        auto name = current ? ReadValueName(line, pos) : std::nullopt;
        if (!name)
            continue;
        std::string valueText(line.substr(pos));
        if (!JoinContinuedLines(lines, i, valueText))
            continue;
        bool remove = false;
        auto value = ReadValue(valueText, ansi, remove);
        if (!value)
            continue;
        if (remove)
            current->Erase(*name);
        else
            current->Set(std::move(*name), std::move(*value));
    }
    return builder.Finish();
}

bool FormatRegFile(const RegFile& file, std::string& out)
{
    out = std::string(kHeader5) + "\r\n\r\n";
    for (const RegKey& key : file.keys) {
        if (key.path.empty() || key.path.find('\n') != std::string::npos)
            return false;
        out += '[' + key.path + "]\r\n";
        for (const auto& [name, value] : key.values) {
            if (name.empty())
                out += '@';
            else if (!AppendQuoted(out, name))
                return false;
            out += '=';
            AppendValue(out, value);
            out += "\r\n";
        }
        out += "\r\n";
    }
    return true;
}
