#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace velloran {

// One argument as an Exec key writes it: quoted only when it holds a reserved character,
// "%" doubled, backslashes escaped for the string value. None for an empty argument or
// one with a control character (a newline would end the line).
std::optional<QString> desktopExecArgument(const QString &argument);

// The desktop entry that makes `executable` the handler of the "cobbleden" scheme; none
// when the path cannot be written into one.
std::optional<QByteArray> callbackDesktopEntry(const QString &executable);

// Whether the program in `applicationDir` runs from its build folder rather than from an
// installation that brought its own desktop entry.
bool runsFromBuildFolder(const QString &applicationDir);

// When the program runs from its build folder, installs a desktop entry for it in the
// user's applications folder and makes it the user's handler of the callback scheme
// (xdg-mime), once per run. Does nothing in an installed program. Returns whether it
// registered.
bool registerCallbackSchemeForBuildFolder();

} // namespace velloran
