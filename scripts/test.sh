#!/usr/bin/env bash
# Sets up, builds and runs every test: the whole suite in the default build, then the
# model, playback, Spotify and stand-in suites again under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the fuzz targets over their seed corpora (clang; a few
# seconds; scripts/fuzz.sh runs them for longer).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

jobs=$(nproc)

cmake --preset default -DVELLORAN_WERROR=ON
cmake --build --preset default -j "$jobs"
# Tests that talk to the keyring or publish on D-Bus get a private session bus.
dbus-run-session -- ctest --preset default -j "$jobs"

cmake --preset asan -DVELLORAN_WERROR=ON
cmake --build --preset asan -j "$jobs" --target core_tests model_tests playback_tests spotify_tests standin_tests
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:halt_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
dbus-run-session -- ctest --preset asan -j "$jobs" -R '^(core|model|playback|spotify|standin)\.'

cmake --preset fuzz -DVELLORAN_WERROR=ON
cmake --build --preset fuzz -j "$jobs"
ctest --preset fuzz -j "$jobs"
