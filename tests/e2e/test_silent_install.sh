#!/bin/bash
# Silent installations under Wine of projects packed by tarnwick-pack, one per build kind: the
# files arrive byte for byte, the registry values and the uninstall registration are written (the
# uninstaller put where UninstallString finds it), the uninstall log holds exactly the changes, and
# no work folder or temporary file is left behind. cabinet_set installs from the cabinet cut into
# a set of two; truncated installs from a cabinet cut short in the middle of a member, fails that
# member cleanly, and the run's rollback takes back what it wrote before the cut. per_user installs
# the cabinet build with /S /CURRENTUSER: registered under HKCU alone, its log and uninstaller in
# the user's local application data, and removed again by
# the registered QuietUninstallString. single_file packs the cabinet build as one program signed
# with a certificate made here: a copy cut 1 MB short (run with and without /S, its message read
# off the box) and a copy with one byte flipped each end with 1603 and leave nothing, then the signed file installs as the folder build does, from a folder
# holding nothing else. rollback replaces a file of the user's, then cannot write where a folder
# of the user's stands (once in person, the system's reason in the retry dialog and the /LOG= file,
# then silently); then, once more, also overwrites a value of the user's and fails on a
# service: after each, the machine is as before. unicode installs on an English machine (code page
# 1252) from a setup folder, through a %TEMP% and into a /D= folder each named in Japanese with a
# fullwidth backslash, from a UTF-8 project whose product name and shortcut are Japanese; the real
# uninstaller then removes everything it made.
# Usage: test_silent_install.sh cabinet|cabinet_set|truncated|disk_image|split|per_user|single_file|rollback|unicode
set -euo pipefail
source "$(dirname "$0")/lib.sh"

CASE=${1:?usage: test_silent_install.sh cabinet|cabinet_set|truncated|disk_image|split|per_user|single_file|rollback|unicode}
CODE='{7D3C9A10-4B2E-4F61-9C8D-2E5A1B7F3C40}'
KEY="HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$CODE"
MACHINE_KEY=$KEY
[[ $CASE == per_user ]] && KEY="HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$CODE"

write_project() {
  local project=$1 build=$2
  mkdir -p "$project/payload" "$project/support"
  # The uninstaller travels with the payload: in the cabinet, DiskImage1, or the split cabinet.
  # The per-user case is removed again, by the real one.
  local uninstaller=dovuvi_standin.exe
  [[ $CASE == per_user || $CASE == unicode ]] && uninstaller=dovuvi.exe
  cp "$E2E_WIN64_DIR/$uninstaller" "$project/support/dovuvi.exe"
  printf 'first file\r\n' >"$project/payload/readme.txt"
  head -c 70000 /dev/urandom >"$project/payload/data.bin"
  printf '[APPINFO]\r\na1=Silent Demo\r\na2=2.1\r\na3=%s\r\na4=C:\\Silent Demo\r\na19=Tarnwick Tests\r\n' "$CODE" >"$project/setup.inf"
  printf '[BUILDING]\r\n2=Yes\r\nCURRENTBUILD=%s\r\n' "$build" >>"$project/setup.inf"
  e2e_any_machine >>"$project/setup.inf"
  printf '[REGISTRYKEYS]\r\nTOTAL=1\r\n0=HKEY_CURRENT_USER\\Software\\Tarnwick Silent\\\r\n' >>"$project/setup.inf"
  printf '[REGISTRY]\r\nTOTAL=3\r\n' >>"$project/setup.inf"
  printf 'A0=HKEY_CURRENT_USER\\Software\\Tarnwick Silent\\\r\nB0=Folder\r\nC0=<InstallDir>\r\nD0=String\r\n' >>"$project/setup.inf"
  printf 'A1=HKEY_CURRENT_USER\\Software\\Tarnwick Silent\\\r\nB1=Count\r\nC1=42abc\r\nD1=1\r\n' >>"$project/setup.inf"
  printf 'A2=HKEY_CURRENT_USER\\Software\\Tarnwick Silent\\\r\nB2=Raw\r\nC2=AB\r\nD2=Binary\r\n' >>"$project/setup.inf"
  printf 'C:\\src\\readme.txt\r\nDestination Computer\\<InstallDir>*0*0*0|\r\nC:\\src\\data.bin\r\nDestination Computer\\<InstallDir>data\\*0*0*0|\r\n' >"$project/data.inf"
}

