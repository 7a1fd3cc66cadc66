// Collects the component layer's log lines for the duration of a test.
#pragma once

#include <component/log.h>

#include <string>
#include <vector>

class LogCapture {
public:
    LogCapture()
    {
        m_previous = comp::setLogHandler([this](std::string_view line) { lines.emplace_back(line); });
    }
    ~LogCapture() { comp::setLogHandler(std::move(m_previous)); }

    bool contains(const std::string& part) const
    {
        for (const auto& l : lines)
            if (l.find(part) != std::string::npos)
                return true;
        return false;
    }

    std::vector<std::string> lines;

private:
    comp::LogHandler m_previous;
};
