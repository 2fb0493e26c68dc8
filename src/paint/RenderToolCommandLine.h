#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace velloran {

// The command line of the tools that render scenes into PNG files:
//   TOOL [--help] [OUTPUT-FOLDER]
struct RenderToolCommandLine {
    // The folder named, if one was.
    std::optional<QString> folder;
    // Set when the tool should stop at once: 0 after printing its help, 2 after a usage
    // error (both already printed).
    std::optional<int> exitCode;

    // `arguments` as the application object holds them, the program first.
    static RenderToolCommandLine parse(const QStringList &arguments, const QString &description);

    // The folder named, or "renders" beside the bin folder, made if it is not there yet;
    // nothing (and why, printed) when it cannot be made.
    std::optional<QString> outputFolder() const;
};

} // namespace velloran
