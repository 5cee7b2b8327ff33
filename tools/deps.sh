#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demos need,
# only those that are missing.  Extra package names may be given as
# arguments (the benchmark and fuzz targets add theirs).
set -euo pipefail

packages=(g++ make cmake ninja-build flex byacc libgtest-dev iverilog python3 "$@")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
