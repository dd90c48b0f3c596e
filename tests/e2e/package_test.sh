#!/usr/bin/env bash
# The packages under Wine, built over the simulated programs: a signed build
# whose signatures check; removal actions that run elevated (the action
# table); an upgrade refused for a property value that leaves the old
# version as it ran; presets given while Veltra runs that hold after it
# ended; a read-only Veltra.ini that the same package leaves alone without
# a property and fails over with one, before it ends or starts anything;
# an upgrade that keeps Veltra.ini and the tasks and brings the watcher
# back; the user's guide in the zip and as installed, whole, with menu
# texts shown as drawn and every section in its contents; and an uninstall
# that reaches Veltra and its watcher only through their exit request (they
# run on a desktop of their own, where no window of theirs can be found)
# and leaves the panel on, the settings saved, no process, no program file
# and no task.
# Run by scripts/test.
set -u
. "$(dirname "$0")/../../scripts/common.sh"
cd "$root"
out=$root/build/package-test  # absolute, as a release script may give it
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
  VELTRA_PACKAGE_VERSION=9.9.9 VELTRA_RELEASE_URL=https://example.org/veltra/9.9.9 scripts/package >/dev/null 2>&1
old="$out/Veltra-0.0.1-win64.msi" new="$out/Veltra-9.9.9-win64.msi"
# The winget manifests describe the signed MSI: its hash, and the product
# code and version it carries; the unsigned package, built without an
# address, has none.
property() { msiinfo export "$1" Property | tr -d '\r' | sed -n "s/^$2\t//p"; }
manifests_match() {
  local m="$out/Veltra-9.9.9-win64-winget/Veltra.Veltra" q="'"
  [ "$(property "$new" ProductVersion)" = 9.9.9 ] && [ ! -e "$out/Veltra-0.0.1-win64-winget" ] &&
    [ "$(cat "$m.yaml" "$m.installer.yaml" "$m.locale.en-US.yaml" | grep -cx "PackageVersion: 9.9.9")" = 3 ] &&
    grep -qxF "  InstallerSha256: $(sha256sum "$new" | cut -d' ' -f1 | tr a-f A-F)" "$m.installer.yaml" &&
    grep -qxF "ProductCode: $q$(property "$new" ProductCode)$q" "$m.installer.yaml" &&
    grep -qxF "  InstallerUrl: ${q}https://example.org/veltra/9.9.9/Veltra-9.9.9-win64.msi$q" "$m.installer.yaml" &&
    grep -qx "Scope: machine" "$m.installer.yaml" && grep -qx "License: MIT" "$m.locale.en-US.yaml"
}
check "the winget manifests match the MSI they describe" manifests_match
mkdir "$out/unzipped" && unzip -q "$out/Veltra-9.9.9-win64.zip" -d "$out/unzipped"
# The guide is whole where it lies: the user's pages are all in it, every
# picture it shows is inside it (a data: address) or beside it, and every
# link stays in the page or its folder (the project has no address of its
# own that a link could leave for).
guide_whole() {
  python3 - "$1" <<'END'
import base64, binascii, html.parser, os, sys
page = sys.argv[1]
class Page(html.parser.HTMLParser):
    ids, links, pictures = set(), [], []
    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        self.ids.add(a.get('id'))
        if tag == 'a' and 'href' in a: self.links.append(a['href'])
        if tag == 'img': self.pictures.append(a.get('src') or '')
def beside(path):
    return (path != '' and ':' not in path and not os.path.isabs(path) and not os.path.normpath(path).startswith('..')
            and os.path.isfile(os.path.join(os.path.dirname(page), path)))
def shown(src):
    if not src.startswith('data:'): return beside(src)
    kind, _, data = src[5:].partition(';base64,')
    try: return kind.startswith('image/') and len(base64.b64decode(data, validate=True)) > 0
    except binascii.Error: return False
p = Page(); p.feed(open(page, encoding='utf-8').read())
pages = {'page-' + n for n in ('readme', 'guide', 'settings', 'veltrawatch', 'deploying', 'troubleshooting')}
bad = sorted(pages - p.ids) + [s[:50] for s in p.pictures if not shown(s)]
bad += [h for h in p.links if not (h[1:] in p.ids if h.startswith('#') else beside(h))]
if bad: print(*bad, sep='\n', file=sys.stderr)
sys.exit(1 if bad or not p.pictures else 0)
END
}
check "the zip's guide is whole" 'guide_whole "$out/unzipped/Veltra/Veltra Guide.html"'
# It reads as the program looks: a menu text without its mnemonic mark, the
# marked letter underlined, while a device instance path keeps its & as the
# user types it; and its contents list names every section of every page.
guide_reads() {
  python3 - "$1" <<'END'
import html.parser, re, sys
class Page(html.parser.HTMLParser):
    tags, prose, sections, listed = [], [], [], []
    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        self.tags.append(tag)
        if tag == 'h2': self.sections.append(a['id'])
        if tag == 'a' and 'nav' in self.tags: self.listed.append(a['href'][1:])
    def handle_endtag(self, tag):
        while self.tags and self.tags.pop() != tag: pass
    def handle_data(self, data):
        if 'code' not in self.tags and 'pre' not in self.tags: self.prose.append(data)
text = open(sys.argv[1], encoding='utf-8').read()
p = Page(); p.feed(text)
bad = re.findall(r'.{0,20}&[^\W_&].{0,20}', ''.join(p.prose))
bad += [s for s in ['"TouchPanel <u>e</u>nable"', '"E<u>x</u>it"', 'Exit(<u>X</u>)',
                    '<code>HID\\VID_1B96&amp;PID_0F00&amp;Col03\\7&amp;34568466&amp;0&amp;0002</code>'] if s not in text]
bad += [s for s in p.sections if s not in p.listed]
if bad: print(*bad, sep='\n', file=sys.stderr)
sys.exit(1 if bad or 'cleaning-the-screen' not in p.sections else 0)
END
}
check "the zip's guide shows menu texts as drawn, device paths as typed, every section listed" \
  'guide_reads "$out/unzipped/Veltra/Veltra Guide.html"'
