#include "rtf/TextWidthEstimate.h"

#include <algorithm>

namespace rtf {

double TextWidthEstimate::letterEm(QChar c) {
    static const QStringView narrow = u"ijl.,:;'|!`";
    static const QStringView slim = u"ftrI()[]{}/\\-\"";
    if (narrow.contains(c)) return 0.3;
    if (slim.contains(c)) return 0.38;
    if (c == QLatin1Char('m') || c == QLatin1Char('w')) return 0.86;
    if (c == QLatin1Char('M') || c == QLatin1Char('W')) return 0.96;
    if (c.isUpper()) return 0.76;
    if (c.isLetterOrNumber()) return 0.58;
    return 0.62;
}

int TextWidthEstimate::twips(QStringView text, double sizePt, bool bold, bool monospaced) {
    const double em = (sizePt > 0 ? sizePt : 10.0) * 20.0 * (bold ? 1.08 : 1.0);
    double width = 0;
    for (const QChar c : text) width += (monospaced ? 0.6 : letterEm(c)) * em;
    return int(std::min(width, 31680.0));
}

}  // namespace rtf
