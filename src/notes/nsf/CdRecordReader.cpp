#include "notes/nsf/CdRecordReader.h"

namespace nsf {

bool CdRecordReader::next(Record& r) {
    if (m_damaged || m_offset >= m_value.size()) return false;
    if (!m_value.has(m_offset, 2)) {
        // A lone trailing byte is padding.
        m_offset = m_value.size();
        return false;
    }
    const uint8_t sig = m_value.u8(m_offset);
    const uint8_t form = m_value.u8(m_offset + 1);
    uint64_t length;
    size_t header;
    if (form == 0xFF) {
        header = 4;
        length = m_value.u16(m_offset + 2);
    } else if (form == 0x00) {
        header = 6;
        length = m_value.u32(m_offset + 2);
    } else {
        header = 2;
        length = form;
    }
    if (length < header || !m_value.has(m_offset, length)) {
        m_damaged = true;
        return false;
    }
    r.signature = sig;
    r.headerSize = header;
    r.bytes = m_value.sub(m_offset, length);
    m_offset += size_t(length) + (length & 1);
    return true;
}

}  // namespace nsf
