#include "notes/mime/CssStyle.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace mime {

namespace {

const QHash<QString, unsigned>& namedColors() {
    static const QHash<QString, unsigned> colors = {
        {"black", 0x000000},    {"white", 0xFFFFFF},     {"red", 0xFF0000},      {"green", 0x008000},
        {"blue", 0x0000FF},     {"yellow", 0xFFFF00},    {"navy", 0x000080},     {"maroon", 0x800000},
        {"purple", 0x800080},   {"teal", 0x008080},      {"olive", 0x808000},    {"gray", 0x808080},
        {"grey", 0x808080},     {"silver", 0xC0C0C0},    {"lime", 0x00FF00},     {"aqua", 0x00FFFF},
        {"cyan", 0x00FFFF},     {"fuchsia", 0xFF00FF},   {"magenta", 0xFF00FF},  {"orange", 0xFFA500},
        {"darkblue", 0x00008B}, {"darkred", 0x8B0000},   {"darkgreen", 0x006400}, {"brown", 0xA52A2A},
        {"pink", 0xFFC0CB},     {"gold", 0xFFD700},      {"darkgray", 0xA9A9A9}, {"darkgrey", 0xA9A9A9},
        {"lightgray", 0xD3D3D3}, {"lightgrey", 0xD3D3D3}, {"windowtext", 0x000000},
    };
    return colors;
}

// A number with its unit: "12.5pt" -> (12.5, "pt").
bool splitNumber(const QString& value, double& number, QString& unit) {
    static const QRegularExpression re(QStringLiteral("^([+-]?[0-9]*\\.?[0-9]+)\\s*([a-z%]*)$"));
    const auto m = re.match(value.trimmed().toLower());
    if (!m.hasMatch()) return false;
    bool ok = false;
    number = m.captured(1).toDouble(&ok);
    unit = m.captured(2);
    return ok && std::isfinite(number);
}

}  // namespace

std::optional<unsigned> CssStyle::color(const QString& raw) {
    QString v = raw.trimmed().toLower();
    v.remove(QStringLiteral("!important"));
    v = v.trimmed();
    if (v.isEmpty()) return std::nullopt;
    if (auto it = namedColors().find(v); it != namedColors().end()) return *it;
    if (v.startsWith(QLatin1Char('#'))) v.remove(0, 1);
    else if (v.startsWith(QLatin1String("rgb"))) {
        const qsizetype open = v.indexOf(QLatin1Char('(')), close = v.indexOf(QLatin1Char(')'));
        if (open < 0 || close < open) return std::nullopt;
        const QStringList parts = v.mid(open + 1, close - open - 1).split(QLatin1Char(','));
        if (parts.size() < 3) return std::nullopt;
        unsigned rgb = 0;
        for (int i = 0; i < 3; ++i) {
            QString p = parts[i].trimmed();
            const bool percent = p.endsWith(QLatin1Char('%'));
            if (percent) p.chop(1);
            bool ok = false;
            double n = p.toDouble(&ok);
            if (!ok || !std::isfinite(n)) return std::nullopt;
            if (percent) n = n * 255.0 / 100.0;
            rgb = (rgb << 8) | unsigned(std::clamp(std::lround(n), 0L, 255L));
        }
        return rgb;
    }
    bool ok = false;
    if (v.size() == 3) {
        const unsigned short_ = v.toUInt(&ok, 16);
        if (!ok) return std::nullopt;
        const unsigned r = (short_ >> 8) & 0xF, g = (short_ >> 4) & 0xF, b = short_ & 0xF;
        return (r * 17u) << 16 | (g * 17u) << 8 | (b * 17u);
    }
    if (v.size() == 6) {
        const unsigned rgb = v.toUInt(&ok, 16);
        if (ok) return rgb;
    }
    return std::nullopt;
}

