// The settings written on the way out (placements, bar layout, port settings, the data store's
// keys, recent files): a write that fails is told to the user once, naming the file and the
// system's reason, however many keys failed with it. Left unsaid, a read-only program folder or a
// full disk would drop them all without a word.
#pragma once

#include <platform/types.h>

#include <QCoreApplication>

#include <optional>
#include <string>

namespace talverin {

class SettingsSaveReport {
    Q_DECLARE_TR_FUNCTIONS(SettingsSaveReport)

public:
    // Notes one write's outcome; for a failure the reason is read from the last error, so call it
    // right after the write. Returns `written`.
    bool Note(bool written, const std::string& file);
    bool Failed() const { return m_file.has_value(); }
    // The box for the first failure since the last one shown, if any.
    void Show(plat::HWND owner);

private:
    std::optional<std::string> m_file;
    std::string m_reason;
};

} // namespace talverin
