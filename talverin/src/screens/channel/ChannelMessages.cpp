#include "screens/channel/ChannelMessages.h"

#include "screens/channel/ChannelRows.h"
#include "screens/channel/ChannelText.h"

#include <QCoreApplication>

namespace talverin::channel_messages {

namespace {

// The screen's texts share its translation context.
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(CViewChannel)
};

} // namespace

QString ColumnTitle(int column)
{
    switch (column) {
    case kColumnNumber: return Tr::tr("Lines");
    case kColumnCommand: return Tr::tr("Command");
    case kColumnData: return Tr::tr("Data");
    case kColumnComment: return Tr::tr("Comment");
    default: return QString();
    }
}

QString RemainsText(int remaining, bool unread)
{
    return Tr::tr(" Remains : ") + (unread ? QStringLiteral("----") : QString::number(remaining));
}

QString WritingChannelText(int channel, int written, int lines)
{
    return Tr::tr("Writing channel %1: %2 of %3 lines").arg(channel).arg(written).arg(lines);
}

QString FailureSuffix(int kind)
{
    switch (kind) {
    case kKindRead: return Tr::tr(" (Read channel setting)");
    case kKindWrite: return Tr::tr(" (Channel setting)");
    case kKindClear: return Tr::tr(" (Clear channel setting)");
    case kKindInsert: return Tr::tr(" (Insert channel)");
    case kKindDelete: return Tr::tr(" (Delete channel)");
    default: return QString();
    }
}

QString InsertQuestion(bool channel255HasLines)
{
    QString text = Tr::tr("Will insert channel.");
    if (channel255HasLines)
        text += Tr::tr("\nBy inserting channel, the contents of channel 255 will be lost. \n");
    return text + Tr::tr("OK?");
}

QString InsertTitle() { return Tr::tr("Insert channel"); }
QString DeleteQuestion() { return Tr::tr("Are you sure you want to delete a channel ?"); }
QString DeleteTitle() { return Tr::tr("Delete channel"); }
QString DeleteAllQuestion() { return Tr::tr("Are you sure you want to delete all channels ?"); }
QString DeleteAllTitle() { return Tr::tr("Delete all channels"); }

QString RejectedLinesText()
{
    return Tr::tr("Invalid command(s) is found.\nResume edit without moving channel?\n"
              "The valid command(s) is already updated in driver unit.");
}
QString RejectedLinesTitle() { return Tr::tr("Command setting error"); }

QString UnwrittenText(int channel, const QString& reply, bool question)
{
    QString text = Tr::tr("Channel %1 was not written to the driver unit.\nReply of the driver unit: %2\n"
                          "The program stays in this document, marked as not written.")
                       .arg(QString::number(channel), reply);
    if (question)
        text += Tr::tr("\nResume edit without moving channel?");
    return text;
}

QString HeaderLineText(int row, int channel)
{
    return Tr::tr("Line %1 of channel %2 reads as a channel header (\"CH\" and a number) and cannot be stored.\n"
                  "Change the line.")
        .arg(row)
        .arg(channel);
}

QString NotPastedText(int rows)
{
    return Tr::tr("%1 row(s) were not pasted: all channel programs together may hold at most 1024 lines.").arg(rows);
}

QString ReadUnderEditText(bool listModified)
{
    QString text = Tr::tr("Information obtained for channel under edit.\nView will refresh.");
    if (listModified)
        text += Tr::tr("\nCurrent information under edit will be lost.");
    return text;
}
QString ReadUnderEditTitle() { return Tr::tr("Read channel information"); }
QString OverLimitText() { return Tr::tr("Number of lines exceeded the limit.\nMust delete some lines."); }
QString InformationTitle() { return Tr::tr("Channel information"); }
QString ChannelNumberText() { return Tr::tr("Specify channel number between 0 and 255"); }
QString ChannelNumberTitle() { return Tr::tr("Channel number error"); }

QString DropCountText() { return Tr::tr("You can drop one text format (*.txt) file only."); }
QString DropCountTitle() { return Tr::tr("File number error"); }
QString DropNameText() { return Tr::tr("Cannot get file name"); }
QString DropNameTitle() { return Tr::tr("File name error"); }
QString DropFormatText() { return Tr::tr("File format mismatch.\nYou can drop text format (*.txt) file only."); }
QString DropFormatTitle() { return Tr::tr("File format error"); }
QString DropOpenText()
{
    return Tr::tr("Cannot open file.\nSpecified file does not exist, or the file is used by another application.");
}
QString DropOpenTitle() { return Tr::tr("Cannot open file"); }
QString DropReadText() { return Tr::tr("Error during reading file.\nFile contents may not be read completely."); }
QString DropReadTitle() { return Tr::tr("Cannot read file"); }

} // namespace talverin::channel_messages
