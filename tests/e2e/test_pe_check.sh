#!/bin/bash
# The shipped setup.exe and dovuvi.exe are 32-bit GUI programs that need nothing beyond Windows' own
# DLLs; their 64-bit twins are the same programs as PE32+. Usage: test_pe_check.sh win32|win64
set -euo pipefail
source "$(dirname "$0")/lib.sh"

E2E_NAME=pe_check_${1:?win32 or win64}
case $1 in
  win32) dir=${E2E_WIN32_DIR:-} objdump=i686-w64-mingw32-objdump magic=010b ;;
  win64) dir=${E2E_WIN64_DIR:-} objdump=x86_64-w64-mingw32-objdump magic=020b ;;
  *) e2e_fail "unknown build $1" ;;
esac
[[ -n $dir ]] || e2e_skip "no $1 build folder given (E2E_${1^^}_DIR)"

# DLLs present on every supported Windows. A runtime DLL such as libstdc++-6.dll or
# libwinpthread-1.dll here means the static runtime was lost and setup.exe would not start.
allowed=(KERNEL32 USER32 GDI32 ADVAPI32 SHELL32 OLE32 OLEAUT32 COMCTL32 COMDLG32 WS2_32 VERSION MSVCRT
  WININET WINMM CABINET SHLWAPI)

# The manifest, read back out of the PE resources (type 24) as the system loader would find it: it
# must be well-formed XML (a broken one stops the program from starting at all), ask for the
# highest rights the user has, name every system from Vista to 11 so the version query tells the
# truth, and say plainly that the program is not DPI-aware.
windres=${objdump%objdump}windres
read_manifest=$(cat <<'PY'
import re, sys, xml.etree.ElementTree as ET
rc = sys.stdin.read()
block = re.search(r'^1 24 .*?\nBEGIN\n(.*?)\nEND', rc, re.S | re.M)
if not block:
    sys.exit("no RT_MANIFEST resource 1")
text = "".join(re.findall(r'^\s*"(.*)"\s*$', block.group(1), re.M))
text = text.replace('""', '"').encode().decode("unicode_escape")
try:
    root = ET.fromstring(text)
except ET.ParseError as error:
    sys.exit("manifest is not well-formed XML: %s" % error)
asm1, asm3 = "{urn:schemas-microsoft-com:asm.v1}", "{urn:schemas-microsoft-com:asm.v3}"
compat = "{urn:schemas-microsoft-com:compatibility.v1}"
level = root.find(".//%srequestedExecutionLevel" % asm3)
os_ids = {e.get("Id").lower() for e in root.iter(compat + "supportedOS")}
aware = root.find(".//{http://schemas.microsoft.com/SMI/2005/WindowsSettings}dpiAware")
awareness = root.find(".//{http://schemas.microsoft.com/SMI/2016/WindowsSettings}dpiAwareness")
print("level=%s" % (level.get("level") if level is not None else ""))
print("uiAccess=%s" % (level.get("uiAccess") if level is not None else ""))
print("os=%s" % ",".join(sorted(os_ids)))
print("dpiAware=%s" % (aware.text if aware is not None else ""))
print("dpiAwareness=%s" % (awareness.text if awareness is not None else ""))
PY
)
rc_file=$(mktemp)
trap 'rm -f "$rc_file"' EXIT
expected_os="{1f676c76-80e1-4239-95bb-83d0f6d0da78},{35138b9a-5d96-4fbd-8e2d-a2440225f93a},{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38},{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a},{e2011457-1546-43c5-a5fe-008deee3d3f0}"

for program in setup.exe dovuvi.exe; do
  exe=$dir/$program
  e2e_assert_file "$exe" "$1 $program"
  headers=$("$objdump" -p "$exe") || e2e_fail "$objdump cannot read $exe"
  e2e_assert_eq "$magic" "$(awk '$1 == "Magic" { print $2; exit }' <<<"$headers")" "$1 optional header magic"
  e2e_assert_eq "00000002" "$(awk '$1 == "Subsystem" { print $2; exit }' <<<"$headers")" \
    "$1 subsystem (2 = Windows GUI)"

  imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
  [[ -n $imports ]] || e2e_fail "$exe imports no DLL at all"
  bad=()
  while IFS= read -r dll; do
    name=${dll^^}
    name=${name%.DLL}
    [[ " ${allowed[*]} " == *" $name "* ]] || bad+=("$dll")
  done <<<"$imports"
  ((${#bad[@]} == 0)) || e2e_fail "$exe imports non-system DLLs: ${bad[*]}"
  echo "$1 $program: magic $magic, GUI, imports: $(tr '\n' ' ' <<<"$imports")"

  "$windres" -J coff -i "$exe" -O rc >"$rc_file" 2>/dev/null || e2e_fail "$windres cannot read the resources of $exe"
  verdict=$(python3 -c "$read_manifest" <"$rc_file" 2>&1) || e2e_fail "$1 $program manifest: $verdict"
  e2e_assert_eq "level=highestAvailable
uiAccess=false
os=$expected_os
dpiAware=false
dpiAwareness=unaware" "$verdict" "$1 $program manifest"
  echo "$1 $program manifest: highestAvailable, Vista to 11, DPI-unaware"
done
