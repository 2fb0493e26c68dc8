#pragma once

#include "artwork/CodableColour.h"

#include <QByteArray>
#include <QImage>

#include <optional>

namespace velloran {

// Decodes the first image of the bytes straight to a thumbnail whose longest side is at
// most `pixels` (never enlarged), with its orientation applied. Nothing for bytes that do
// not decode.
std::optional<QImage> decodeThumbnail(const QByteArray &bytes, int pixels);

// The colour that stands for a cover: the average of a 24-pixel thumbnail in which vivid
// pixels weigh up to about 14 times more than grey ones, so that a small saturated area
// still shows. Nothing for bytes that do not decode.
std::optional<CodableColour> representativeColour(const QByteArray &bytes);
// The same average over an image that is already small.
std::optional<CodableColour> representativeColour(const QImage &thumbnail);

} // namespace velloran
