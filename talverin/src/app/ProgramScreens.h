// The program's screens and tool windows, registered with the main frame: one explicit call per
// screen or window, all in ProgramScreens.cpp. A new screen adds its call there.
#pragma once

namespace talverin {

class ScreenHost;

void RegisterProgramScreens(ScreenHost& host);
// The oscilloscope, the screen the program opens on: registered once the frame has made its
// first switch (to the blank screen).
void RegisterOpeningScreen(ScreenHost& host);

} // namespace talverin
