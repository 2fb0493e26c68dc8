#pragma once

#include <QSettings>
#include <QString>

namespace velloran {

// The one-time move from the program's earlier name: its settings suite and its support
// folder. Runs at most once per user (the flag is set before anything else, so a failure
// is never retried) and never overwrites what the current version already has.
struct Migration {
    static inline const QString doneKey = QStringLiteral("migratedFromCobbleden");
    static inline const QString oldSuite = QStringLiteral("com.tarnwick.cobbleden");

    // `oldSettings` may be null when the earlier suite cannot be opened; `dataRoot` is the
    // folder that holds both support folders ("Cobbleden" and "Velloran").
    static void run(QSettings &settings, QSettings *oldSettings, const QString &dataRoot);
};

} // namespace velloran
