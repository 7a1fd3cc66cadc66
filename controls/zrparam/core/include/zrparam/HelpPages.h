// Which page of the help folder shows a command's help: "cmd_<name>.html" with the name in lower
// case; for a name with '/', the same with "[S]" for each '/', then the part before the first
// '/'; else "cmd_notfound.html". Folders are never rewritten, only the command's part.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace zrparam {

class HelpPages {
public:
    using Exists = std::function<bool(const std::string& path)>;

    static constexpr std::string_view kBlankPage = "cmd_blank.html";
    static constexpr std::string_view kNotFoundPage = "cmd_notfound.html";

    // folder + "/" + file (no second separator when the folder ends with one; the file alone for
    // an empty folder).
    static std::string PagePath(std::string_view folder, std::string_view file);
    // The path of the first page that exists, else of the not-found page (which may be missing).
    static std::string Resolve(std::string_view folder, std::string_view commandName, const Exists& exists);
    // Whether the browser already shows url: equal when every '\' is read as '/', ignoring case.
    static bool SameLocation(std::string_view current, std::string_view url);
};

} // namespace zrparam
