#!/usr/bin/env bash
# Sets up, builds and starts the test editor in its working folder (its program folder,
# with the template set beside it). Without a display it starts under Xvfb.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/tools/build.sh"
cd "$root/build/korvel"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" ./korvel
fi
exec ./korvel
