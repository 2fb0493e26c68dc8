#include "paint/FractionText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRawFont>

#include <functional>
#include <optional>

using namespace Qt::StringLiterals;

namespace velloran::fractions {

namespace {

constexpr QChar fractionSlash(0x2044);
// Figures of the numerator and denominator, against the text's own.
constexpr qreal figureScale = 0.72;

// A fraction character the font lacks, as numerator and denominator ("1", "3").
std::optional<std::pair<QString, QString>> borrowedFraction(QChar c, const QRawFont &face)
{
    // The face itself, not the fallbacks that QFontMetrics would count in.
    if (c.decompositionTag() != QChar::Fraction || face.supportsCharacter(c))
        return std::nullopt;
    const QStringList parts = c.decomposition().split(fractionSlash);
    if (parts.size() != 2)
        return std::nullopt;
    return std::pair{parts[0], parts[1]};
}

QFont figureFont(const QFont &font)
{
    QFont figures = font;
    if (font.pixelSize() > 0)
        figures.setPixelSize(qMax(1, qRound(font.pixelSize() * figureScale)));
    else
        figures.setPointSizeF(font.pointSizeF() * figureScale);
    figures.setLetterSpacing(QFont::AbsoluteSpacing, 0);
    return figures;
}

// Walks the text as runs of plain text and set fractions, giving each its place: the run
// (or the fraction's parts with their offsets from the origin) and the advance it takes.
struct Piece {
    QString text;
    const QFont *font;
    QPointF offset;
};

qreal layOut(const QString &text, const QFont &font, const std::function<void(const Piece &)> &place)
{
    const QFontMetricsF metrics(font);
    const QRawFont face = QRawFont::fromFont(font);
    const QFont figures = figureFont(font);
    const QFontMetricsF figureMetrics(figures);
    // The numerator sits high and the denominator low, around a slash of the text's own
    // size, so the fraction reads as one even at small sizes.
    const qreal figureHeight = metrics.tightBoundingRect(u"1"_s).height();
    const qreal rise = figureHeight * 0.45;
    const qreal drop = figureHeight * 0.08;
    QFont slashFont = font;
    slashFont.setLetterSpacing(QFont::AbsoluteSpacing, 0);
    const QFontMetricsF slashMetrics(slashFont);
    // The slash's cell is wide in a monospaced face: the figures tuck into it.
    const qreal tuck = (slashMetrics.horizontalAdvance(u'/') - slashMetrics.tightBoundingRect(u"/"_s).width()) / 2;

    qreal x = 0;
    QString run;
    const auto flush = [&] {
        if (run.isEmpty())
            return;
        place({run, &font, {x, 0}});
        x += metrics.horizontalAdvance(run);
        run.clear();
    };
    for (const QChar c : text) {
        const auto fraction = borrowedFraction(c, face);
        if (!fraction) {
            run += c;
            continue;
        }
        flush();
        place({fraction->first, &figures, {x, -rise}});
        x += figureMetrics.horizontalAdvance(fraction->first) - tuck;
        place({u"/"_s, &slashFont, {x, 0}});
        x += slashMetrics.horizontalAdvance(u'/') - tuck;
        place({fraction->second, &figures, {x, drop}});
        x += figureMetrics.horizontalAdvance(fraction->second);
        if (font.letterSpacingType() == QFont::AbsoluteSpacing)
            x += font.letterSpacing();
    }
    flush();
    return x;
}

} // namespace

bool needsSetting(const QString &text, const QFont &font)
{
    const QRawFont face = QRawFont::fromFont(font);
    for (const QChar c : text)
        if (borrowedFraction(c, face))
            return true;
    return false;
}

qreal width(const QString &text, const QFont &font)
{
    return layOut(text, font, [](const Piece &) {});
}

void draw(QPainter &painter, QPointF origin, const QString &text, const QFont &font)
{
    layOut(text, font, [&](const Piece &piece) {
        painter.setFont(*piece.font);
        painter.drawText(origin + piece.offset, piece.text);
    });
}

} // namespace velloran::fractions
