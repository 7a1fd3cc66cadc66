// The port settings dialog: a property sheet "<port> Property" with one page "Port Settings" of
// five drop-down lists (bits per second, data bits, parity, stop bits, flow control), in English or
// Japanese. The communication library loads this library and calls ZRCommQt_PortSettingsDialog
// when a program asks for the dialog, so that the library itself does not depend on Qt.
#pragma once

#include <platform/dcb.h>

#include <QDialog>

#include <array>
#include <vector>

class QComboBox;
class QTabWidget;

namespace zrcomm::qt {

// One choice of a list: its text id and the value it stands for in the settings.
struct PortChoice {
    unsigned textId;
    plat::DWORD value;
};

enum PortList { kBaudRate, kDataBits, kParity, kStopBits, kFlowControl, kListCount };

// The choices of each list in order, and the index of each list's default choice.
const std::vector<PortChoice>& PortChoices(PortList list);
int DefaultChoice(PortList list);

// Flow control values.
inline constexpr plat::DWORD kFlowXonXoff = 'x';
inline constexpr plat::DWORD kFlowHardware = 'p';
inline constexpr plat::DWORD kFlowNone = 'n';

// The selected index of each list; -1 until set.
using PortSelection = std::array<int, kListCount>;

// What the lists show for the settings: the choice whose value equals the field, else the default.
// Flow: Xon/Xoff when both XON/XOFF flags are set, else Hardware when either of them or CTS or DSR
// output flow is set, else None.
PortSelection SelectionFromDcb(const plat::DCB& dcb);
// What OK writes back: the four fields, parity checking exactly when there is parity, and the flow
// control bits of the chosen flow. An index out of range leaves its field alone.
void ApplySelection(const PortSelection& selection, plat::DCB& dcb);

// The dialog's texts by id in the given language (1041 Japanese, else English): 1 the caption
// suffix " Property", 2-16 the choices, 100 the page title, 101-105 the labels, 106-107 the buttons.
QString PortSettingsText(unsigned id, plat::LANGID language);

// The page: five labelled lists, selections moved to and from the settings.
class PortSettingsPage : public QWidget {
public:
    PortSettingsPage(plat::LANGID language, QWidget* parent = nullptr);
    void showSettings(const plat::DCB& dcb); // fills the selections from the settings
    PortSelection selection() const;
    QComboBox* list(PortList which) const { return m_lists[which]; }
    bool isModified() const { return m_modified; } // the user changed a selection

private:
    std::array<QComboBox*, kListCount> m_lists{};
    bool m_modified = false;
};

// The sheet: caption "<port> Property", the page as its only tab, OK and Cancel (no Apply). Accepting
// it writes the selections into the settings it was made for.
class PortSettingsSheet : public QDialog {
public:
    PortSettingsSheet(const QString& portName, plat::DCB& dcb, plat::LANGID language, QWidget* parent = nullptr);
    PortSettingsPage* page() const { return m_page; }
    QTabWidget* tabs() const { return m_tabs; }
    void accept() override;

private:
    plat::DCB& m_dcb;
    QTabWidget* m_tabs = nullptr;
    PortSettingsPage* m_page = nullptr;
};

// Runs the sheet modally (through the platform's modal-dialog seam) in the GUI thread, also when
// called from another thread. 1 when OK was pressed, 0 when cancelled, -1 when there is no
// QApplication to show it with.
int RunPortSettingsSheet(const char* portName, plat::HWND parent, plat::DCB& dcb, plat::LANGID language);

} // namespace zrcomm::qt

// The entry the communication library looks up: 1 OK (dcb changed), 0 cancelled or not shown
// (then *error is a system error code).
extern "C" __attribute__((visibility("default"))) int ZRCommQt_PortSettingsDialog(const char* portName,
                                                                                  plat::HWND parent, plat::DCB* dcb,
                                                                                  plat::LANGID language,
                                                                                  plat::DWORD* error);
