// The language of the user texts: 1041 (Japanese) or anything else (English, 1033). Set once at
// start-up from the settings file by the program; until then it comes from the environment
// (LC_ALL, LC_MESSAGES, LANG in that order: a value starting with "ja" gives 1041, else 1033).
// Readable from any thread.
#pragma once

#include "platform/types.h"

namespace plat {

LANGID GetLanguage();
void SetLanguage(LANGID language);
bool IsJapanese(); // GetLanguage() == LANG_JAPANESE

// What the environment asks for, as above.
LANGID LanguageFromEnvironment();

// The Win32 names the code paths written against the thread locale use. There is one language per
// process here (the user-interface thread's is the only one that matters).
inline LANGID GetThreadLocale() { return GetLanguage(); }
inline void SetThreadLocale(LANGID language) { SetLanguage(language); }

// Sets the language for a scope and restores the previous one (tests).
class ScopedLanguage {
public:
    explicit ScopedLanguage(LANGID language) : m_saved(GetLanguage()) { SetLanguage(language); }
    ~ScopedLanguage() { SetLanguage(m_saved); }
    ScopedLanguage(const ScopedLanguage&) = delete;
    ScopedLanguage& operator=(const ScopedLanguage&) = delete;

private:
    LANGID m_saved;
};

} // namespace plat
