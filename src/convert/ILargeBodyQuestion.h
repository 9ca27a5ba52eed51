#pragma once

// Asks the user whether the body of a large item should be shown in the
// preview. The core calls it on whatever thread composes the item; the GUI's
// implementation brings the question to its own thread and waits for it.
class ILargeBodyQuestion {
public:
    virtual ~ILargeBodyQuestion() = default;
    // True when the body is to be shown; *dontAskAgain is set when the user
    // ticked "Don't show this message again".
    virtual bool AskShowLargeBody(bool* dontAskAgain) = 0;
};
