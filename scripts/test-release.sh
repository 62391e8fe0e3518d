#!/bin/sh
# Installs the release files in dist/ where users install them, and checks that they work:
# - fresh minimal Debian 11 and Debian 12 systems: the tarball's plug-in loads from the
#   unpacked folder (Debian 11); the two .deb files install with apt, every library
#   resolves, the tools find the installed plug-in, `krv-process --demo` renders the same
#   bytes as the development build, and the editor's screenshot under Xvfb is the same
#   picture as the development build's;
# - the Windows zip's DLL loads under Wine and draws the same editor as the development
#   DLL.
# The development builds are build/ (Linux) and build-win/ (Windows), as scripts/test.sh
# leaves them (KRV_DEV_BUILD and KRV_DEV_WINDOWS_BUILD name others).
# Needs root (debootstrap, chroot, mount), the Debian mirror apt uses, Xvfb and Wine.
set -eu
cd "$(dirname "$0")/.."
. scripts/lib/debian-chroot.sh
. scripts/lib/project-version.sh
. scripts/lib/wine-desk.sh
[ "$(id -u)" -eq 0 ] || { echo "scripts/test-release.sh needs root (debootstrap, chroot, mount)" >&2; exit 1; }

version=$(project_version)
dist=$(pwd)/dist
dev=$(cd "${KRV_DEV_BUILD:-build}" && pwd)
dev_windows=$(cd "${KRV_DEV_WINDOWS_BUILD:-build-win}" && pwd)
work=$(pwd)/build-release/test
tarball=krv-tarnwick-$version-linux-x86_64
zipped=krv-tarnwick-$version-windows-x64
plugin_deb=krv-tarnwick_${version}_amd64.deb
tools_deb=krv-tarnwick-tools_${version}_amd64.deb
for file in "$tarball.tar.gz" "$zipped.zip" "$plugin_deb" "$tools_deb" SHA256SUMS; do
  [ -f "$dist/$file" ] || { echo "dist/$file is missing: run scripts/release.sh first" >&2; exit 1; }
done
for file in "$dev/krv-process" "$dev/krv-host" "$dev/krv-tarnwick.so" "$dev/krv-tarnwick.clap" \
    "$dev_windows/krv-tarnwick.dll" "$dev_windows/krv-tarnwick.clap"; do
  [ -f "$file" ] || { echo "$file is missing: run scripts/test.sh first" >&2; exit 1; }
done
(cd "$dist" && sha256sum --quiet -c SHA256SUMS)

cleanup() {
  chroot_unmount_all
  wine_desk_stop
}
trap cleanup EXIT
trap 'exit 130' INT TERM
started=$(date +%s)
seconds() { echo "$(($(date +%s) - started)) s"; }
failures=0
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# What the development build gives: the demo's files and the editor's picture.
mkdir -p "$work"
rm -rf "$work/dev-demo"
"$dev/krv-process" --plugin "$dev/krv-tarnwick.so" --quiet --demo "$work/dev-demo" 2>/dev/null
xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$dev/krv-host" --plugin "$dev/krv-tarnwick.so" --screenshot "$work/dev-editor.png" --after 1500 2>/dev/null
lv2_uri=http://krv-soundlab.com/plugins/tarnwick
LV2_PATH="$dev/lv2-path" lv2apply -i "$work/dev-demo/demo.wav" -o "$work/dev-demo/demo-lv2.wav" "$lv2_uri"

