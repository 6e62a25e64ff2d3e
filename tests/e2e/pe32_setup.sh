#!/bin/bash
# Lets this machine run the shipped 32-bit setup.exe under Wine, for the end-to-end suite; `make
# deps-pe32` runs it and `make test` runs that. Idempotent: on a machine already set up it only
# checks, in well under a second.
#
# It installs Debian's 32-bit Wine. Where the kernel starts 32-bit programs itself, that is all.
# Where it does not (the loader then fails with "Exec format error", as it has on some machines this
# project runs on), the loader runs through QEMU's user-mode emulator, registered with binfmt_misc
# for 32-bit x86 programs. Debian 12's own QEMU takes about a minute to start each program and its
# 32-bit prefixes hang; the backported one starts them in half a second. Either way the suite keeps
# running /usr/lib/wine/wine64, which starts the 32-bit loader itself for a PE32 program.
# TARNWICK_PE32_QEMU=1 takes the emulator route even where the kernel would do, to try it.
#
# When the machine does not allow it (not root, binfmt_misc cannot be mounted or written), or the
# packages cannot be had (a package mirror in the middle of a sync, after a few tries), this says
# why and exits 0: the PE32 cases then skip (lib.sh, _e2e_require_pe32), and the reason is written
# to TARNWICK_PE32_REASON_FILE, when set, for `make test` to repeat at its end.
set -euo pipefail

LOADER32=/usr/lib/wine/wine
BINFMT=/proc/sys/fs/binfmt_misc
ENTRY=qemu-i386
QEMU=/usr/bin/qemu-i386
BACKPORTS=/etc/apt/sources.list.d/bookworm-backports.sources
# QEMU's own magic and mask for 32-bit x86 ELF programs (executables and shared objects).
MAGIC='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
MASK='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
# F: the kernel opens the emulator once, at registration, so it is found from any mount namespace
# and prefix; P: the program keeps its own argv[0], which Wine's loader reads to find itself.
FLAGS=FP
MIN_QEMU=1:9
# Marks the entry as ours, with the time we made it: binfmt_misc entries carry neither. /run goes
# at a reboot, as they do.
STAMP=/run/tarnwick-$ENTRY.registered

REASON_FILE=${TARNWICK_PE32_REASON_FILE:-}
APT_TRIES=${TARNWICK_APT_TRIES:-4}

say() { printf 'deps-pe32: %s\n' "$*" >&2; }

cannot() {
  say "the 32-bit setup.exe cannot run here ($1); its end-to-end cases will be skipped"
  if [[ -n $REASON_FILE ]]; then printf '%s\n' "$1" >"$REASON_FILE"; fi
  exit 0
}

apt_install() {
  say "installing $*"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$@" >/dev/null
}

# A mirror in the middle of a sync serves index files that do not match their release file; a
# little later it serves whole ones. False when every try failed.
apt_update() {
  local try
  for ((try = 1; try <= APT_TRIES; try++)); do
    apt-get update -qq && return 0
    ((try < APT_TRIES)) || break
    say "the package index could not be updated (try $try of $APT_TRIES); trying again in 20 s"
    sleep 20
  done
  return 1
}

# Installs packages after a fresh index; when the packages cannot be had, the cases skip.
apt_update_and_install() {
  apt_update || say "the package index is still not whole; trying with what it has"
  apt_install "$@" || cannot "the packages $* could not be installed (a package mirror in the middle of a sync?)"
}

install_wine32() {
  dpkg -s wine32:i386 >/dev/null 2>&1 && return 0
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt_update_and_install wine32:i386
}

# True when the kernel starts the 32-bit loader by itself. An emulator registered for 32-bit
# programs would be chosen first, so it is switched off for the probe.
runs_natively() {
  local entry=$BINFMT/$ENTRY rc=0
  if [[ -e $entry ]]; then echo 0 >"$entry"; fi
  timeout 20 "$LOADER32" --version >/dev/null 2>&1 || rc=$?
  if [[ -e $entry ]]; then echo 1 >"$entry"; fi
  return "$rc"
}

# Our registration, where the kernel needs none, would only slow every 32-bit program down.
unregister_ours() {
  [[ -f $STAMP ]] || return 0
  if [[ -e $BINFMT/$ENTRY ]]; then echo -1 >"$BINFMT/$ENTRY"; fi
  rm -f "$STAMP"
  say "the kernel starts 32-bit programs itself: removed the emulator registered for them"
}

# Mounts binfmt_misc when needed; prints why 32-bit programs cannot be registered here, or nothing
# when they can.
binfmt_ready_or_why() {
  if [[ ! -e $BINFMT/register ]]; then
    grep -qw binfmt_misc /proc/filesystems 2>/dev/null || { echo "the kernel has no binfmt_misc"; return; }
    local err
    err=$(mount -t binfmt_misc binfmt_misc "$BINFMT" 2>&1) || { echo "cannot mount binfmt_misc: $err"; return; }
  fi
  [[ -w $BINFMT/register ]] || echo "$BINFMT/register is not writable"
}

install_qemu() {
  local version
  version=$(dpkg-query -W -f '${Version}' qemu-user 2>/dev/null) || version=0
  dpkg --compare-versions "$version" ge "$MIN_QEMU" && return 0
  if [[ ! -f $BACKPORTS ]]; then
    printf 'Types: deb\nURIs: http://deb.debian.org/debian\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      >"$BACKPORTS"
  fi
  apt_update_and_install -t bookworm-backports qemu-user qemu-user-static
}

# The entry is current when it is enabled, names the emulator with our flags, and (with F, which
# holds the file opened at registration) was made after the emulator was last replaced.
entry_is_current() {
  local file=$BINFMT/$ENTRY flags
  [[ -f $file && -f $STAMP && ! $QEMU -nt $STAMP ]] || return 1
  grep -qx enabled "$file" && grep -qx "interpreter $QEMU" "$file" || return 1
  flags=$(sed -n 's/^flags: //p' "$file")
  [[ $flags == *F* && $flags == *P* ]]
}

register() {
  entry_is_current && return 0
  # Another or a stale registration under this name is replaced; writing -1 removes an entry.
  if [[ -e $BINFMT/$ENTRY ]]; then echo -1 >"$BINFMT/$ENTRY"; fi
  printf ':%s:M::%s:%s:%s:%s' "$ENTRY" "$MAGIC" "$MASK" "$QEMU" "$FLAGS" >"$BINFMT/register"
  touch "$STAMP"
  say "registered $QEMU for 32-bit x86 programs"
}

if [[ -n $REASON_FILE ]]; then rm -f "$REASON_FILE"; fi
[[ $(id -u) == 0 ]] || cannot "not root: cannot install 32-bit Wine or register an emulator for it"
install_wine32
if [[ ${TARNWICK_PE32_QEMU:-0} != 1 ]] && runs_natively; then
  unregister_ours
  exit 0
fi
reason=$(binfmt_ready_or_why)
[[ -z $reason ]] || cannot "the kernel does not start 32-bit programs, and $reason"
install_qemu
register
# The proof: the 32-bit loader starts through the emulator.
"$LOADER32" --version >/dev/null 2>&1 || { say "the 32-bit Wine loader does not start through $QEMU"; exit 1; }
