#include "scenes/crate/CrateDrawing.h"

#include "artwork/CoverPainting.h"
#include "core/XorShift.h"
#include "paint/Fonts.h"
#include "paint/Palette.h"
#include "paint/PiecewiseStroke.h"
#include "paint/Sprite.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace velloran::crate {

using namespace Qt::StringLiterals;

namespace {

const QColor pine{184, 134, 84};

// Long soft grain over a board, the same on every drawing for the same seed. Stroking the
// grain is slow; each board's grain is drawn once into a texture kept by its seed and pixel
// ratio (a handful of boards: the crate's, the floor's, the dividers'). A texture is drawn a
// little longer than asked, in steps, and its left part used: a board's grain does not depend
// on its length, so a window being resized (the floor's boards run its whole width) takes the
// grain it has. Each streak is drawn 40 points at a time.
QImage grainTexture(QSizeF asked, std::uint64_t seed, double strength, qreal dpr)
{
    const QSizeF size(std::ceil(asked.width() / 256) * 256, asked.height());
    struct Key {
        double width, height;
        std::uint64_t seed;
        double strength;
        qreal dpr;
        bool operator==(const Key &) const = default;
    };
    static QList<std::pair<Key, QImage>> cache;
    const Key key{size.width(), size.height(), seed, strength, dpr};
    for (const auto &[k, image] : cache)
        if (k == key)
            return image;
    QImage texture = makeCanvas(size, dpr);
    {
        QPainter p(&texture);
        prepare(p);
        XorShift g(seed);
        for (double y = 1; y < size.height(); y += 2.2) {
            const double v = g.fraction(1000);
            const double wave = 0.6 + 2.4 * g.fraction(1000);
            const double phase = 6.283 * g.fraction(1000);
            const auto at = [&](double x) { return QPointF(x, y + wave * std::sin(phase + x / 180)); };
            const QColor c = v > 0.75 ? QColor(255, 236, 206, int(40 * strength * (v - 0.5)))
                                      : QColor(92, 54, 24, int(46 * strength * v));
            QPen pen(c, 0.8 + v);
            pen.setCapStyle(Qt::FlatCap);
            p.setPen(pen);
            // A streak sets off from its row at the board's edge.
            p.drawLine(QPointF(0, y), at(0));
            strokeInPieces(p, pen, 0, size.width(), 40, at);
        }
    }
    if (cache.size() >= 24)
        cache.removeFirst();
    cache.append({key, texture});
    return texture;
}

void paintGrain(QPainter &p, const QRectF &board, std::uint64_t seed, double strength)
{
    const qreal dpr = p.device() ? p.device()->devicePixelRatio() : 1.0;
    // Whole pixels, as many as a texture of just the board's size would have.
    const QSizeF pixels(std::max(1.0, std::ceil(board.width() * dpr)), std::max(1.0, std::ceil(board.height() * dpr)));
    p.drawImage(QRectF(board.topLeft(), pixels / dpr), grainTexture(board.size(), seed, strength, dpr),
                QRectF(QPointF(0, 0), pixels));
}

void paintWall(QPainter &p, const CrateGeometry &g, double horizon)
{
    const QRectF wall(0, 0, g.view.width(), horizon);
    QLinearGradient plaster(0, 0, 0, horizon);
    plaster.setColorAt(0, QColor(214, 198, 172));
    plaster.setColorAt(1, QColor(232, 219, 196));
    p.fillRect(wall, plaster);
    // Tongue-and-groove panelling below a rail, as on the shelf wall.
    const double rail = horizon - std::min(200.0, horizon * 0.42);
    for (double x = std::fmod(g.centreX, 64.0) - 64; x < g.view.width(); x += 64) {
        p.fillRect(QRectF(x, rail, 1.2, horizon - rail), QColor(120, 92, 60, 46));
        p.fillRect(QRectF(x + 1.2, rail, 1, horizon - rail), QColor(255, 248, 232, 60));
    }
    p.fillRect(QRectF(0, rail - 7, g.view.width(), 7), QColor(196, 172, 138));
    p.fillRect(QRectF(0, rail - 7, g.view.width(), 1.5), QColor(255, 246, 226, 150));
    p.fillRect(QRectF(0, rail, g.view.width(), 2), QColor(96, 66, 38, 70));
    // The lamp's pool of light behind the crate.
    QRadialGradient glow(QPointF(g.centreX, horizon * 0.35), std::max(g.view.width(), horizon) * 0.6);
    glow.setColorAt(0, QColor(255, 232, 190, 96));
    glow.setColorAt(1, QColor(255, 232, 190, 0));
    p.fillRect(wall, glow);
    // The skirting board.
    p.fillRect(QRectF(0, horizon - 18, g.view.width(), 18), QColor(206, 186, 154));
    p.fillRect(QRectF(0, horizon - 18, g.view.width(), 1.5), QColor(255, 248, 232, 140));
    p.fillRect(QRectF(0, horizon - 2, g.view.width(), 2), QColor(70, 46, 26, 90));
}

void paintFloor(QPainter &p, const CrateGeometry &g, double horizon)
{
    const QRectF floor(0, horizon, g.view.width(), g.view.height() - horizon);
    QLinearGradient boards(0, horizon, 0, g.view.height());
    boards.setColorAt(0, QColor(186, 150, 108));
    boards.setColorAt(1, QColor(208, 176, 134));
    p.fillRect(floor, boards);
    // Boards running away from the viewer: seams closer together towards the wall.
    XorShift g2(0x51ED270B);
    double y = horizon;
    double gap = 10;
    int row = 0;
    while (y < g.view.height()) {
        const QRectF board(0, y, g.view.width(), gap);
        paintGrain(p, board, 0xB0A4D000ULL + std::uint64_t(row), 0.7);
        p.fillRect(QRectF(0, y, g.view.width(), 1), QColor(96, 64, 36, 80));
        // Butt joints, staggered.
        for (double x = std::fmod(g2.fraction(1000) * 400, 400) - 400; x < g.view.width(); x += 420)
            p.fillRect(QRectF(x, y, 1, gap), QColor(96, 64, 36, 60));
        y += gap;
        gap *= 1.32;
        ++row;
    }
    // Darker under the wall, and the lamp's light on the boards in front of the crate.
    QLinearGradient shade(0, horizon, 0, horizon + 40);
    shade.setColorAt(0, QColor(60, 36, 16, 90));
    shade.setColorAt(1, QColor(60, 36, 16, 0));
    p.fillRect(QRectF(0, horizon, g.view.width(), 40), shade);
    QRadialGradient pool(QPointF(g.centreX, g.frontBoard().bottom()), g.view.width() * 0.5);
    pool.setColorAt(0, QColor(255, 236, 200, 70));
    pool.setColorAt(1, QColor(255, 236, 200, 0));
    p.fillRect(floor, pool);
}

} // namespace

