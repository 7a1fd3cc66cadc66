// The channel program editor (view 174): the programs of the driver's 256 channels, one channel at
// a time, in a list with an in-place cell editor, a step panel for numeric data, channel
// navigation and a remaining-lines counter (1024 lines over all channels). It keeps the driver in
// step (reads, write-back of a changed channel, channel insert/delete/clear), exchanges rows with
// the clipboard, and imports dropped text files and dragged parameters.
//
// The work is split over three sources: CViewChannel.cpp (the form, the list, the editor, keys,
// navigation and line commands), CViewChannelTraffic.cpp (everything sent to and answered by the
// driver) and CViewChannelClipboard.cpp (clipboard, file and parameter drops). The list itself is
// ChannelListCore, which has no widget.
#pragma once

#include "screens/CViewBase.h"
#include "screens/channel/ChannelListCore.h"

#include <platform/qt/command_table.h>
#include <platform/qt/keyboard_hook.h>
#include <platform/timers.h>
#include <zrcomm/zrcomm_api.h>

#include <QPointer>

#include <functional>
#include <map>
#include <set>

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMimeData;
class QPushButton;
class QUrl;

namespace model {
class CDataFile;
class CChannelProgram;
class CZRParamData;
}

namespace talverin {

class CPresetStepDlg;
class ChannelListView;
class ChannelRowModel;

// What the editor needs of the program around it (the document and the help window).
class ScreenHost;

struct ChannelViewHost {
    std::function<bool()> isDocumentModified;
    std::function<void(bool)> setDocumentModified;
    std::function<void(const QString& page, const QString& anchor)> showHelp;
};

class CViewChannel : public CViewBase {
    Q_OBJECT

public:
    // Control ids of dialog 174 (object names of the widgets).
    enum ControlId : int {
        IDC_NEXT = 1002,      // ">"
        IDC_NEXT10 = 1003,    // ">>"
        IDC_PREV10 = 1004,    // "<<"
        IDC_PREV = 1005,      // "<"
        IDC_CHANNEL = 1022,   // the channel box
        IDC_REMAINS = 1023,   // " Remains : "
        IDC_CELL_EDIT = 1024, // the cell editor
        IDC_LIST = 1230,
    };
    // Commands of menu 149 (with the clipboard's, handled while this screen is current).
    enum MenuCommand : plat::UINT {
        ID_COPY_CHANNEL = 32831,
        ID_DELETE_CHANNEL = 32833,
        ID_INSERT_LINE = 32834,
        ID_DELETE_LINE = 32835,
        ID_DELETE_ALL_CHANNELS = 32878,
        ID_INSERT_CHANNEL = 32883,
        ID_EDIT_CELL = 32894,
        ID_EDIT_COPY = 57634,
        ID_EDIT_CUT = 57635,
        ID_EDIT_PASTE = 57637,
    };
    static constexpr plat::UINT_PTR kStepPanelTimer = 1000;
    static constexpr plat::UINT_PTR kBackgroundReadTimer = 1001;
    static constexpr plat::UINT_PTR kWriteProgressTimer = 1002;
    static constexpr plat::UINT kWriteProgressMs = 250;
    static constexpr int kChannelCount = 256;

    CViewChannel(model::CDataFile& store, ChannelViewHost host, QWidget* parent = nullptr);
    ~CViewChannel() override;

    // ---- Called by the main frame -------------------------------------------------------------

    // The keyboard hook, key-down only and while the screen is current: true for a consumed key.
    bool HandleHookKey(const plat::qt::KeyInput& key) override;
    // Before a save (WM_COLLECT_VIEW_DATA): a modified list is stored. Returns 1.
    int FlushEdit();
    // After a new (1: channel 0) or loaded (0: the stored channel) document.
    void ResetChannelView(int newDocument);
    // Before Save, Save As, Print and Print Preview: the current channel written back. -1 refuse
    // the command, 0 nothing to write or written, 1 written with its rejected lines dropped.
    int WriteBackChannel(int question);
    // Files dropped on the screen or passed on by the main frame.
    void OnDropFiles(const QList<QUrl>& urls) override;

    bool OnViewSwitch(bool entered, int target) override;
    bool OnCollectViewData() override;
    void OnDataReloaded(bool keepSamples) override;
    void OnNewDocumentStarting() override;
    void OnNewDocumentDone() override;
    int WriteBack(int question) override { return WriteBackChannel(question); }
    void OnPortClosed() override;

    // ---- Menus ------------------------------------------------------------------------------

    // The screen's commands (menu 149 and the clipboard's) with their update rules.
    plat::qt::CommandTable& Commands() override { return m_commands; }
    // Menu 149's items, to merge into the main window's Edit menu.
    const QList<QAction*>& MenuActions() const override { return m_menuActions; }

    // ---- Operations of the screen --------------------------------------------------------------

    void ShowChannel(int channel, int read);
    void SelectChannel(int channel, int write);
    int StartChannelWrite(int channel);
    void OpenCellEditor(int row, int column);
    // False when the cell refused the text (the row would read as a channel header; a box said so).
    bool CommitCellEdit();
    void StoreEdits();
    void RecountRemaining();
    void ConsumeLines(int n);
    void SetBusy(int enable);

    // ---- State, for the frame and the tests ---------------------------------------------------

