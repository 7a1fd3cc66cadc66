#include "frame/PortMenu.h"

#include "common/AppMessageBox.h"
#include "connection/SerialDeviceEnumerator.h"

#include <model/DataFile.h>
#include <platform/profile.h>
#include <platform/qt/command_table.h>
#include <zrcomm/zrcomm_api.h>

#include <QAction>
#include <QMenu>

namespace talverin {

namespace {

constexpr plat::UINT ID_PORT_PLACEHOLDER = 10000;

std::string trimmed(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

} // namespace

PortMenu::PortMenu(plat::qt::CommandTable& commands, AddItem addItem, std::function<bool()> usable,
                   plat::HWND owner, model::CDataFile& store, std::string settingsPath, QMenu* portMenu,
                   QAction* connectItem)
    : m_commands(commands), m_addItem(std::move(addItem)), m_owner(owner), m_store(store),
      m_settingsPath(std::move(settingsPath)), m_menu(portMenu), m_connectItem(connectItem)
{
    m_commands.addRange(
        ID_PORT_FIRST, ID_PORT_LAST, [this](plat::UINT id) { OnPortCommand(id); },
        [this, usable = std::move(usable)](plat::qt::CommandUpdate& u) {
            u.Enable(usable());
            u.SetRadio(u.id() == m_checkedId);
        });
}

void PortMenu::Build()
{
    m_list.Build(EnumerateSerialDevices(), m_settingsPath, [](const std::string& name, plat::DCB& dcb) {
        return ZRComm_GetDefaultCommConfig(name.c_str(), &dcb) != 0;
    });
    std::string connect = plat::profile::getString(m_settingsPath, "Port", "Connect");
    if (connect.size() > 1023)
        connect.resize(1023);
    connect = trimmed(connect);

    // The items go before the placeholder, which then goes.
    QAction* placeholder = m_addItem(m_menu, ID_PORT_PLACEHOLDER, tr("A port does not exist."), nullptr);
    for (const auto& record : m_list.Records())
        m_addItem(m_menu, PortMenuId(record->m_name), QString::fromStdString(record->m_name), placeholder);
    delete placeholder;

    // The Connect name's item, else the first port's; "COM1" without ports.
    const PortRecord* chosen = m_list.ConnectRecord(connect);
    m_checkedId = 0;
    CheckPort(chosen ? chosen->m_name : std::string("COM1"));
}

void PortMenu::CheckPort(const std::string& name)
{
    m_checkedId = Item(PortMenuId(name)) ? PortMenuId(name) : 0;
    m_store.m_connectPort = name;
    setConnectCaption(name);
    m_commands.refresh(m_menu);
}

void PortMenu::setConnectCaption(const std::string& name)
{
    if (m_connectItem)
        m_connectItem->setText(tr("Connect") + QLatin1Char('(') + QString::fromStdString(name) + QLatin1Char(')'));
}

QAction* PortMenu::Item(plat::UINT id) const
{
    if (id < ID_PORT_FIRST || id > ID_PORT_LAST)
        return nullptr;
    for (QAction* action : m_menu->actions()) {
        if (plat::qt::CommandTable::commandOf(action) == id)
            return action;
    }
    return nullptr;
}

QString PortMenu::CheckedName() const
{
    const QAction* item = Item(m_checkedId);
    return item ? item->text() : QString();
}

void PortMenu::OnPortCommand(plat::UINT id)
{
    const QAction* item = Item(id);
    const std::string name = item ? item->text().toStdString() : "COM" + std::to_string(id - (ID_PORT_FIRST - 1));
    PortRecord& record = m_list.FindOrAdd(name);
    if (ConfigurePort(record, m_owner))
        CheckPort(record.m_name);
}

bool PortMenu::ConfigurePort(PortRecord& record, plat::HWND parent)
{
    // The system keeps no default configuration of its own here (the library's defaults are
    // 96,n,8,2,p already): the first use only marks the record.
    record.m_configured = 1;
    if (ZRComm_CommConfigDialog(record.m_name.c_str(), parent, &record.Dcb()))
        return true;
    if (ZRComm_GetLastError() == COMM_ERR_INVALID_ARG) {
        AppMessageBox(parent,
                      tr("Cannot set port \nSpecified port cannot be used.\nPort may be invalid.Please specity "
                         "another board or check the port."),
                      tr("Port set error"), plat::MB_ICONWARNING);
    }
    return false;
}

bool PortMenu::WriteBack()
{
    return m_list.WriteBack(m_settingsPath);
}

} // namespace talverin
