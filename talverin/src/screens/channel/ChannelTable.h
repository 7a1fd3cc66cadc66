// The channel editor's changes to the store's table of 256 programs that mirror the driver's
// channel commands: deleting a channel ("CD"), inserting an empty one ("CI") and clearing them
// all ("CC/AL"). Made without marking after the driver did the same; with marking when it did not,
// so that every program whose number changed is written to the driver later (write state 1).
// Take the data mutex around each call.
#pragma once

#include <model/DataFile.h>

namespace talverin {

// Channel `current` goes; those above it move down by one and an empty program (read, in step)
// becomes channel 255. With marking, the known programs from `current` upward get write state 1
// (a channel never read keeps its state: nothing of it is known that could be written).
void DeleteChannelLocal(model::CDataFile::ChannelArray& channels, int current, bool marking);

// An empty program goes in at `current`, the programs from there move up by one and the one
// pushed past 255 is freed. The new program is unread (the driver made it; it is read from there)
// or, with marking, known empty and to be written, like the other known programs from `current`
// upward.
void InsertChannelLocal(model::CDataFile::ChannelArray& channels, int current, bool marking);

// Every channel empty and known (read state 0); write state 1 with marking, else 0.
void ClearAllChannelsLocal(model::CDataFile::ChannelArray& channels, bool marking);

// The channels whose last write did not reach the driver wholly (write state -1), as "0, 3, 17";
// empty when none.
std::string UnwrittenChannelList(const model::CDataFile::ChannelArray* channels);

} // namespace talverin
