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

// Draws a record face, 420 x 420 points about its centre, into images at the device pixel
// ratio, and keeps them until the face, the label artwork or the ratio change. Nothing is
// redrawn per frame.
//
// Everything on the face but the label is made of circles about the centre, so turning the
// record changes nothing there: a spinning record is drawn as the still vinyl (with its
// shadow and sheen already laid on) and the label turned over it, which shows exactly what
// turning the whole face would, while resampling only the label.
class DiscFaceRenderer {
public:
    static constexpr double labelSize = 140.0;

    struct Images {
        // The whole face, its top-left corner at the origin.
        QImage face;
        // The vinyl without the label, with its shadow on the platter and the sheen; origin
        // relative to the disc's centre.
        Sprite platter;
        // The label with the spindle, to be turned about its centre.
        QImage label;
    };

    // The face with its top-left corner at the origin; `labelArtwork` may be null, which
    // shows the placeholder colour.
    const QImage &image(const DiscFace &face, const QImage &labelArtwork, qreal devicePixelRatio)
    {
        return images(face, labelArtwork, devicePixelRatio).face;
    }
    const Images &images(const DiscFace &face, const QImage &labelArtwork, qreal devicePixelRatio);
    int renderCount() const { return m_cache.renderCount(); }

    static QImage render(const DiscFace &face, const QImage &labelArtwork, qreal devicePixelRatio);
    static QImage renderVinyl(const DiscFace &face, qreal devicePixelRatio);
    static QImage renderLabel(const DiscFace &face, const QImage &labelArtwork, qreal devicePixelRatio);

private:
    struct Key {
        DiscFace face;
        qint64 artworkKey = 0;
        bool operator==(const Key &) const = default;
    };
    RenderCache<Key, Images> m_cache;
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
