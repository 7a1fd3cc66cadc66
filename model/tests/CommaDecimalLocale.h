// Puts the process under a numeric locale whose decimal point is ',' (German), so that tests can
// show that numbers in files and driver commands ignore the user's locale. When the machine has
// no such locale it is compiled once with localedef into a cache folder; when that is impossible
// the guard stays inactive and says why.
#pragma once

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

class CommaDecimalLocale {
public:
    CommaDecimalLocale()
    {
        const char* previous = std::setlocale(LC_NUMERIC, nullptr);
        m_previous = previous ? previous : "C";
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"}) {
            if (tryLocale(name))
                return;
        }
        if (::access("/usr/bin/localedef", X_OK) != 0 || ::access("/usr/share/i18n/locales/de_DE", R_OK) != 0) {
            m_reason = "no German locale installed and no localedef with its sources to build one";
            return;
        }
        const char* tmp = std::getenv("TMPDIR");
        const std::string cache = std::string(tmp && *tmp ? tmp : "/tmp") + "/talverin-locales-" + std::to_string(::getuid());
        const std::string target = cache + "/de_DE.UTF-8";
        if (::access((target + "/LC_NUMERIC").c_str(), R_OK) != 0) {
            // Build beside the target and rename, so parallel tests never see half a locale.
            const std::string scratch = cache + "/build-" + std::to_string(::getpid());
            const std::string command = "mkdir -p '" + scratch + "' && localedef -i de_DE -f UTF-8 '" + scratch
                + "/de_DE.UTF-8' >/dev/null 2>&1; mv -T '" + scratch + "/de_DE.UTF-8' '" + target
                + "' >/dev/null 2>&1; rm -rf '" + scratch + "'";
            [[maybe_unused]] const int rc = std::system(command.c_str());
        }
        ::setenv("LOCPATH", cache.c_str(), 1);
        if (!tryLocale("de_DE.UTF-8"))
            m_reason = "could not build a German locale with localedef in " + cache;
    }

    ~CommaDecimalLocale()
    {
        std::setlocale(LC_NUMERIC, m_previous.c_str());
    }

    CommaDecimalLocale(const CommaDecimalLocale&) = delete;
    CommaDecimalLocale& operator=(const CommaDecimalLocale&) = delete;

    bool active() const { return m_reason.empty(); }
    const std::string& reason() const { return m_reason; }

private:
    bool tryLocale(const char* name)
    {
        if (!std::setlocale(LC_NUMERIC, name))
            return false;
        char probe[16];
        std::snprintf(probe, sizeof probe, "%.1f", 1.5);
        if (std::string(probe) == "1,5")
            return true;
        std::setlocale(LC_NUMERIC, m_previous.c_str());
        return false;
    }

    std::string m_previous;
    std::string m_reason;
};
