#!/usr/bin/env bash
# Both README commands on a machine where Wine arrives only during the
# set-up, as on a fresh machine. In a private mount namespace Wine's files
# are hidden, dpkg-query reports Wine missing, and a stand-in apt-get brings
# the files back when the set-up asks for Wine. There `scripts/test
# --prepare` must make the tests' Wine prefix (reporting Windows 10) and
# `scripts/run /T 1 /O` must enable a disabled panel. Both use Wine prefixes
# and a copy of the simulated programs' folder of their own, so nothing
# outside the namespace changes. Run by scripts/test after the builds;
# needs root or unprivileged user namespaces, and fails when it cannot
# make the namespace.
set -u
. "$(dirname "$0")/../../scripts/common.sh"

if [ "${1:-}" != --inside ]; then
  marker=$(mktemp)
  ns=(unshare --mount)
  [ "$(id -u)" -eq 0 ] || ns=(unshare --map-root-user --mount)
  "${ns[@]}" "$0" --inside "$marker"
  status=$?
  if [ "$(cat "$marker")" != done ]; then
    echo "FAILED: fresh machine: the check did not run to its end (${ns[*]} exited with $status)"
    status=1
  fi
  rm -f "$marker"
  exit "$status"
fi

marker=$2
cd "$root"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fails=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; fails=$((fails + 1)); fi; }

# Hides Wine's folders (and any Wine command on PATH) under empty mounts,
# listed in $work/hidden for the stand-in apt-get to take away again.
: >"$work/absent"
hide_wine() {
  local place
  : >"$work/hidden"
  for place in /usr/lib/wine /usr/lib/x86_64-linux-gnu/wine; do
    [ -d "$place" ] && mount -t tmpfs none "$place" && echo "$place" >>"$work/hidden"
  done
  for place in $(command -v wine64 wine wineserver); do
    mount --bind "$work/absent" "$place" && echo "$place" >>"$work/hidden"
  done
  [ ! -e /usr/lib/wine/wine64 ] && ! command -v wine64 >/dev/null
}

mkdir "$work/bin"
cat >"$work/bin/dpkg-query" <<EOF
#!/bin/sh
# Wine is not installed while its files are hidden.
for name in "\$@"; do case \$name in wine*) [ -x /usr/lib/wine/wine64 ] || exit 1 ;; esac; done
exec /usr/bin/dpkg-query "\$@"
EOF
cat >"$work/bin/apt-get" <<EOF
#!/bin/sh
# Nothing to fetch; installing Wine brings its hidden files back. Any other
# package is installed for real.
[ "\$1" = update ] && exit 0
echo "\$*" >>"$work/apt.log"
tac "$work/hidden" | while read -r place; do umount "\$place"; done
others=\$(printf '%s\n' "\$@" | grep -v -e '^-' -e '^install\$' -e '^wine')
[ -z "\$others" ] || exec /usr/bin/apt-get install -y -qq \$others
EOF
chmod +x "$work/bin/"*

# Prefixes of their own, and the simulated programs with a disabled panel.
mkdir -p build/wine "$work/wine" && mount --bind "$work/wine" build/wine || exit 1
sim=build/windows/sim
cp -a "$sim" "$work/sim" && rm -f "$work/sim"/*.ini "$work/sim"/*.log && mount --bind "$work/sim" "$sim" || exit 1
write_sim_touch_screen "$sim/sim_devices.ini" 0
printf '[hardware]\r\ndevice_instance_path=%s\r\n' "$sim_touch_id" >"$sim/Veltra.ini"

# A README command, as a new user types it: no display, the stand-ins first.
readme() { env -u DISPLAY -u WINEPREFIX PATH="$work/bin:$PATH" timeout 300 "$@" >"$work/out.log" 2>&1; }
installed_wine() { grep -q 'install.* wine64' "$work/apt.log" 2>/dev/null; }
show_log() { [ "$fails" -eq "$1" ] || sed 's/^/  | /' "$work/out.log" | tail -30; }

check "Wine is hidden" hide_wine
readme scripts/test --prepare
code=$?
check "scripts/test --prepare exited 0 after its set-up installed Wine" '[ "$code" -eq 0 ] && installed_wine'
version=$(env -u DISPLAY -u WINEPREFIX timeout -k 5 120 scripts/wine-run cmd /c ver 2>/dev/null | tr -d '\r' |
  sed -nE 's/.*[^0-9.]([0-9]+\.[0-9]+\.[0-9]+).*/\1/p')
WINEPREFIX=$root/build/wine/prefix /usr/lib/wine/wineserver -k 2>/dev/null
check "the tests' Wine prefix is made and reports Windows 10 ($version)" \
  '[ -f build/wine/prefix/.veltra-ready ] && [ "${version%%.*}" = 10 ]'
show_log 0

before=$fails
rm -f "$work/apt.log"
check "Wine is hidden again" hide_wine
readme scripts/run /T 1 /O
code=$?
check "scripts/run /T 1 /O exited 0 after its set-up installed Wine" '[ "$code" -eq 0 ] && installed_wine'
check "the panel is enabled" 'tr -d "\r" <"$sim/sim_devices.ini" | grep -qx started=1'
show_log "$before"

echo done >"$marker"
echo "fresh machine: $fails failed"
[ "$fails" -eq 0 ]
