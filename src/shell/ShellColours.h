#pragma once

#include <QColor>
#include <QString>

// The colours of the window's shell: the dusk behind the login card, the card's glass and
// what is on it. The shell always uses this dark scheme.
namespace velloran::shell {

// The warm dark ground, from the glow behind the card out to the window's corners.
inline QColor groundCentre() { return {58, 38, 26}; }
inline QColor groundMiddle() { return {30, 20, 15}; }
inline QColor groundEdge() { return {14, 10, 8}; }

// The card: a dark tint under a barely white pane, a hairline edge and a soft shadow.
inline QColor cardTint() { return {22, 16, 13, 150}; }
inline QColor paneTop() { return {255, 255, 255, 26}; }
inline QColor paneBottom() { return {255, 255, 255, 12}; }
inline QColor cardBorder() { return {255, 255, 255, int(255 * 0.12)}; }
inline QColor cardShadow() { return {0, 0, 0, int(255 * 0.35)}; }

// Text on the card.
inline QColor title() { return {244, 242, 238}; }
inline QColor caption() { return {183, 188, 192, int(255 * 0.8)}; }
inline QColor error() { return {255, 180, 160}; }
// Style sheets for the card's labels, in the colours above.
inline QString titleStyle() { return QStringLiteral("color: #f4f2ee;"); }
inline QString captionStyle() { return QStringLiteral("color: rgba(183, 188, 192, 80%);"); }
inline QString errorStyle() { return QStringLiteral("color: #ffb4a0;"); }

// The record on the card: its orange label with a fine printed ring, and the spindle.
inline QColor label() { return {255, 106, 43}; }
inline QColor labelRing() { return {255, 255, 255, 70}; }
inline QColor spindle() { return {233, 229, 220}; }

// The connect button: the service's green, its keyboard-focus ring and the busy spinner's
// ticks, darkest first.
inline QColor connect() { return {30, 215, 96}; }
inline QColor focusRing() { return {255, 255, 255, 110}; }
inline QColor spinnerTick(int index) { return {0, 0, 0, 60 + index * 24}; }

} // namespace velloran::shell
