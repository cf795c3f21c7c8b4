#!/bin/sh
# Installs the Debian 12 packages the build and the tests need, once (dpkg-dev
# unpacks the zlib source package that tools/fetch-zlib-source fetches): packages
# already present are left alone, so running it again costs a dpkg query.
# With the argument test32 it adds what builds and boots the emulated 32-bit
# guest of `make test32`. osslsigncode and openssl sign installers (the packer's
# signing options) and make the tests' throwaway certificates. The packer runs
# on Debian's python3-packaging, python3-installer and pip; pytest runs its tests.
set -e
packages="cmake make g++ python3 googletest libgtest-dev zlib1g-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 libz-mingw-w64-dev binutils-mingw-w64-x86-64
  binutils-mingw-w64-i686 wine64 xvfb xauth imagemagick clang-14 libclang-rt-14-dev
  python3-pip python3-setuptools python3-wheel python3-venv python3-packaging
  python3-installer python3-pytest
  nsis libpython3.11-stdlib dpkg-dev debian-archive-keyring osslsigncode openssl"
if [ "${1:-}" = test32 ]; then
  packages="$packages qemu-system-x86 qemu-user-static debootstrap e2fsprogs"
fi
missing=
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "kitpack: installing Debian packages:$missing"
SUDO=; [ "$(id -u)" -eq 0 ] || SUDO=sudo
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q $missing
