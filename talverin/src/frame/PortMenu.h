// The port items of Setting > "Communication setting" (radio items 15000-15255, "COMn" = 14999 + n)
// and the Connect item's caption "Connect(COMn)": built from the port list when the frame is made,
// the port command (the port settings dialog; OK makes the port the one Connect opens), its update
// rule (disabled while the upload/download dialog is visible, otherwise enabled only while not
// connected) and the settings' write-back when the frame goes.
#pragma once

#include "connection/PortList.h"

#include <platform/types.h>

#include <QCoreApplication>
#include <QString>

#include <functional>
#include <string>

class QAction;
class QMenu;

namespace plat::qt {
class CommandTable;
}

namespace model {
class CDataFile;
}

namespace talverin {

class PortMenu {
    Q_DECLARE_TR_FUNCTIONS(PortMenu)

public:
    // An item for a command in a menu, before `before` (the frame's AddCommand).
    using AddItem = std::function<QAction*(QMenu* menu, plat::UINT id, const QString& text, QAction* before)>;

    // commands: the frame's command table; usable: whether the items may be chosen now (the
    // frame's rule); owner: the settings dialog's parent. portMenu: the submenu the items go
    // into; connectItem: the Connect item (32845).
    PortMenu(plat::qt::CommandTable& commands, AddItem addItem, std::function<bool()> usable, plat::HWND owner,
             model::CDataFile& store, std::string settingsPath, QMenu* portMenu, QAction* connectItem);

    // The list and the items, from the system's serial devices and the settings file; the item of
    // the [Port] Connect name (else the first port's) is checked and becomes the Connect name.
    void Build();
    // 15000-15255: the settings dialog of the item's port; OK checks it.
    void OnPortCommand(plat::UINT id);
    // The settings dialog for a record over the parent window (its first use marks the record
    // configured). True when OK was pressed; a port the dialog refuses as invalid gets a box.
    bool ConfigurePort(PortRecord& record, plat::HWND parent);
    // The item of the name becomes the checked one, the data store's Connect name and the Connect
    // caption.
    void CheckPort(const std::string& name);
    // Writes every record's settings to [Port] and empties the list.
    bool WriteBack();

    PortList& List() { return m_list; }
    // The checked item (0 when none) and its caption.
    plat::UINT CheckedId() const { return m_checkedId; }
    QString CheckedName() const;
    QAction* Item(plat::UINT id) const;
    QMenu* Menu() const { return m_menu; }

private:
    void setConnectCaption(const std::string& name);

    plat::qt::CommandTable& m_commands;
    AddItem m_addItem;
    plat::HWND m_owner;
    model::CDataFile& m_store;
    std::string m_settingsPath;
    QMenu* m_menu;
    QAction* m_connectItem;
    PortList m_list;
    plat::UINT m_checkedId = 0;
};

} // namespace talverin
