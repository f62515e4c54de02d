#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
# Usage: scripts/install-deps.sh [extra package ...]
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  qt6-base-dev
  firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils
  libzip-dev zlib1g-dev libpugixml-dev libxlsxwriter-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-noto-cjk
  qt6-translations-l10n
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