reg_value() {  # KEY NAME -> the data column of `reg query`
  e2e_wine reg query "$1" /v "$2" "$E2E_REG_VIEW" 2>/dev/null | tr -d '\r' | awk -v name="$2" '$1 == name { $1 = ""; $2 = ""; sub(/^  */, ""); print }'
}

e2e_begin "silent_install_$CASE"
project=$E2E_DIR/project
packed=$E2E_DIR/packed
case $CASE in
  cabinet | cabinet_set | truncated | per_user | rollback) write_project "$project" Cabinet; options=() ;;
  single_file)
    write_project "$project" Cabinet
    # Large enough that a copy cut 1 MB short still holds the whole program image; the language
    # file gives the damaged-file message its own words.
    head -c 1500000 /dev/urandom >"$project/payload/data.bin"
    printf '[SetupDamaged]\r\n0=This copy of Silent Demo is damaged.\r\n' >"$project/language.lan"
    openssl req -x509 -newkey rsa:2048 -nodes -keyout "$E2E_DIR/key.pem" -out "$E2E_DIR/cert.pem" -days 2 \
      -subj '/CN=Tarnwick Test Signer' 2>/dev/null
    openssl pkcs12 -export -out "$E2E_DIR/signer.pfx" -inkey "$E2E_DIR/key.pem" -in "$E2E_DIR/cert.pem" \
      -passout pass:pfx-secret
    export TW_TEST_PFX_PASSWORD=pfx-secret
    options=(--single-file --sign "$E2E_DIR/signer.pfx" --sign-password-env TW_TEST_PFX_PASSWORD)
    ;;
  disk_image) write_project "$project" Cabinet; options=(--disk-image) ;;
  unicode)
    write_project "$project" Cabinet
    {
      printf '\357\273\277'
      sed 's/^a1=Silent Demo/a1=日本語デモ/' "$project/setup.inf"
      printf '[FOLDERTW]\r\nTOTAL=1\r\nA0=Start Menu\\Programs Menu\\<ProductName>\\日本語のショートカット\r\n'
      printf 'B0=日本語のショートカット\r\nC0=<InstallDir>readme.txt\r\n'
    } >"$E2E_DIR/setup.inf"
    mv "$E2E_DIR/setup.inf" "$project/setup.inf"
    options=()
    ;;
  split) write_project "$project" 'Split Files'; options=(--split) ;;
  *) e2e_fail "unknown case $CASE" ;;
esac
"$E2E_HOST_DIR/tarnwick-pack" "$project" "$packed" --setup "$E2E_SETUP_DIR/setup.exe" "${options[@]}" >/dev/null ||
  e2e_fail "tarnwick-pack failed"

