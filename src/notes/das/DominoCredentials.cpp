#include "notes/das/DominoCredentials.h"

#include <QMutex>

namespace das {
namespace {

QMutex& providerMutex() {
    static QMutex m;
    return m;
}
std::shared_ptr<ICredentialsProvider>& provider() {
    static std::shared_ptr<ICredentialsProvider> p;
    return p;
}

}  // namespace

void setCredentialsProvider(std::shared_ptr<ICredentialsProvider> p) {
    QMutexLocker lock(&providerMutex());
    provider() = std::move(p);
}

std::shared_ptr<ICredentialsProvider> credentialsProvider() {
    QMutexLocker lock(&providerMutex());
    return provider();
}

}  // namespace das
