#!/bin/sh
# Installs everything the build, the tools and the tests need on Debian 12, the MinGW-w64
# cross compiler and Wine for the Windows library included.
set -eu
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev binutils \
  libgtest-dev libgmock-dev libbenchmark-dev libmpfr-dev \
  libsndfile1-dev libcairo2-dev libx11-dev libfontconfig-dev libfreetype-dev zlib1g-dev \
  fonts-liberation2 fonts-dejavu-core fonts-urw-base35 \
  xvfb xdotool x11-utils x11-xserver-utils xsettingsd openbox \
  qtractor jackd2 libasound2-dev \
  lv2-dev liblilv-dev lilv-utils sordi serdi ardour jalv audacity imagemagick \
  gstreamer1.0-tools gstreamer1.0-plugins-base gstreamer1.0-plugins-good \
  gstreamer1.0-plugins-bad \
  lsp-plugins-vst dpf-source \
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev wine wine64 xauth \
  fonts-liberation \
  debootstrap lintian zip unzip \
  >/dev/null
