// The port items of Setting > Communication setting: ids, check and Connect caption from the
// settings file, the port command's settings dialog, the update rule, the port chooser and the
// write-back when the frame goes.
#include "FrameFixture.h"

#include "common/CommandIds.h"
#include "frame/PortMenu.h"
#include "transfer/CPortSelectDlg.h"

#include <QComboBox>
#include <QMenu>
#include <QPushButton>

using namespace talverin;

namespace {

using ItemList = std::vector<std::pair<plat::UINT, QString>>;

class PortMenuGui : public apptest::FrameFixture {
protected:
    ItemList Items()
    {
        ItemList items;
        for (QAction* a : frame().Ports().Menu()->actions())
            items.emplace_back(plat::qt::CommandTable::commandOf(a), a->text());
        return items;
    }
    QString ConnectCaption() { return frame().SettingMenu()->actions().front()->text(); }
    // Answers the port settings dialog of COM40: picks the rate, OK or Cancel.
    void AnswerPortDialog(const QString& rate, bool ok)
    {
        AnswerDialog([rate, ok](QDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("COM40 Property"));
            auto* baud = dialog.findChild<QComboBox*>(QStringLiteral("baudRate"));
            baud->setCurrentIndex(baud->findText(rate));
            ok ? dialog.accept() : dialog.reject();
            return dialog.result();
        });
    }
};

} // namespace

TEST_F(PortMenuGui, ItemsCheckAndCaptionFromTheSettings)
{
    struct Case {
        const char* connect;
        ItemList items;
        plat::UINT checked;
        const char* connectName;
    };
    const Case cases[] = {{"com40", {{15002, "COM3"}, {15039, "COM40"}}, 15039, "COM40"},
                          // No match: the first port's own item, whatever its number.
                          {"COM9", {{15002, "COM3"}, {15039, "COM40"}}, 15002, "COM3"}};
    m_devices = {"/dev/ttyS2"};
    SetSetting("ExtPort", "COM40", "/dev/pts/77");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.connect);
        if (m_app)
            app().ExitInstance(); // it writes Connect
        SetSetting("Port", "Connect", c.connect);
        ASSERT_TRUE(Start());
        EXPECT_EQ(Items(), c.items);
        EXPECT_TRUE(frame().Ports().CheckedId() == c.checked && frame().Ports().Item(c.checked)->isChecked());
        EXPECT_EQ(store().m_connectPort, c.connectName);
        EXPECT_EQ(ConnectCaption(), QStringLiteral("Connect(%1)").arg(c.connectName));
    }
    // No ports at all: an empty submenu, nothing checked, Connect names COM1.
    m_devices.clear();
    ASSERT_TRUE(plat::profile::removeSection(Settings(), "ExtPort"));
    ASSERT_TRUE(Restart());
    EXPECT_TRUE(Items().empty() && frame().Ports().CheckedId() == 0u);
    EXPECT_EQ(ConnectCaption(), QStringLiteral("Connect(COM1)"));
}

TEST_F(PortMenuGui, PortCommandDialogCheckAndWriteBack)
{
    m_devices = {"/dev/ttyS0"};
    SetSetting("ExtPort", "COM40", "/dev/pts/77");
    SetSetting("Port", "Connect", "COM1");
    ASSERT_TRUE(Start());
    plat::qt::CommandTable& commands = frame().Commands();

    AnswerPortDialog(QStringLiteral("38400"), false);
    EXPECT_TRUE(commands.execute(15039));
    EXPECT_EQ(frame().Ports().CheckedId(), 15000u); // Cancel keeps the check
    const PortRecord& com40 = *frame().Ports().List().Find("COM40");
    EXPECT_TRUE(com40.Dcb().BaudRate == 9600u && com40.m_configured == 1);

    AnswerPortDialog(QStringLiteral("19200"), true);
    EXPECT_TRUE(commands.execute(15039));
    EXPECT_TRUE(frame().Ports().CheckedId() == 15039u && !frame().Ports().Item(15000)->isChecked());
    EXPECT_EQ(ConnectCaption(), QStringLiteral("Connect(COM40)"));

    // Disabled while the upload/download dialog is visible.
    QWidget transfer;
    frame().SetTransferDialog(&transfer);
    EXPECT_TRUE(commands.isEnabled(15039));
    transfer.show();
    EXPECT_FALSE(commands.execute(15039));
    frame().SetTransferDialog(nullptr);

    // The frame's end writes every port and Connect; the next start reads 19200 back.
    app().ExitInstance();
    EXPECT_EQ(plat::profile::getString(Settings(), "Port", "COM40"), "192,n,8,2,p");
    EXPECT_EQ(plat::profile::getString(Settings(), "Port", "Connect"), "COM40");
    EXPECT_EQ(plat::profile::getString(Settings(), "Port", "COM1"), "96,n,8,1");
    ASSERT_TRUE(Restart());
    EXPECT_EQ(frame().Ports().List().Find("COM40")->Dcb().BaudRate, 19200u);
}

TEST_F(PortMenuGui, PortChooserListsSetsAndReturnsTheRecord)
{
    SetSetting("ExtPort", "COM40", "/dev/pts/77");
    SetSetting("ExtPort", "COM7", "/dev/pts/78");
    ASSERT_TRUE(Start());
    std::vector<std::string> configured;
    CPortSelectDlg dialog(frame().Ports().List(), "com40", [&](PortRecord& record, plat::HWND parent) {
        EXPECT_NE(parent, nullptr);
        configured.push_back(record.m_name);
        return true;
    });
    ASSERT_EQ(dialog.Ports()->count(), 2);
    EXPECT_EQ(dialog.Ports()->currentText(), QStringLiteral("COM40")) << "the name given, without regard to case";
    dialog.Ports()->setCurrentIndex(0);
    dialog.SetButton()->click();
    EXPECT_EQ(configured, std::vector<std::string>{"COM7"});
    dialog.accept();
    EXPECT_TRUE(dialog.result() == QDialog::Accepted && dialog.m_record == frame().Ports().List().Find("COM7"));
    EXPECT_EQ(dialog.m_portName, "COM7");
}
