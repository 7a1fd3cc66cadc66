// The communication library as the command helpers' default link (not part of the public
// interface).
#pragma once

#include "model/CommandSupport.h"

namespace model::detail {

DriverLink& LibraryDriverLink();

} // namespace model::detail
