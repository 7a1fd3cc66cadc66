#include "screens/channel/CViewChannel.h"

#include "app/CTalverinApp.h"
#include "app/CTalverinDoc.h"
#include "common/CommandIds.h"
#include "frame/CMainFrame.h"

#include <QCoreApplication>

namespace talverin {

void RegisterChannelScreen(CMainFrame& frame, CTalverinApp& app)
{
    CMainFrame* const f = &frame;
    CTalverinApp* const program = &app;
    // The screen lives in the frame's stack: the frame and the program outlive it.
    frame.Screens().Register({VIEW_CHANNEL, QCoreApplication::translate("CTalverinApp", "Edit channel programs"),
                              ID_VIEW_CHANNEL, 0, [f, program](QWidget* parent) -> CViewBase* {
                            ChannelViewHost host;
                            host.isDocumentModified = [program] {
                                const CTalverinDoc* doc = program->GetDocument();
                                return doc && doc->IsModified();
                            };
                            host.setDocumentModified = [program](bool modified) {
                                if (CTalverinDoc* doc = program->GetDocument())
                                    doc->SetModifiedFlag(modified);
                            };
                            host.showHelp = [f](const QString& page, const QString& anchor) { f->ShowHelp(page, anchor); };
                            return new CViewChannel(program->m_dataFile, std::move(host), parent);
                        }});
    // Its screen command 32778 (Ctrl+4) is the frame's.
}

} // namespace talverin
