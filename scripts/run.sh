#!/usr/bin/env bash
# Installs what is missing, builds the unit and starts it (on a desktop: the full simulator).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
# Only the unit is built; the cache keeps what ./scripts/test.sh needs (tests on).
cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
cmake --build "$root/build" --target corvan
export CORVAN_CWD="${CORVAN_CWD:-$root/data}"
mkdir -p "$CORVAN_CWD"
exec "$root/build/corvan" "$@"
