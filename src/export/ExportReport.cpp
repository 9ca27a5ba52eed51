#include "export/ExportReport.h"

void ExportReport::reset() {
    QMutexLocker lock(&m_mutex);
    m_found = 0;
    m_written = 0;
    m_alreadyWritten = 0;
    m_outsideDateRange = 0;
    m_dateUnknown = 0;
    m_notInChosenFolder = 0;
    m_writtenElsewhere.clear();
    m_writtenByOffice.clear();
    m_failures.clear();
    m_notConverted.clear();
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
    m_failures.append({folder, noteId, reason, QString(), ExportFailure::Item});
}

void ExportReport::addFolderFailure(const QString& folder, const QString& reason) {
    QMutexLocker lock(&m_mutex);
    m_failures.append({folder, 0, reason, QString(), ExportFailure::Folder});
}

void ExportReport::addAttachmentFailure(const QString& folder, uint32_t noteId, const QString& attachment,
                                        const QString& reason) {
    QMutexLocker lock(&m_mutex);
    // An attachment whose name could not even be read still takes a line.
    m_failures.append({folder, noteId, reason, attachment.isEmpty() ? QStringLiteral("?") : attachment,
                       ExportFailure::Attachment});
}

void ExportReport::addFieldFailure(const QString& folder, uint32_t noteId, const QString& field,
                                   const QString& reason) {
    QMutexLocker lock(&m_mutex);
    m_failures.append({folder, noteId, reason, field, ExportFailure::Field});
}

void ExportReport::addNotConverted(const QString& folder, uint32_t noteId, const QString& reason) {
    QMutexLocker lock(&m_mutex);
    m_notConverted.append({folder, noteId, reason});
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
    int n = 0;
    for (const ExportFailure& f : m_failures)
        if (f.kind == ExportFailure::Item) ++n;
    return n;
}

int ExportReport::folderFailureCount() const {
    QMutexLocker lock(&m_mutex);
    int n = 0;
    for (const ExportFailure& f : m_failures)
        if (f.kind == ExportFailure::Folder) ++n;
    return n;
}

int ExportReport::attachmentFailureCount() const {
    QMutexLocker lock(&m_mutex);
    int n = 0;
    for (const ExportFailure& f : m_failures)
        if (f.kind == ExportFailure::Attachment) ++n;
    return n;
}

int ExportReport::fieldFailureCount() const {
    QMutexLocker lock(&m_mutex);
    int n = 0;
    for (const ExportFailure& f : m_failures)
        if (f.kind == ExportFailure::Field) ++n;
    return n;
}

int ExportReport::notConvertedCount() const {
    QMutexLocker lock(&m_mutex);
    return int(m_notConverted.size());
}

QList<ExportFailure> ExportReport::failures() const {
    QMutexLocker lock(&m_mutex);
    QList<ExportFailure> all = m_failures;
    for (ExportFailure& f : all)
        if (f.kind == ExportFailure::Attachment)
            f.reason = QStringLiteral("attachment \"%1\" not written: %2").arg(f.attachment, f.reason);
        else if (f.kind == ExportFailure::Field)
            f.reason = QStringLiteral("field \"%1\" left out: %2").arg(f.attachment, f.reason);
    return all;
}

QList<ExportFailure> ExportReport::itemFailures() const {
    QMutexLocker lock(&m_mutex);
    QList<ExportFailure> out;
    for (const ExportFailure& f : m_failures)
        if (f.kind == ExportFailure::Item || f.kind == ExportFailure::Folder) out.append(f);
    return out;
}

QList<ExportFailure> ExportReport::attachmentFailures() const {
    QMutexLocker lock(&m_mutex);
    QList<ExportFailure> out;
    for (const ExportFailure& f : m_failures)
        if (f.kind == ExportFailure::Attachment) out.append(f);
    return out;
}

QList<ExportFailure> ExportReport::fieldFailures() const {
    QMutexLocker lock(&m_mutex);
    QList<ExportFailure> out;
    for (const ExportFailure& f : m_failures)
        if (f.kind == ExportFailure::Field) out.append(f);
    return out;
}

QList<NotConverted> ExportReport::notConverted() const {
    QMutexLocker lock(&m_mutex);
    return m_notConverted;
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

void ExportReport::addWrittenElsewhere(const QString& folder, uint32_t noteId, const QString& writtenIn) {
    QMutexLocker lock(&m_mutex);
    m_writtenElsewhere.append({folder, noteId, writtenIn});
}

void ExportReport::addNotInChosenFolder(int count) {
    QMutexLocker lock(&m_mutex);
    m_found += count;
    m_notInChosenFolder += count;
}

QList<WrittenElsewhere> ExportReport::writtenElsewhere() const {
    QMutexLocker lock(&m_mutex);
    return m_writtenElsewhere;
}

int ExportReport::writtenElsewhereCount() const {
    QMutexLocker lock(&m_mutex);
    return int(m_writtenElsewhere.size());
}

void ExportReport::addWrittenByOffice(const QString& folder, uint32_t noteId, const QString& path,
                                      const QString& reason) {
    QMutexLocker lock(&m_mutex);
    m_writtenByOffice.append({folder, noteId, path, reason});
}

QList<WrittenByOffice> ExportReport::writtenByOffice() const {
    QMutexLocker lock(&m_mutex);
    return m_writtenByOffice;
}

int ExportReport::notInChosenFolder() const {
    QMutexLocker lock(&m_mutex);
    return m_notInChosenFolder;
}
