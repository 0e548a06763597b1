#!/usr/bin/env bash
# Installs the Debian 12 packages the suite needs to build, run and test.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config ninja-build clang-format
  qt6-base-dev qt6-base-dev-tools libqt6sql6 qt6-qpa-plugins libgl1-mesa-dev
  qt6-translations-l10n
  libsqlcipher-dev libssl-dev sqlcipher sqlite3
  libjpeg62-turbo-dev
  googletest libgtest-dev libgmock-dev
  fonts-liberation
  xvfb xdotool imagemagick xauth xclip libx11-dev
  chromium nodejs
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
