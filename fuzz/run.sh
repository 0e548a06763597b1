#!/usr/bin/env bash
# Builds the RTF reader's fuzz target with clang (libFuzzer, ASan, UBSan) outside the main
# build and runs it: ./fuzz/run.sh [seconds, default 60] [extra libFuzzer flags...]
# Needs clang-14 and libclang-rt-14-dev (Debian 12) besides qt6-base-dev.
# Output: fuzz-out/ (the binary, the growing corpus, crash files).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
out="$root/fuzz-out"
secs="${1:-60}"
shift || true
CXX="${CXX:-clang++-14}"
if ! command -v "$CXX" >/dev/null || ! dpkg-query -W libclang-rt-14-dev >/dev/null 2>&1; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq && $SUDO apt-get install -y -qq clang-14 libclang-rt-14-dev
fi
bash "$root/tools/install-deps.sh"
mkdir -p "$out/corpus"

"$CXX" -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined \
    -fno-sanitize-recover=undefined -fno-omit-frame-pointer \
    -I"$root" $(pkg-config --cflags Qt6Gui) \
    "$here/rtf_fuzz.cpp" "$root/platform/codec.cpp" \
    "$root"/platform/rtf/{rtfreader,rtfwriter,plaintext,charformat,codepage}.cpp \
    $(pkg-config --libs Qt6Gui) -o "$out/rtf_fuzz"

export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$out"
# New inputs go to fuzz-out/corpus; the seeds in fuzz/corpus stay as they are.
exec ./rtf_fuzz -max_total_time="$secs" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -dict="$here/rtf.dict" "$@" corpus "$here/corpus"
