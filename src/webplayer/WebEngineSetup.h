#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace velloran {

// Where to look for an installed Widevine CDM; the fields exist so tests can point the
// search at a folder of their own.
struct WidevineSearch {
    QString overridePath; // VELLORAN_WIDEVINE_PATH: the library itself or a folder holding it
    QString home;         // the user's home folder
    QString root = QStringLiteral("/");
};

// The search as this process sees it: the environment and the real home folder.
WidevineSearch systemWidevineSearch();

// The Widevine library to hand to the web engine, if one is installed: the override first,
// then Chrome's, Chromium's and Firefox's copies, the newest version of each.
std::optional<QString> findWidevine(const WidevineSearch &search);

// Chromium switches for the player page: the Widevine library, if any, and Chromium's own
// media-key handling off, so the desktop sees only the program's MPRIS player.
QStringList playerChromiumFlags(const std::optional<QString> &widevinePath);

struct WebEngineSetup {
    std::optional<QString> widevinePath;
    QString chromiumFlags;
    // The remote-debugging address, when VELLORAN_INSPECT asked for one.
    std::optional<QString> inspectorAddress;
};

// Prepares Qt WebEngine for the player page. Must run before the application object
// exists, since the web engine reads its switches when it starts.
WebEngineSetup prepareWebEngine();

} // namespace velloran