QImage paintRoom(const CrateGeometry &g, qreal dpr)
{
    QImage image = makeCanvas(g.view, dpr);
    QPainter p(&image);
    prepare(p);
    const QRectF front = g.frontBoard();
    const double horizon = std::min(front.top() - g.card * 0.12, g.view.height() - 40);
    paintWall(p, g, horizon);
    paintFloor(p, g, horizon);

    // The crate's shadow on the floor and against the wall.
    QRadialGradient contact(QPointF(g.centreX, front.bottom() - 4), front.width() * 0.62);
    contact.setColorAt(0, QColor(46, 26, 10, 140));
    contact.setColorAt(0.6, QColor(46, 26, 10, 60));
    contact.setColorAt(1, QColor(46, 26, 10, 0));
    p.save();
    p.translate(g.centreX, front.bottom() - 4);
    p.scale(1, 0.16);
    p.translate(-g.centreX, -(front.bottom() - 4));
    p.fillRect(QRectF(g.centreX - front.width(), front.bottom() - 4 - front.width(), front.width() * 2,
                      front.width() * 2),
               contact);
    p.restore();

    // The inside: the back board and the inner faces of the two sides, seen from above.
    const double inset = g.card * 0.06;
    const double backTop = g.backTop();
    const double backBottom = g.baseline - 30;
    const double backLeft = front.left() + inset * 2.2;
    const double backRight = front.right() - inset * 2.2;
    const QRectF back(backLeft, backTop, backRight - backLeft, backBottom - backTop);
    QLinearGradient backShade(0, backTop, 0, backBottom);
    backShade.setColorAt(0, pine.darker(128));
    backShade.setColorAt(1, pine.darker(230));
    p.fillRect(back, backShade);
    paintGrain(p, back, 0xC4A7E, 1.0);
    for (int i = 1; i < 3; ++i)
        p.fillRect(QRectF(back.left(), backTop + back.height() * i / 3, back.width(), 1.5), QColor(40, 22, 8, 120));

    for (const int side : {-1, 1}) {
        const double outerFront = side < 0 ? front.left() : front.right();
        const double innerFront = outerFront - side * inset;
        const double innerBack = side < 0 ? backLeft : backRight;
        QPolygonF face;
        face << QPointF(innerBack, backTop) << QPointF(innerFront, front.top()) << QPointF(innerFront, front.bottom())
             << QPointF(innerBack, backBottom);
        QLinearGradient faceShade(innerBack, 0, innerFront, 0);
        faceShade.setColorAt(0, pine.darker(side < 0 ? 150 : 190));
        faceShade.setColorAt(1, pine.darker(side < 0 ? 115 : 140));
        QPainterPath facePath;
        facePath.addPolygon(face);
        p.fillPath(facePath, faceShade);
        // The top edge of the side board, catching the light.
        QPolygonF edge;
        edge << QPointF(innerBack, backTop) << QPointF(innerFront, front.top()) << QPointF(outerFront, front.top())
             << QPointF(innerBack - side * inset * 0.7, backTop);
        QPainterPath edgePath;
        edgePath.addPolygon(edge);
        p.fillPath(edgePath, pine.lighter(112));
        p.strokePath(edgePath, QPen(QColor(90, 56, 26, 120), 0.8));
    }
    // The top edge of the back board.
    p.fillRect(QRectF(backLeft - inset * 0.7, backTop - 4, back.width() + inset * 1.4, 4), pine.lighter(116));
    p.end();
    // Opaque everywhere: copied, not blended, under every frame.
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage paintFrontBoard(QSizeF size, const QString &section, const std::optional<QString> &counter, qreal dpr)
{
    QImage image = makeCanvas(size, dpr);
    QPainter p(&image);
    prepare(p);
    const QRectF board(QPointF(0, 0), size);
    // Two planks with a gap of shadow between them.
    const double gapY = size.height() * 0.52;
    for (int i = 0; i < 2; ++i) {
        const QRectF plank = i == 0 ? QRectF(0, 0, size.width(), gapY - 1.5)
                                    : QRectF(0, gapY + 1.5, size.width(), size.height() - gapY - 1.5);
        QLinearGradient shade(0, plank.top(), 0, plank.bottom());
        shade.setColorAt(0, pine.lighter(110 - 6 * i));
        shade.setColorAt(1, pine.darker(112 + 8 * i));
        p.fillRect(plank, shade);
        paintGrain(p, plank, 0xF00D + std::uint64_t(i), 1.0);
        p.fillRect(QRectF(plank.left(), plank.top(), plank.width(), 1.2), QColor(255, 240, 214, 120));
    }
    p.fillRect(QRectF(0, gapY - 1.5, size.width(), 3), QColor(40, 22, 8, 200));
    // End grain of the side boards at the two ends, and the nails.
    const double end = size.height() * 0.14;
    for (const double x : {0.0, size.width() - end}) {
        p.fillRect(QRectF(x, 0, end, size.height()), QColor(150, 104, 60));
        p.fillRect(QRectF(x + (x == 0 ? end - 1 : 0), 0, 1, size.height()), QColor(70, 40, 18, 140));
        for (const double y : {size.height() * 0.25, size.height() * 0.76}) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(70, 62, 54));
            p.drawEllipse(QPointF(x + end / 2, y), 2.2, 2.2);
        }
    }
    // The hand hold, cut through the top plank.
    const QRectF hold(size.width() / 2 - size.width() * 0.09, size.height() * 0.14, size.width() * 0.18,
                      size.height() * 0.16);
    QPainterPath slot;
    slot.addRoundedRect(hold, hold.height() / 2, hold.height() / 2);
    p.fillPath(slot, QColor(26, 14, 6));
    p.strokePath(slot, QPen(QColor(255, 236, 206, 80), 1));

    // The section, burnt in, and the counter under it.
    p.setPen(colours::burnt);
    const double big = std::clamp(size.height() * 0.30, 16.0, 44.0);
    QFont serif = fonts::font(fonts::serif(), big);
    p.setFont(serif);
    const QRectF lower(0, gapY + 2, size.width(), size.height() - gapY - 2);
    if (counter) {
        p.drawText(QRectF(lower.left(), lower.top(), lower.width(), lower.height() * 0.62), Qt::AlignCenter, section);
        QFont mono = fonts::font(fonts::mono(), std::clamp(size.height() * 0.085, 9.0, 13.0));
        mono.setLetterSpacing(QFont::AbsoluteSpacing, 1.4);
        p.setFont(mono);
        p.setPen(withAlpha(colours::burnt, 0.85));
        p.drawText(QRectF(lower.left(), lower.top() + lower.height() * 0.56, lower.width(), lower.height() * 0.4),
                   Qt::AlignHCenter | Qt::AlignTop, *counter);
    } else {
        p.drawText(lower, Qt::AlignCenter, section);
    }
    // A darker rim where the board meets the floor.
    QLinearGradient foot(0, size.height() - 10, 0, size.height());
    foot.setColorAt(0, QColor(40, 22, 8, 0));
    foot.setColorAt(1, QColor(40, 22, 8, 90));
    p.fillRect(QRectF(0, size.height() - 10, size.width(), 10), foot);
    return image;
}

