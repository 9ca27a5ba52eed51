#pragma once

#include "notes/ln/LNGlobals.h"
#include "notes/store/StoreStatus.h"

// Internal: how the layer reports a failure. Records the detail for
// LNGetErrorMessageText on this thread, then throws the status when
// throw-all-errors is on, or returns it.
namespace lnimpl {

LNSTATUS fail(const store::StoreError& error);
inline LNSTATUS fail(LNSTATUS status) { return fail(store::StoreError{status, {}}); }
inline LNSTATUS check(const store::StoreError& error) { return error.ok() ? LNNOERROR : fail(error); }

// Per-thread state, made by LNNotesSession::InitThread and dropped by TermThread.
void initThreadState();
void termThreadState();
int threadInitDepth();

}  // namespace lnimpl
