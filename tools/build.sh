#!/usr/bin/env bash
# Installs what is missing, configures and builds one preset of CMakePresets.json:
# "default" (build/, the argument when none is given) or "asan" (build-asan/).
# SUITE_WERROR=ON turns every warning into an error (CI sets it).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
preset="${1:-default}"
bash "$root/tools/install-deps.sh"
cd "$root"
cmake --preset "$preset" -DCMAKE_COMPILE_WARNING_AS_ERROR="${SUITE_WERROR:-OFF}" >/dev/null
cmake --build --preset "$preset" -j"${SUITE_JOBS:-$(nproc)}"