std::optional<double> CssStyle::fontSize(const QString& raw, double currentPt) {
    const QString v = raw.trimmed().toLower();
    static const QHash<QString, double> keywords = {
        {"xx-small", 7.0}, {"x-small", 7.5}, {"small", 10.0},   {"medium", 12.0},
        {"large", 13.5},   {"x-large", 18.0}, {"xx-large", 24.0}, {"xxx-large", 36.0},
    };
    if (auto it = keywords.find(v); it != keywords.end()) return *it;
    if (v == QLatin1String("smaller")) return std::max(1.0, currentPt / 1.2);
    if (v == QLatin1String("larger")) return std::min(1638.0, currentPt * 1.2);
    double n = 0;
    QString unit;
    if (!splitNumber(v, n, unit) || n <= 0) return std::nullopt;
    double pt = 0;
    if (unit == QLatin1String("pt")) pt = n;
    else if (unit == QLatin1String("px") || unit.isEmpty()) pt = n * 0.75;
    else if (unit == QLatin1String("em") || unit == QLatin1String("rem")) pt = n * currentPt;
    else if (unit == QLatin1String("%")) pt = n * currentPt / 100.0;
    else if (unit == QLatin1String("pc")) pt = n * 12.0;
    else if (unit == QLatin1String("in")) pt = n * 72.0;
    else if (unit == QLatin1String("cm")) pt = n * 72.0 / 2.54;
    else if (unit == QLatin1String("mm")) pt = n * 72.0 / 25.4;
    else return std::nullopt;
    return std::clamp(pt, 1.0, 1638.0);
}

std::optional<double> CssStyle::fontTagSize(const QString& raw) {
    static const double sizes[] = {7.5, 10.0, 12.0, 13.5, 18.0, 24.0, 36.0};
    const QString v = raw.trimmed();
    bool ok = false;
    int n = v.toInt(&ok);
    if (!ok) return std::nullopt;
    if (v.startsWith(QLatin1Char('+')) || v.startsWith(QLatin1Char('-'))) n += 3;
    n = std::clamp(n, 1, 7);
    return sizes[n - 1];
}

std::optional<int> CssStyle::lengthTwips(const QString& raw, double currentPt) {
    double n = 0;
    QString unit;
    if (!splitNumber(raw, n, unit)) return std::nullopt;
    double twips = 0;
    if (unit.isEmpty() || unit == QLatin1String("px")) twips = n * 15.0;
    else if (unit == QLatin1String("pt")) twips = n * 20.0;
    else if (unit == QLatin1String("em") || unit == QLatin1String("rem")) twips = n * currentPt * 20.0;
    else if (unit == QLatin1String("in")) twips = n * 1440.0;
    else if (unit == QLatin1String("cm")) twips = n * 1440.0 / 2.54;
    else if (unit == QLatin1String("mm")) twips = n * 1440.0 / 25.4;
    else if (unit == QLatin1String("pc")) twips = n * 240.0;
    else return std::nullopt;
    return int(std::clamp(twips, -31680.0, 31680.0));
}

std::optional<int> CssStyle::percentage(const QString& raw) {
    double n = 0;
    QString unit;
    if (!splitNumber(raw, n, unit) || unit != QLatin1String("%")) return std::nullopt;
    return int(std::lround(std::clamp(n, 0.0, 100.0)));
}

QString CssStyle::fontFace(const QString& value) {
    QString first = value.section(QLatin1Char(','), 0, 0).trimmed();
    first.remove(QLatin1Char('"')).remove(QLatin1Char('\''));
    first = first.trimmed();
    const QString lower = first.toLower();
    if (lower == QLatin1String("sans-serif") || lower == QLatin1String("system-ui")) return QStringLiteral("Arial");
    if (lower == QLatin1String("serif")) return QStringLiteral("Times New Roman");
    if (lower == QLatin1String("monospace")) return QStringLiteral("Courier New");
    if (lower == QLatin1String("inherit") || lower == QLatin1String("initial")) return {};
    return first.left(64);
}

}  // namespace mime
