#include "zrparam/HelpPages.h"

#include <algorithm>

namespace zrparam {

namespace {

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string pageName(std::string_view name)
{
    return "cmd_" + std::string(name) + ".html";
}

} // namespace

std::string HelpPages::PagePath(std::string_view folder, std::string_view file)
{
    if (folder.empty())
        return std::string(file);
    std::string path(folder);
    if (path.back() != '/' && path.back() != '\\')
        path += '/';
    return path + std::string(file);
}

std::string HelpPages::Resolve(std::string_view folder, std::string_view commandName, const Exists& exists)
{
    std::string name(commandName);
    std::transform(name.begin(), name.end(), name.begin(), lower);

    std::string path = PagePath(folder, pageName(name));
    if (exists(path))
        return path;
    const std::size_t slash = name.find('/');
    if (slash != std::string::npos) {
        std::string marked;
        for (char c : name)
            marked += c == '/' ? std::string("[S]") : std::string(1, c);
        path = PagePath(folder, pageName(marked));
        if (exists(path))
            return path;
        if (slash >= 1) {
            path = PagePath(folder, pageName(name.substr(0, slash)));
            if (exists(path))
                return path;
        }
    }
    return PagePath(folder, kNotFoundPage);
}

bool HelpPages::SameLocation(std::string_view current, std::string_view url)
{
    if (current.size() != url.size())
        return false;
    for (std::size_t i = 0; i < url.size(); ++i) {
        const char a = current[i] == '\\' ? '/' : lower(current[i]);
        const char b = url[i] == '\\' ? '/' : lower(url[i]);
        if (a != b)
            return false;
    }
    return true;
}

} // namespace zrparam
