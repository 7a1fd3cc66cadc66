// The seam for the open and save file dialogs, like the message-box seam: PromptFileName() goes
// to the process-wide FileDialogService; the program installs the Qt one
// (qt/dialog_services.h), tests install ScriptedFileDialogs.
#pragma once

#include "platform/types.h"

#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// Flags with the Win32 values the code passes (others are accepted and ignored).
inline constexpr DWORD OFN_READONLY = 0x00000001;
inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
inline constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;

struct FileDialogRequest {
    HWND owner = nullptr;
    bool save = false;               // false: open
    std::string title;               // empty: "Open" / "Save As"
    std::string initialPath;         // a folder, a file name, or a folder and file name
    std::string filter;              // the "Text (*.txt)|*.txt|All (*.*)|*.*||" form
    int filterIndex = 1;             // 1-based, as in OPENFILENAME
    std::string defaultExtension;    // "txt" (without the dot): added to a typed name without one
    DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
};

struct FileDialogResult {
    bool accepted = false;  // false: cancelled
    std::string path;       // absolute path of the chosen file
    int filterIndex = 1;    // the filter in use when accepted (1-based)
};

class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    virtual FileDialogResult show(const FileDialogRequest& request) = 0;
};

// Without an installed service every dialog counts as cancelled (and is reported on stderr).
FileDialogService& CurrentFileDialogService();
void SetFileDialogService(FileDialogService* service);

class ScopedFileDialogService {
public:
    explicit ScopedFileDialogService(FileDialogService& service);
    ~ScopedFileDialogService();
    ScopedFileDialogService(const ScopedFileDialogService&) = delete;
    ScopedFileDialogService& operator=(const ScopedFileDialogService&) = delete;

private:
    FileDialogService* m_previous;
};

FileDialogResult PromptFileName(const FileDialogRequest& request);

// One filter of an MFC filter string: its description and its patterns ("*.txt", "*.*").
struct FileFilter {
    std::string description;
    std::vector<std::string> patterns;
};
// Parses "Desc|pat1;pat2|Desc2|pat||"; a missing pattern part gives no patterns.
std::vector<FileFilter> ParseMfcFilter(std::string_view filter);
// One filter in the Qt form "Text files (*.txt *.text)"; a description's own "(...)" is replaced by
// the real patterns, and "*.*" becomes "*" (every file, also without a dot).
std::string QtFilterText(const FileFilter& filter);
// All filters joined with ";;" for QFileDialog.
std::string MfcFilterToQt(std::string_view filter);
// Adds "." + extension to a path whose file name has no extension (empty extension: unchanged).
std::string AddDefaultExtension(std::string_view path, std::string_view extension);

// Records every request and answers from a queue; an unscripted dialog is a test failure (see
// ScriptedMessageBoxes) and counts as cancelled.
class ScriptedFileDialogs : public FileDialogService {
public:
    ScriptedFileDialogs() = default;
    explicit ScriptedFileDialogs(std::function<void(const std::string&)> onFailure);

    ScriptedFileDialogs& accept(std::string path, int filterIndex = 0); // 0: the request's index
    ScriptedFileDialogs& cancel();
    std::size_t pending() const;

    FileDialogResult show(const FileDialogRequest& request) override;

    std::vector<FileDialogRequest> requests() const;
    std::size_t count() const;

private:
    mutable std::mutex m_mutex;
    std::deque<FileDialogResult> m_answers;
    std::vector<FileDialogRequest> m_requests;
    std::function<void(const std::string&)> m_onFailure;
};

} // namespace plat
