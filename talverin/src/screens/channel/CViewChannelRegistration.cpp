#include "screens/channel/CViewChannel.h"

#include "common/CommandIds.h"
#include "screens/ScreenHost.h"
#include "screens/ScreenRegistry.h"

#include <QCoreApplication>

namespace talverin {

void RegisterChannelScreen(ScreenHost& host)
{
    ScreenHost* const f = &host;
    // The screen lives in the frame's stack: the frame outlives it.
    host.Screens().Register({VIEW_CHANNEL, QCoreApplication::translate("CTalverinApp", "Edit channel programs"),
                             ID_VIEW_CHANNEL, 0, [f](QWidget* parent) -> CViewBase* {
                            ChannelViewHost channelHost;
                            channelHost.isDocumentModified = [f] { return f->IsDocumentModified(); };
                            channelHost.setDocumentModified = [f](bool modified) { f->SetDocumentModified(modified); };
                            channelHost.showHelp = [f](const QString& page, const QString& anchor) { f->ShowHelp(page, anchor); };
                            return new CViewChannel(f->Store(), std::move(channelHost), parent);
                        }});
    // Its screen command 32778 (Ctrl+4) is the frame's.
}

} // namespace talverin
