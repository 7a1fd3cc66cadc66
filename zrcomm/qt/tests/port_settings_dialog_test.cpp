// The port settings dialog: the choices mapped to the settings and back, and the dialog itself
// through the exported function, answered by a scripted runner under the offscreen platform.
#include <zrcomm_qt/port_settings_dialog.h>

#include <zrcomm/zrcomm_api.h>

#include <platform/language.h>
#include <platform/qt/dialog_services.h>
#include <platform/qt/modal_dialog.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

using namespace zrcomm::qt;

namespace {

QApplication& App()
{
    static int argc = 1;
    static char name[] = "zrcomm_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = qApp ? qobject_cast<QApplication*>(qApp) : new QApplication(argc, argv);
    return *app;
}

QStringList Items(const QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

QComboBox* List(QDialog& d, const char* name)
{
    return d.findChild<QComboBox*>(QString::fromLatin1(name));
}

plat::DCB Dcb(plat::DWORD baud, plat::BYTE bits, plat::BYTE parity, plat::BYTE stop, plat::DWORD flags)
{
    plat::DCB d;
    d.BaudRate = baud;
    d.ByteSize = bits;
    d.Parity = parity;
    d.StopBits = stop;
    d.Flags = flags;
    return d;
}

} // namespace

TEST(PortSettingsChoices, UnknownValuesShowTheDefaults)
{
    const plat::DCB d = Dcb(115200, 5, 4, 7, 0);
    const PortSelection s = SelectionFromDcb(d);
    EXPECT_EQ(s[kBaudRate], 0);    // 9600
    EXPECT_EQ(s[kDataBits], 1);    // 8
    EXPECT_EQ(s[kParity], 2);      // None
    EXPECT_EQ(s[kStopBits], 2);    // 2
    EXPECT_EQ(s[kFlowControl], 2); // no flow bits: None
    plat::DCB saved = d;
    ApplySelection(s, saved);
    EXPECT_EQ(saved.BaudRate, 9600u);
    EXPECT_EQ(saved.ByteSize, 8);
    EXPECT_EQ(saved.Parity, plat::NOPARITY);
    EXPECT_EQ(saved.StopBits, plat::TWOSTOPBITS);
}

TEST(PortSettingsChoices, KnownValuesRoundTrip)
{
    const plat::DCB d = Dcb(38400, 7, plat::EVENPARITY, plat::ONE5STOPBITS, 0x1310 | plat::DCB_fParity);
    const PortSelection s = SelectionFromDcb(d);
    EXPECT_EQ(s, (PortSelection{2, 0, 0, 1, 0}));
    plat::DCB saved = d;
    ApplySelection(s, saved);
    EXPECT_EQ(std::memcmp(&saved, &d, sizeof d), 0);
}

TEST(PortSettingsChoices, FlowControlIsReadFromTheFlagBits)
{
    auto flow = [](plat::DWORD flags) { return SelectionFromDcb(Dcb(9600, 8, 0, 2, flags))[kFlowControl]; };
    EXPECT_EQ(flow(plat::DCB_fInX | plat::DCB_fOutX), 0); // Xon/Xoff
    EXPECT_EQ(flow(plat::DCB_fInX), 1);                   // one of them only: Hardware
    EXPECT_EQ(flow(plat::DCB_fOutX), 1);
    EXPECT_EQ(flow(plat::DCB_fOutxCtsFlow), 1);
    EXPECT_EQ(flow(plat::DCB_fOutxDsrFlow), 1);
    EXPECT_EQ(flow(0x3030), 2); // handshake bits alone do not count: None
}

TEST(PortSettingsChoices, SavingFlowAndParitySetsTheirBits)
{
    plat::DCB d = Dcb(9600, 8, 0, 2, plat::DCB_fBinary | plat::DCB_fOutxCtsFlow);
    ApplySelection({0, 1, 2, 2, 2}, d); // flow None
    EXPECT_EQ(d.Flags & 0x232C, 0u);
    EXPECT_EQ(d.Flags & 0x1010, 0x1010u);
    EXPECT_TRUE(d.flag(plat::DCB_fBinary));
    ApplySelection({0, 1, 1, 2, 1}, d); // Odd parity, Hardware
    EXPECT_EQ(d.Parity, plat::ODDPARITY);
    EXPECT_TRUE(d.flag(plat::DCB_fParity));
    EXPECT_EQ(d.Flags & 0x1310, 0u);
    EXPECT_EQ(d.Flags & 0x202C, 0x202Cu);
    ApplySelection({0, 1, 2, 2, 0}, d); // None parity, Xon/Xoff
    EXPECT_FALSE(d.flag(plat::DCB_fParity));
    EXPECT_EQ(d.Flags & 0x202C, 0u);
    EXPECT_EQ(d.Flags & 0x1310, 0x1310u);
    // Selections out of range leave their fields alone.
    const plat::DCB before = d;
    ApplySelection({-1, 9, -1, 3, -1}, d);
    EXPECT_EQ(std::memcmp(&d, &before, sizeof d), 0);
}

TEST(PortSettingsDialogGui, ShowsTheSettingsAndWritesTheChoicesOnOk)
{
    App();
    plat::ScopedLanguage english(plat::LANG_ENGLISH_US);
    plat::DCB dcb = Dcb(115200, 8, 0, 2, plat::DCB_fBinary | plat::DCB_fOutxCtsFlow);
    bool checked = false;
    plat::qt::ScopedDialogRunner runner([&](QDialog& d) {
        checked = true;
        EXPECT_EQ(d.windowTitle(), QStringLiteral("COM1 Property"));
        auto* tabs = d.findChild<QTabWidget*>();
        EXPECT_TRUE(tabs && tabs->count() == 1 && tabs->tabText(0) == QStringLiteral("Port Settings"));
        EXPECT_EQ(Items(List(d, "baudRate")), (QStringList{"9600", "19200", "38400", "57600"}));
        EXPECT_EQ(Items(List(d, "dataBits")), (QStringList{"7", "8"}));
        EXPECT_EQ(Items(List(d, "parity")), (QStringList{"Even", "Odd", "None"}));
        EXPECT_EQ(Items(List(d, "stopBits")), (QStringList{"1", "1.5", "2"}));
        EXPECT_EQ(Items(List(d, "flowControl")), (QStringList{"Xon/Xoff", "Hardware", "None"}));
        QStringList labels;
        for (auto* l : d.findChildren<QLabel*>())
            labels << l->text();
        EXPECT_TRUE(labels.contains(QStringLiteral("&Bit per second:")));
        EXPECT_TRUE(labels.contains(QStringLiteral("&Flow control:")));
        auto* box = d.findChild<QDialogButtonBox*>();
        EXPECT_TRUE(box && box->button(QDialogButtonBox::Ok) && box->button(QDialogButtonBox::Cancel));
        EXPECT_TRUE(box && !box->button(QDialogButtonBox::Apply));
        // What the settings show: an unknown rate as 9600, CTS flow as Hardware.
        EXPECT_EQ(List(d, "baudRate")->currentText(), QStringLiteral("9600"));
        EXPECT_EQ(List(d, "flowControl")->currentText(), QStringLiteral("Hardware"));
        EXPECT_EQ(List(d, "stopBits")->currentText(), QStringLiteral("2"));
        List(d, "parity")->setCurrentIndex(1);      // Odd
        List(d, "flowControl")->setCurrentIndex(2); // None
        List(d, "dataBits")->setCurrentIndex(0);    // 7
        box->button(QDialogButtonBox::Ok)->click();
        return d.result();
    });
    EXPECT_EQ(ZRComm_CommConfigDialog("COM1", nullptr, &dcb), 1);
    EXPECT_TRUE(checked);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_OK);
    EXPECT_EQ(dcb.BaudRate, 9600u); // saved as shown
    EXPECT_EQ(dcb.ByteSize, 7);
    EXPECT_EQ(dcb.Parity, plat::ODDPARITY);
    EXPECT_TRUE(dcb.flag(plat::DCB_fParity));
    EXPECT_EQ(dcb.Flags & 0x232C, 0u);
    EXPECT_EQ(dcb.Flags & 0x1010, 0x1010u);
    EXPECT_EQ(runner.dialogs(), (std::vector<QString>{QStringLiteral("PortSettingsSheet")}));
}

