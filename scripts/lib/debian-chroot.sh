# Minimal Debian systems in folders, for building releases on the oldest Debian we support
# and for installing them into clean systems. Sourced by scripts/release.sh and
# scripts/test-release.sh; needs root, debootstrap and the Debian mirror apt already uses.
#
# POSIX sh with local (dash, bash).
#
# Every chroot_mount is undone by chroot_unmount_all, which the scripts run on exit, also
# on failure; chroot_remove refuses a folder that still has anything mounted inside.

KRV_CHROOT_MOUNTED=""

# The Debian mirror and the security mirror of this machine's apt sources.
debian_mirror() {
  apt_uris | grep -v -- '-security' | head -n 1
}
debian_security_mirror() {
  local security
  security=$(apt_uris | grep -- '-security' | head -n 1)
  if [ -n "$security" ]; then echo "$security"; else echo "$(debian_mirror)-security"; fi
}
apt_uris() {
  {
    cat /etc/apt/sources.list.d/*.sources 2>/dev/null | sed -n 's/^URIs:[[:space:]]*//p' | tr ' ' '\n'
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
      sed -n 's/^deb[[:space:]]\{1,\}\(\[[^]]*\][[:space:]]\{1,\}\)\{0,1\}\([^[:space:]]*\).*/\2/p'
  } | grep -E '^https?://' | sed 's:/*$::' | awk '!seen[$0]++'
}

# Writes SUITE's sources (main, updates, security) into the chroot at ROOT.
chroot_sources() {
  local root=$1 suite=$2 mirror security
  mirror=$(debian_mirror)
  security=$(debian_security_mirror)
  printf 'deb %s %s main\ndeb %s %s-updates main\ndeb %s %s-security main\n' \
    "$mirror" "$suite" "$mirror" "$suite" "$security" "$suite" >"$root/etc/apt/sources.list"
}

# A pristine minbase SUITE, unpacked into ROOT (which must not exist). debootstrap runs once
# per SUITE; later calls unpack the archive it left in CACHE.
chroot_fresh() {
  local root=$1 suite=$2 cache=$3 archive staging
  archive="$cache/$suite-minbase.tar"
  if [ ! -f "$archive" ]; then
    mkdir -p "$cache"
    staging="$cache/$suite-staging"
    chroot_remove "$staging"
    echo "== debootstrap $suite from $(debian_mirror)"
    debootstrap --variant=minbase "$suite" "$staging" "$(debian_mirror)" >"$cache/$suite-debootstrap.log" 2>&1 ||
      { tail -n 30 "$cache/$suite-debootstrap.log" >&2; return 1; }
    chroot_sources "$staging" "$suite"
    tar -C "$staging" -cf "$archive.part" . && mv "$archive.part" "$archive"
    chroot_remove "$staging"
  fi
  mkdir -p "$root"
  tar -C "$root" -xf "$archive"
}

chroot_mount() {
  local root=$1
  cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
  mount -t proc proc "$root/proc"
  KRV_CHROOT_MOUNTED="$root/proc $KRV_CHROOT_MOUNTED"
  mount --bind /dev "$root/dev"
  KRV_CHROOT_MOUNTED="$root/dev $KRV_CHROOT_MOUNTED"
  mount --bind /dev/pts "$root/dev/pts"
  KRV_CHROOT_MOUNTED="$root/dev/pts $KRV_CHROOT_MOUNTED"
}

# Newest first, so that dev/pts goes before dev.
chroot_unmount_all() {
  local point
  for point in $KRV_CHROOT_MOUNTED; do
    umount "$point" 2>/dev/null || umount -l "$point" 2>/dev/null || true
  done
  KRV_CHROOT_MOUNTED=""
}

# Anything mounted at or below FOLDER?
chroot_has_mounts() {
  local folder
  folder=$(realpath -m "$1")
  awk -v folder="$folder" '$2 == folder || index($2, folder "/") == 1 { found = 1 } END { exit !found }' \
    /proc/self/mounts
}

chroot_remove() {
  local root=$1
  [ -e "$root" ] || return 0
  if chroot_has_mounts "$root"; then
    echo "refusing to delete $root: something is still mounted inside it" >&2
    return 1
  fi
  rm -rf --one-file-system "$root"
}

# Runs a shell command inside ROOT with a clean environment.
chroot_run() {
  local root=$1
  shift
  chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    ${SOURCE_DATE_EPOCH:+SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH} /bin/sh -ec "$1"
}
