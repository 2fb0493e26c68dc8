#include "paint/RenderToolCommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace velloran {

RenderToolCommandLine RenderToolCommandLine::parse(const QStringList &arguments, const QString &description)
{
    const QString program = QFileInfo(arguments.value(0)).fileName();
    QCommandLineParser parser;
    parser.setApplicationDescription(description);
    parser.addPositionalArgument(u"folder"_s, u"Where the PNG files go; \"renders\" beside the bin folder when left out."_s,
                                 u"[folder]"_s);
    const QCommandLineOption help({u"h"_s, u"help"_s}, u"Shows this help and exits."_s);
    parser.addOption(help);

    RenderToolCommandLine line;
    std::optional<QString> error;
    if (!parser.parse(arguments))
        error = parser.errorText();
    else if (parser.isSet(help))
        line.exitCode = 0;
    else if (parser.positionalArguments().size() > 1)
        error = u"Name one output folder, not %1."_s.arg(parser.positionalArguments().size());
    else if (!parser.positionalArguments().isEmpty())
        line.folder = parser.positionalArguments().first();

    if (error) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", qPrintable(program), qPrintable(*error), qPrintable(program));
        line.exitCode = 2;
    } else if (line.exitCode) {
        std::fputs(qPrintable(parser.helpText().replace(arguments.value(0), program)), stdout);
    }
    return line;
}

std::optional<QString> RenderToolCommandLine::outputFolder() const
{
    const QString path = folder.value_or(QCoreApplication::applicationDirPath() + u"/../renders"_s);
    if (!QDir().mkpath(path)) {
        std::fprintf(stderr, "Cannot create the folder %s\n", qPrintable(path));
        return std::nullopt;
    }
    return path;
}

} // namespace velloran
