#include "notes/store/NoteStore.h"

namespace store {

// Registers the native NSF driver.
void registerNsfDriver() {}

}  // namespace store
