// What the main frame tells the windows that go with a screen (the command window beside the
// parameter screen and the like) besides the screens' own messages: a new document or a load is
// on its way, the screens reload the store, a switch prepares its target, the frame goes.
#pragma once

#include <QObject>

namespace talverin {

class FrameNotices : public QObject {
    Q_OBJECT

signals:
    // File > New: before the unit changes, and once the new document was made.
    void newDocumentStarting();
    void newDocumentDone();
    // A document is about to be loaded into the store (its lists are replaced, dataReloaded
    // follows): windows that show the store's nodes drop them.
    void dataLoading();
    // The screens are about to reload the store (WM_DATA_RELOADED); dataReloaded follows once
    // every screen did.
    void dataReloading();
    void dataReloaded(bool keepSamples);
    // A switch to the screen `target` goes ahead: before the line's mode is set and it is shown.
    void viewSwitching(int target);
    // At the start of the destroy path, while everything still exists.
    void destroying();
};

} // namespace talverin
