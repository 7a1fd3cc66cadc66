#include "common/ClipboardHelpers.h"

#include <platform/qt/clipboard.h>

#include <QClipboard>
#include <QGuiApplication>

#include <cstring>

namespace talverin {

int CopyTextToClipboard(const char* text)
{
    if (!text) {
        QClipboard* clipboard = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                  ? QGuiApplication::clipboard()
                                  : nullptr;
        if (!clipboard)
            return 0;
        clipboard->clear();
        return 1;
    }
    if (!*text)
        return 0;
    return plat::qt::SetClipboardText(text) ? 1 : 0;
}

std::string GetClipboardText()
{
    return plat::qt::GetClipboardText();
}

unsigned SplitAtTerminator(std::string_view dataHeader, char* text, unsigned& length, char* prefix)
{
    std::string terminator;
    for (const char c : dataHeader) {
        if (c == ' ')
            continue;
        terminator.push_back(c == '\n' ? '\r' : c);
    }
    if (terminator.empty() || !text)
        return 0;
    const std::string_view all(text, length);
    const std::size_t d = all.find(terminator);
    if (d == std::string_view::npos)
        return 0;
    if (!prefix)
        return static_cast<unsigned>(d);
    std::memcpy(prefix, text, d);
    prefix[d] = '\0';
    std::memmove(text, text + d, length - d);
    length -= static_cast<unsigned>(d);
    text[length] = '\0';
    return static_cast<unsigned>(d + 1);
}

} // namespace talverin