installed=$E2E_DRIVE_C/Silent\ Demo
# snapshot FILE: the install folder's tree with each file's checksum, the touched key, the services.
snapshot() {
  # Each part may find nothing (no Installer folder, no key): that is part of the picture.
  {
    (cd "$E2E_DRIVE_C" && find 'Silent Demo' windows/Installer -printf '%p %s %M\n' 2>/dev/null | LC_ALL=C sort) || true
    (cd "$E2E_DRIVE_C" && find 'Silent Demo' -type f -exec md5sum {} + 2>/dev/null | LC_ALL=C sort) || true
    # The touched keys as reg export writes them (its first line says only which format).
    for exported in 'HKCU\Software\Tarnwick Silent' "$KEY"; do
      rm -f "$E2E_DIR/export.reg"
      if e2e_wine reg export "$exported" 'C:\export.reg' >/dev/null 2>&1; then
        iconv -f UTF-16 -t UTF-8 "$E2E_DRIVE_C/export.reg" | tr -d '\r' | tail -n +2
        rm -f "$E2E_DRIVE_C/export.reg"
      else
        echo "no key $exported"
      fi
    done
    e2e_wine sc query TarnwickPlanted 2>/dev/null | tr -d '\r' | grep -E 'SERVICE_NAME|TYPE' || true
  } >"$1"
}
case $CASE in
  unicode)
    # English, with UTF-8 for the names Wine takes from this side (arguments, file names).
    export LC_ALL=C.UTF-8
    temp='C:\一時＼フォルダ'
    mkdir -p "$E2E_DRIVE_C/一時＼フォルダ"
    for name in TEMP TMP; do
      e2e_wine reg add 'HKCU\Environment' /v "$name" /d "$temp" /f >/dev/null 2>&1 || e2e_fail "could not set $name"
    done
    E2E_TEMP=$E2E_DRIVE_C/一時＼フォルダ
    setup_dir=$E2E_DIR/セットアップ＼フォルダ
    mv "$packed" "$setup_dir"
    target='C:\インストール＼先'
    installed=$E2E_DRIVE_C/インストール＼先
    e2e_install_silently "$setup_dir" /S "/D=$target"
    grep -F "startup work-folder path=\"$temp\\tw" "$E2E_DIR/trace.log" | grep -q 'result=created' ||
      e2e_fail "the work folder was not made in the Japanese %TEMP%: $(grep -i 'work' "$E2E_DIR/trace.log" | head -3)"
    [[ ! -e $E2E_DRIVE_C/インストール ]] || e2e_fail "the fullwidth backslash split the install folder"
    cmp "$project/payload/readme.txt" "$installed/readme.txt" || e2e_fail "readme.txt differs or is missing"
    cmp "$project/payload/data.bin" "$installed/data/data.bin" || e2e_fail "data.bin differs or is missing"
    link=$(find "$E2E_DRIVE_C/users" -path '*/日本語デモ/日本語のショートカット.lnk')
    [[ -n $link ]] || e2e_fail "no Japanese shortcut: $(find "$E2E_DRIVE_C/users" -name '*.lnk')"
    log=$E2E_DRIVE_C/windows/Installer/$CODE/uninstall.log
    e2e_assert_eq 'efbbbf' "$(head -c 3 "$log" | od -An -tx1 | tr -d ' ')" "the byte-order mark of a log that needs UTF-8"
    for line in "FILE=$target\\readme.txt" "FILE=$target\\data\\data.bin" 'SHORTCUT=C:\users\' \
                '日本語デモ\日本語のショートカット.lnk'; do
      grep -qF "$line" "$log" || e2e_fail "the log lacks $line: $(cat "$log")"
    done
    # reg.exe would print these through the console's code page; regedit exports them as UTF-16.
    exported() {
      e2e_wine regedit /E "$(e2e_winpath "$E2E_DIR/key.reg")" "$1" >/dev/null 2>&1 || e2e_fail "could not export $1"
      iconv -f UTF-16 -t UTF-8 "$E2E_DIR/key.reg" | tr -d '\r'
    }
    exported 'HKEY_CURRENT_USER\Software\Tarnwick Silent' | grep -qxF '"Folder"="C:\\インストール＼先\\"' ||
      e2e_fail "the Folder value: $(exported 'HKEY_CURRENT_USER\Software\Tarnwick Silent' | grep Folder)"
    exported "${KEY/HKLM/HKEY_LOCAL_MACHINE}" | grep -qxF '"DisplayName"="日本語デモ"' ||
      e2e_fail "DisplayName: $(exported "${KEY/HKLM/HKEY_LOCAL_MACHINE}" | grep DisplayName)"
    left=$(ls -d "$E2E_TEMP"/tw[0-9]* 2>/dev/null || true)
    [[ -z $left ]] || e2e_fail "work folder left behind: $left"
    rc=0
    eval "e2e_wine $(reg_value "$KEY" QuietUninstallString)" || rc=$?
    e2e_assert_eq 0 "$rc" "the QuietUninstallString's exit code"
    [[ -z $(reg_value "$KEY" DisplayName) ]] || e2e_fail "still registered after the removal"
    [[ ! -e $installed && ! -e $link && ! -e $log ]] || e2e_fail "the removal left the product, its shortcut or its log"
    [[ -z $(find "$E2E_DRIVE_C/users" -name '日本語デモ') ]] || e2e_fail "the removal left the shortcut's folder"
    exit 0
    ;;
  rollback)
    # The machine already holds a readme.txt and a Folder value where the run writes, a folder of
    # the user's where data.bin must go, and a service of someone else's. The first run replaces
    # readme.txt, then cannot write data.bin; the second (the folder gone) also overwrites the
    # value, then fails on the service of the name it asks for. /S answers each retry question
    # Cancel; each run must leave everything exactly as it was.
    mkdir -p "$installed/data/data.bin"
    printf "the user's\r\n" >"$installed/data/data.bin/notes.txt"
    printf "the user's readme\r\n" >"$installed/readme.txt"
    touch -d '2001-02-03 04:05:06' "$installed/readme.txt"
    e2e_wine reg add 'HKCU\Software\Tarnwick Silent' /v Folder /t REG_EXPAND_SZ /d '%THEIRS%' /f >/dev/null 2>&1 ||
      e2e_fail "could not plant a value"
    e2e_wine sc create TarnwickPlanted binPath= 'C:\windows\notepad.exe' >/dev/null 2>&1 || e2e_fail "could not plant a service"
    # Once in person first, logging to a /LOG= file: the system's reason for the failed copy is in
    # the log and on the line below the retry dialog's message. Cancel rolls the run back.
    cd "$packed"
    e2e_wine_bg "$packed/setup.exe" '/LOG=C:\rollback.log'
    cd - >/dev/null
    e2e_driver wait --title 'Corvane Tarnwick' --timeout 60000 >/dev/null || e2e_fail "no retry dialog; windows: $(e2e_driver list)"
    run_log=$E2E_DRIVE_C/rollback.log
    failed=$(grep -F 'install copy dest="C:\Silent Demo\data\data.bin" result=failed' "$run_log") ||
      e2e_fail "no failed copy in the /LOG= file: $(grep '^install copy' "$run_log")"
    [[ $failed =~ \ error=5\ reason=\"([^\"]+)\"$ ]] || e2e_fail "the failed copy has no system reason: $failed"
    e2e_assert_eq $'Tarnwick can\'t copy the file:\r\nC:\\Silent Demo\\data\\data.bin\r\nWhat you would like to do ?\r\n'"${BASH_REMATCH[1]}" \
      "$(e2e_control_text 'Corvane Tarnwick' 1000)" "the retry dialog's text"
    e2e_driver click --title 'Corvane Tarnwick' --id 2 >/dev/null || e2e_fail "no Cancel button"
    for _ in $(seq 600); do grep -q '^install end cancelled=255' "$run_log" && break; sleep 0.1; done
    grep -q '^rollback end .*failed=0' "$run_log" || e2e_fail "no rollback after Cancel: $(grep '^rollback' "$run_log")"
    # Its completion page stays up for the user; the silent runs below need the machine to themselves.
    kill "$E2E_BG_PID"
    wait "$E2E_BG_PID" || true
    for failure in folder service; do
      if [[ $failure == service ]]; then
        rm -r "$installed/data"
        printf '[NTSERVICE]\r\nTOTAL=1\r\nA0=TarnwickPlanted\r\nB0=Planted\r\nF0=<InstallDir>readme.txt\r\n' >>"$project/setup.inf"
        "$E2E_HOST_DIR/tarnwick-pack" "$project" "$packed" --setup "$E2E_SETUP_DIR/setup.exe" >/dev/null ||
          e2e_fail "tarnwick-pack failed"
      fi
      snapshot "$E2E_DIR/before"
      rc=0
      (cd "$packed" && e2e_wine "$packed/setup.exe" /S) || rc=$?
      e2e_assert_eq $((1603 & 255)) "$rc" "exit code of a run that failed on the $failure and was rolled back"
      snapshot "$E2E_DIR/after"
      cmp -s "$E2E_DIR/before" "$E2E_DIR/after" ||
        e2e_fail "the rollback after the $failure left the machine changed: $(diff "$E2E_DIR/before" "$E2E_DIR/after")"
      e2e_assert_eq '2001-02-03 04:05:06' "$(date -r "$installed/readme.txt" '+%F %T')" "the kept file's time"
      for part in 'readme.txt' '"Folder"=hex(2):25,00,54,00' 'TarnwickPlanted'; do
        grep -q "$part" "$E2E_DIR/before" || e2e_fail "the snapshot misses $part: $(cat "$E2E_DIR/before")"
      done
      grep -q '^rollback end .*failed=0' "$E2E_DIR/trace.log" || e2e_fail "no whole rollback: $(grep '^rollback' "$E2E_DIR/trace.log")"
      grep -qF 'rollback put-back path="C:\Silent Demo\readme.txt" result=ok' "$E2E_DIR/trace.log" ||
        e2e_fail "the replaced file was not put back: $(grep '^rollback' "$E2E_DIR/trace.log")"
    done
    grep -q '^install regval .*name=Folder .*result=ok' "$E2E_DIR/trace.log" ||
      e2e_fail "the second run never overwrote the value: $(grep '^install regval' "$E2E_DIR/trace.log")"
    exit 0
    ;;
  cabinet_set)
    python3 "$(dirname "$0")/split_cabinet.py" "$packed/file1.cab" "$E2E_DIR/file1.cab" "$packed/file2.cab"
    mv "$E2E_DIR/file1.cab" "$packed/file1.cab"
    ;;
  truncated)
    # The cabinet ends inside data.bin; an older data.bin of the user's is already in place.
    truncate -s -20000 "$packed/file1.cab"
    mkdir -p "$installed/data"
    printf 'the installed data\r\n' >"$installed/data/data.bin"
    cd "$packed"
    e2e_wine_bg "$packed/setup.exe"
    cd - >/dev/null
    e2e_driver wait --title 'Corvane Tarnwick' --timeout 60000 >/dev/null || e2e_fail "no retry dialog; windows: $(e2e_driver list)"
    [[ $(e2e_control_text 'Corvane Tarnwick' 1000) == *'data\data.bin'* ]] || e2e_fail "the retry dialog names another file"
    e2e_driver click --title 'Corvane Tarnwick' --id 2 >/dev/null || e2e_fail "no Cancel button"
    # The run ends aborted; its completion page stays up for the user, and the test's end closes it.
    e2e_wait_for 60 grep -qs '^install end cancelled=255' "$E2E_DIR/trace.log" || e2e_fail "the run did not end aborted"
    e2e_assert_eq 'the installed data' "$(tr -d '\r' <"$installed/data/data.bin")" "the user's data.bin"
    # The run is rolled back: what it wrote before the cut goes again.
    [[ ! -e $installed/readme.txt ]] || e2e_fail "the rollback left readme.txt"
    grep -q '^rollback end .*failed=0' "$E2E_DIR/trace.log" || e2e_fail "no rollback: $(grep '^rollback' "$E2E_DIR/trace.log")"
    grep -q 'cabinet member name=F1_data.bin result=broken' "$E2E_DIR/trace.log" || e2e_fail "the broken member is not traced"
    e2e_assert_eq './data/data.bin' "$(cd "$installed" && find . -type f)" "the files left in the install folder"
    exit 0
    ;;
  single_file)
    osslsigncode verify -CAfile "$E2E_DIR/cert.pem" -in "$packed/Silent-Demo-setup.exe" >/dev/null ||
      e2e_fail "the single file's signature does not verify"
    # A folder holding the one program and nothing else, as a download leaves it.
    download=$E2E_DIR/download
    mkdir -p "$download"
    # Both damages fall inside the appended data (the program image itself, cut or altered, is
    # Windows' to refuse); where it starts and how long it is are in the DOS header's stamp. The
    # copy is cut 1 MB short, so its trailer is gone and the built-in English text is all there
    # is. The flipped byte is the payload cabinet's last (the cabinet comes last, just before the
    # trailer), past the start checked before the pages, so the installation's wait for the payload
    # check is what stops it, in the language file's words.
    size=$(stat -c %s "$packed/Silent-Demo-setup.exe")
    data_start=$(od -An -tu8 -j 44 -N8 "$packed/Silent-Demo-setup.exe" | tr -d ' ')
    appended=$(od -An -tu8 -j 52 -N8 "$packed/Silent-Demo-setup.exe" | tr -d ' ')
    end=$((data_start + appended))
    trailer_size=$(od -An -tu8 -j $((end - 112 + 88)) -N8 "$packed/Silent-Demo-setup.exe" | tr -d ' ')
    ((size - 1000000 > data_start)) || e2e_fail "the appended data is under 1 MB"
    head -c $((size - 1000000)) "$packed/Silent-Demo-setup.exe" >"$download/cut-setup.exe"
    cp "$packed/Silent-Demo-setup.exe" "$download/flipped-setup.exe"
    offset=$((end - trailer_size - 1))
    byte=$(od -An -tu1 -j "$offset" -N1 "$download/flipped-setup.exe" | tr -d ' ')
    printf "$(printf '\\%03o' $((byte ^ 1)))" | dd of="$download/flipped-setup.exe" bs=1 seek="$offset" conv=notrunc 2>/dev/null
    # interactive: the message box is read off the screen and answered as the user would.
    for run in cut/interactive cut/S flipped/S; do
      copy=${run%/*}
      rc=0
      if [[ $run == */S ]]; then
        (cd "$download" && e2e_wine "$download/$copy-setup.exe" /S) || rc=$?
        e2e_assert_eq $((1603 & 255)) "$rc" "the $copy copy's exit code (1603; the shell sees its low byte)"
      else
        cd "$download"
        e2e_wine_bg "$download/$copy-setup.exe"
        cd - >/dev/null
        e2e_driver wait --title Setup --class '#32770' --timeout 60000 >/dev/null ||
          e2e_fail "no message box for the $copy copy; windows: $(e2e_driver list)"
        e2e_assert_eq 'The setup program is damaged or incomplete. Please download it again.' \
          "$(e2e_control_text Setup 65535 '#32770')" "the message on the $copy copy's box"
        e2e_driver click --title Setup --class '#32770' --id 1 >/dev/null || e2e_fail "no OK on the message box"
        e2e_wait_exit "$E2E_BG_PID" 60 || true
      fi
      grep -q '^app exit code=1603$' "$E2E_DIR/trace.log" || e2e_fail "the $copy copy did not end with 1603"
      message='The setup program is damaged or incomplete'
      if [[ $copy == flipped ]]; then
        grep -q '^startup payload-check result=damaged' "$E2E_DIR/trace.log" ||
          e2e_fail "the flipped copy was not stopped by the payload check"
        message='This copy of Silent Demo is damaged.'
      fi
      grep -qF "dialog message text=\"$message" "$E2E_DIR/trace.log" ||
        e2e_fail "the $copy copy did not say why: $(grep '^dialog' "$E2E_DIR/trace.log")"
      left=$(ls -d "$E2E_TEMP"/tw[0-9]* 2>/dev/null || true)
      [[ -z $left ]] || e2e_fail "the $copy copy left its work folder: $left"
      [[ ! -e $installed ]] || e2e_fail "the $copy copy installed something"
      [[ -z $(reg_value "$KEY" DisplayName) ]] || e2e_fail "the $copy copy registered the product"
      rm -f "$E2E_DIR/trace.log"
      [[ $run == */S ]] && rm -f "$download/$copy-setup.exe"
    done
    [[ -z $(ls "$download") ]] || e2e_fail "a damaged copy left files beside itself: $(ls "$download")"
    cp "$packed/Silent-Demo-setup.exe" "$download/"
    packed=$download
    ;;
