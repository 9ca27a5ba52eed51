#pragma once

// What a save run did over all its sources and folders, in the words of the
// command line's summary: every item found is written, failed or not
// converted; items outside the date range are counted apart.
struct RunTally {
    int found = 0;
    int written = 0;
    int failed = 0;            // items without a document
    int notConverted = 0;      // items the run did not reach (stopped, or ended early)
    int outsideDateRange = 0;  // left out by the date range: neither written nor missing
    bool dateRangeActive = false;
};
