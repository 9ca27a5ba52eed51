#include "worddoc/SummaryInfoStream.h"

#include "worddoc/LeBytes.h"

#include <utility>
#include <vector>

namespace worddoc {
namespace {

constexpr unsigned kVtI2 = 0x0002;
constexpr unsigned kVtLpstr = 0x001E;
constexpr unsigned kVtFiletime = 0x0040;
constexpr unsigned kCodePageUtf16 = 1200;

// FMTID_SummaryInformation {F29F85E0-4FF9-1068-AB91-08002B27B3D9}.
const unsigned char kFmtId[16] = {0xE0, 0x85, 0x9F, 0xF2, 0xF9, 0x4F, 0x68, 0x10,
                                  0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9};

QByteArray stringValue(const QString& s) {
    QByteArray v;
    le::u32(v, kVtLpstr);
    le::u32(v, uint32_t(s.size() + 1) * 2);
    le::utf16(v, s);
    le::u16(v, 0);
    le::padTo(v, 4);
    return v;
}

}  // namespace

QByteArray SummaryInfoStream::build(const SummaryInfo& info) {
    std::vector<std::pair<uint32_t, QByteArray>> props;
    QByteArray codePage;
    le::u32(codePage, kVtI2);
    le::u16(codePage, kCodePageUtf16);
    le::u16(codePage, 0);
    props.emplace_back(1, codePage);
    const std::pair<uint32_t, const QString*> strings[] = {
        {2, &info.title}, {3, &info.subject}, {4, &info.author}, {5, &info.keywords}, {6, &info.comments}};
    for (const auto& [id, text] : strings)
        if (!text->isEmpty()) props.emplace_back(id, stringValue(*text));
    if (info.created.isValid()) {
        // FILETIME: 100-nanosecond steps since 1601-01-01 UTC.
        const uint64_t ft = uint64_t(info.created.toMSecsSinceEpoch()) * 10000ULL + 116444736000000000ULL;
        QByteArray v;
        le::u32(v, kVtFiletime);
        le::u32(v, uint32_t(ft & 0xFFFFFFFF));
        le::u32(v, uint32_t(ft >> 32));
        props.emplace_back(12, v);  // created
        props.emplace_back(13, v);  // last saved
    }
    props.emplace_back(18, stringValue(QStringLiteral("Tesseldoc")));  // application name

    QByteArray section;
    const uint32_t headerSize = 8 + 8 * uint32_t(props.size());
    le::zeros(section, headerSize);
    le::put32(section, 4, uint32_t(props.size()));
    for (size_t i = 0; i < props.size(); ++i) {
        le::put32(section, qsizetype(8 + 8 * i), props[i].first);
        le::put32(section, qsizetype(12 + 8 * i), uint32_t(section.size()));
        section += props[i].second;
    }
    le::put32(section, 0, uint32_t(section.size()));

    QByteArray out;
    le::u16(out, 0xFFFE);
    le::u16(out, 0);
    le::u32(out, 0x00020006);  // the writing system: Windows NT 6.2
    le::zeros(out, 16);
    le::u32(out, 1);
    out.append(reinterpret_cast<const char*>(kFmtId), 16);
    le::u32(out, 48);
    out += section;
    return out;
}

}  // namespace worddoc
