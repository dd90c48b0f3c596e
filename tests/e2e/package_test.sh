#!/usr/bin/env bash
# The packages under Wine, built over the simulated programs: a signed build
# whose signatures check, an upgrade that keeps Veltra.ini and presets what
# its properties give, a start and a
# switch, and an uninstall that ends Veltra (panel on, settings saved) and
# leaves no program file and no task. Run by scripts/test.
set -u
. "$(dirname "$0")/../../scripts/common.sh"
cd "$root"
out=build/package-test
fails=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; fails=$((fails + 1)); fi; }
trap 'stop_wine; stop_xvfb' EXIT

# A throw-away certificate, given to the check as its own trusted root: the
# whole verification passes only when the file's digest matches the signed
# one and the signature chains to that certificate.
rm -rf "$out" && mkdir -p "$out"
openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=VeltraTest -days 1 -keyout "$out/k.pem" -out "$out/c.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$out/k.pem" -in "$out/c.pem" -passout pass:pw -out "$out/t.pfx"
VELTRA_PACKAGE_BIN=build/windows/sim VELTRA_PACKAGE_OUT="$out" VELTRA_PACKAGE_VERSION=0.0.1 scripts/package >/dev/null 2>&1
VELTRA_PACKAGE_BIN=build/windows/sim VELTRA_PACKAGE_OUT="$out" VELTRA_SIGN_PFX="$out/t.pfx" VELTRA_SIGN_PASSWORD=pw \
  VELTRA_PACKAGE_VERSION=9.9.9 scripts/package >/dev/null 2>&1
old="$out/Veltra-0.0.1-win64.msi" new="$out/Veltra-9.9.9-win64.msi"
mkdir "$out/unzipped" && unzip -q "$out/Veltra-9.9.9-win64.zip" -d "$out/unzipped"
for f in "$new" "$out"/unzipped/Veltra/*.exe "$out/unzipped/Veltra/VeltraHook.dll"; do
  check "signed: $(basename "$f")" 'osslsigncode verify -CAfile "$out/c.pem" -in "$f" >/dev/null 2>&1'
done
printf X | dd of="$out/unzipped/Veltra/Veltra.exe" bs=1 seek=5000 conv=notrunc 2>/dev/null
check "a changed program fails the check" '! osslsigncode verify -CAfile "$out/c.pem" -in "$out/unzipped/Veltra/Veltra.exe" >/dev/null 2>&1'
check "the old package is unsigned" '! osslsigncode extract-signature -in "$old" -out "$out/none" >/dev/null 2>&1'

start_xvfb && use_wine_prefix package || exit 1
msi() { "$wine_loader" msiexec "$@" /qn; }
dir="$WINEPREFIX/drive_c/Program Files/Veltra" task="$WINEPREFIX/drive_c/windows/system32/tasks/Veltra_SessionLock"
msi /x "$new"; msi /x "$old"; rm -rf "$dir"  # what an earlier run left
id='HID\VID_1B96&PID_0F00&COL03\7&34568466&0&0002'
installed() { "$wine_loader" reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$(msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p')" >/dev/null 2>&1; }
ini() { tr -d '\r' <"$dir/Veltra.ini"; }
msi /i "$new" TASK_LOCK=yes
check "a property of no valid value fails the installation" '! installed "$new" && [ ! -e "$dir/Veltra.exe" ] && [ ! -e "$dir/Veltra.ini" ]'
msi /i "$old"
printf '[%s]\r\nsetup_class=HID\r\nhid_interface=1\r\nstarted=1\r\n' "$id" >"$dir/sim_devices.ini"
printf '[hardware]\r\ndevice_instance_path=%s\r\n' "$id" >"$dir/Veltra.ini"
msi /i "$new" TASK_LOCK=1 TASK_BOOT=
check "the upgrade replaced the old version" '! installed "$old" && installed "$new"'
check "it kept Veltra.ini and preset the given property alone" 'ini | grep -qxF "device_instance_path=$id" && ini | grep -qx task_lock=1 && ! ini | grep -q task_boot'
"$wine_loader" "$dir/Veltra.exe" &
veltra=$!
started() { tr -d '\r' <"$dir/sim_devices.ini" | grep -q "^started=$1"; }
for _ in $(seq 30); do started 0 && break; sleep 1; "$wine_loader" "$dir/Veltra.exe" /T 0; done
check "a second start switched the panel off" 'started 0'
check "the lock task is registered" '[ -f "$task" ]'
msi /x "$new"
check "the program files are gone" '! ls "$dir"/*.exe "$dir"/*.dll "$dir"/*.txt "$dir"/README.md >/dev/null 2>&1'
check "the lock task is gone" '[ ! -f "$task" ]'
check "the panel is on again" 'started 1'
check "the settings were saved" 'ini | grep -qx touch_status=0'
check "Veltra has ended" '! kill -0 "$veltra" 2>/dev/null'
echo "package: $fails failed"
[ "$fails" -eq 0 ]
