#pragma once

#include <QString>

// Ends a source's run early when its items keep failing for a reason that
// will not go away by itself: the destination is full or may not be written,
// or the server no longer answers. One written item ends the streak; only
// `limit` failures in a row with the same cause stop the run. A server that
// stalls now and then costs the per-call deadline each time: after
// `serverBudget` such failures in one source, in a row or not, the rest of
// its items are not asked for.
class FailFastRule {
public:
    enum class Cause { None, DestinationFull, DestinationUnwritable, ServerGone };

    explicit FailFastRule(int limit = 3) : m_limit(limit) {}

    // A new source: every count starts again.
    void reset();
    void onWritten();
    // Server failures (no answer in time, no answer) a source may have in all;
    // 0: no bound.
    void setServerBudget(int failures) { m_serverBudget = failures; }
    int serverBudget() const { return m_serverBudget; }
    // An item failed with `reason` while writing into `outputFolder`. Returns
    // the reason to stop the run with, or an empty string to go on.
    QString onFailure(const QString& outputFolder, const QString& reason);

    // What a failure says about its cause; the destination is looked at too
    // (its free space and whether it may be written).
    static Cause causeOf(const QString& outputFolder, const QString& reason);
    static QString describe(Cause cause, const QString& outputFolder, const QString& lastReason);

private:
    int m_limit;
    int m_streak = 0;
    Cause m_cause = Cause::None;
    int m_serverBudget = 8;
    int m_serverFailures = 0;
};
