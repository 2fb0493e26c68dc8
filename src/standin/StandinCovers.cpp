// Cover images for the generated catalogue: /covers/{id}/{size} answers a PNG drawn from the
// id alone, so the same record always shows the same cover. Only shapes are drawn (no text),
// so the stand-in needs no fonts and runs without a display.

#include "core/XorShift.h"
#include "standin/StandinRoutes.h"
#include "standin/StandinServer.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

using namespace Qt::StringLiterals;

namespace velloran::standin {

namespace {

constexpr int largestCover = 1024;

// A small deterministic source of numbers seeded by the record's id.
class Dice {
public:
    explicit Dice(const QString &seed)
        : m_source(seedOf(seed))
    {
    }
    double unit() { return m_source.fraction(1'000'000); }
    int below(int n) { return int(m_source.next() % quint64(n)); }

private:
    static quint64 seedOf(const QString &seed)
    {
        const QByteArray digest = QCryptographicHash::hash(seed.toUtf8(), QCryptographicHash::Sha256);
        quint64 state = 0;
        for (int i = 0; i < 8; ++i)
            state = (state << 8) | quint8(digest[i]);
        return state;
    }

    XorShift m_source;
};

QColor hsv(double hue, double saturation, double value)
{
    return QColor::fromHsvF(float(std::fmod(hue + 1.0, 1.0)), float(saturation), float(value));
}

QImage drawCover(const QString &id, int size)
{
    Dice dice(id);
    QImage image(size, size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 100.0, size / 100.0);

    const double hue = dice.unit();
    const QColor ground = hsv(hue, 0.35 + 0.4 * dice.unit(), 0.35 + 0.5 * dice.unit());
    const QColor accent = hsv(hue + 0.45 + 0.2 * dice.unit(), 0.55 + 0.4 * dice.unit(), 0.8 + 0.2 * dice.unit());
    const QColor ink = hsv(hue + 0.08, 0.25, 0.12 + 0.2 * dice.unit());
    const QColor paper = hsv(hue + 0.1, 0.08, 0.93);
    p.fillRect(QRectF(0, 0, 100, 100), ground);
    p.setPen(Qt::NoPen);

    switch (dice.below(5)) {
    case 0: { // concentric rings
        const QPointF centre(25 + 50 * dice.unit(), 25 + 50 * dice.unit());
        for (int ring = 9; ring >= 1; --ring) {
            p.setBrush(ring % 2 ? accent : ground.darker(115));
            p.drawEllipse(centre, ring * 8.0, ring * 8.0);
        }
        break;
    }
    case 1: { // bands
        const int bands = 3 + dice.below(6);
        for (int i = 0; i < bands; ++i) {
            p.setBrush(i % 2 ? accent : paper);
            p.drawRect(QRectF(0, i * 100.0 / bands, 100, 100.0 / bands * (0.3 + 0.5 * dice.unit())));
        }
        break;
    }
    case 2: { // a sun over a horizon
        p.setBrush(accent);
        p.drawEllipse(QPointF(50, 58), 26, 26);
        p.setBrush(ink);
        p.drawRect(QRectF(0, 62, 100, 38));
        p.setBrush(ground.lighter(120));
        for (int i = 0; i < 4; ++i)
            p.drawRect(QRectF(0, 66 + i * 8, 100, 2));
        break;
    }
    case 3: { // scattered dots
        for (int i = 0; i < 26; ++i) {
            p.setBrush(i % 3 ? accent : paper);
            const double r = 2 + 9 * dice.unit();
            p.drawEllipse(QPointF(100 * dice.unit(), 100 * dice.unit()), r, r);
        }
        break;
    }
    default: { // a bold diagonal
        QPainterPath wedge;
        wedge.moveTo(0, 100);
        wedge.lineTo(100, 0);
        wedge.lineTo(100, 100);
        wedge.closeSubpath();
        p.setBrush(accent);
        p.drawPath(wedge);
        p.setBrush(paper);
        p.drawEllipse(QPointF(30, 30), 14, 14);
        break;
    }
    }
    // A printed title block, as on many sleeves.
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRect(QRectF(8, 8, 34 + 30 * dice.unit(), 3));
    p.drawRect(QRectF(8, 13, 18 + 20 * dice.unit(), 2));
    return image;
}

} // namespace

void registerCoverRoutes(StandinServer &server)
{
    server.addRoute("GET", u"/covers/{}/{}"_s, [](const Request &request) {
        bool ok = false;
        const int size = request.captures.value(1).toInt(&ok);
        if (!ok || size < 1 || size > largestCover)
            return Reply::text(404, u"No such cover."_s);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        drawCover(request.captures.value(0), size).save(&buffer, "PNG");
        Reply reply;
        reply.body = png;
        return reply.withHeader("Content-Type", "image/png").withHeader("Cache-Control", "max-age=86400");
    });
}

} // namespace velloran::standin
