#!/usr/bin/env bash
# Builds and runs every benchmark of bench/ (release build), then prints one table of their
# figures: each measures our path and its baseline in the same run, and the ratio is ours
# over the baseline. A program's full output goes to build-bench/bench-logs/.
# Usage: bash tools/bench.sh [name-filter]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
filter="${1:-}"
bash "$root/tools/install-deps.sh"
cmake -S "$root" -B "$root/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
# Only the benchmarks and what they run, not the test suites.
mapfile -t targets < <(cmake --build "$root/build-bench" --target help | grep -oE '^bench_[A-Za-z0-9_]+:' | tr -d : | grep -v '_autogen' | sort -u)
cmake --build "$root/build-bench" -j"${BENCH_JOBS:-4}" --target "${targets[@]}"
export QT_QPA_PLATFORM=offscreen
logs="$root/build-bench/bench-logs"
mkdir -p "$logs"
table="$(mktemp)"
trap 'rm -f "$table"' EXIT

# run <program> [args...]: its "= figure: ours X unit, baseline Y unit, ratio R" lines into
# the table; a program that prints none shows its lines that name a ratio instead.
run() {
  local b="$1"; shift
  local name log dir ok=1
  name="$(basename "$b")${*:+ $*}"
  log="$logs/${name// /_}.txt"
  dir="$(mktemp -d)"
  echo "== $name" >&2
  local wrap=()
  # The server's window is drawn on a real X display: a virtual one when there is none.
  if [ "$(basename "$b")" = bench_server_load ] && [ -z "${DISPLAY:-}" ]; then
    wrap=(xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb)
  fi
  (cd "$dir" && "${wrap[@]}" "$b" "$@") >"$log" 2>&1 || ok=0
  rm -rf "$dir"
  if [ "$ok" = 0 ]; then
    printf '%s\t(failed, see %s)\t\t\t\n' "$name" "$log" >>"$table"
    return 0
  fi
  if grep -q '^= ' "$log"; then
    sed -n 's/^= \(.*\): ours \([^,]*\), baseline \([^,]*\), ratio \(.*\)$/\1\t\2\t\3\t\4/p' "$log" |
      sed "s|^|$name: |" >>"$table"
  else
    grep -i 'ratio' "$log" | sed "s|^|$name: |; s|\$|\t\t\t|" >>"$table" ||
      printf '%s\t(no ratio printed)\t\t\t\n' "$name" >>"$table"
  fi
}

for b in "$root"/build-bench/bench/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue
  [ -z "$filter" ] || [[ "$(basename "$b")" == *"$filter"* ]] || continue
  case "$(basename "$b")" in
    bench_db_moves) run "$b" 10000; run "$b" 100000 ;;
    *) run "$b" ;;
  esac
done

echo
{
  printf 'benchmark\tours\tbaseline\tratio\n'
  cat "$table"
} | column -t -s $'\t'