double tabPosition(const QString &title)
{
    if (title == u"#"_s)
        return 0;
    if (title.size() != 1 || title.front() < u'A' || title.front() > u'Z')
        return 1;
    return (title.front().unicode() - u'A') / 25.0;
}

QImage paintDividerCard(double size, const QString &title, qreal dpr)
{
    const double tabHeight = 40;
    QImage image = makeCanvas({size, size}, dpr);
    QPainter p(&image);
    prepare(p);
    const QRectF body(0, tabHeight, size, size - tabHeight);
    const double tabWidth = size * 0.34;
    const double tabX = 6 + (size - tabWidth - 12) * tabPosition(title);
    QPainterPath shape;
    shape.addRoundedRect(body, 2, 2);
    QPainterPath tab;
    const QRectF tabRect(tabX, 0, tabWidth, tabHeight + 4);
    tab.moveTo(tabRect.bottomLeft());
    tab.lineTo(tabRect.left(), 8);
    tab.quadTo(tabRect.topLeft(), QPointF(tabRect.left() + 8, 0));
    tab.lineTo(tabRect.right() - 8, 0);
    tab.quadTo(tabRect.topRight(), QPointF(tabRect.right(), 8));
    tab.lineTo(tabRect.bottomRight());
    tab.closeSubpath();
    shape = shape.united(tab);
    QLinearGradient board(0, 0, 0, size);
    board.setColorAt(0, colours::dividerTop);
    board.setColorAt(1, colours::dividerBottom);
    p.fillPath(shape, board);
    // Pressed board: a faint fibre, a lighter cut edge.
    paintGrain(p, body, 0xD1D1, 0.35);
    p.strokePath(shape, QPen(QColor(255, 240, 214, 110), 1));
    p.setPen(colours::dividerInk);
    p.setFont(fonts::font(fonts::hand(), 26, QFont::Bold));
    p.drawText(QRectF(tabX, 2, tabWidth, tabHeight), Qt::AlignCenter, title);
    return image;
}

QImage paintRecordCard(double size, const ShelfEntry &entry, const std::optional<QImage> &artwork, qreal dpr)
{
    QImage image = makeCanvas({size, size}, dpr);
    QPainter p(&image);
    prepare(p);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(0, 0, size, size), 2, 2);
    p.setClipPath(shape);
    cover::paintRecordCover(p, size, entry, artwork);
    // Light from the lamp above: a faint sheen at the top, the board's worn edges.
    QLinearGradient sheen(0, 0, 0, size);
    sheen.setColorAt(0, QColor(255, 246, 228, 40));
    sheen.setColorAt(0.35, QColor(255, 246, 228, 0));
    sheen.setColorAt(1, QColor(0, 0, 0, 30));
    p.fillRect(QRectF(0, 0, size, size), sheen);
    p.setClipping(false);
    p.strokePath(shape, QPen(QColor(255, 250, 240, 90), 1.2));
    return image;
}

} // namespace velloran::crate
