#include "steps/CLargeBodyAsker.h"

#include "app/CMessageBoxService.h"
#include "steps/CLargeItemDlg.h"

#include <QMetaObject>
#include <QThread>

#include <chrono>
#include <memory>

CLargeBodyAsker::CLargeBodyAsker(QWidget* parent) : m_parent(parent) {}

bool CLargeBodyAsker::AskOnUiThread(QWidget* parent, bool* dontAskAgain) {
    CLargeItemDlg dlg(parent);
    const bool ok = CMessageBoxService::instance().ExecDialog(dlg) == QDialog::Accepted;
    *dontAskAgain = dlg.DontShowAgain();
    return ok;
}

bool CLargeBodyAsker::AskShowLargeBody(bool* dontAskAgain) {
    bool dummy = false;
    if (!dontAskAgain) dontAskAgain = &dummy;
    *dontAskAgain = false;
    QPointer<QWidget> parent = m_parent;
    if (!parent) return true;
    if (QThread::currentThread() == parent->thread()) return AskOnUiThread(parent, dontAskAgain);

    struct Answer {
        bool done = false;
        bool show = false;
        bool dontAsk = false;
    };
    auto answer = std::make_shared<Answer>();
    QMetaObject::invokeMethod(
        parent.data(),
        [this, answer, parent] {
            bool dontAsk = false;
            const bool show = parent ? AskOnUiThread(parent, &dontAsk) : false;
            std::lock_guard<std::mutex> lock(m_mutex);
            answer->show = show;
            answer->dontAsk = dontAsk;
            answer->done = true;
            m_cv.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!answer->done && !m_abort) m_cv.wait_for(lock, std::chrono::milliseconds(100));
    if (!answer->done) return false;
    *dontAskAgain = answer->dontAsk;
    return answer->show;
}

void CLargeBodyAsker::Abort() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_abort = true;
    }
    m_cv.notify_all();
}
