// The sync state and its file.
#include "sync/sync_state.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "ics/ics_import_memory.h"

namespace {

constexpr std::string_view kHeader = "dniarz-sync 1";

constexpr std::pair<SyncEntry::Kind, std::string_view> kKindNames[] = {
    {SyncEntry::Kind::Note, "notatka"},
    {SyncEntry::Kind::Absorbed, "dolaczone"},
    {SyncEntry::Kind::Ignored, "pominiete"},
};

std::optional<SyncEntry::Kind> KindNamed(std::string_view name)
{
    const auto* found = std::find_if(std::begin(kKindNames), std::end(kKindNames),
                                     [name](const auto& k) { return k.second == name; });
    if (found == std::end(kKindNames))
        return std::nullopt;
    return found->first;
}

std::string_view KindName(SyncEntry::Kind kind)
{
    return std::find_if(std::begin(kKindNames), std::end(kKindNames), [kind](const auto& k) { return k.first == kind; })
        ->second;
}

// The one escaped value after `name` TAB on a line.
std::optional<std::string> NamedValue(std::string_view line, std::string_view name)
{
    const auto fields = SplitFields(line, 2);
    if (!fields || (*fields)[0] != name)
        return std::nullopt;
    return UnescapeField((*fields)[1]);
}

}  // namespace

std::filesystem::path SyncStatePath(const std::filesystem::path& notesFile)
{
    return notesFile.parent_path() / "dnz-sync.txt";
}

NoteSyncState ParseSyncState(std::string_view contents)
{
    const auto whole = WholeLines(contents);
    if (!whole)
        return {};
    const std::vector<std::string_view>& lines = *whole;
    if (lines.size() < 3 || lines[0] != kHeader)
        return {};
    NoteSyncState state;
    auto collection = NamedValue(lines[1], "calendar");
    auto token = NamedValue(lines[2], "token");
    if (!collection || !token || collection->empty())
        return {};
    state.collection = std::move(*collection);
    state.syncToken = std::move(*token);
    for (std::size_t i = 3; i < lines.size(); ++i) {
        const auto fields = SplitFields(lines[i], 6);
        if (!fields)
            return {};
        const std::optional<SyncEntry::Kind> kind = KindNamed((*fields)[0]);
        auto key = UnescapeField((*fields)[1]);
        auto uid = UnescapeField((*fields)[2]);
        auto href = UnescapeField((*fields)[3]);
        auto etag = UnescapeField((*fields)[4]);
        auto text = UnescapeField((*fields)[5]);
        if (!kind || !key || !uid || !href || !etag || !text || href->empty()
            || (*kind != SyncEntry::Kind::Ignored && key->size() != 10))
            return {};
        state.entries.push_back(
            {*kind, std::move(*key), std::move(*uid), std::move(*href), std::move(*etag), std::move(*text)});
    }
    return state;
}

std::string FormatSyncState(const NoteSyncState& state)
{
    std::string out(kHeader);
    out += "\ncalendar\t" + EscapeField(state.collection) + "\ntoken\t" + EscapeField(state.syncToken) + '\n';
    for (const SyncEntry& e : state.entries) {
        out += KindName(e.kind);
        out += '\t' + EscapeField(e.key) + '\t' + EscapeField(e.uid) + '\t' + EscapeField(e.href) + '\t'
               + EscapeField(e.etag) + '\t' + EscapeField(e.text) + '\n';
    }
    return out;
}
