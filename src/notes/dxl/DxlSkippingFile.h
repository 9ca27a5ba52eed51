#pragma once

#include <QFile>
#include <QIODevice>

#include <utility>
#include <vector>

namespace store::dxl {

// Reads a file without some byte ranges, as one sequential device: what the
// XML parser reads in place of a Notes XML file whose large attachment data
// it should not see.
class DxlSkippingFile : public QIODevice {
  public:
    // `skip`: [start, end) byte ranges in increasing order, not overlapping.
    DxlSkippingFile(const QString& path, std::vector<std::pair<qint64, qint64>> skip);
    bool open(OpenMode mode) override;
    void close() override;
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;
    bool atEnd() const override;

  protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

  private:
    QFile m_file;
    std::vector<std::pair<qint64, qint64>> m_skip;
    size_t m_next = 0;
    qint64 m_pos = 0;
    qint64 m_size = 0;
};

}  // namespace store::dxl
