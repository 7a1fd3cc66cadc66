#include "talverin/TerminalRegistration.h"

#include "talverin/CMainFrame.h"
#include "talverin/CTerminalDlg.h"
#include "talverin/CViewTerminal.h"
#include "talverin/CommandIds.h"
#include "talverin/OscilloIds.h"

#include <model/DataFile.h>

#include <QCoreApplication>
#include <QPointer>

namespace talverin {

CTerminalDlg* RegisterTerminal(CMainFrame& frame, model::CDataFile& store)
{
    CMainFrame* const f = &frame;
    const auto help = [f](const QString& page, const QString& anchor) { f->ShowHelp(page, anchor); };

    frame.RegisterView({VIEW_TERMINAL, QCoreApplication::translate("talverin::TerminalRegistration", "Terminal"),
                        [help](QWidget* parent) {
                            TerminalHost host;
                            host.showHelp = help;
                            return new CViewTerminal(std::move(host), parent);
                        }});
    // Clear and Save record belong to the screen alone: the frame's items run them while it is
    // current, under the screen's own rules.
    for (const plat::UINT id : {plat::UINT(CViewTerminal::ID_TERMINAL_CLEAR), plat::UINT(CViewTerminal::ID_SAVE_RECORD)}) {
        const auto current = [f] {
            return f->GetCurrentViewId() == VIEW_TERMINAL ? dynamic_cast<CViewTerminal*>(f->GetView(VIEW_TERMINAL)) : nullptr;
        };
        frame.Commands().add(id, [current, id] { if (CViewTerminal* screen = current()) screen->Commands().execute(id); },
                             [current, id](plat::qt::CommandUpdate& u) {
                                 CViewTerminal* screen = current();
                                 u.Enable(screen && screen->Commands().isEnabled(id));
                             });
    }
    frame.Commands().add(ID_VIEW_TERMINAL, [f] { f->SwitchView(VIEW_TERMINAL); },
                         [f](plat::qt::CommandUpdate& u) { u.SetRadio(f->GetCurrentViewId() == VIEW_TERMINAL); });

    TerminalHost host;
    host.showHelp = help;
    host.setLineClean = [&store](bool clean) { store.m_lineClean = clean ? 1 : 0; };
    // Its Cancel hid it: the menu item's check follows.
    host.windowHidden = [f] { f->UpdateBars(); };
    auto* window = new CTerminalDlg(std::move(host), &frame);
    QPointer<CTerminalDlg> guarded(window);
    QObject::connect(&frame, &CMainFrame::destroying, window, &QWidget::hide);
    // Its box is writable only while the driver is connected; the connection code says when.
    frame.SetTerminalWindow(window);
    window->SetTerminalReadOnly(!frame.IsConnected());

    frame.Commands().add(
        OscilloCommand::TerminalWindow,
        [guarded] {
            if (!guarded)
                return;
            if (guarded->isVisible()) {
                guarded->hide();
                return;
            }
            guarded->show();
            guarded->raise();
            guarded->activateWindow();
        },
        [f, guarded, &store](plat::qt::CommandUpdate& u) {
            u.Enable(guarded && (f->GetCurrentViewId() == VIEW_OSCILLO || store.m_debug == 1));
            u.SetCheck(guarded && guarded->isVisible());
        });
    return window;
}

} // namespace talverin
