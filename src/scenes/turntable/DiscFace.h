#pragma once

#include "paint/RenderCache.h"
#include "paint/Sprite.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

namespace velloran {

struct Record;
struct Side;

// What one face of a record shows: its label artwork, where its tracks begin and its letter.
struct DiscFace {
    std::optional<QUrl> artworkURL;
    // Fractions of the side's duration at which the second, third, ... tracks start.
    QList<double> trackBreaks;
    QString label;

    static DiscFace make(const Record &record, const Side &side);

    bool operator==(const DiscFace &) const = default;
};

// One groove ring of the vinyl texture.
struct GrooveRing {
    double radius = 0.0;
    bool dark = false;
    double opacity = 0.0;

    bool operator==(const GrooveRing &) const = default;
};

// The groove texture shared by every disc: the same rings on every drawing, from a fixed
// seed, so records differ only by their track gaps and labels.
const QList<GrooveRing> &grooveRings();

// Where a track gap lies for a break at `fraction` of the side: the radius the stylus is at
// when that track begins.
double trackGapRadius(double fraction);

// Draws a record face, 420 x 420 points about its centre, into an image at the device pixel
// ratio, and keeps it until the face, the label artwork or the ratio change. Spinning the
// record rotates this image; nothing is redrawn per frame.
class DiscFaceRenderer {
public:
    static constexpr double labelSize = 140.0;

    // The face with its top-left corner at the origin; `labelArtwork` may be null, which
    // shows the placeholder colour.
    const QImage &image(const DiscFace &face, const QImage &labelArtwork, qreal devicePixelRatio);
    int renderCount() const { return m_cache.renderCount(); }

    static QImage render(const DiscFace &face, const QImage &labelArtwork, qreal devicePixelRatio);

private:
    struct Key {
        DiscFace face;
        qint64 artworkKey = 0;
        bool operator==(const Key &) const = default;
    };
    RenderCache<Key, QImage> m_cache;
};

// The light reflected on the grooves. Drawn over the spinning face without rotating, so the
// reflection stays put while the record turns, in a lightening blend.
class DiscSheenRenderer {
public:
    const QImage &image(qreal devicePixelRatio);
    int renderCount() const { return m_cache.renderCount(); }

    static QImage render(qreal devicePixelRatio);

private:
    RenderCache<NoKey, QImage> m_cache;
};

} // namespace velloran
