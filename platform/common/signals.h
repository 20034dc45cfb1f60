// The process's termination signals seen by the backends' message pumps.
#pragma once

namespace platform {

// True once after the first SIGINT, SIGTERM or SIGHUP since
// CloseOnTerminationSignals (the caller turns it into a close request).
bool TakeTerminationSignal();
// True while a signal waits to be taken.
bool TerminationSignalPending();

}  // namespace platform