# One clean system: SUITE, fresh from debootstrap's archive, with the release copied in.
test_in() {
  suite=$1
  root=$work/$suite
  echo "== Debian $suite: a fresh minimal system ($(seconds))"
  chroot_unmount_all
  chroot_remove "$root"
  chroot_fresh "$root" "$suite" "$(pwd)/build-release/cache"
  chroot_mount "$root"
  mkdir -p "$root/release"
  cp "$dist/$tarball.tar.gz" "$dist/$plugin_deb" "$dist/$tools_deb" "$root/release/"
  chroot_run "$root" "apt-get update -qq"

  if [ "$suite" = bullseye ]; then
    # The tarball as its INSTALL.txt says: what the tools need, then run from the folder.
    if chroot_run "$root" "apt-get install -y -qq --no-install-recommends libcairo2 libx11-6 libsndfile1 >/dev/null
        cd /release && tar -xzf $tarball.tar.gz && cd $tarball && ./krv-process --list &&
        ./krv-process --plugin clap/krv-tarnwick.clap --list" \
        >"$work/$suite-tarball.log" 2>&1 &&
      grep -q "^krv-process: loaded /release/$tarball/vst/krv-tarnwick.so$" "$work/$suite-tarball.log" &&
      grep -q "^krv-process: loaded /release/$tarball/clap/krv-tarnwick.clap$" "$work/$suite-tarball.log"; then
      pass "$suite: the tarball's krv-process --list loads vst/krv-tarnwick.so and clap/krv-tarnwick.clap from the unpacked folder"
    else
      fail "$suite: the tarball's plug-ins did not load"; cat "$work/$suite-tarball.log" >&2
    fi
  fi

  # Recommends included, as apt installs by default: the editor's font comes with it.
  if chroot_run "$root" "apt-get install -y -qq ./release/$plugin_deb ./release/$tools_deb" \
      >"$work/$suite-apt.log" 2>&1; then
    pass "$suite: apt-get install ./$plugin_deb ./$tools_deb"
  else
    fail "$suite: the packages did not install"; tail -n 30 "$work/$suite-apt.log" >&2; return
  fi
  plugin=/usr/lib/vst/krv-tarnwick/krv-tarnwick.so
  clap=/usr/lib/clap/krv-tarnwick.clap
  lv2=/usr/lib/lv2/krv-tarnwick.lv2
  if chroot_run "$root" "ldd $plugin $clap $lv2/krv-tarnwick_dsp.so $lv2/krv-tarnwick_ui.so /usr/bin/krv-process /usr/bin/krv-host" >"$work/$suite-ldd.log" 2>&1 &&
    ! grep -q 'not found' "$work/$suite-ldd.log"; then
    pass "$suite: every library of both plug-ins and the tools resolves"
  else
    fail "$suite: unresolved libraries"; grep 'not found' "$work/$suite-ldd.log" >&2
  fi
  # No --plugin: the tools find the installed plug-in on their own, through its entry point.
  if chroot_run "$root" "krv-process --list" >"$work/$suite-list.log" 2>&1 &&
    grep -q "^krv-process: loaded $plugin$" "$work/$suite-list.log" && grep -q "KRV tarnwick" "$work/$suite-list.log"; then
    pass "$suite: krv-process --list finds and loads $plugin"
  else
    fail "$suite: krv-process --list"; cat "$work/$suite-list.log" >&2
  fi
  # No X server in this system yet: the effect must not need one.
  rm -rf "$root/tmp/demo"
  chroot_run "$root" "krv-process --quiet --demo /tmp/demo" >"$work/$suite-demo.log" 2>&1 ||
    { fail "$suite: krv-process --demo"; cat "$work/$suite-demo.log" >&2; }
  if cmp "$root/tmp/demo/demo.wav" "$work/dev-demo/demo.wav" &&
    cmp "$root/tmp/demo/demo-tarnwick.wav" "$work/dev-demo/demo-tarnwick.wav"; then
    pass "$suite: krv-process --demo renders the development build's bytes"
  else
    fail "$suite: the demo's output differs from the development build's"
  fi
  # The installed CLAP plug-in renders the same bytes as the development VST library.
  rm -rf "$root/tmp/demo-clap"
  chroot_run "$root" "krv-process --plugin $clap --quiet --demo /tmp/demo-clap" \
    >"$work/$suite-demo-clap.log" 2>&1 || { fail "$suite: krv-process --demo through $clap"; cat "$work/$suite-demo-clap.log" >&2; }
  if cmp "$root/tmp/demo-clap/demo-tarnwick.wav" "$work/dev-demo/demo-tarnwick.wav"; then
    pass "$suite: $clap renders the development build's bytes"
  else
    fail "$suite: the CLAP plug-in's demo differs from the development build's"
  fi
  # The installed LV2 bundle, found by lilv on its own, renders the development bundle's bytes.
  rm -f "$root/tmp/demo-lv2.wav"
  if chroot_run "$root" "apt-get install -y -qq --no-install-recommends lilv-utils >/dev/null &&
      lv2apply -i /tmp/demo/demo.wav -o /tmp/demo-lv2.wav $lv2_uri" >"$work/$suite-lv2.log" 2>&1 &&
    cmp "$root/tmp/demo-lv2.wav" "$work/dev-demo/demo-lv2.wav"; then
    pass "$suite: lv2apply finds $lv2 and renders the development bundle's bytes"
  else
    fail "$suite: the installed LV2 bundle did not render the development bundle's bytes"; cat "$work/$suite-lv2.log" >&2
  fi
  chroot_run "$root" "apt-get install -y -qq --no-install-recommends xvfb xauth" >>"$work/$suite-apt.log" 2>&1 ||
    { fail "$suite: could not install Xvfb"; return; }
  rm -f "$root/tmp/editor.png"
  chroot_run "$root" "xvfb-run -a -s '-screen 0 1280x1024x24' krv-host --screenshot /tmp/editor.png --after 1500" \
    >"$work/$suite-host.log" 2>&1 || { fail "$suite: krv-host --screenshot"; cat "$work/$suite-host.log" >&2; }
  if cmp "$root/tmp/editor.png" "$work/dev-editor.png"; then
    pass "$suite: the editor's screenshot is the development build's picture"
  else
    cp "$root/tmp/editor.png" "$work/$suite-editor.png" 2>/dev/null || true
    fail "$suite: the editor's screenshot differs (build-release/test/$suite-editor.png)"
  fi
  chroot_unmount_all
  chroot_remove "$root"
}

