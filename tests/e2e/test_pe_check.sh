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
done
