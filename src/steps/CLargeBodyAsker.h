#pragma once

#include "convert/ILargeBodyQuestion.h"

#include <QPointer>
#include <QWidget>

#include <condition_variable>
#include <mutex>

// The large-body question as the core asks it: CLargeItemDlg shown through
// the message-box service on the UI thread. A worker that asks waits for the
// answer; Abort() (tear-down) makes such a wait end with "do not show".
class CLargeBodyAsker : public ILargeBodyQuestion {
public:
    explicit CLargeBodyAsker(QWidget* parent);
    bool AskShowLargeBody(bool* dontAskAgain) override;
    void Abort();

private:
    static bool AskOnUiThread(QWidget* parent, bool* dontAskAgain);

    QPointer<QWidget> m_parent;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_abort = false;
};
