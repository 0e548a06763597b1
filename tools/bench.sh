#!/usr/bin/env bash
# Builds and runs every benchmark of bench/ (release build), printing their figures.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/tools/install-deps.sh"
cmake -S "$root" -B "$root/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build-bench" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
for b in "$root"/build-bench/bench/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  (cd "$(mktemp -d)" && "$b")
done
