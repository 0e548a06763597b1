#!/usr/bin/env bash
# Fails when a C++ file of the tree is not laid out as .clang-format says; lists those files.
# With --fix, rewrites them in place instead.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/tools/install-deps.sh"
cd "$root"
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = --fix ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
bad=0
for f in "${files[@]}"; do
  if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then
    echo "$f"
    bad=$((bad + 1))
  fi
done
if [ "$bad" -gt 0 ]; then
  echo "$bad of ${#files[@]} files need clang-format (bash tools/format-check.sh --fix)" >&2
  exit 1
fi
