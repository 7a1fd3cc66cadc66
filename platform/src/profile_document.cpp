#include "profile_document.h"

#include "platform/text.h"

#include <unordered_set>

namespace plat::detail {

ProfileDocument::LineView ProfileDocument::classifyView(std::string_view text)
{
    LineView line;
    const std::string_view t = TrimView(text);
    if (!t.empty() && t.front() == '[') {
        const std::size_t close = t.find(']');
        line.kind = Kind::Section;
        line.name = TrimView(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    } else if (!t.empty() && t.front() != ';') {
        const std::size_t eq = t.find('=');
        if (eq != std::string_view::npos) {
            const std::string_view key = TrimView(t.substr(0, eq));
            if (!key.empty()) {
                line.kind = Kind::Entry;
                line.name = key;
                line.value = TrimView(t.substr(eq + 1));
            }
        }
    }
    return line;
}

ProfileDocument::Line ProfileDocument::classify(std::string text)
{
    const LineView view = classifyView(text);
    Line line;
    line.kind = view.kind;
    line.name = std::string(view.name);
    line.value = std::string(view.value);
    line.text = std::move(text);
    return line;
}

std::vector<std::pair<std::string, std::string>> ProfileDocument::entriesOfLines(
    const std::vector<std::string_view>& lines, std::string_view section)
{
    std::vector<std::pair<std::string, std::string>> out;
    bool inside = false;
    for (const std::string_view text : lines) {
        const LineView line = classifyView(text);
        if (line.kind == Kind::Section)
            inside = EqualsNoCase(line.name, section);
        else if (inside && line.kind == Kind::Entry)
            out.emplace_back(line.name, line.value);
    }
    return out;
}

ProfileDocument ProfileDocument::parse(std::string_view bytes)
{
    ProfileDocument doc;
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
        doc.m_bom = true;
    }
    // The first line end found is the file's.
    const std::size_t end = bytes.find_first_of("\r\n");
    if (end != std::string_view::npos) {
        if (bytes[end] == '\n')
            doc.m_eol = "\n";
        else if (end + 1 >= bytes.size() || bytes[end + 1] != '\n')
            doc.m_eol = "\r";
    }
    for (std::string& raw : SplitLines(bytes)) {
        Line line;
        if (IsValidUtf8(raw)) {
            line = classify(std::move(raw));
        } else {
            line = classify(DecodeText(raw));
            line.raw = std::move(raw);
        }
        line.original = true;
        doc.m_lines.push_back(std::move(line));
    }
    return doc;
}

std::string ProfileDocument::serialize() const
{
    std::string out;
    std::size_t total = 3;
    for (const Line& l : m_lines)
        total += l.text.size() + l.raw.size() + m_eol.size();
    out.reserve(total);
    if (m_bom)
        out += "\xEF\xBB\xBF";
    for (const Line& l : m_lines) {
        // A line read from the file goes back as it came: its bytes, not its decoding.
        out += l.original && !l.raw.empty() ? l.raw : l.text;
        out += m_eol;
    }
    return out;
}

template <typename F> void ProfileDocument::forEachLineIn(std::string_view section, F f) const
{
    bool inside = false;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const Line& l = m_lines[i];
        if (l.kind == Kind::Section) {
            inside = EqualsNoCase(l.name, section);
            continue;
        }
        if (inside && !f(i))
            return;
    }
}

const std::string* ProfileDocument::findValue(std::string_view section, std::string_view key) const
{
    const std::string* found = nullptr;
    forEachLineIn(section, [&](std::size_t i) {
        const Line& l = m_lines[i];
        if (l.kind == Kind::Entry && EqualsNoCase(l.name, key)) {
            found = &l.value;
            return false;
        }
        return true;
    });
    return found;
}

bool ProfileDocument::hasSection(std::string_view section) const
{
    for (const Line& l : m_lines) {
        if (l.kind == Kind::Section && EqualsNoCase(l.name, section))
            return true;
    }
    return false;
}

std::vector<std::string> ProfileDocument::sectionNames() const
{
    std::vector<std::string> names;
    std::unordered_set<std::string> seen; // lower-case, so a long file is not compared name by name
    for (const Line& l : m_lines) {
        if (l.kind == Kind::Section && !l.name.empty() && seen.insert(ToLowerAscii(l.name)).second)
            names.push_back(l.name);
    }
    return names;
}

std::vector<std::string> ProfileDocument::keyNames(std::string_view section) const
{
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    forEachLineIn(section, [&](std::size_t i) {
        const Line& l = m_lines[i];
        if (l.kind == Kind::Entry && seen.insert(ToLowerAscii(l.name)).second)
            names.push_back(l.name);
        return true;
    });
    return names;
}

std::vector<std::pair<std::string, std::string>> ProfileDocument::entries(std::string_view section) const
{
    std::vector<std::pair<std::string, std::string>> out;
    forEachLineIn(section, [&](std::size_t i) {
        const Line& l = m_lines[i];
        if (l.kind == Kind::Entry)
            out.emplace_back(l.name, l.value);
        return true;
    });
    return out;
}

bool ProfileDocument::set(std::string_view section, std::string_view key, std::string_view value)
{
    // The first occurrence of the key is the one readers see: change that one.
    std::size_t found = std::string::npos;
    forEachLineIn(section, [&](std::size_t i) {
        if (m_lines[i].kind == Kind::Entry && EqualsNoCase(m_lines[i].name, key)) {
            found = i;
            return false;
        }
        return true;
    });
    if (found != std::string::npos) {
        Line& l = m_lines[found];
        if (l.value == value)
            return false;
        m_lines[found] = classify(l.name + "=" + std::string(value));
        return true;
    }

    Line entry = classify(std::string(key) + "=" + std::string(value));
    // Into the first section of that name, after its last entry (blank lines and comments that
    // separate it from the next section stay below).
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind != Kind::Section || !EqualsNoCase(m_lines[i].name, section))
            continue;
        std::size_t insertAt = i + 1;
        for (std::size_t j = i + 1; j < m_lines.size() && m_lines[j].kind != Kind::Section; ++j) {
            if (m_lines[j].kind == Kind::Entry)
                insertAt = j + 1;
        }
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(entry));
        return true;
    }

    if (!m_lines.empty() && !TrimView(m_lines.back().text).empty())
        m_lines.push_back(classify(std::string()));
    m_lines.push_back(classify("[" + std::string(section) + "]"));
    m_lines.push_back(std::move(entry));
    return true;
}

bool ProfileDocument::removeKey(std::string_view section, std::string_view key)
{
    std::vector<std::size_t> doomed;
    forEachLineIn(section, [&](std::size_t i) {
        if (m_lines[i].kind == Kind::Entry && EqualsNoCase(m_lines[i].name, key))
            doomed.push_back(i);
        return true;
    });
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it)
        m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(*it));
    return !doomed.empty();
}

bool ProfileDocument::removeSection(std::string_view section)
{
    std::vector<Line> kept;
    kept.reserve(m_lines.size());
    bool inside = false;
    bool changed = false;
    for (Line& l : m_lines) {
        if (l.kind == Kind::Section)
            inside = EqualsNoCase(l.name, section);
        if (inside) {
            changed = true;
            continue;
        }
        kept.push_back(std::move(l));
    }
    m_lines = std::move(kept);
    return changed;
}

} // namespace plat::detail
