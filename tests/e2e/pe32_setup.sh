#!/bin/bash
# Lets this machine run the shipped 32-bit setup.exe under Wine, for the end-to-end suite; `make
# deps-pe32` runs it and `make test` runs that. Idempotent: on a machine already set up it only
# checks, in well under a second.
#
# The kernels here cannot start 32-bit Linux programs, so Debian's 32-bit Wine loader is run through
# QEMU's user-mode emulator, registered with binfmt_misc for 32-bit x86 programs. Debian 12's own
# QEMU takes about a minute to start each program and its 32-bit prefixes hang; the backported one
# starts them in half a second. The suite keeps running /usr/lib/wine/wine64, which starts the
# 32-bit loader by itself for a PE32 program.
#
# When the machine does not allow it (not root, binfmt_misc cannot be mounted or written), this
# says why and exits 0: the PE32 cases then skip with the same reason (lib.sh, e2e_require_pe32).
# A failed package install fails, as `make deps` does.
set -euo pipefail

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
# When we registered: binfmt_misc entries carry no time. /run goes at a reboot, as they do.
STAMP=/run/tarnwick-$ENTRY.registered

say() { printf 'deps-pe32: %s\n' "$*" >&2; }

# Mounts binfmt_misc when needed; prints why 32-bit programs cannot be registered here, or nothing
# when they can.
binfmt_ready_or_why() {
  if [[ $(id -u) != 0 ]]; then
    echo "not root: cannot install packages or register a handler for 32-bit x86 programs"
    return
  fi
  if [[ ! -e $BINFMT/register ]]; then
    grep -qw binfmt_misc /proc/filesystems 2>/dev/null || { echo "the kernel has no binfmt_misc"; return; }
    local err
    err=$(mount -t binfmt_misc binfmt_misc "$BINFMT" 2>&1) || { echo "cannot mount binfmt_misc: $err"; return; }
  fi
  [[ -w $BINFMT/register ]] || echo "$BINFMT/register is not writable"
}

qemu_is_recent() {
  local version
  version=$(dpkg-query -W -f '${Version}' qemu-user 2>/dev/null) || return 1
  dpkg --compare-versions "$version" ge "$MIN_QEMU"
}

install_packages() {
  local update=0 missing=()
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    update=1
  fi
  if [[ ! -f $BACKPORTS ]]; then
    printf 'Types: deb\nURIs: http://deb.debian.org/debian\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      >"$BACKPORTS"
    update=1
  fi
  dpkg -s wine32:i386 >/dev/null 2>&1 || missing+=(wine32:i386)
  qemu_is_recent || missing+=(qemu-user qemu-user-static)
  ((${#missing[@]} || update)) || return 0
  say "installing ${missing[*]:-nothing (package lists only)}"
  apt-get update -qq
  ((${#missing[@]})) || return 0
  # wine32 from the release; QEMU from the backports (the release's is too slow, see above).
  local wine=() qemu=() p
  for p in "${missing[@]}"; do
    if [[ $p == qemu-* ]]; then qemu+=("$p"); else wine+=("$p"); fi
  done
  if ((${#wine[@]})); then DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${wine[@]}" >/dev/null; fi
  if ((${#qemu[@]})); then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -t bookworm-backports "${qemu[@]}" >/dev/null
  fi
}

# The entry is ours and current when it is enabled, names the emulator with our flags, and (with F,
# which holds the file opened at registration) was made after the emulator was last replaced.
entry_is_current() {
  local file=$BINFMT/$ENTRY
  [[ -f $file ]] || return 1
  grep -qx enabled "$file" && grep -qx "interpreter $QEMU" "$file" || return 1
  local flags
  flags=$(sed -n 's/^flags: //p' "$file")
  [[ $flags == *F* && $flags == *P* ]] || return 1
  [[ -f $STAMP && ! $QEMU -nt $STAMP ]]
}

register() {
  entry_is_current && return 0
  # Another or a stale registration under our name is replaced; writing -1 removes an entry.
  if [[ -e $BINFMT/$ENTRY ]]; then echo -1 >"$BINFMT/$ENTRY"; fi
  printf ':%s:M::%s:%s:%s:%s' "$ENTRY" "$MAGIC" "$MASK" "$QEMU" "$FLAGS" >"$BINFMT/register"
  touch "$STAMP"
  say "registered $QEMU for 32-bit x86 programs"
}

reason=$(binfmt_ready_or_why)
if [[ -n $reason ]]; then
  say "the 32-bit setup.exe cannot run here ($reason); its end-to-end cases will be skipped"
  exit 0
fi
install_packages
register
# The proof: the 32-bit loader starts.
/usr/lib/wine/wine --version >/dev/null 2>&1 || { say "the 32-bit Wine loader does not start"; exit 1; }
