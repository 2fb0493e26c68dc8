#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace velloran {

// What the program was asked to do by its command line.
struct CommandLine {
    bool demo = false;
    bool checkPlayback = false;
    bool help = false;
    bool version = false;
    // A redirect of the login, handed to the running program.
    std::optional<QUrl> callbackUrl;
    // Set when the line cannot be understood; the text says why.
    std::optional<QString> error;

    static CommandLine parse(const QStringList &arguments);
    static QString helpText();
    static QString versionText();
};

} // namespace velloran
