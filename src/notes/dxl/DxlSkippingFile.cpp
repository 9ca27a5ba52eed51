#include "notes/dxl/DxlSkippingFile.h"

#include <algorithm>

namespace store::dxl {

DxlSkippingFile::DxlSkippingFile(const QString& path, std::vector<std::pair<qint64, qint64>> skip)
    : m_file(path), m_skip(std::move(skip)) {}

bool DxlSkippingFile::open(OpenMode mode) {
    if ((mode & WriteOnly) || !m_file.open(QIODevice::ReadOnly)) return false;
    m_size = m_file.size();
    m_pos = 0;
    m_next = 0;
    return QIODevice::open(mode);
}

void DxlSkippingFile::close() {
    m_file.close();
    QIODevice::close();
}

qint64 DxlSkippingFile::bytesAvailable() const {
    qint64 left = m_size - m_pos;
    for (size_t i = m_next; i < m_skip.size(); ++i) left -= m_skip[i].second - std::max(m_skip[i].first, m_pos);
    return std::max<qint64>(left, 0) + QIODevice::bytesAvailable();
}

bool DxlSkippingFile::atEnd() const { return bytesAvailable() == 0; }

qint64 DxlSkippingFile::readData(char* data, qint64 maxSize) {
    qint64 done = 0;
    while (done < maxSize) {
        while (m_next < m_skip.size() && m_pos >= m_skip[m_next].first) {
            if (m_pos < m_skip[m_next].second) {
                m_pos = m_skip[m_next].second;
                if (!m_file.seek(m_pos)) return done > 0 ? done : -1;
            }
            ++m_next;
        }
        qint64 limit = maxSize - done;
        if (m_next < m_skip.size()) limit = std::min(limit, m_skip[m_next].first - m_pos);
        const qint64 n = m_file.read(data + done, limit);
        if (n < 0) return done > 0 ? done : -1;
        if (n == 0) break;
        done += n;
        m_pos += n;
    }
    return done;
}

}  // namespace store::dxl
