#include "paint/FontRegistration.h"
#include "paint/Fonts.h"
#include "paint/FractionText.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace velloran;
using namespace Qt::StringLiterals;

namespace {

QFont trackedMono(qreal size)
{
    QFont font = fonts::font(fonts::mono(), size);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.54);
    return font;
}

// The ink of a drawing of `text`, on a canvas whose baseline is at y 100.
QRect inkOf(const QString &text, const QFont &font)
{
    QImage image(600, 160, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    fractions::draw(painter, {10, 100}, text, font);
    painter.end();
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 96)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

} // namespace

TEST(FractionText, TextTheFaceCanDrawIsDrawnAsItIs)
{
    fonts::registerBundledFonts();
    const QFont font = trackedMono(11);
    for (const QString &text : {u"LP · 1978 · 45"_s, u"½ and ¾"_s, QString()}) {
        EXPECT_FALSE(fractions::needsSetting(text, font)) << text.toStdString();
        EXPECT_DOUBLE_EQ(fractions::width(text, font), QFontMetricsF(font).horizontalAdvance(text)) << text.toStdString();
    }
}

TEST(FractionText, AThirdIsSetFromTheFacesOwnFigures)
{
    fonts::registerBundledFonts();
    // The bundled faces carry no "⅓": drawn as text, it would come from some other face.
    const QFont font = trackedMono(40);
    ASSERT_TRUE(fractions::needsSetting(u"LP · 33⅓"_s, font));

    // It takes a figure's room or more, and the rest of the line keeps its place.
    const QFontMetricsF metrics(font);
    const qreal figure = metrics.horizontalAdvance(u"3"_s);
    const qreal third = fractions::width(u"33⅓"_s, font) - metrics.horizontalAdvance(u"33"_s);
    EXPECT_GT(third, figure);
    EXPECT_LT(third, 3 * figure);
    EXPECT_NEAR(fractions::width(u"⅓ rpm"_s, font), third + metrics.horizontalAdvance(u" rpm"_s), 0.01);

    // A raised 1 and a lowered 3 about a slash, as tall as the text's figures and no more
    // than a little beyond them.
    const QRect figureInk = inkOf(u"3"_s, font);
    const QRect ink = inkOf(u"⅓"_s, font);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.height(), figureInk.height() * 0.9);
    EXPECT_LE(ink.height(), figureInk.height() * 1.3);
    const QRect numerator = inkOf(u"⅓"_s, font).intersected(QRect(0, 0, ink.center().x() - 6, figureInk.center().y()));
    const QRect denominator = ink.intersected(QRect(ink.center().x() + 6, figureInk.center().y(), 600, 160));
    EXPECT_FALSE(numerator.isEmpty());
    EXPECT_FALSE(denominator.isEmpty());
}
