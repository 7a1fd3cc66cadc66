#include "talverin/ChannelMessages.h"

#include "talverin/ChannelRows.h"
#include "talverin/ChannelText.h"

#include <QCoreApplication>

namespace talverin::channel_messages {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("CViewChannel", text); }

} // namespace

QString ColumnTitle(int column)
{
    switch (column) {
    case kColumnNumber: return tr("Lines");
    case kColumnCommand: return tr("Command");
    case kColumnData: return tr("Data");
    case kColumnComment: return tr("Comment");
    default: return QString();
    }
}

QString RemainsText(int remaining, bool unread)
{
    return tr(" Remains : ") + (unread ? QStringLiteral("----") : QString::number(remaining));
}

QString FailureSuffix(int kind)
{
    switch (kind) {
    case kKindRead: return tr(" (Read channel setting)");
    case kKindWrite: return tr(" (Channel setting)");
    case kKindClear: return tr(" (Clear channel setting)");
    case kKindInsert: return tr(" (Insert channel)");
    case kKindDelete: return tr(" (Delete channel)");
    default: return QString();
    }
}

QString InsertQuestion(bool channel255HasLines)
{
    QString text = tr("Will insert channel.");
    if (channel255HasLines)
        text += tr("\nBy inserting channel, the contents of channel 255 will be lost. \n");
    return text + tr("OK?");
}

QString InsertTitle() { return tr("Insert channel"); }
QString DeleteQuestion() { return tr("Are you sure you want to delete a channel ?"); }
QString DeleteTitle() { return tr("Delete channel"); }
QString DeleteAllQuestion() { return tr("Are you sure you want to delete all channels ?"); }
QString DeleteAllTitle() { return tr("Delete all channels"); }

QString RejectedLinesText()
{
    return tr("Invalid command(s) is found.\nResume edit without moving channel?\n"
              "The valid command(s) is already updated in driver unit.");
}
QString RejectedLinesTitle() { return tr("Command setting error"); }

QString ReadUnderEditText(bool listModified)
{
    QString text = tr("Information obtained for channel under edit.\nView will refresh.");
    if (listModified)
        text += tr("\nCurrent information under edit will be lost.");
    return text;
}
QString ReadUnderEditTitle() { return tr("Read channel information"); }
QString OverLimitText() { return tr("Number of lines exceeded the limit.\nMust delete some lines."); }
QString OverLimitTitle() { return tr("Channel information"); }
QString ChannelNumberText() { return tr("Specify channel number between 0 and 255"); }
QString ChannelNumberTitle() { return tr("Channel number error"); }

QString DropCountText() { return tr("You can drop one text format (*.txt) file only."); }
QString DropCountTitle() { return tr("File number error"); }
QString DropNameText() { return tr("Cannot get file name"); }
QString DropNameTitle() { return tr("File name error"); }
QString DropFormatText() { return tr("File format mismatch.\nYou can drop text format (*.txt) file only."); }
QString DropFormatTitle() { return tr("File format error"); }
QString DropOpenText()
{
    return tr("Cannot open file.\nSpecified file does not exist, or the file is used by another application.");
}
QString DropOpenTitle() { return tr("Cannot open file"); }
QString DropReadText() { return tr("Error during reading file.\nFile contents may not be read completely."); }
QString DropReadTitle() { return tr("Cannot read file"); }

} // namespace talverin::channel_messages