for f in "$new" "$out"/unzipped/Veltra/*.exe "$out/unzipped/Veltra/VeltraHook.dll"; do
  check "signed: $(basename "$f")" 'osslsigncode verify -CAfile "$out/c.pem" -in "$f" >/dev/null 2>&1'
done
printf X | dd of="$out/unzipped/Veltra/Veltra.exe" bs=1 seek=5000 conv=notrunc 2>/dev/null
check "a changed program fails the check" '! osslsigncode verify -CAfile "$out/c.pem" -in "$out/unzipped/Veltra/Veltra.exe" >/dev/null 2>&1'
check "the licence is in the zip, and the MSI's entry has the icon and no Modify" \
  '[ -f "$out/unzipped/Veltra/LICENSE" ] && msiinfo export "$new" Property | tr -d "\r" | grep -qx "ARPNOMODIFY.1" &&
   msiinfo export "$new" Property | grep -q "^ARPPRODUCTICON"'
check "the old package is unsigned" '! osslsigncode extract-signature -in "$old" -out "$out/none" >/dev/null 2>&1'

start_xvfb && use_wine_prefix package || exit 1
# Every Wine program started in the foreground has a time-out: one that
# never ends (a second start that became the resident copy, an installer
# that hangs) fails its check instead of holding the whole run.
bounded() { local seconds=$1; shift; timeout -k 5 "$seconds" "$@"; }
wine_for() { local seconds=$1; shift; bounded "$seconds" "$wine_loader" "$@"; }
msi() { wine_for 300 msiexec "$@" /qn; }
dir="$WINEPREFIX/drive_c/Program Files/Veltra" task="$WINEPREFIX/drive_c/windows/system32/tasks/Veltra_SessionLock"
msi /x "$new"; msi /x "$old"; rm -rf "$dir"  # what an earlier run left
id=$sim_touch_id
installed() { wine_for 60 reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$(property "$1" ProductCode)" >/dev/null 2>&1; }
ini() { tr -d '\r' <"$dir/Veltra.ini"; }
msi /i "$new" TASK_LOCK=yes
check "a property of no valid value fails the installation" '! installed "$new" && [ ! -e "$dir/Veltra.exe" ] && [ ! -e "$dir/Veltra.ini" ]'
# The early check reads a value longer than its first buffer whole: a
# path of 80 characters with a comma is refused there, with its message.
long_path="HID\\VID_1B96&PID_0F00&COL03\\$(printf '%050d' 0),0"
rm -f "$WINEPREFIX/drive_c/long.log"
msi /i "$new" "DEVICE_PATH=$long_path" /l*v 'C:\long.log'
check "a long DEVICE_PATH with a comma is refused by the early check" \
  '[ "${#long_path}" -eq 80 ] && ! installed "$new" &&
   grep -aqF "DEVICE_PATH=$long_path is refused: DEVICE_PATH takes" "$WINEPREFIX/drive_c/long.log"'
# The removals run elevated however the package was started: deferred
# (0x400) and not impersonated (0x800).
actions=$(msiinfo export "$new" CustomAction | tr -d '\r')
elevated() { local type; type=$(awk -F'\t' -v command="$1" '$4 == command { print $2 }' <<<"$actions"); [ -n "$type" ] && [ $((type & 0xC00)) -eq $((0xC00)) ]; }
check "the uninstall's and the upgrade's removal run deferred and not impersonated" 'elevated /X && elevated /U'

msi /i "$old"
sim() { write_sim_touch_screen "$dir/sim_devices.ini" 1; }
started() { tr -d '\r' <"$dir/sim_devices.ini" | grep -q "^started=$1"; }
# The Windows processes of this prefix whose command line starts with the
# path (quoted or not); running: there is one.
pids() {
  local pid
  for pid in $(pgrep -f "^\"?C:.Program Files.Veltra.$1"); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && echo "$pid"
  done
}
running() { [ -n "$(pids "$1")" ]; }
start_watcher() {
  "$wine_loader" 'C:\Program Files\Veltra\Veltrawatch.exe' &
  for _ in $(seq 20); do running 'Veltrawatch\.exe' && return 0; sleep 1; done
  return 1
}
# Veltra started by the command given (the one that runs a program there),
# then switched off by second starts. They come only once its window is
# there: a second start that won the race for the first copy's place would
# stay as the resident copy itself.
post_command="$root/build/windows/post_command.exe"
start_veltra_off() {
  "$@" 'C:\Program Files\Veltra\Veltra.exe' &
  # On a desktop of its own, the first launcher to come creates the desktop
  # and lives as long as it: the waiting program's launcher must not be
  # that one, or its time-out would end the desktop under Veltra.
  for _ in $(seq 30); do running 'Veltra\.exe' && break; sleep 1; done
  running 'Veltra\.exe' || { echo "Veltra did not start within 30 s" >&2; return 1; }
  bounded 40 "$@" "$post_command" wait 30 || { echo "Veltra's window did not come within 30 s" >&2; return 1; }
  for _ in $(seq 30); do started 0 && return 0; sleep 1; bounded 30 "$@" 'C:\Program Files\Veltra\Veltra.exe' /T 0; done
  return 1
}
# An upgrade refused for a property value, over the old version with its
# lock task, Veltra (the panel switched off) and its watcher running: it
# fails before the old version's removal, so all of that stays, and the old
# Veltra still takes a start. Its log names the property. (The watcher
# leaves the panel to the starts: "default status" 2.)
sim && printf '[hardware]\r\ndevice_instance_path=%s\r\n[task_scheduler]\r\ntask_lock=1\r\n' "$id" >"$dir/Veltra.ini"
printf '[config]\r\ndefault status=2\r\n' >"$dir/Veltrawatch.ini"
start_veltra_off "$wine_loader" && for _ in $(seq 30); do [ -f "$task" ] && break; sleep 1; done && start_watcher; ready=$?
rm -f "$WINEPREFIX/drive_c/refused.log"
msi /i "$new" TASK_LOCK=2 /l*v 'C:\refused.log'; refused=$?
check "an upgrade with TASK_LOCK=2 fails, and its log says what TASK_LOCK takes" \
  '[ "$refused" -ne 0 ] && grep -qF "TASK_LOCK=2 is refused: TASK_LOCK takes 0 or 1" "$WINEPREFIX/drive_c/refused.log"'
switch_on() { for _ in $(seq 15); do started 1 && return 0; wine_for 30 'C:\Program Files\Veltra\Veltra.exe' /T 1; sleep 1; done; return 1; }
check "the refused upgrade left the old version, its lock task and both programs running, and Veltra takes a start" \
  '[ "$ready" -eq 0 ] && installed "$old" && ! installed "$new" && [ -f "$dir/Veltra.exe" ] && [ -f "$dir/Veltrawatch.exe" ] &&
   [ -f "$task" ] && running "Veltra\.exe" && running "Veltrawatch\.exe" && started 0 && switch_on'
# Both end as a zip installation's removal ends them, the tasks go; the
# upgrade below starts from the old version with only the device chosen.
wine_for 60 "$dir/Veltra.exe" /X
rm "$dir/Veltrawatch.ini"
sim && printf '[hardware]\r\ndevice_instance_path=%s\r\n' "$id" >"$dir/Veltra.ini"
msi /i "$new" TASK_LOCK=1 TASK_BOOT=
check "the upgrade replaced the old version" '! installed "$old" && installed "$new"'
entry() { wine_for 60 reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$(property "$new" ProductCode)" /v "$1" | tr -d '\r'; }
check "its entry among the installed programs names the publisher and links to the installed guide" \
  'entry Publisher | grep -q "REG_SZ *Veltra$" && entry HelpLink | grep -qF "REG_SZ    C:\\Program Files\\Veltra\\Veltra Guide.html"'
check "the installed guide is whole" 'guide_whole "$dir/Veltra Guide.html"'
check "it kept Veltra.ini and preset the given property alone" 'ini | grep -qxF "device_instance_path=$id" && ini | grep -qx task_lock=1 && ! ini | grep -q task_boot'

check "a second start switched the panel off" 'start_veltra_off "$wine_loader"'
for _ in $(seq 30); do [ -f "$task" ] && break; sleep 1; done  # the refresh runs beside the window
check "the lock task is registered" '[ -f "$task" ]'
# A Veltra.ini nobody may write, while Veltra and its watcher run: the same
# package with nothing to preset succeeds and leaves the file as it was;
# with a property it fails before it ends or starts anything, so the
# programs run on as they ran and the file is still the same.
start_watcher; watcher_before=$(pids 'Veltrawatch\.exe') veltra_before=$(pids 'Veltra\.exe')
cp "$dir/Veltra.ini" "$out/read-only.ini" && chmod a-w "$dir/Veltra.ini"
msi /i "$new"; nothing=$?
check "with nothing to preset the same package succeeds over a read-only Veltra.ini and leaves it as it was" \
  '[ "$nothing" -eq 0 ] && cmp -s "$dir/Veltra.ini" "$out/read-only.ini" && [ ! -e "$dir/Veltra.new" ]'
msi /i "$new" TASK_BOOT=1; preset=$?
check "with a property it fails over a read-only Veltra.ini before it ends or starts any program" \
  '[ "$preset" -ne 0 ] && cmp -s "$dir/Veltra.ini" "$out/read-only.ini" && [ -n "$watcher_before" ] &&
   [ "$(pids "Veltrawatch\.exe")" = "$watcher_before" ] && [ "$(pids "Veltra\.exe")" = "$veltra_before" ]'
chmod u+w "$dir/Veltra.ini"
# The same package again, with a property, while Veltra runs: the value
# must outlast Veltra's exit, which saves its whole record. Whatever still
# runs afterwards is ended through its exit here (/U keeps the tasks). A
# watcher running before the presets (or the upgrade below) was ended by
# them and runs again after them, started in the session it ran in.
came_back() {
  for _ in $(seq 10); do running 'Veltrawatch\.exe' && break; sleep 1; done
  [ -n "$1" ] && [ -n "$(pids 'Veltrawatch\.exe')" ] && [ "$(pids 'Veltrawatch\.exe')" != "$1" ]
}
start_watcher; watcher_before=$(pids 'Veltrawatch\.exe')
msi /i "$new" TASK_BOOT=1
check "the watcher that ran before the presets was ended and runs again" 'came_back "$watcher_before"'
wine_for 60 "$dir/Veltra.exe" /U
check "a preset given while Veltra ran holds after it ended, beside what it saved" \
  'ini | grep -qx task_boot=1 && ini | grep -qx task_lock=1 && ini | grep -qx touch_status=0'

# An upgrade removes the older version with UPGRADINGPRODUCTCODE set, which
# keeps the tasks. Wine's upgrade leaves that property out, so its nested
# removal is run here as Windows runs it, then the installation.
cp "$dir/Veltra.ini" "$out/before-upgrade.ini"
start_watcher; watcher_before=$(pids 'Veltrawatch\.exe')
msi /x "$new" UPGRADINGPRODUCTCODE="$(property "$old" ProductCode)"
msi /i "$new"
check "the upgrade kept the lock task and Veltra.ini" \
  'installed "$new" && [ -f "$task" ] && cmp -s "$dir/Veltra.ini" "$out/before-upgrade.ini"'
check "the watcher that ran before the upgrade was ended and runs again" 'came_back "$watcher_before"'
# The removal below starts a watcher of its own.
wine_for 60 taskkill /f /im Veltrawatch.exe >/dev/null 2>&1
for _ in $(seq 10); do running 'Veltrawatch\.exe' || break; sleep 1; done
! running 'Veltrawatch\.exe' || { echo "FAILED: the watcher could not be ended"; fails=$((fails + 1)); }

# The removal that finds no window: Veltra and its watcher on a desktop of
# their own. Only Veltra's own exit writes back the key taken out here.
sed -i '/^debug_mode=/d' "$dir/Veltra.ini"
apart=("$wine_loader" explorer /desktop=veltra_apart,640x480)
check "Veltra on a desktop of its own switched the panel off" 'start_veltra_off "${apart[@]}"'
"${apart[@]}" 'C:\Program Files\Veltra\Veltrawatch.exe' &
for _ in $(seq 20); do running 'Veltrawatch\.exe' && break; sleep 1; done
check "the watcher runs beside it" 'running "Veltrawatch\.exe" && running "Veltra\.exe"'
msi /x "$new"
check "the program files are gone" '! ls "$dir"/*.exe "$dir"/*.dll "$dir"/*.txt "$dir/Veltra Guide.html" "$dir"/LICENSE >/dev/null 2>&1'
check "the tasks are gone" '! ls "$WINEPREFIX/drive_c/windows/system32/tasks"/Veltra* >/dev/null 2>&1'
check "the panel is on again" 'started 1'
check "Veltra ended through its exit: the settings were saved" 'ini | grep -qx debug_mode=0'
check "no Veltra and no Veltrawatch is left" '! running "Veltra\.exe" && ! running "Veltrawatch\.exe"'
echo "package: $fails failed"
[ "$fails" -eq 0 ]
