#pragma once

#include <QString>

#include <optional>

namespace mime {

// The few CSS and HTML attribute values mail bodies use for formatting:
// colours, font sizes and lengths. Unknown or bad values give nothing.
class CssStyle {
public:
    // "#rgb", "#rrggbb", "rgb(r, g, b)", or a basic colour name, as 0xRRGGBB.
    static std::optional<unsigned> color(const QString& value);
    // A CSS font-size ("10pt", "13px", "1.2em", "120%", "small", ...) relative
    // to the current size, in points.
    static std::optional<double> fontSize(const QString& value, double currentPt);
    // The size of <font size="n"> (1..7, or +n / -n from 3), in points.
    static std::optional<double> fontTagSize(const QString& value);
    // A CSS or attribute length ("12px", "10pt", "0.5in", "2em", "30") in twips;
    // a bare number is pixels. Percentages give nothing.
    static std::optional<int> lengthTwips(const QString& value, double currentPt);
    // A percentage ("50%", " 99.5 % "), rounded and kept within 0..100.
    static std::optional<int> percentage(const QString& value);
    // The first family of a font-family list, quotes removed; generic families
    // are given as the faces Word has ("sans-serif": Arial, ...).
    static QString fontFace(const QString& value);
};

}  // namespace mime
