#!/usr/bin/env bash
# Sets up, builds and starts Velloran in its demo mode: a built-in stand-in for Spotify with
# a generated collection, apart from any real account. Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset default
cmake --build --preset default --target velloran -j "$(nproc)"
exec build/bin/velloran --demo "$@"