    int CurrentChannel() const override;
    bool IsEditorOpen() const { return m_editorOpen; }
    bool IsBusy() const { return m_busy; }
    bool IsViewCurrent() const { return m_viewCurrent; }
    int PendingSwitch() const { return m_pendingSwitch; }
    ChannelListCore& Core() { return m_core; }
    ChannelListView* List() const { return m_list; }
    QLineEdit* CellEditor() const { return m_editor; }
    CPresetStepDlg* StepPanel() const { return m_panel; }
    QComboBox* ChannelBox() const { return m_channelBox; }

protected:
    plat::LRESULT WindowProc(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam) override;
    // The status bar's text for a failed command (state 0: the idle text).
    virtual void OnCommandFailed(unsigned state, std::intptr_t tag);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // ---- Form, list and editor (CViewChannel.cpp) ----
    void buildForm();
    void buildCommands();
    void layoutList();
    void fitLastColumn();
    void showRemaining();
    void selectChannelInBox(int channel);
    void placeEditor();
    void showStepPanel();
    void onEditorEdited(const QString& text);
    void onCurrentRowChanged(int row);
    void onCellClicked(int row, int column, bool doubleClick);
    void onContextMenu(const QPoint& globalPos, bool fromKeyboard);
    void onChannelStep(int delta);
    void onChannelBoxChosen();
    void onPresetStep(int button, model::CZRParamData* record);
    void onEditCommand();
    void onInsertLine();
    void onDeleteLine();
    void selectOnlyRow(int row);
    void repaintRow(int row);
    std::vector<int> selectedRows() const;
    bool focusInside() const;
    bool editorKey(const plat::qt::KeyInput& key);
    // Commits; a refused text stays in the reopened editor. False when refused.
    bool commitOrKeep();
    void refuseHeaderLine(int row);
    void listChannel(int channel);
    void documentModified();
    void onHelp();

    // ---- Driver traffic (CViewChannelTraffic.cpp) ----
    plat::LRESULT OnCommCommand(plat::WPARAM event, CommandId id);
    plat::LRESULT OnCommStateChanged(plat::WPARAM state, plat::LPARAM reason);
    plat::LRESULT OnTimer(plat::WPARAM id);
    // The lock was disabled: every channel not in step is written.
    plat::LRESULT OnLockStateChanged(plat::WPARAM unlocked);
    CommandId queueCommand(int kind, int channel, bool busy);
    void onReadDone(int channel, const std::string& reply);
    void onWriteReplied(int channel, const std::string& reply);
    // The status pane follows a channel text on its way: started when it is queued, its command
    // learnt from its first event, ended with its completion.
    void startWriteProgress(int channel);
    void showWriteProgress();
    void endWriteProgress();
    // How a write ended: in step with the driver, with lines the driver refused ('?'), or
    // without reaching it (a refused clear, a failure, no reply).
    enum class WriteEnd { Written, Rejected, NotWritten };
    void completeWrite(int channel, WriteEnd end, const QString& reply = {});
    void onAborted(int kind, int channel, const QString& reply);
    // Writes the first channel from `from` on that is not in step; its completion goes on.
    void startWriteChain(int from);
    void dropPendingSwitch();
    // The box of a write that did not reach the driver; true for Yes (only with `question`).
    bool askUnwritten(int channel, const QString& reply, bool question, plat::HWND owner);
    bool lastWriteUnwritten() const;
    void makeLocalChange(int kind, bool marking);
    void queueBackgroundRead();
    void abortBackgroundReads();
    void startChannelCommand(int kind);
    bool askRejectedLines(plat::HWND owner);
    void dropRejectedLines();
    int readState(int channel);
    int writeState(int channel);
    void setReadState(int channel, int state);
    void endBusyFor(CommandId id);
    void endAllBusy();
    bool connected() const;
    int messageBox(const QString& text, const QString& title, unsigned type, plat::HWND owner = nullptr);

    // ---- Clipboard and drops (CViewChannelClipboard.cpp) ----
    void onCopy();
    void onCut();
    void onCopyChannel();
    void onPaste();
    bool acceptsParameterDrag(const QMimeData* data, const QPoint& listPos) const;
    void dropParameter(const QMimeData* data);
    void afterRowsAdded(bool editorWasOpen);

    model::CDataFile& m_store;
    ChannelViewHost m_host;
    ChannelListCore m_core;
    plat::qt::CommandTable m_commands;
    QList<QAction*> m_menuActions;

    ChannelRowModel* m_model = nullptr;
    ChannelListView* m_list = nullptr;
    QLineEdit* m_editor = nullptr;
    CPresetStepDlg* m_panel = nullptr;
    QComboBox* m_channelBox = nullptr;
    QLabel* m_remains = nullptr;
    QLabel* m_channelLabel = nullptr;
    std::array<QPushButton*, 4> m_navButtons{};

    bool m_editorOpen = false;
    int m_topRowAtOpen = 0;
    bool m_panelDue = false; // the step panel shows when timer 1000 ticks

    // Traffic state.
    bool m_viewCurrent = false;
    bool m_waiting = false;     // the read ShowChannel queued for the current channel is out
    int m_pendingSwitch = -1;
    int m_chainChannel = -1;
    bool m_refusalDone = false;
    bool m_switchDropped = false; // a line failure cancelled the switch a write was made for
    struct LastWrite {
        int channel = -1;
        WriteEnd end = WriteEnd::Written;
        QString reply;
    };
    LastWrite m_lastWrite;
    unsigned m_lastCommandState = 0; // this view's own, never the monitor code
    bool m_busy = false;
    std::set<CommandId> m_busyCommands;   // busy ends when the last of them ends
    std::map<int, CommandId> m_readCommands; // channel -> its queued read
    std::multiset<int> m_writesUnderWay;     // a channel per "CC" queued, until its write ends
    struct WriteProgress {
        int channel = -1; // -1: no channel text under way
        int lines = 0;
        CommandId id = 0; // 0 until the library names it
    };
    WriteProgress m_writeProgress;
};

// Registers the screen with the frame (view 174, made on the first switch) on the program's data
// store, document and help, with the command that shows it.
void RegisterChannelScreen(ScreenHost& host);

} // namespace talverin
