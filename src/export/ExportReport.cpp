#include "export/ExportReport.h"

void ExportReport::reset() {
    QMutexLocker lock(&m_mutex);
    m_found = 0;
    m_written = 0;
    m_alreadyWritten = 0;
    m_failures.clear();
}

void ExportReport::addFound(int count) {
    QMutexLocker lock(&m_mutex);
    m_found += count;
}

void ExportReport::addWritten() {
    QMutexLocker lock(&m_mutex);
    ++m_written;
}

void ExportReport::addAlreadyWritten() {
    QMutexLocker lock(&m_mutex);
    ++m_alreadyWritten;
}

int ExportReport::alreadyWritten() const {
    QMutexLocker lock(&m_mutex);
    return m_alreadyWritten;
}

void ExportReport::addFailure(const QString& folder, uint32_t noteId, const QString& reason) {
    QMutexLocker lock(&m_mutex);
    m_failures.append({folder, noteId, reason});
}

int ExportReport::found() const {
    QMutexLocker lock(&m_mutex);
    return m_found;
}

int ExportReport::written() const {
    QMutexLocker lock(&m_mutex);
    return m_written;
}

int ExportReport::failedCount() const {
    QMutexLocker lock(&m_mutex);
    return int(m_failures.size());
}

QList<ExportFailure> ExportReport::failures() const {
    QMutexLocker lock(&m_mutex);
    return m_failures;
}
