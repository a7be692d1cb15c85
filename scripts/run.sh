#!/usr/bin/env bash
# Builds the saver and runs it. Arguments go to the program (default: full screen).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)" --target quillmark
exec build/release/platform/qt/quillmark "$@"
