#include "notes/CNotesConverter.h"

// The item list: filled by the item-classification code.
void CNotesConverter::FillItemList(IItemList*) {}