TEST(PortSettingsDialogGui, CancelLeavesTheSettingsAlone)
{
    App();
    plat::DCB dcb = Dcb(19200, 7, plat::EVENPARITY, plat::ONESTOPBIT, 0x1311);
    const plat::DCB before = dcb;
    plat::qt::ScopedDialogRunner runner([](QDialog& d) {
        List(d, "baudRate")->setCurrentIndex(3);
        List(d, "flowControl")->setCurrentIndex(1);
        d.reject();
        return d.result();
    });
    ZRComm_GetCommandState(0); // stores something else first
    EXPECT_EQ(ZRComm_CommConfigDialog("/dev/ttyUSB0", nullptr, &dcb), 0);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_OK);
    EXPECT_EQ(std::memcmp(&dcb, &before, sizeof dcb), 0);
}

TEST(PortSettingsDialogGui, JapaneseTexts)
{
    App();
    plat::ScopedLanguage japanese(plat::LANG_JAPANESE);
    plat::DCB dcb = Dcb(9600, 8, 0, 2, 0x202D);
    plat::qt::ScopedDialogRunner runner([](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QString::fromUtf8("COM3 のプロパティ"));
        auto* tabs = d.findChild<QTabWidget*>();
        EXPECT_EQ(tabs->tabText(0), QString::fromUtf8("ポートの設定"));
        EXPECT_EQ(Items(List(d, "parity")),
                  (QStringList{QString::fromUtf8("偶数"), QString::fromUtf8("奇数"), QString::fromUtf8("なし")}));
        EXPECT_EQ(List(d, "flowControl")->currentText(), QString::fromUtf8("ハードウェア"));
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(ZRComm_CommConfigDialog("COM3", nullptr, &dcb), 0);
    EXPECT_EQ(PortSettingsText(1, plat::LANG_ENGLISH_US), QStringLiteral(" Property"));
    EXPECT_TRUE(PortSettingsText(999, plat::LANG_JAPANESE).isEmpty());
}

TEST(PortSettingsDialogGui, AskedFromAnotherThreadItRunsInTheGuiThread)
{
    QApplication& app = App();
    plat::qt::QtMessageBoxService readies; // the hand-over to the GUI thread, as a program has it
    plat::DCB dcb = Dcb(9600, 8, 0, 2, 0);
    std::atomic<bool> inGuiThread{false};
    plat::qt::ScopedDialogRunner runner([&](QDialog& d) {
        inGuiThread = QThread::currentThread() == app.thread();
        List(d, "baudRate")->setCurrentIndex(2);
        d.accept();
        return d.result();
    });
    std::atomic<int> result{-1};
    std::thread caller([&] { result = ZRComm_CommConfigDialog("COM2", nullptr, &dcb); });
    while (result == -1)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    caller.join();
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(inGuiThread);
    EXPECT_EQ(dcb.BaudRate, 38400u);
}

TEST(PortSettingsDialogGui, UserChoicesMarkThePageModified)
{
    App();
    PortSettingsPage page(plat::LANG_ENGLISH_US);
    for (int i = 0; i < kListCount; ++i)
        EXPECT_EQ(page.list(static_cast<PortList>(i))->currentIndex(), -1);
    page.showSettings(Dcb(57600, 8, 0, 0, 0));
    EXPECT_FALSE(page.isModified());
    EXPECT_EQ(page.selection(), (PortSelection{3, 1, 2, 0, 2}));
    emit page.list(kParity)->activated(0);
    EXPECT_TRUE(page.isModified());
}
