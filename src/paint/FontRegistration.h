#pragma once

namespace velloran::fonts {

// Registers the font files bundled with the program for this process, so drawing never
// depends on what the system has installed. Files that fail to load are skipped.
// Returns the number of files registered.
int registerBundledFonts();

} // namespace velloran::fonts
