#!/bin/bash
# Merge modules under Wine: after a silent installation, a program from the setup's SupportFiles
# folder runs and is waited for, then msiexec installs "mergemod.msi" (built here by wixl) and the
# work folder goes. Then a second product whose package is damaged: msiexec fails, the installation
# is taken back whole and the run exits 1603.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

command -v wixl >/dev/null || e2e_skip "wixl is not installed (make deps)"
CODE='{1E0D4B6A-2C3F-4E8A-9B7D-5F6A1C2E3D40}'
e2e_begin merge_modules
project=$E2E_DIR/project
packed=$E2E_DIR/packed
mkdir -p "$project/payload" "$project/SupportFiles" "$E2E_DIR/msi"
[[ -f $E2E_WIN64_DIR/dovuvi_standin.exe ]] || e2e_fail "missing $E2E_WIN64_DIR/dovuvi_standin.exe"
cp "$E2E_WIN64_DIR/dovuvi_standin.exe" "$project/SupportFiles/runtime.exe"

printf 'merge module payload\r\n' >"$E2E_DIR/msi/probe.txt"
cat >"$E2E_DIR/msi/probe.wxs" <<'WXS'
<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="*" Name="Tarnwick Merge Probe" Language="1033" Version="1.0.0" Manufacturer="Tarnwick Tests"
           UpgradeCode="3F2A9C10-6B1E-4D7A-9E55-0C4B8D2F7A61">
    <Package InstallerVersion="200" Compressed="yes" InstallScope="perMachine"/>
    <Media Id="1" Cabinet="probe.cab" EmbedCab="yes"/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="ProgramFilesFolder">
        <Directory Id="INSTALLDIR" Name="Tarnwick Merge Probe">
          <Component Id="Probe" Guid="7C1D2E3F-4A5B-4C6D-8E9F-0A1B2C3D4E5F">
            <File Id="ProbeTxt" Source="probe.txt" KeyPath="yes"/>
          </Component>
        </Directory>
      </Directory>
    </Directory>
    <Feature Id="Main" Level="1"><ComponentRef Id="Probe"/></Feature>
  </Product>
</Wix>
WXS
(cd "$E2E_DIR/msi" && wixl -o "$project/mergemod.msi" probe.wxs) || e2e_fail "wixl failed"

printf 'app\r\n' >"$project/payload/app.txt"
{
  printf '[APPINFO]\r\na1=Merge Demo\r\na2=1.0\r\na3=%s\r\na4=C:\\Merge Demo\r\n' "$CODE"
  printf '[BUILDING]\r\n2=Yes\r\nCURRENTBUILD=Cabinet\r\n'
  e2e_any_machine
  printf '[MERGEMODULES]\r\nTOTAL=1\r\nC0=<ResourceDir>\\Runtime.exe\r\nD0=/quiet /norestart\r\nE0=127\r\nF0=\r\nG0=\r\n'
} >"$project/setup.inf"
printf 'C:\\src\\app.txt\r\nDestination Computer\\<InstallDir>*0*0*0|\r\n' >"$project/data.inf"
e2e_pack "$project" "$packed" >/dev/null
e2e_assert_file "$packed/mergemod.msi" "the packed merge-module package"

e2e_install_silently "$packed"
e2e_assert_file "$E2E_DRIVE_C/Merge Demo/app.txt" "the project's own file"

standin=$(tr -d '\r' <"$E2E_DRIVE_C/dovuvi-standin.log" 2>/dev/null) || e2e_fail "the SupportFiles program did not run"
[[ $standin == *"/quiet /norestart"* && $standin == *finished* ]] ||
  e2e_fail "the program was not run with its arguments and waited for: $standin"
cmp "$E2E_DIR/msi/probe.txt" "$E2E_DRIVE_C/Program Files (x86)/Tarnwick Merge Probe/probe.txt" 2>/dev/null ||
  cmp "$E2E_DIR/msi/probe.txt" "$E2E_DRIVE_C/Program Files/Tarnwick Merge Probe/probe.txt" ||
  e2e_fail "msiexec did not install the package; trace: $(grep merge "$E2E_DIR/trace.log")"
grep -q '^install mergemod-package command=.*msiexec.exe /i .*mergemod.msi.* /q" result=ran' "$E2E_DIR/trace.log" ||
  e2e_fail "the package run is not traced: $(grep mergemod "$E2E_DIR/trace.log")"
for dir in "$E2E_TEMP"/tw*; do
  if [[ -e $dir ]]; then e2e_fail "the work folder is still there: $dir"; fi
done

# The same with a package msiexec refuses, as another product into a folder of its own.
BROKEN='{6A1B2C3D-4E5F-4061-8273-94A5B6C7D8E9}'
sed -i "s/$CODE/$BROKEN/; s/Merge Demo/Merge Broken/g" "$project/setup.inf"
printf 'not a package' >"$project/mergemod.msi"
rm -rf "$packed"
e2e_pack "$project" "$packed" >/dev/null
rc=0
(cd "$packed" && e2e_wine "$packed/setup.exe" /S) || rc=$?
e2e_assert_eq $((1603 & 255)) "$rc" "exit code of a run whose package failed (1603; the shell sees its low byte)"
grep -q '^install aborted reason=merge-module' "$E2E_DIR/trace.log" || e2e_fail "no failed merge module: $(grep mergemod "$E2E_DIR/trace.log")"
grep -q '^rollback end .*failed=0' "$E2E_DIR/trace.log" || e2e_fail "no whole rollback: $(grep '^rollback' "$E2E_DIR/trace.log")"
[[ ! -e "$E2E_DRIVE_C/Merge Broken" ]] || e2e_fail "the rollback left the install folder: $(find "$E2E_DRIVE_C/Merge Broken")"
[[ ! -e "$E2E_DRIVE_C/windows/Installer/$BROKEN" ]] || e2e_fail "the rollback left the log folder"
if e2e_wine reg query "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$BROKEN" "$E2E_REG_VIEW" >/dev/null 2>&1; then
  e2e_fail "the rollback left the uninstall registration"
fi
e2e_end
