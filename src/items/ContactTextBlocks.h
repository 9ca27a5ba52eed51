#pragma once

#include "items/ItemRecords.h"

// The three item-list texts of a contact: one line per field, empty values
// included, each "label" + value + "\r\n". Block 1 holds fields 0 to 21,
// block 2 fields 22 to 39, block 3 fields 40 to 65.
QString ContactTextBlock1(const ContactRecord& record);
QString ContactTextBlock2(const ContactRecord& record);
QString ContactTextBlock3(const ContactRecord& record);
