#include "screens/oscillo/CaptureErrorText.h"

#include <QCoreApplication>

#include <array>

namespace talverin {

namespace {

QString tr(const char* text, const char* which = nullptr)
{
    return QCoreApplication::translate("OscilloCapture", text, which);
}

// The start steps by tag (20-33). The English text is the same for all; the Japanese one begins
// with the name of the setting that failed, told apart by these disambiguations.
constexpr std::array<const char*, 14> kStartSteps{
    nullptr,                      // 20 trigger stop: no name
    "channel source CH1 setting", // 21
    "channel source CH2 setting", // 22
    "channel source CH3 setting", // 23
    "channel source CH4 setting", // 24
    "trigger channel setting",    // 25
    "trigger level setting",      // 26
    "record time setting",        // 27
    "record resolution setting",  // 28
    "trigger edge setting",       // 29
    "trigger position setting",   // 30
    "capture status check",       // 31
    "capture setting 32",         // 32
    "capture setting 33",         // 33
};

} // namespace

CaptureErrorText CaptureErrorTexts(int tag)
{
    if (tag >= 20 && tag <= 33)
        return {tr("Error occured during setting.\nProcess will be stopped.\n\nContents of error:",
                   kStartSteps[static_cast<std::size_t>(tag - 20)]),
                tr("Capture start error")};
    if (tag >= 40 && tag <= 43)
        return {tr("Channel source setting error.\n\nContents of error:"), tr("Setting error")};
    if (tag == 70)
        return {tr("Error during capture.\nWill terminate process.\n\nContents of error:"), tr("Capture erro")};
    return {tr("Command error occured.\n\nContents of error:"), tr("Command error")};
}

} // namespace talverin
