#pragma once

#include <QImage>
#include <QString>

namespace velloran::preview {

// An oak tabletop at dusk, lit by a warm lamp from the upper left, covering the stage.
QImage oakTable(qreal devicePixelRatio);

// A made-up cover for looking at sleeves and labels: bands of colour and a title.
QImage sampleCover(const QString &title, const QColor &top, const QColor &bottom, int pixels);

} // namespace velloran::preview
