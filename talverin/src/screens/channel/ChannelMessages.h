// The channel editor's user texts (English source texts; the Japanese ones come from the
// translation for language 1041). One place, so that the view, its traffic and its imports show
// the same words.
#pragma once

#include <QString>

namespace talverin::channel_messages {

// The list's column titles, by column.
QString ColumnTitle(int column);
// " Remains : <n>", or " Remains : ----" while a channel is unread.
QString RemainsText(int remaining, bool unread);
// The status bar's suffix naming the failed command's kind (empty for "CC/AL").
QString FailureSuffix(int kind);
// The status pane while a channel text goes to the driver.
QString WritingChannelText(int channel, int written, int lines);

// The insert question, with the warning when channel 255 holds lines.
QString InsertQuestion(bool channel255HasLines);
QString InsertTitle();
QString DeleteQuestion();
QString DeleteTitle();
QString DeleteAllQuestion();
QString DeleteAllTitle();
QString RejectedLinesText();
QString RejectedLinesTitle();
// A write that did not reach the driver (refused clear, no reply): the channel stays in the
// document, marked as not written; `question` adds whether to stay on it (a switch waits).
QString UnwrittenText(int channel, const QString& reply, bool question);
// A line that would read as a channel header is refused.
QString HeaderLineText(int row, int channel);
// Rows of a paste left out at the line limit.
QString NotPastedText(int rows);
// The read of the channel being edited came back; `listModified` adds that the edits are lost.
QString ReadUnderEditText(bool listModified);
QString ReadUnderEditTitle();
QString OverLimitText();
// "Channel information": the title of the over-limit, header-line and not-pasted boxes.
QString InformationTitle();
QString ChannelNumberText();
QString ChannelNumberTitle();

// Dropped files.
QString DropCountText();
QString DropCountTitle();
QString DropNameText();
QString DropNameTitle();
QString DropFormatText();
QString DropFormatTitle();
QString DropOpenText();
QString DropOpenTitle();
QString DropReadText();
QString DropReadTitle();

} // namespace talverin::channel_messages