esac

scope=()
[[ $CASE == per_user ]] && scope=(/S /CURRENTUSER)
if [[ $CASE == single_file ]]; then
  rc=0
  (cd "$packed" && e2e_wine "$packed/Silent-Demo-setup.exe" /S) || rc=$?
  e2e_assert_eq 0 "$rc" "the single file's exit code"
  grep -q 'startup single-file result=ok' "$E2E_DIR/trace.log" || e2e_fail "the appended files were not taken"
  grep -q 'startup payload-check result=ok' "$E2E_DIR/trace.log" || e2e_fail "the payload was not checked"
  [[ $(ls "$packed") == Silent-Demo-setup.exe ]] || e2e_fail "the single file left files beside itself: $(ls "$packed")"
else
  e2e_install_silently "$packed" "${scope[@]}"
fi

cmp "$project/payload/readme.txt" "$installed/readme.txt" || e2e_fail "readme.txt differs or is missing"
# A split build unpacks its cabinet straight into the install folder, under the members' names.
data_bin=$installed/data/data.bin
[[ $CASE == split ]] && data_bin=$installed/data.bin
cmp "$project/payload/data.bin" "$data_bin" || e2e_fail "data.bin differs or is missing"

e2e_assert_eq 'C:\Silent Demo\' "$(reg_value 'HKCU\Software\Tarnwick Silent' Folder)" "string value"
e2e_assert_eq '0x2a' "$(reg_value 'HKCU\Software\Tarnwick Silent' Count)" "DWORD value"
e2e_assert_eq '414200' "$(reg_value 'HKCU\Software\Tarnwick Silent' Raw)" "binary value"
e2e_assert_eq 'Silent Demo' "$(reg_value "$KEY" DisplayName)" "DisplayName"
# Deployment tools read these: the uninstaller by its full path, a silent removal, the size and day.
places='C:\windows\'
user=$(ls "$E2E_DRIVE_C/users" | grep -vx Public | head -n 1)
[[ $CASE == per_user ]] && places="C:\\users\\$user\\AppData\\Local\\Tarnwick\\"
uninstaller=$E2E_DRIVE_C/${places#C:\\}dovuvi.exe
uninstaller=${uninstaller//\\//}
e2e_assert_eq "\"${places}dovuvi.exe\" /R $CODE" "$(reg_value "$KEY" UninstallString)" "UninstallString"
e2e_assert_eq "\"${places}dovuvi.exe\" /S $CODE" "$(reg_value "$KEY" QuietUninstallString)" "QuietUninstallString"
if [[ $CASE == single_file ]]; then
  osslsigncode verify -CAfile "$E2E_DIR/cert.pem" -in "$uninstaller" >/dev/null || e2e_fail "the installed dovuvi.exe is not signed"
else
  cmp "$project/support/dovuvi.exe" "$uninstaller" || e2e_fail "dovuvi.exe is not where the registration says"
fi
e2e_assert_eq 'C:\Silent Demo\' "$(reg_value "$KEY" LastInstallationPath)" "LastInstallationPath"
e2e_assert_eq 'C:\Silent Demo\' "$(reg_value "$KEY" InstallLocation)" "InstallLocation"
e2e_assert_eq "$(date +%Y%m%d)" "$(reg_value "$KEY" InstallDate)" "InstallDate"

log=$E2E_DRIVE_C/windows/Installer/$CODE/uninstall.log
if [[ $CASE == per_user ]]; then
  log=${uninstaller%/dovuvi.exe}/Installer/$CODE/uninstall.log
  [[ -z $(reg_value "$MACHINE_KEY" DisplayName) ]] || e2e_fail "a per-user install registered with the machine"
fi
e2e_assert_file "$log" "uninstall log"
# The size of what the log says was installed, in KB rounded up (a split build's uninstaller counts).
bytes=0
while IFS= read -r file; do
  file=$E2E_DRIVE_C/${file#C:\\}
  bytes=$((bytes + $(stat -c %s "${file//\\//}")))
done < <(tr -d '\r' <"$log" | sed -n 's/^FILE=//p')
e2e_assert_eq "$(printf '0x%x' $(((bytes + 1023) / 1024)))" "$(reg_value "$KEY" EstimatedSize)" "EstimatedSize (KB)"
if [[ $CASE == split ]]; then
  expected_files=$'FILE=C:\\Silent Demo\\readme.txt\r\nFILE=C:\\Silent Demo\\data.bin\r\nFILE=C:\\Silent Demo\\dovuvi.exe\r\n'
else
  expected_files=$'FILE=C:\\Silent Demo\\readme.txt\r\nFILE=C:\\Silent Demo\\data\\data.bin\r\n'
fi
expected=$'TOTALFILE=2\r\nDIR=C:\\Silent Demo\\\r\nDIR=C:\\Silent Demo\\\r\nDIR=C:\\Silent Demo\\data\r\n'"$expected_files"
expected+=$'REGKEY=HKEY_CURRENT_USER\\Software\\Tarnwick Silent\r\nREGVAL=HKEY_CURRENT_USER\\Software\\Tarnwick Silent\\Folder\r\n'
expected+=$'REGVAL=HKEY_CURRENT_USER\\Software\\Tarnwick Silent\\Count\r\nREGVAL=HKEY_CURRENT_USER\\Software\\Tarnwick Silent\\Raw\r\n'
# The x keeps the final line end, which $(...) would drop.
e2e_assert_eq "${expected}x" "$(cat "$log"; printf x)" "uninstall.log"

left=$(ls -d "$E2E_TEMP"/tw[0-9]* 2>/dev/null || true)
[[ -z $left ]] || e2e_fail "work folder left behind: $left"
# The install folder holds the files the log names and nothing else: no temporary file stayed.
e2e_assert_eq "$(tr -d '\r' <"$log" | sed -n 's/^FILE=C:\\Silent Demo\\//p' | tr '\\' / | LC_ALL=C sort)" \
  "$(cd "$installed" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)" "the files in the install folder"
# Cabinet builds stream their payload straight out of the cabinets, and every run tells its peak
# working set.
if [[ $CASE == cabinet* || $CASE == single_file ]]; then
  grep -q 'cabinet stream result=ok' "$E2E_DIR/trace.log" || e2e_fail "the payload was not streamed"
fi
grep -q 'install end .*peak-kb=[1-9]' "$E2E_DIR/trace.log" || e2e_fail "no peak working set in the trace"

if [[ $CASE == per_user ]]; then
  rc=0
  eval "e2e_wine $(reg_value "$KEY" QuietUninstallString)" || rc=$?
  e2e_assert_eq 0 "$rc" "the QuietUninstallString's exit code"
  [[ -z $(reg_value "$KEY" DisplayName) ]] || e2e_fail "still registered after the removal"
  [[ ! -e $installed/readme.txt && ! -e $log ]] || e2e_fail "the removal left the product or its log"
fi
