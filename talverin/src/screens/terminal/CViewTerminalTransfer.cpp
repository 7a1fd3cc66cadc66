// The terminal screen's transfers: a dropped text file sent line by line, each line after the
// driver's answer to the one before, and a parameter row dragged from the parameter editor.
#include "screens/terminal/CViewTerminal.h"

#include "common/AppMessageBox.h"

#include <model/CommandSupport.h>
#include <platform/clock.h>
#include <platform/language.h>
#include <platform/message_box.h>
#include <platform/qt/keyboard_hook.h>
#include <platform/qt/window_bridge.h>
#include <zrcomm/zrcomm_api.h>

#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>

namespace talverin {

namespace {

bool EscapeHeld()
{
    return plat::qt::GetAsyncKeyState(plat::qt::VK_ESCAPE) < 0;
}

} // namespace

void CViewTerminal::OnDropFiles(const QList<QUrl>& urls)
{
    if (urls.isEmpty())
        return;
    const QString path = urls.front().toLocalFile();
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot < 0 || path.mid(dot).compare(QStringLiteral(".txt"), Qt::CaseInsensitive) != 0) {
        // One English text, two Japanese ones: for a name without an extension and for another one.
        messageBox(dot < 0 ? tr("File format mismatch.\nYou can drop text format (*.txt) file only.", "no extension")
                           : tr("File format mismatch.\nYou can drop text format (*.txt) file only.", "other extension"),
                   tr("File drop error"), plat::MB_ICONWARNING);
        return;
    }
    // A drop while a file is being sent ends that transfer first.
    closeFile();
    if (!m_file.open(QFile::encodeName(path).toStdString())) {
        messageBox(WithLastReason(tr("Failed to open file.\nThe specified file may not exist, or is read-only by "
                                     "other applicaton.")),
                   tr("Cannot open file"), plat::MB_ICONWARNING);
        return;
    }
    showFileStep(m_file.first(EscapeHeld()));
}

void CViewTerminal::showFileStep(const TerminalFileSender::Step& step)
{
    m_link.Show(step.show);
    if (step.send)
        sendFileLine(*step.send);
}

void CViewTerminal::sendFileLine(const std::string& text)
{
    const CommResult result = m_link.SendText(text);
    plat::Sleep(100);
    if (result == COMM_OK)
        return;
    std::string line = tr("Talverin: Error occurred.").toStdString() + "\r\n";
    const std::string details = model::GetCommErrorText(result, plat::GetLanguage());
    if (!details.empty())
        line += tr("Error details: %1").arg(QString::fromStdString(details)).toStdString() + "\r\n:";
    m_link.Show(line);
    closeFile();
}

void CViewTerminal::closeFile()
{
    m_file.close();
}

// ---- Dragged parameter rows ---------------------------------------------------------------------

bool CViewTerminal::offersDrag(const QMimeData* data) const
{
    if (!data)
        return false;
    if (data->hasUrls())
        return true; // checked when dropped
    return data->hasText() && ParseDraggedRow(data->text().toStdString(), false).offer;
}

void CViewTerminal::dragEnterEvent(QDragEnterEvent* event)
{
    if (offersDrag(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void CViewTerminal::dragMoveEvent(QDragMoveEvent* event)
{
    const QMimeData* data = event->mimeData();
    // The field the drop would send depends on Shift, which may change while dragging.
    const bool offer = data && (data->hasUrls()
                                || (data->hasText()
                                    && ParseDraggedRow(data->text().toStdString(),
                                                       event->modifiers() & Qt::ShiftModifier).offer));
    if (offer) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void CViewTerminal::dropEvent(QDropEvent* event)
{
    const QMimeData* data = event->mimeData();
    if (!data || (!data->hasUrls() && !data->hasText())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (data->hasUrls())
        OnDropFiles(data->urls());
    else
        dropRow(data->text(), event->modifiers() & Qt::ShiftModifier);
}

void CViewTerminal::dropRow(const QString& text, bool shift)
{
    const DraggedRow row = ParseDraggedRow(text.toStdString(), shift);
    m_link.Show(row.comment);
    // The name alone: the user completes the command.
    if (!row.command.empty())
        m_link.SendText(row.command);
    if (QWidget* frame = plat::qt::WidgetFromHandle(model::GetMainWindow()))
        frame->activateWindow();
}

} // namespace talverin
