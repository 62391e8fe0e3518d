#!/bin/sh
# The release scripts' chroot helpers never delete a folder with anything mounted inside
# (a bind-mounted /dev would go with it), and undo every mount they made.
# Usage: chroot_safety_test.sh SOURCE_ROOT   (needs root to mount; exits 77, skipped, without)
set -eu
[ "$(id -u)" -eq 0 ] || { echo "needs root to mount"; exit 77; }
. "$1/scripts/lib/debian-chroot.sh"
scratch=$(mktemp -d)
trap 'chroot_unmount_all; umount "$scratch/root/etc" 2>/dev/null || true; rm -rf --one-file-system "$scratch"' EXIT
status=0
fail() { echo "FAILED: $*"; status=1; }

# A folder shaped like a chroot, with a folder of this file system bound inside: deleting
# across that mount would reach the files outside.
mkdir -p "$scratch/root/proc" "$scratch/root/dev/pts" "$scratch/root/etc" "$scratch/outside"
touch "$scratch/outside/must-survive"
mount --bind "$scratch/outside" "$scratch/root/etc"
chroot_has_mounts "$scratch/root" || fail "the mount inside was not seen"
chroot_has_mounts "$scratch/ro" && fail "a folder whose name only starts the same counts as mounted"
if chroot_remove "$scratch/root" 2>/dev/null; then fail "a chroot with a mount inside was deleted"; fi
[ -e "$scratch/outside/must-survive" ] || fail "a file outside the chroot went through the mount"
[ -d "$scratch/root/proc" ] || fail "the refused chroot was partly deleted"
umount "$scratch/root/etc"

# What the scripts mount, and undo on exit.
chroot_mount "$scratch/root"
chroot_has_mounts "$scratch/root" || fail "the chroot's mounts were not seen"
chroot_unmount_all
chroot_has_mounts "$scratch/root" && fail "mounts are left after unmounting"
chroot_remove "$scratch/root" || fail "the unmounted chroot was not deleted"
[ ! -e "$scratch/root" ] || fail "the chroot is still there"
[ -e "$scratch/outside/must-survive" ] || fail "a file outside the chroot went"
exit $status
