#pragma once

#include <QFont>
#include <QPointF>
#include <QString>

class QPainter;

namespace velloran::fractions {

// Text in which a vulgar fraction the font has no glyph for ("⅓" in the bundled faces) is
// set from the font's own figures: a raised numerator, the fraction slash and a lowered
// denominator, so it never falls back to another face's glyph. Everything else is drawn
// as the font draws it, letter spacing included.

// Whether `text` holds a fraction that `font` would have to borrow.
bool needsSetting(const QString &text, const QFont &font);

// The width the text takes.
qreal width(const QString &text, const QFont &font);

// Draws the text with its baseline starting at `origin`, in the painter's pen.
void draw(QPainter &painter, QPointF origin, const QString &text, const QFont &font);

} // namespace velloran::fractions
