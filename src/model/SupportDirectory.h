#pragma once

#include <QString>

namespace velloran {

// The folder of the program's own files: the user's data folder plus "Velloran". It is
// created, private to the user (0700), every time it is asked for, so that a folder
// removed while the program runs comes back at the next write; a failure to create it is
// left to the write that follows.
QString supportDirectory();

// A file or folder directly inside the support directory.
QString supportPath(const QString &name);

} // namespace velloran
