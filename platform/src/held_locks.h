// What the message layer needs to know of the named objects: whether a thread about to block in a
// cross-thread send holds a named mutex (a wait on one does not service sent messages, so the
// receiver taking the same mutex would wait for ever).
#pragma once

#include "platform/types.h"

namespace plat::detail {

// Distinct named mutexes the calling thread holds.
int NamedMutexesHeld();
// Debug builds log the send (and count it); release builds do nothing.
void NoteSendWhileHoldingNamedMutex(UINT message);
// How many such sends were noted in this process (for tests).
int SendsWhileHoldingNamedMutex();

} // namespace plat::detail
