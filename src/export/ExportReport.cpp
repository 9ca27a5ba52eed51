#include "export/ExportReport.h"

void ExportReport::reset() {
    QMutexLocker lock(&m_mutex);
    m_found = 0;
    m_written = 0;
    m_outsideDateRange = 0;
    m_dateUnknown = 0;
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

void ExportReport::addOutsideDateRange() {
    QMutexLocker lock(&m_mutex);
    ++m_outsideDateRange;
}

void ExportReport::addDateUnknown() {
    QMutexLocker lock(&m_mutex);
    ++m_dateUnknown;
}

int ExportReport::outsideDateRange() const {
    QMutexLocker lock(&m_mutex);
    return m_outsideDateRange;
}

int ExportReport::dateUnknown() const {
    QMutexLocker lock(&m_mutex);
    return m_dateUnknown;
}
