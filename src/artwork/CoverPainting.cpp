#include "artwork/CoverPainting.h"

#include "paint/Fonts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

#include <algorithm>

namespace velloran::cover {

namespace {

// Wraps the text into at most `maxLines` lines of `width`; the last line is elided when text
// is left over.
QStringList wrappedLines(const QString &text, const QFont &font, qreal width, int maxLines)
{
    QStringList lines;
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    while (lines.size() < maxLines) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        const bool last = lines.size() == maxLines - 1;
        const QString rest = last ? text.mid(line.textStart()) : text.mid(line.textStart(), line.textLength());
        lines.append(last ? QFontMetricsF(font).elidedText(rest.trimmed(), Qt::ElideRight, width) : rest.trimmed());
    }
    layout.endLayout();
    return lines;
}

void paintCircle(QPainter &painter, QPointF centre, qreal diameter, const QColor &colour)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(centre, diameter / 2, diameter / 2);
}

} // namespace

int artworkPixels(LibraryItem::Kind kind, int pixels)
{
    if (kind == LibraryItem::Kind::album)
        return pixels;
    return pixels >= 240 ? pixels / 2 : 120;
}

void paintArtwork(QPainter &painter, const QRectF &rect, const std::optional<QImage> &image, const QColor &placeholder)
{
    painter.fillRect(rect, placeholder);
    if (image && !image->isNull()) {
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect, *image);
        painter.restore();
    }
}

void paintPlaylistSleeve(QPainter &painter, qreal w, const QString &title, const QString &owner,
                         const std::optional<QImage> &label)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QPointF centre(w / 2, w / 2);

    painter.fillRect(QRectF(0, 0, w, w), paper);
    paintCircle(painter, centre, 0.42 * w, disc);

    const qreal labelSide = 0.3 * w;
    const QRectF labelRect(centre.x() - labelSide / 2, centre.y() - labelSide / 2, labelSide, labelSide);
    painter.save();
    QPainterPath labelClip;
    labelClip.addEllipse(labelRect);
    painter.setClipPath(labelClip);
    paintArtwork(painter, labelRect, label, labelPlaceholder);
    painter.restore();

    paintCircle(painter, centre, 0.024 * w, spindle);

    // The printed frame, its line inside the inset rectangle.
    const qreal lineWidth = std::max(0.004 * w, 0.5);
    const qreal inset = 0.03 * w;
    painter.setPen(QPen(QColor(0, 0, 0, qRound(0.12 * 255)), lineWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(inset, inset, w - 2 * inset, w - 2 * inset)
                         .adjusted(lineWidth / 2, lineWidth / 2, -lineWidth / 2, -lineWidth / 2));

    const qreal textWidth = 0.84 * w;

    // The title, written by hand at a slight slant about the middle of its left edge.
    const QFont hand = fonts::font(fonts::hand(), 0.1 * w, QFont::Bold);
    const QFontMetricsF handMetrics(hand);
    const QStringList lines = wrappedLines(title, hand, textWidth, 2);
    const qreal titleHeight = handMetrics.lineSpacing() * qreal(std::max<qsizetype>(lines.size(), 1));
    painter.save();
    painter.translate(0.08 * w, 0.07 * w);
    painter.translate(0, titleHeight / 2);
    painter.rotate(-3);
    painter.translate(0, -titleHeight / 2);
    painter.setFont(hand);
    painter.setPen(titleInk);
    for (qsizetype i = 0; i < lines.size(); ++i)
        painter.drawText(QPointF(0, handMetrics.ascent() + qreal(i) * handMetrics.lineSpacing()), lines.at(i));
    painter.restore();

    const QFont mono = fonts::font(fonts::mono(), std::max(0.032 * w, 6.0));
    const QFontMetricsF monoMetrics(mono);
    painter.setFont(mono);
    painter.setPen(ownerInk);
    painter.drawText(QPointF(0.08 * w, 0.88 * w + monoMetrics.ascent()),
                     monoMetrics.elidedText(owner.toUpper(), Qt::ElideRight, textWidth));
    painter.restore();
}

void paintRecordCover(QPainter &painter, qreal width, const ShelfEntry &entry, const std::optional<QImage> &artwork)
{
    if (entry.item.kind == LibraryItem::Kind::album)
        paintArtwork(painter, QRectF(0, 0, width, width), artwork, albumPlaceholder);
    else
        paintPlaylistSleeve(painter, width, entry.title, entry.artist, artwork);
}

} // namespace velloran::cover
