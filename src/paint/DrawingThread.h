#pragma once

#include <QThreadPool>

namespace velloran {

// The one thread the scenes make their larger drawings on ahead of a frame (a table, a wall,
// the deck), apart from the shared pool that decodes covers, so that such a drawing never
// holds a cover back. It goes with the application object, which waits for what runs on it
// before it takes down its fonts.
QThreadPool &drawingThread();

} // namespace velloran
