#!/usr/bin/env bash
# Sets up, builds and runs every test headless. Exits non-zero when a test fails or when
# no test ran. With --asan, the same in the AddressSanitizer/UBSan build (build-asan/).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
preset=default
case "${1:-}" in
  "") ;;
  --asan) preset=asan ;;
  *) echo "usage: $0 [--asan]" >&2; exit 2 ;;
esac
bash "$root/tools/build.sh" "$preset"
cd "$root"
ctest --preset "$preset" -j"${SUITE_JOBS:-$(nproc)}"
