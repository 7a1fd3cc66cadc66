#include "platform/language.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace plat {

namespace {
// 0 until set: the environment's choice is taken when first asked.
std::atomic<LANGID> g_language{0};
} // namespace

LANGID LanguageFromEnvironment()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return std::strncmp(value, "ja", 2) == 0 ? LANG_JAPANESE : LANG_ENGLISH_US;
    }
    return LANG_ENGLISH_US;
}

LANGID GetLanguage()
{
    LANGID id = g_language.load();
    if (id != 0)
        return id;
    LANGID expected = 0;
    const LANGID fromEnv = LanguageFromEnvironment();
    g_language.compare_exchange_strong(expected, fromEnv);
    return g_language.load();
}

void SetLanguage(LANGID language)
{
    // 0 would mean "not set"; the system treats every id but 1041 as English anyway.
    g_language.store(language == 0 ? LANG_ENGLISH_US : language);
}

bool IsJapanese() { return GetLanguage() == LANG_JAPANESE; }

} // namespace plat
