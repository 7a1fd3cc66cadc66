// What a screen, and the windows that go with it, may ask of the main frame they are shown in: the
// data store, the frame's window, commands and messages, the other screens, help, the document's
// modified flag, the driver's lock state, the settings file and the driver connection. The frame
// implements it; a screen is given it by its one registration call (ProgramScreens.cpp) and never
// sees the frame or the application object themselves.
//
//     void RegisterIoScreen(ScreenHost& host)
//     {
//         host.Screens().Register({VIEW_IO, tr("Edit control I/O"), ID_VIEW_IO, 0,
//                                  [&host](QWidget* parent) { return new CViewIO(host, parent); }});
//     }
#pragma once

#include <platform/types.h>

#include <QString>

#include <memory>
#include <string>
#include <string_view>

class QObject;
class QWidget;

namespace model {
class CDataFile;
}
namespace plat::qt {
class CommandTable;
}

namespace talverin {

class CViewBase;
class DriverConnection;
class FrameNotices;
class MessageMap;
class ScreenRegistry;

class ScreenHost {
public:
    // The data store every screen shows.
    virtual model::CDataFile& Store() = 0;

    // ---- The frame ------------------------------------------------------------------------------

    virtual QWidget& FrameWindow() = 0;
    virtual plat::HWND GetSafeHwnd() const = 0;
    // The frame's command table (a screen's frame-wide commands; the state of the frame's own)
    // and its message map.
    virtual plat::qt::CommandTable& Commands() = 0;
    virtual MessageMap& Messages() = 0;
    virtual FrameNotices& Notices() = 0;
    virtual ScreenRegistry& Screens() = 0;
    // The screen when it was made already, else null.
    virtual CViewBase* GetView(int viewId) const = 0;
    virtual int GetCurrentViewId() const = 0;
    virtual bool IsDestroyed() const = 0;
    virtual bool IsTransferDialogOpen() const = 0;
    // Brings the enabled states of every command item and bar button up to date.
    virtual void UpdateBars() = 0;
    // A page of the help folder at the anchor.
    virtual void ShowHelp(const QString& page, const QString& anchor) = 0;
    // Kept with the frame for its life, gone before its screens: what goes with a screen beyond
    // the screen itself (the parameter screen's command window wiring).
    virtual void KeepScreenPart(std::unique_ptr<QObject> part) = 0;

    // ---- The program ----------------------------------------------------------------------------

    // The document's modified flag (false without a document).
    virtual bool IsDocumentModified() const = 0;
    virtual void SetDocumentModified(bool modified) = 0;
    // The driver's password lock as last read (0 enabled).
    virtual int LockState() const = 0;
    // A value of the settings file ("" when missing), and a write whose failure is told once on
    // the way out.
    virtual std::string ProfileText(std::string_view section, std::string_view key) const = 0;
    virtual void WriteProfileText(std::string_view section, std::string_view key, std::string_view text) = 0;
    virtual DriverConnection& Connection() = 0;

protected:
    ~ScreenHost() = default;
};

} // namespace talverin
