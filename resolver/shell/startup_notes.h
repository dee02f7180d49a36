#pragma once
#include "resolver/shell/write_log.h"

namespace shell {

// Answer to the main window's created event: the five lines about this edition.
void ShowStartupNotes(Log& log);

}  // namespace shell
