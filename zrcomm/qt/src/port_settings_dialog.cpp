#include <zrcomm_qt/port_settings_dialog.h>

#include <platform/errors.h>
#include <platform/qt/dialog_services.h>
#include <platform/qt/modal_dialog.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zrcomm::qt {

using namespace plat;

namespace {

struct Text {
    unsigned id;
    const char* english;
    const char* japanese;
};

const Text kTexts[] = {
    {1, " Property", " のプロパティ"},
    {2, "9600", "9600"},
    {3, "19200", "19200"},
    {4, "38400", "38400"},
    {5, "57600", "57600"},
    {6, "7", "7"},
    {7, "8", "8"},
    {8, "Even", "偶数"},
    {9, "Odd", "奇数"},
    {10, "None", "なし"},
    {11, "1", "1"},
    {12, "1.5", "1.5"},
    {13, "2", "2"},
    {14, "Xon/Xoff", "Xon/Xoff"},
    {15, "Hardware", "ハードウェア"},
    {16, "None", "なし"},
    {100, "Port Settings", "ポートの設定"},
    {101, "&Bit per second:", "ビット/秒(&B):"},
    {102, "&Data bits:", "データ ビット(&D):"},
    {103, "&Parity:", "パリティ(&P):"},
    {104, "&Stop bits:", "ストップ ビット(&S):"},
    {105, "&Flow control:", "フロー制御(&F):"},
    {106, "OK", "OK"},
    {107, "Cancel", "キャンセル"},
};

// Flow-control bits each choice clears and sets.
constexpr DWORD kDtrEnable = DTR_CONTROL_ENABLE << 4;
constexpr DWORD kDtrHandshake = DTR_CONTROL_HANDSHAKE << 4;
constexpr DWORD kRtsEnable = RTS_CONTROL_ENABLE << 12;
constexpr DWORD kRtsHandshake = RTS_CONTROL_HANDSHAKE << 12;
constexpr DWORD kOutputFlow = DCB_fOutxCtsFlow | DCB_fOutxDsrFlow;
constexpr DWORD kXonXoff = DCB_fOutX | DCB_fInX;
constexpr DWORD kNoneClear = kOutputFlow | kDtrHandshake | kXonXoff | kRtsHandshake;
constexpr DWORD kNoneSet = kDtrEnable | kRtsEnable;
constexpr DWORD kHardwareClear = kDtrEnable | kXonXoff | kRtsEnable;
constexpr DWORD kHardwareSet = kOutputFlow | kDtrHandshake | kRtsHandshake;
constexpr DWORD kXonXoffClear = kOutputFlow | kDtrHandshake | kRtsHandshake;
constexpr DWORD kXonXoffSet = kDtrEnable | kXonXoff | kRtsEnable;
static_assert(kNoneClear == 0x232C && kNoneSet == 0x1010);
static_assert(kHardwareClear == 0x1310 && kHardwareSet == 0x202C);
static_assert(kXonXoffClear == 0x202C && kXonXoffSet == 0x1310);

int IndexOf(PortList list, DWORD value)
{
    const auto& choices = PortChoices(list);
    for (std::size_t i = 0; i < choices.size(); ++i)
        if (choices[i].value == value)
            return static_cast<int>(i);
    return DefaultChoice(list);
}

bool InRange(PortList list, int index)
{
    return index >= 0 && static_cast<std::size_t>(index) < PortChoices(list).size();
}

} // namespace

const std::vector<PortChoice>& PortChoices(PortList list)
{
    static const std::vector<PortChoice> lists[kListCount] = {
        {{2, 9600}, {3, 19200}, {4, 38400}, {5, 57600}},
        {{6, 7}, {7, 8}},
        {{8, EVENPARITY}, {9, ODDPARITY}, {10, NOPARITY}},
        {{11, ONESTOPBIT}, {12, ONE5STOPBITS}, {13, TWOSTOPBITS}},
        {{14, kFlowXonXoff}, {15, kFlowHardware}, {16, kFlowNone}},
    };
    return lists[list];
}

int DefaultChoice(PortList list)
{
    static const int defaults[kListCount] = {0, 1, 2, 2, 1}; // 9600, 8, None, 2, Hardware
    return defaults[list];
}

QString PortSettingsText(unsigned id, LANGID language)
{
    for (const Text& t : kTexts)
        if (t.id == id)
            return QString::fromUtf8(language == LANG_JAPANESE ? t.japanese : t.english);
    return {};
}

PortSelection SelectionFromDcb(const DCB& dcb)
{
    PortSelection s{};
    s[kBaudRate] = IndexOf(kBaudRate, dcb.BaudRate);
    s[kDataBits] = IndexOf(kDataBits, dcb.ByteSize);
    s[kParity] = IndexOf(kParity, dcb.Parity);
    s[kStopBits] = IndexOf(kStopBits, dcb.StopBits);
    DWORD flow = kFlowNone;
    if (dcb.flag(DCB_fInX) && dcb.flag(DCB_fOutX))
        flow = kFlowXonXoff;
    else if (dcb.Flags & (kXonXoff | kOutputFlow))
        flow = kFlowHardware;
    s[kFlowControl] = IndexOf(kFlowControl, flow);
    return s;
}

