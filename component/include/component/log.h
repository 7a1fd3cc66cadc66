// One line per failure the component layer meets (unregistered class, missing plug-in, wrong
// argument kind ...). Lines go to standard error unless a handler is installed.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace comp {

using LogHandler = std::function<void(std::string_view line)>;

// Installs a handler (an empty one restores standard error) and returns the previous one.
LogHandler setLogHandler(LogHandler handler);
void logLine(std::string_view line);

} // namespace comp
