#pragma once
// kalvex-batch stopped by Ctrl-C, kill or a closed terminal: the staged
// temporaries of a save are removed (a staged log is moved into place) and
// the process exits with 128 + the signal's number (130 for SIGINT, 143
// for SIGTERM), never leaving hidden files or a half-moved set behind.

namespace kalvex::batch {

// Call first in main, before any other thread starts: the signals are
// blocked in every thread and taken by one thread of their own. A signal
// that was ignored when the program started stays ignored.
void EndStagedFilesOnSignals();

}  // namespace kalvex::batch
