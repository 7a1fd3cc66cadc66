// profile::Snapshot: one parse, an index of the first value of every section/key pair, and the
// same answers (and last errors) as the single-key functions.
#include "platform/profile.h"

#include "platform/errors.h"
#include "platform/text.h"

#include "profile_common.h"
#include "profile_document.h"

#include <unordered_map>
#include <unordered_set>

namespace plat::profile {

namespace {

std::string indexKey(std::string_view section, std::string_view key)
{
    std::string k = ToLowerAscii(section);
    k.push_back('\0');
    k += ToLowerAscii(key);
    return k;
}

} // namespace

struct Snapshot::Data {
    std::string file;
    DWORD error = ERROR_SUCCESS;
    detail::ProfileDocument doc;
    // Values point into doc, which is not changed after the index is built.
    std::unordered_map<std::string, const std::string*> values;
    std::unordered_set<std::string> sections;

    // The last error a read by key sets when the key is missing.
    DWORD missingError() const { return error != ERROR_SUCCESS ? error : ERROR_FILE_NOT_FOUND; }
};

Snapshot::Snapshot(const std::string& file)
{
    auto data = std::make_shared<Data>();
    data->file = file;
    data->doc = detail::load(file, &data->error);
    data->values.reserve(data->doc.lineCount());
    data->doc.forEachSection([&](const std::string& s) { data->sections.insert(ToLowerAscii(s)); });
    // First occurrence wins, and sections of one name read as one: what findValue does.
    data->doc.forEachEntry([&](const std::string& section, const std::string& key, const std::string& value) {
        data->values.emplace(indexKey(section, key), &value);
    });
    d = std::move(data);
    SetLastError(d->error);
}

const std::string& Snapshot::file() const { return d->file; }
DWORD Snapshot::error() const { return d->error; }

std::optional<std::string> Snapshot::find(std::string_view section, std::string_view key) const
{
    const auto it = d->values.find(indexKey(TrimView(section), TrimView(key)));
    if (it == d->values.end()) {
        SetLastError(d->missingError());
        return std::nullopt;
    }
    SetLastError(ERROR_SUCCESS);
    return detail::unquote(*it->second);
}

std::string Snapshot::getString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const
{
    if (auto v = find(section, key))
        return *v;
    return std::string(TrimRightView(defaultValue));
}

int Snapshot::getInt(std::string_view section, std::string_view key, int defaultValue) const
{
    const auto v = find(section, key);
    if (!v || v->empty())
        return defaultValue;
    return detail::parseProfileInt(*v);
}

std::vector<std::string> Snapshot::sectionNames() const
{
    SetLastError(d->error);
    return d->doc.sectionNames();
}

std::vector<std::string> Snapshot::keyNames(std::string_view section) const
{
    SetLastError(d->error);
    return d->doc.keyNames(TrimView(section));
}

std::vector<Entry> Snapshot::sectionEntries(std::string_view section) const
{
    std::vector<Entry> out;
    for (auto& [k, v] : d->doc.entries(TrimView(section)))
        out.push_back(Entry{std::move(k), std::move(v)});
    SetLastError(d->error);
    return out;
}

bool Snapshot::hasSection(std::string_view section) const
{
    SetLastError(d->error);
    return d->sections.count(ToLowerAscii(TrimView(section))) > 0;
}

} // namespace plat::profile
