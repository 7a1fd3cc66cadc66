#include "common/StartupRules.h"

#include <platform/text.h>

#include <cstdlib>
#include <filesystem>

namespace talverin {

std::string ResolveCommandEscapes(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            const char next = text[i + 1];
            const char* replacement = next == 'r' ? "\r" : next == 'n' ? "\n" : next == 's' ? " "
                                    : next == 'b' ? "\b" : nullptr;
            if (replacement) {
                out += replacement;
                ++i;
                continue;
            }
        }
        out.push_back(c);
    }
    return out;
}

ExtBarEntry ParseExtBarValue(std::string_view value)
{
    ExtBarEntry entry;
    const std::size_t comma = value.find(',');
    entry.caption = plat::Trim(value.substr(0, comma));
    if (comma != std::string_view::npos)
        entry.command = ResolveCommandEscapes(plat::TrimView(value.substr(comma + 1)));
    entry.hasCommand = !entry.command.empty();
    return entry;
}

std::vector<std::string> SplitProfileList(const char* buffer, std::size_t size)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (buffer[i] != '\0')
            continue;
        if (i == start)
            break; // the empty string that ends the list
        out.emplace_back(buffer + start, i - start);
        start = i + 1;
    }
    if (start < size && buffer[start] != '\0') // a last string without its NUL
        out.emplace_back(buffer + start, size - start);
    return out;
}

namespace {

std::optional<UnitEntry> splitEntry(std::string_view entry)
{
    const std::size_t eq = entry.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    return UnitEntry{plat::Trim(entry.substr(0, eq)), plat::Trim(entry.substr(eq + 1))};
}

} // namespace

std::optional<UnitEntry> FirstUnitEntry(const std::vector<std::string>& entries)
{
    for (const std::string& entry : entries) {
        if (auto unit = splitEntry(entry))
            return unit;
    }
    return std::nullopt;
}

std::vector<UnitEntry> OfferedUnits(const std::vector<std::string>& entries)
{
    std::vector<UnitEntry> out;
    for (const std::string& entry : entries) {
        auto unit = splitEntry(plat::TrimLeftView(entry));
        if (unit && !unit->name.empty() && !unit->path.empty())
            out.push_back(std::move(*unit));
    }
    return out;
}

plat::LANGID LanguageFromSetting(std::string_view value, plat::LANGID environment)
{
    const std::string text = plat::Trim(value);
    if (text.empty())
        return environment;
    return static_cast<plat::LANGID>(std::strtol(text.c_str(), nullptr, 10));
}

std::string FormatMainCaption(std::string_view base, std::string_view viewTitle,
                              std::string_view documentName)
{
    std::string caption(base);
    if (!documentName.empty()) {
        caption.append(" - ").append(viewTitle).append(" [").append(documentName).append("]");
    } else if (!viewTitle.empty()) {
        caption.append(" - ").append(viewTitle);
    }
    return caption;
}

std::string DocumentTitleFromPath(std::string_view path)
{
    const std::size_t slash = path.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (plat::EndsWithNoCase(name, ".zrd"))
        name.remove_suffix(4);
    return std::string(name);
}

std::string FileNameFromTitle(std::string_view title, std::string_view extension)
{
    std::string name(title.substr(0, title.find_first_of(" #%;/\\")));
    if (!name.empty())
        name.append(extension);
    return name;
}

std::optional<std::string> CommandLineDocument(const std::vector<std::string>& arguments)
{
    for (const std::string& argument : arguments) {
        if (argument.empty() || argument[0] == '-')
            continue;
        std::error_code ec;
        const std::filesystem::path absolute = std::filesystem::absolute(argument, ec);
        return ec ? argument : absolute.lexically_normal().string();
    }
    return std::nullopt;
}

} // namespace talverin