void ApplySelection(const PortSelection& s, DCB& dcb)
{
    if (InRange(kBaudRate, s[kBaudRate]))
        dcb.BaudRate = PortChoices(kBaudRate)[s[kBaudRate]].value;
    if (InRange(kDataBits, s[kDataBits]))
        dcb.ByteSize = static_cast<BYTE>(PortChoices(kDataBits)[s[kDataBits]].value);
    if (InRange(kParity, s[kParity]))
        dcb.Parity = static_cast<BYTE>(PortChoices(kParity)[s[kParity]].value);
    if (InRange(kStopBits, s[kStopBits]))
        dcb.StopBits = static_cast<BYTE>(PortChoices(kStopBits)[s[kStopBits]].value);
    dcb.setFlag(DCB_fParity, dcb.Parity != NOPARITY);
    if (!InRange(kFlowControl, s[kFlowControl]))
        return;
    switch (PortChoices(kFlowControl)[s[kFlowControl]].value) {
    case kFlowNone: dcb.Flags = (dcb.Flags & ~kNoneClear) | kNoneSet; break;
    case kFlowHardware: dcb.Flags = (dcb.Flags & ~kHardwareClear) | kHardwareSet; break;
    case kFlowXonXoff: dcb.Flags = (dcb.Flags & ~kXonXoffClear) | kXonXoffSet; break;
    default: break;
    }
}

PortSettingsPage::PortSettingsPage(LANGID language, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PortSettingsPage"));
    static const char* const names[kListCount] = {"baudRate", "dataBits", "parity", "stopBits", "flowControl"};
    auto* form = new QFormLayout(this);
    for (int i = 0; i < kListCount; ++i) {
        auto* box = new QComboBox(this);
        box->setObjectName(QString::fromLatin1(names[i]));
        for (const PortChoice& c : PortChoices(static_cast<PortList>(i)))
            box->addItem(PortSettingsText(c.textId, language), static_cast<uint>(c.value));
        box->setCurrentIndex(-1);
        auto* label = new QLabel(PortSettingsText(101 + static_cast<unsigned>(i), language), this);
        label->setBuddy(box);
        form->addRow(label, box);
        // A choice the user makes marks the page modified; choices made in code do not.
        connect(box, &QComboBox::activated, this, [this] { m_modified = true; });
        m_lists[i] = box;
    }
}

void PortSettingsPage::showSettings(const DCB& dcb)
{
    const PortSelection s = SelectionFromDcb(dcb);
    for (int i = 0; i < kListCount; ++i)
        m_lists[i]->setCurrentIndex(s[i]);
}

PortSelection PortSettingsPage::selection() const
{
    PortSelection s{};
    for (int i = 0; i < kListCount; ++i)
        s[i] = m_lists[i]->currentIndex();
    return s;
}

PortSettingsSheet::PortSettingsSheet(const QString& portName, DCB& dcb, LANGID language, QWidget* parent)
    : QDialog(parent), m_dcb(dcb)
{
    setObjectName(QStringLiteral("PortSettingsSheet"));
    setWindowTitle(portName + PortSettingsText(1, language));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_page = new PortSettingsPage(language, m_tabs);
    m_tabs->addTab(m_page, PortSettingsText(100, language));
    layout->addWidget(m_tabs);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(PortSettingsText(106, language));
    buttons->button(QDialogButtonBox::Cancel)->setText(PortSettingsText(107, language));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    m_page->showSettings(dcb);
}

void PortSettingsSheet::accept()
{
    ApplySelection(m_page->selection(), m_dcb);
    QDialog::accept();
}

int RunPortSettingsSheet(const char* portName, HWND parent, DCB& dcb, LANGID language)
{
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app)
        return -1;
    int result = 0;
    auto run = [&] {
        // Edit a copy: the caller's settings change only when the user presses OK.
        DCB edited = dcb;
        PortSettingsSheet sheet(QString::fromLocal8Bit(portName), edited, language, plat::qt::ResolveOwner(parent));
        if (plat::qt::RunModal(sheet) == QDialog::Accepted) {
            dcb = edited;
            result = 1;
        }
    };
    // Asked from another thread, the dialog runs in the GUI thread while that one waits, handed
    // over as the program's message boxes are (a hand-over the thread sanitizer can follow). The
    // GUI thread no longer taking it is a Cancel.
    plat::qt::RunInGuiThread(run, "the port settings dialog");
    return result;
}

} // namespace zrcomm::qt

extern "C" int ZRCommQt_PortSettingsDialog(const char* portName, plat::HWND parent, plat::DCB* dcb,
                                           plat::LANGID language, plat::DWORD* error)
{
    if (error)
        *error = 0;
    if (!portName || !dcb) {
        if (error)
            *error = plat::ERROR_INVALID_PARAMETER;
        return 0;
    }
    const int r = zrcomm::qt::RunPortSettingsSheet(portName, parent, *dcb, language);
    if (r < 0) {
        if (error)
            *error = plat::ERROR_NOT_READY; // no application object to show a dialog with
        return 0;
    }
    return r;
}
