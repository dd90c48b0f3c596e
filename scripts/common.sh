# Shared by the scripts: paths, the Wine set-up the tests need, and a private
# X server. Sourced, not run.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Wine's 64-bit loader, looked up by find_wine when first needed and not
# here: on a fresh machine this file is sourced before scripts/setup has
# installed Wine, and a path read now would stay empty for the whole run.
wine_loader=
find_wine() {
  [ -n "$wine_loader" ] && [ -x "$wine_loader" ] && return 0
  wine_loader=/usr/lib/wine/wine64
  [ -x "$wine_loader" ] || wine_loader=$(command -v wine64 || true)
  [ -n "$wine_loader" ] && return 0
  echo "no Wine loader (wine64) on this machine: scripts/setup installs it" >&2
  return 1
}

# A crash must not start Wine's debugger (it hangs for minutes); Mono and
# Gecko are not needed and cannot be downloaded here.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winedbg.exe=d;mscoree=d;mshtml=d"

# The simulated device installer's tree (docs/simulated-devices.md) with one
# touch screen, enabled (1) or not (0), after any further lines given (other
# devices): write_sim_touch_screen FILE STARTED [LINE...]
sim_touch_id='HID\VID_1B96&PID_0F00&COL03\7&34568466&0&0002'
write_sim_touch_screen() {
  local file=$1 started=$2
  shift 2
  printf '%s\r\n' "$@" "[$sim_touch_id]" 'description=HID-compliant touch screen' \
    'setup_class=HID' 'hid_interface=1' 'disableable=1' "started=$started" >"$file"
}

started_xvfb_pids=()

# Starts an Xvfb on a display it finds free itself (-displayfd: no race with
# another script starting one at the same moment) and exports DISPLAY; the
# screen is 1280x800 unless a size (WxH) is given. Each one started is
# stopped by stop_xvfb.
start_xvfb() {
  local size=${1:-1280x800} answer pid n=
  answer=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$answer" >/dev/null 2>&1 &
  pid=$!
  local i
  for i in $(seq 1 100); do
    # The number is written, with a line end, once the server takes clients.
    if [ "$(wc -l <"$answer")" -gt 0 ]; then n=$(tr -dc 0-9 <"$answer"); break; fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$answer"
  if [ -z "$n" ]; then
    kill "$pid" 2>/dev/null
    echo "could not start Xvfb" >&2
    return 1
  fi
  started_xvfb_pids+=("$pid")
  export DISPLAY=":$n"
}

stop_xvfb() {
  local pid
  for pid in "${started_xvfb_pids[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
  started_xvfb_pids=()
}

# The Windows version a program of the selected prefix is told, as
# "major.minor.build" (what cmd's "ver" prints), or nothing.
wine_windows_version() {
  find_wine || return 1
  timeout -k 5 120 "$wine_loader" cmd /c ver 2>/dev/null | tr -d '\r' | sed -nE 's/.*[^0-9.]([0-9]+\.[0-9]+\.[0-9]+).*/\1/p' | head -1
}

# Creates (once) and selects a Wine prefix under build/wine/ (by default the
# tests' one), reporting Windows 10: a fresh prefix says Windows 7, where the
# program refuses to run. Tools that run Veltra beside a test run use a
# prefix of their own, since Veltra admits one copy per Wine server.
# Returns non-zero when the prefix cannot be made to report Windows 10.
use_wine_prefix() {
  find_wine || return 1
  export WINEPREFIX="$root/build/wine/${1:-prefix}"
  local server
  server="$(dirname "$wine_loader")/wineserver"
  if [ ! -f "$WINEPREFIX/.veltra-ready" ]; then
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    timeout -k 5 300 "$wine_loader" wineboot -i >/dev/null 2>&1
    timeout 120 "$server" -w
    touch "$WINEPREFIX/.veltra-ready"
  fi
  # The prefix's first set-up can still be writing its defaults (Windows 7)
  # after it seems done, and undo a version chosen meanwhile; so the version
  # is read every time, with nothing else running, and set until it holds.
  local version tries=0
  while version=$(wine_windows_version); [ "${version%%.*}" != 10 ]; do
    if [ "$tries" -ge 3 ]; then
      echo "wine prefix $WINEPREFIX still reports Windows ${version:-(no answer)} after $tries tries to set Windows 10" >&2
      return 1
    fi
    tries=$((tries + 1))
    timeout -k 5 120 "$wine_loader" winecfg -v win10 >/dev/null 2>&1
    # Bounded: a server left running with -p by an earlier run never ends.
    timeout 120 "$server" -w
  done
  # No window manager runs on the tests' X servers, and Wine waits up to two
  # seconds for one whenever it hides or destroys a window it lets a window
  # manager handle: every program's end took two seconds more. The tests'
  # prefixes leave every window to Wine itself; the pictures, the benchmarks
  # and scripts/run (tools-prefix) keep Wine's default.
  case "${1:-prefix}" in
    tools-prefix*) ;;
    *) timeout -k 5 60 "$wine_loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 ;;
  esac
  # Keep the server and its services up between test programs: otherwise
  # every program pays for a fresh start of Wine's services.
  "$server" -p >/dev/null 2>&1
  timeout -k 5 300 "$wine_loader" wineboot >/dev/null 2>&1
}

stop_wine() {
  [ -n "${WINEPREFIX:-}" ] && find_wine 2>/dev/null && "$(dirname "$wine_loader")/wineserver" -k 2>/dev/null
  local shard
  for shard in "${wine_shards[@]}"; do
    WINEPREFIX="$root/build/wine/$shard" "$(dirname "$wine_loader")/wineserver" -k 2>/dev/null
  done
  return 0
}

# The Wine shards the tests run in at once: the tests' prefix and copies of
# it, each with its own Wine server and its own X display. Their names, for
# a count: the first is the tests' prefix.
wine_shards=()
wine_shard_names() {
  local i
  echo prefix
  for i in $(seq 2 "$1"); do echo "prefix_$i"; done
}

# Makes the shards named (copies of the first, made with its server stopped
# so that its registry is whole on disk: a copy takes seconds where a new
# prefix takes a minute of Wine's set-up), starts each one's server on the
# display written in build/wine/NAME.display (scripts/wine-run reads it for
# the test CTest gives that shard), and writes the CTest resource file that
# names them, build/wine/shards.json.
prepare_wine_shards() {
  local shard server ids=
  use_wine_prefix "$1" || return 1
  server="$(dirname "$wine_loader")/wineserver"
  for shard in "${@:2}"; do
    [ -f "$root/build/wine/$shard/.veltra-ready" ] && continue
    "$server" -k 2>/dev/null
    timeout 60 "$server" -w
    rm -rf "$root/build/wine/$shard"
    cp -a "$WINEPREFIX" "$root/build/wine/$shard" || return 1
  done
  for shard in "$@"; do
    DISPLAY=$(cat "$root/build/wine/$shard.display") use_wine_prefix "$shard" || return 1
    ids+="${ids:+,}{\"id\":\"$shard\",\"slots\":1}"
  done
  printf '{"version":{"major":1,"minor":0},"local":[{"wine":[%s]}]}\n' "$ids" >"$root/build/wine/shards.json"
}
