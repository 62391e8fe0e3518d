#!/bin/sh
# Builds the release files of the committed sources (HEAD) into dist/:
#   krv-tarnwick-<version>-linux-x86_64.tar.gz   plug-in, tools, INSTALL.txt, licence
#   krv-tarnwick_<version>_amd64.deb             the plug-in
#   krv-tarnwick-tools_<version>_amd64.deb       the tools
#   krv-tarnwick-<version>-windows-x64.zip       the DLL, INSTALL.txt, licence
#   SHA256SUMS
# The Linux files are built in a Debian 11 chroot (made once with debootstrap, then reused)
# so that they load on Debian 11 and everything newer; the release checks that floor. The
# Windows DLL is cross-built here. Times and paths come from the commit, so the same commit
# gives the same bytes.
#   --check   build everything a second time in other folders and require identical bytes
#   --tests   also build and run the whole test suite inside the Debian 11 chroot
# Needs root (debootstrap, chroot, mount) and the Debian mirror apt uses.
set -eu
cd "$(dirname "$0")/.."
. scripts/lib/debian-chroot.sh
. scripts/lib/project-version.sh

check=false
tests=false
for argument in "$@"; do
  case $argument in
    --check) check=true ;;
    --tests) tests=true ;;
    *) echo "usage: scripts/release.sh [--check] [--tests]" >&2; exit 2 ;;
  esac
done
[ "$(id -u)" -eq 0 ] || { echo "scripts/release.sh needs root (debootstrap, chroot, mount)" >&2; exit 1; }
for tool in debootstrap lintian zip x86_64-w64-mingw32-g++-posix; do
  command -v "$tool" >/dev/null 2>&1 ||
    { echo "$tool is missing: scripts/install-deps.sh installs it" >&2; exit 1; }
done

version=$(project_version)
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH
[ -z "$(git status --porcelain --untracked-files=no)" ] ||
  echo "note: uncommitted changes are not part of the release (it builds HEAD)"

work=$(pwd)/build-release
chroot_root=$work/chroots/bullseye-build
build_packages="build-essential cmake ninja-build pkg-config file libcairo2-dev libx11-dev \
libsndfile1-dev libfontconfig-dev libfreetype-dev zlib1g-dev fonts-liberation2 fonts-urw-base35 \
lv2-dev"
test_packages="libgtest-dev libgmock-dev libmpfr-dev fonts-dejavu-core xvfb xauth xdotool x11-utils \
x11-xserver-utils openbox \
liblilv-dev lilv-utils sordi serdi"
trap chroot_unmount_all EXIT
trap 'exit 130' INT TERM

started=$(date +%s)
seconds() { echo "$(($(date +%s) - started)) s"; }

# The build system: Debian 11 with its compiler, made once and kept in build-release/.
prepare_build_chroot() {
  packages="$build_packages"
  if $tests; then packages="$packages $test_packages"; fi
  if [ ! -f "$chroot_root/.krv-ready" ]; then
    chroot_remove "$chroot_root"
    chroot_fresh "$chroot_root" bullseye "$work/cache"
  fi
  chroot_mount "$chroot_root"
  if [ "$(cat "$chroot_root/.krv-ready" 2>/dev/null)" != "$packages" ]; then
    echo "== installing the build tools in the Debian 11 chroot"
    chroot_run "$chroot_root" "apt-get update -qq && apt-get install -y -qq --no-install-recommends $packages >/dev/null"
    echo "$packages" >"$chroot_root/.krv-ready"
  fi
}

