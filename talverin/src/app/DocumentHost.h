// What the document and its template ask of the application object beyond what the frame asks:
// the frame, made for the first New or Open and torn down when start-up cannot use it, and the
// owner of their boxes.
#pragma once

#include "frame/FrameProgram.h"

#include <platform/types.h>

namespace talverin {

class CMainFrame;

class DocumentHost : public FrameProgram {
public:
    // The frame from its creation in start-up on; GetMainWnd() only once start-up made the
    // first document (as the framework's main window).
    virtual CMainFrame* GetMainFrame() const = 0;
    virtual CMainFrame* GetMainWnd() const = 0;
    // The owner of the program's boxes: the frame's handle once it exists, else none.
    virtual plat::HWND GetMainWindowHandle() const = 0;
    // Makes the frame when there is none.
    virtual CMainFrame& EnsureMainFrame() = 0;
    // Tears a frame down that start-up could not use.
    virtual void DiscardMainFrame() = 0;

protected:
    ~DocumentHost() = default;
};

} // namespace talverin
