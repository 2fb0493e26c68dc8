#pragma once

#include <QByteArray>
#include <QString>

namespace velloran {

// The desktop entry that makes `executable` the handler of the "cobbleden" scheme.
QByteArray callbackDesktopEntry(const QString &executable);

// Whether the program in `applicationDir` runs from its build folder rather than from an
// installation that brought its own desktop entry.
bool runsFromBuildFolder(const QString &applicationDir);

// When the program runs from its build folder, installs a desktop entry for it in the
// user's applications folder and makes it the user's handler of the callback scheme
// (xdg-mime), once per run. Does nothing in an installed program. Returns whether it
// registered.
bool registerCallbackSchemeForBuildFolder();

} // namespace velloran