test_in bullseye
test_in bookworm

# The zip's DLL under Wine, drawn by the Windows test host, against the development DLL.
echo "== Windows zip under Wine ($(seconds))"
rm -rf "$work/zip"
mkdir -p "$work/zip"
(cd "$work/zip" && unzip -q "$dist/$zipped.zip")
wine_desk_start "$(pwd)/build-release/wineprefix"
wine_prefix_create
windows_host=$dev_windows/krv-host.exe
for dll in "$work/zip/$zipped/krv-tarnwick.dll" "$dev_windows/krv-tarnwick.dll" \
    "$work/zip/$zipped/krv-tarnwick.clap" "$dev_windows/krv-tarnwick.clap"; do
  rm -f "$dll.png"
  # No address randomisation: see scripts/wine-run.sh.
  setarch -R wine "$windows_host" --plugin "Z:$dll" --screenshot "Z:$dll.png" --after 1500 </dev/null >/dev/null 2>&1 || true
done
if [ -s "$work/zip/$zipped/krv-tarnwick.dll.png" ] &&
  cmp "$work/zip/$zipped/krv-tarnwick.dll.png" "$dev_windows/krv-tarnwick.dll.png"; then
  pass "Wine: the zip's DLL loads and draws the development DLL's editor"
else
  fail "Wine: the zip's DLL did not draw the development DLL's editor"
fi
# The meter's needle follows the test signal as each format's host loop runs it: the zip's
# CLAP file against the development one.
if [ -s "$work/zip/$zipped/krv-tarnwick.clap.png" ] &&
  cmp "$work/zip/$zipped/krv-tarnwick.clap.png" "$dev_windows/krv-tarnwick.clap.png"; then
  pass "Wine: the zip's CLAP file loads and draws the development CLAP file's editor"
else
  fail "Wine: the zip's CLAP file did not draw the development CLAP file's editor"
fi

echo "== $(seconds)"
if [ "$failures" -ne 0 ]; then
  echo "$failures release checks failed" >&2
  exit 1
fi
echo "every release check passed"