# The Linux files of one build, from the sources in build-release/TAG/source.tar, built in
# the chroot's /src/TAG, and staged into build-release/TAG/linux.
build_linux() {
  tag=$1
  inside=/src/$tag
  rm -rf "$chroot_root$inside"
  mkdir -p "$chroot_root$inside/krv"
  tar -x -C "$chroot_root$inside/krv" -f "$work/$tag/source.tar"
  echo "== $tag: building in Debian 11 ($(seconds))"
  chroot_run "$chroot_root" "
    cmake -S $inside/krv -B $inside/build -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DKRV_BUILD_TESTS=OFF -DKRV_BUILD_BENCH=OFF >$inside/configure.log
    cmake --build $inside/build >$inside/build.log || { tail -n 40 $inside/build.log; exit 1; }
    cd $inside/build && cpack -G DEB >$inside/cpack.log || { cat $inside/cpack.log; exit 1; }
    mkdir -p $inside/stage/vst $inside/stage/clap $inside/stage/lv2/krv-tarnwick.lv2
    strip --strip-unneeded -o $inside/stage/vst/krv-tarnwick.so krv-tarnwick.so
    strip --strip-unneeded -o $inside/stage/clap/krv-tarnwick.clap krv-tarnwick.clap
    cp krv-tarnwick.lv2/*.ttl $inside/stage/lv2/krv-tarnwick.lv2/
    for library in krv-tarnwick.lv2/*.so; do
      strip --strip-unneeded -o $inside/stage/lv2/\$library \$library
    done
    strip -o $inside/stage/krv-process krv-process
    strip -o $inside/stage/krv-host krv-host"
  rm -rf "$work/$tag/linux"
  mkdir -p "$work/$tag/linux"
  cp "$chroot_root$inside/build/krv-tarnwick_${version}_amd64.deb" \
     "$chroot_root$inside/build/krv-tarnwick-tools_${version}_amd64.deb" "$work/$tag/linux/"
  cp -r "$chroot_root$inside/stage" "$work/$tag/linux/stage"
}

# The whole test suite, built with Debian 11's compiler and run there.
test_linux() {
  tag=$1
  inside=/src/$tag
  echo "== $tag: building and running the tests in Debian 11 ($(seconds))"
  chroot_run "$chroot_root" "
    cmake -S $inside/krv -B $inside/build-tests -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DKRV_BUILD_BENCH=OFF >$inside/configure-tests.log
    cmake --build $inside/build-tests >$inside/build-tests.log || { tail -n 40 $inside/build-tests.log; exit 1; }
    cd $inside/build-tests && ctest --timeout 600 >$inside/ctest.log 2>&1 ||
      { grep -v '^ *[0-9]*/[0-9]* Test *#[0-9]*: .* Passed' $inside/ctest.log | tail -n 80; exit 1; }
    tail -n 3 $inside/ctest.log"
}

# The Windows DLL, cross-built here from the same sources; its skin is rendered by a
# native build of the generator.
build_windows() {
  tag=$1
  source=$work/$tag/source
  rm -rf "$source" "$work/$tag/skin-gen" "$work/$tag/windows"
  mkdir -p "$source"
  tar -x -C "$source" -f "$work/$tag/source.tar"
  echo "== $tag: cross-building for Windows ($(seconds))"
  cmake -S "$source" -B "$work/$tag/skin-gen" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DKRV_BUILD_TESTS=OFF -DKRV_BUILD_BENCH=OFF >"$work/$tag/skin-gen.log"
  cmake --build "$work/$tag/skin-gen" --target krv-skin-gen >>"$work/$tag/skin-gen.log"
  cmake -S "$source" -B "$work/$tag/windows" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-w64-x86_64.cmake" \
    -DKRV_SKIN_GENERATOR="$work/$tag/skin-gen/krv-skin-gen" -DKRV_BUILD_TESTS=OFF \
    >"$work/$tag/windows.log"
  cmake --build "$work/$tag/windows" --target krv_tarnwick krv_tarnwick_clap krv-host \
    >>"$work/$tag/windows.log" ||
    { tail -n 40 "$work/$tag/windows.log"; exit 1; }
}

# Every file of FOLDER stamped with the commit's time, so that the archives never depend
# on when they were built.
stamp() {
  find "$1" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
}

