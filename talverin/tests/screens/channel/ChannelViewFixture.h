// The channel editor on the sample unit's store, with a main window, scripted boxes and recorded
// beeps; the screen is current as the frame would make it.
#pragma once

#include "common/AppMessages.h"
#include "common/WidgetHelpers.h"
#include "screens/channel/CViewChannel.h"
#include "screens/channel/ChannelListView.h"

#include <model/CommandSupport.h>
#include <model/DataFile.h>
#include <platform/message_box.h>
#include <platform/qt/keyboard_hook.h>
#include <platform/qt/pump.h>
#include <platform/qt/window_bridge.h>

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

struct ChannelViewFixture : ::testing::Test {
    void SetUp() override
    {
        ASSERT_EQ(store.LoadDefinition(std::string(TALVERIN_SAMPLE_DATA_DIR) + "/unit/kvx100.ini"), 1);
        mainBridge = std::make_unique<plat::qt::WindowBridge>(&main, [this](plat::HWND, plat::UINT m, plat::WPARAM w, plat::LPARAM l) {
            mainMessages.push_back({m, w});
            if (m == talverin::WM_SET_STATUS_TEXT) {
                const auto* record = reinterpret_cast<const talverin::StatusTextRecord*>(l);
                statusTexts.push_back(record->text ? record->text : "(idle)");
            }
            return plat::LRESULT{0};
        });
        model::SetMainWindow(mainBridge->hwnd());
        talverin::ChannelViewHost host;
        host.isDocumentModified = [this] { return documentModified; };
        host.setDocumentModified = [this](bool m) { documentModified = m; };
        host.showHelp = [this](const QString& page, const QString& anchor) { help = page + "#" + anchor; };
        view = new talverin::CViewChannel(store, host);
        main.setCentralWidget(view);
        main.resize(700, 500);
        main.show();
        QApplication::setActiveWindow(&main);
    }
    void TearDown() override
    {
        delete view;
        model::SetMainWindow(nullptr);
    }
    // Lines as the store keeps them (command TAB data TAB).
    void setChannel(int channel, std::vector<std::string> lines, int writeState = 0)
    {
        model::CChannelProgram* p = store.GetChannelProgram(channel);
        p->Clear();
        for (auto& l : lines)
            p->AddLine(l);
        p->m_lineCount = static_cast<int>(lines.size());
        p->m_currentLine = writeState;
    }
    void readAll() // every channel known and empty
    {
        for (int ch = 0; ch < 256; ++ch)
            setChannel(ch, {});
    }
    // A key as the keyboard hook offers it to the screen (the focus widget as target).
    bool key(plat::UINT vk, Qt::KeyboardModifiers modifiers = {})
    {
        plat::qt::KeyInput k;
        k.vk = vk;
        k.modifiers = modifiers;
        k.target = QApplication::focusWidget();
        return view->HandleHookKey(k);
    }
    std::string rows() const
    {
        std::string out;
        for (const auto& r : view->Core().rows().rows())
            out += r.command + "/" + r.data + (r.rejected ? "!" : "") + " ";
        return out;
    }

    model::CDataFile store;
    QMainWindow main;
    std::unique_ptr<plat::qt::WindowBridge> mainBridge;
    std::vector<std::pair<plat::UINT, plat::WPARAM>> mainMessages;
    std::vector<std::string> statusTexts;
    talverin::CViewChannel* view = nullptr;
    plat::ScriptedMessageBoxes boxes;
    plat::ScopedMessageBoxService scopedBoxes{boxes};
    plat::ScopedBeepRecorder beeps;
    bool documentModified = false;
    QString help;
};
