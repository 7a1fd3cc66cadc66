// The channel editor's clipboard (rows and whole channels), dropped text files and parameters
// dragged from the parameter editor.
#include "screens/channel/CViewChannel.h"

#include "common/AppMessageBox.h"
#include "common/ClipboardHelpers.h"
#include "screens/channel/ChannelListView.h"
#include "screens/channel/ChannelMessages.h"
#include "screens/channel/ChannelText.h"

#include <model/ZRParamData.h>
#include <platform/message_box.h>
#include <platform/text.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

namespace talverin {

namespace {

// Lines of a file, read a piece at a time so that a huge file is read only as far as the lines
// left allow. A read error ends the lines; failed() tells.
class FileLines {
public:
    explicit FileLines(QFile& file) : m_file(file) {}

    bool next(std::string& line)
    {
        while (!m_reader.next(line)) {
            if (m_ended) {
                if (auto rest = m_reader.finish()) {
                    line = std::move(*rest);
                    return true;
                }
                return false;
            }
            char buffer[4096];
            const qint64 n = m_file.read(buffer, sizeof buffer);
            if (n < 0)
                m_failed = true;
            if (n <= 0)
                m_ended = true;
            else
                m_reader.feed(std::string_view(buffer, static_cast<std::size_t>(n)));
        }
        return true;
    }
    bool failed() const { return m_failed; }

private:
    QFile& m_file;
    plat::LineReader m_reader;
    bool m_ended = false;
    bool m_failed = false;
};

} // namespace

void CViewChannel::onCopy()
{
    if (m_editorOpen) {
        m_editor->copy();
        return;
    }
    const std::string text = m_core.CopyText(selectedRows());
    if (!text.empty())
        CopyTextToClipboard(text.c_str());
}

void CViewChannel::onCut()
{
    if (m_editorOpen) {
        m_editor->cut();
        return;
    }
    onCopy();
    onDeleteLine();
}

void CViewChannel::onCopyChannel()
{
    CopyTextToClipboard(m_core.ChannelCopyText(CurrentChannel()).c_str());
}

void CViewChannel::onPaste()
{
    if (m_editorOpen) {
        m_editor->paste();
        return;
    }
    const PasteText paste = ParsePasteText(GetClipboardText());
    const ChannelListCore::AddResult result = m_core.Paste(paste);
    if (result.headerRow >= 0) {
        refuseHeaderLine(result.headerRow);
        return;
    }
    if (result.added > 0 || paste.replace) {
        showRemaining();
        if (m_core.rows().valid(m_core.currentRow()))
            selectOnlyRow(m_core.currentRow());
        m_list->viewport()->update();
    }
    // A whole channel is pasted once.
    if (paste.replace && result.added > 0)
        CopyTextToClipboard(nullptr);
    if (result.left > 0)
        messageBox(channel_messages::NotPastedText(result.left), channel_messages::InformationTitle(),
                   plat::MB_ICONWARNING);
}

void CViewChannel::afterRowsAdded(bool editorWasOpen)
{
    showRemaining();
    if (editorWasOpen)
        OpenCellEditor(m_core.currentRow(), m_core.editColumn());
    else if (m_core.rows().valid(m_core.currentRow()))
        selectOnlyRow(m_core.currentRow());
}

void CViewChannel::OnDropFiles(const QList<QUrl>& urls)
{
    const auto warn = [this](const QString& text, const QString& title) {
        messageBox(text, title, plat::MB_ICONWARNING);
    };
    if (urls.size() != 1) {
        warn(channel_messages::DropCountText(), channel_messages::DropCountTitle());
        return;
    }
    const QString path = urls.front().isLocalFile() ? urls.front().toLocalFile() : QString();
    if (path.isEmpty()) {
        warn(channel_messages::DropNameText(), channel_messages::DropNameTitle());
        return;
    }
    if (!IsImportFileName(path.toStdString())) {
        warn(channel_messages::DropFormatText(), channel_messages::DropFormatTitle());
        return;
    }
    // Nobody else's writes can be kept out here: the file is read as it is while it is read.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        warn(WithReason(channel_messages::DropOpenText(), file.errorString()),
             channel_messages::DropOpenTitle());
        return;
    }
    const bool wasOpen = m_editorOpen;
    OpenCellEditor(-1, 0);
    FileLines lines(file);
    std::string line;
    const ChannelListCore::AddResult result = m_core.Import([&](ChannelRow& row) {
        while (lines.next(line)) {
            if (SplitImportLine(line, row))
                return true;
        }
        return false;
    });
    afterRowsAdded(wasOpen);
    if (result.headerRow >= 0)
        refuseHeaderLine(result.headerRow);
    else if (lines.failed())
        warn(WithReason(channel_messages::DropReadText(), file.errorString()),
             channel_messages::DropReadTitle());
}

bool CViewChannel::acceptsParameterDrag(const QMimeData* data, const QPoint& listPos) const
{
    if (!data)
        return false;
    if (data->hasUrls())
        return true; // files: their checks come with the drop
    return m_core.remaining() > 0 && m_list->rect().contains(listPos) && data->hasText() &&
           IsParameterDragText(data->text().toStdString());
}

void CViewChannel::dropParameter(const QMimeData* data)
{
    if (data->hasUrls()) {
        OnDropFiles(data->urls());
        return;
    }
    model::CZRParamData record(data->text().toStdString());
    const bool wasOpen = m_editorOpen;
    OpenCellEditor(-1, 0);
    const auto result = m_core.InsertAfterUsed(ChannelRow{record.m_name, record.GetValueText(), record.m_label, 0});
    afterRowsAdded(wasOpen);
    if (result.headerRow >= 0)
        refuseHeaderLine(result.headerRow);
}

void CViewChannel::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData() && event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void CViewChannel::dropEvent(QDropEvent* event)
{
    if (!event->mimeData() || !event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    OnDropFiles(event->mimeData()->urls());
}

} // namespace talverin
