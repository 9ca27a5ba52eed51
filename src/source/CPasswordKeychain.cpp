#include "source/CPasswordKeychain.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <memory>

namespace {

const QString kService = QStringLiteral("Tesseldoc Domino servers");

std::atomic<bool>& disabled() {
    static std::atomic<bool> off{qEnvironmentVariableIntValue("TESSELDOC_NO_KEYRING") != 0};
    return off;
}

// What a job came to; shared with the job, which may outlive a timed-out wait.
struct Outcome {
    bool done = false;
    QKeychain::Error error = QKeychain::NoError;
    QString text;
};

// Starts a job (it deletes itself when finished) and waits for it or the timeout.
std::shared_ptr<Outcome> RunJob(QKeychain::Job* job) {
    auto outcome = std::make_shared<Outcome>();
    QEventLoop loop;
    QObject::connect(job, &QKeychain::Job::finished, job, [outcome, &loop, job](QKeychain::Job*) {
        if (outcome->done) return;
        outcome->done = true;
        outcome->error = job->error();
        if (auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(job)) outcome->text = read->textData();
        loop.quit();
    });
    QTimer::singleShot(CPasswordKeychain::kTimeoutMs, &loop, &QEventLoop::quit);
    job->setAutoDelete(true);
    job->start();
    if (!outcome->done) loop.exec();
    if (!outcome->done) {
        // Given up: the job may still finish later, but must not touch the gone loop.
        QObject::disconnect(job, &QKeychain::Job::finished, job, nullptr);
    }
    return outcome;
}

bool IsUnavailable(QKeychain::Error error) {
    return error == QKeychain::NoBackendAvailable || error == QKeychain::NotImplemented ||
           error == QKeychain::OtherError || error == QKeychain::AccessDenied ||
           error == QKeychain::AccessDeniedByUser;
}

}  // namespace

bool CPasswordKeychain::Available() { return !disabled(); }
void CPasswordKeychain::SetDisabled(bool off) { disabled() = off; }

CPasswordKeychain::Result CPasswordKeychain::Read(const QString& key, QString& password) {
    if (disabled()) return Result::Unavailable;
    auto* job = new QKeychain::ReadPasswordJob(kService);
    job->setKey(key);
    const std::shared_ptr<Outcome> outcome = RunJob(job);
    if (!outcome->done || IsUnavailable(outcome->error)) {
        disabled() = true;
        return Result::Unavailable;
    }
    if (outcome->error != QKeychain::NoError) return Result::NotFound;
    password = outcome->text;
    return Result::Found;
}

bool CPasswordKeychain::Write(const QString& key, const QString& password) {
    if (disabled()) return false;
    auto* job = new QKeychain::WritePasswordJob(kService);
    job->setKey(key);
    job->setTextData(password);
    const std::shared_ptr<Outcome> outcome = RunJob(job);
    if (!outcome->done || IsUnavailable(outcome->error)) {
        disabled() = true;
        return false;
    }
    return outcome->error == QKeychain::NoError;
}

void CPasswordKeychain::Remove(const QString& key) {
    if (disabled()) return;
    auto* job = new QKeychain::DeletePasswordJob(kService);
    job->setKey(key);
    if (!RunJob(job)->done) disabled() = true;
}
