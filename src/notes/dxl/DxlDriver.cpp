#include "notes/store/NoteStore.h"

namespace store {

// Registers the Notes XML (DXL) driver.
void registerDxlDriver() {}

}  // namespace store
