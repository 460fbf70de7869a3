#!/usr/bin/env bash
# Installs everything the build and the tests need, from Debian's packages.
set -euo pipefail
packages=(
    build-essential cmake ninja-build pkg-config git file
    g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64 libz-mingw-w64-dev dpkg-dev
    wine wine64 xvfb xauth
    libpng-dev zlib1g-dev libsndfile1-dev sox
    googletest libbenchmark-dev
    clang-14 libclang-rt-14-dev
    libfreetype-dev libfontconfig-dev fonts-liberation libx11-dev libcurl4-openssl-dev
    libxext-dev libxtst-dev
    lv2-dev liblilv-dev lilv-utils sordi
    locales
)
sudo=
if [ "$(id -u)" != 0 ]; then
    sudo=sudo
fi
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${packages[@]}"
# A locale with a decimal comma, for the tests of number texts under a host's locale.
locale -a 2>/dev/null | grep -qi '^de_DE.utf-\?8$' || $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