package() {
  tag=$1
  out=$2
  rm -rf "$out"
  mkdir -p "$out"
  cp "$work/$tag/linux/"*.deb "$out/"

  linux=krv-tarnwick-$version-linux-x86_64
  staging=$work/$tag/tarball
  rm -rf "$staging"
  mkdir -p "$staging/$linux"
  cp -r "$work/$tag/linux/stage/." "$staging/$linux/"
  cp packaging/INSTALL-linux.txt "$staging/$linux/INSTALL.txt"
  cp LICENSE NOTICE CHANGELOG.md "$staging/$linux/"
  stamp "$staging/$linux"
  tar -C "$staging" --sort=name --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 --numeric-owner \
    --format=gnu -cf - "$linux" | gzip -9n >"$out/$linux.tar.gz"

  windows=krv-tarnwick-$version-windows-x64
  staging=$work/$tag/zip
  rm -rf "$staging"
  mkdir -p "$staging/$windows"
  x86_64-w64-mingw32-strip --strip-unneeded -o "$staging/$windows/krv-tarnwick.dll" \
    "$work/$tag/windows/krv-tarnwick.dll"
  x86_64-w64-mingw32-strip --strip-unneeded -o "$staging/$windows/krv-tarnwick.clap" \
    "$work/$tag/windows/krv-tarnwick.clap"
  # Windows line ends for the texts a Windows user opens.
  for text in INSTALL:packaging/INSTALL-windows.txt LICENSE:LICENSE NOTICE:NOTICE; do
    sed 's/$/\r/' "${text#*:}" >"$staging/$windows/${text%%:*}.txt"
  done
  stamp "$staging/$windows"
  (cd "$staging" && find "$windows" | LC_ALL=C sort | TZ=UTC zip -q -X -9 "$out/$windows.zip" -@)

  (cd "$out" && sha256sum -- *.tar.gz *.deb *.zip >SHA256SUMS)
}

# What the plug-in asks of the system it is loaded into: nothing newer than Debian 11's
# C library, and only libraries every Linux desktop has (zlib comes with cairo).
check_floor() {
  library=$1
  highest=$(objdump -T "$library" | grep -o 'GLIBC_[0-9.]*' | sed 's/GLIBC_//' | sort -V | tail -n 1)
  if [ "$(printf '%s\n2.31\n' "$highest" | sort -V | tail -n 1)" != "2.31" ]; then
    echo "the plug-in needs GLIBC_$highest, newer than Debian 11's 2.31:" >&2
    objdump -T "$library" | grep -E "GLIBC_$highest" >&2
    return 1
  fi
  needed=$(readelf -d "$library" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | tr '\n' ' ')
  for name in $needed; do
    case $name in
      libc.so.6 | libm.so.6 | libpthread.so.0 | libX11.so.6 | libcairo.so.2 | libz.so.1 | ld-linux-x86-64.so.2) ;;
      *) echo "the plug-in links $name; only glibc's libc, libm and libpthread, libX11, libcairo and libz are allowed" >&2; return 1 ;;
    esac
  done
  echo "floor: the plug-in needs GLIBC_$highest at most and links $needed"
}

build_all() {
  tag=$1
  out=$2
  mkdir -p "$work/$tag"
  git archive --format=tar HEAD >"$work/$tag/source.tar"
  build_linux "$tag"
  if $tests; then test_linux "$tag"; fi
  build_windows "$tag"
  package "$tag" "$out"
}

prepare_build_chroot
build_all release "$(pwd)/dist"
check_floor "$work/release/linux/stage/vst/krv-tarnwick.so"
check_floor "$work/release/linux/stage/clap/krv-tarnwick.clap"
check_floor "$work/release/linux/stage/lv2/krv-tarnwick.lv2/krv-tarnwick_dsp.so"
check_floor "$work/release/linux/stage/lv2/krv-tarnwick.lv2/krv-tarnwick_ui.so"
tools_depends=$(dpkg-deb -f "dist/krv-tarnwick-tools_${version}_amd64.deb" Depends)
echo "krv-tarnwick-tools depends on: $tools_depends"
case $tools_depends in
  *libsndfile1*) ;;
  *) echo "the tools' package does not depend on libsndfile1" >&2; exit 1 ;;
esac
echo "== lintian ($(seconds))"
lintian --fail-on error,warning --info dist/*.deb
if $check; then
  tests=false
  build_all check "$work/check/dist"
  echo "== the second build against the first"
  diff dist/SHA256SUMS "$work/check/dist/SHA256SUMS" >&2 || { echo "not reproducible" >&2; exit 1; }
  echo "reproducible: a second build in other folders gave the same bytes"
fi
echo "== dist/ ($(seconds)):"
ls -l dist
cat dist/SHA256SUMS
