#!/usr/bin/env bash
# Runs one Windows program under Wine in the build's own sandbox and passes its exit code through.
#
#   wine-run.sh [--root DIR] [--arch i686|x86_64] [--file-limit KB] [--cwd DIR] [--detach-output] -- PROGRAM [ARGS...]
#   wine-run.sh [--root DIR] [--arch ...] --init      create the prefix (once) and return
#   wine-run.sh [--root DIR] [--arch ...] --init --keep-server
#                                                    ... and keep its wineserver running until --stop
#   wine-run.sh [--root DIR] [--arch ...] --stop      stop this prefix's wineserver, nothing else
#   wine-run.sh [--root DIR] [--arch ...] --shell CMD run a shell command with the sandbox's environment
#
# The sandbox is ROOT/prefix (WINEPREFIX) and ROOT/home (HOME), both inside the build folder, so Wine
# never links shell folders to the real home folder. Menu entries and the Mono/Gecko prompts are off.
# With MARIGOLD_WINE_BASE set, a new prefix is a copy of one made once per kind in BASE/<arch>.
# When started as root, Wine runs as the unprivileged user "marigold-wine": as root, Wine would let a
# read-only file be truncated, which hides real Windows behaviour.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=${MARIGOLD_WINE_ROOT:-}
arch=${MARIGOLD_WINE_ARCH:-i686}
file_limit=""
cwd=""
mode=run
shell_cmd=""
keep_server=0
detach_output=0

while [ $# -gt 0 ]; do
  case "$1" in
    --root) root=$2; shift 2 ;;
    --arch) arch=$2; shift 2 ;;
    --file-limit) file_limit=$2; shift 2 ;;
    --cwd) cwd=$2; shift 2 ;;
    --init) mode=init; shift ;;
    --keep-server) keep_server=1; shift ;;
    --detach-output) detach_output=1; shift ;;
    --stop) mode=stop; shift ;;
    --shell) mode=shell; shell_cmd=$2; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[ -n "$root" ] || { echo "wine-run.sh: no sandbox root (--root or MARIGOLD_WINE_ROOT)" >&2; exit 2; }
mkdir -p "$root"
root=$(cd "$root" && pwd)

case "$arch" in
  x86_64) loader=/usr/lib/wine/wine64 ;;
  *)      loader=/usr/bin/wine ;;
esac
server=/usr/bin/wineserver
run_user=marigold-wine

as_user=()
if [ "$(id -u)" -eq 0 ]; then
  if ! id "$run_user" >/dev/null 2>&1; then
    useradd --system --create-home --home-dir "/var/lib/$run_user" --shell /usr/sbin/nologin "$run_user" 2>/dev/null \
      || id "$run_user" >/dev/null
  fi
  # The user must be able to reach the build folder even when it lies below a private folder such as /root.
  dir=$root
  while [ "$dir" != "/" ]; do
    dir=$(dirname "$dir")
    if ! runuser -u "$run_user" -- test -x "$dir" 2>/dev/null; then
      setfacl -m "u:$run_user:x" "$dir"
    fi
  done
  if [ "$(stat -c %U "$root")" != "$run_user" ]; then
    chown -R "$run_user" "$root"
  fi
  as_user=(runuser -u "$run_user" --)
fi

sandbox_env=(
  env
  WINEPREFIX="$root/prefix"
  HOME="$root/home"
  WINEARCH=win64
  WINELOADER="$loader"
  WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=;mshtml=${MARIGOLD_WINE_DLLOVERRIDES:+;$MARIGOLD_WINE_DLLOVERRIDES}"
  WINEDEBUG="${WINEDEBUG:--all}"
  XDG_CONFIG_HOME="$root/home/.config"
  XDG_DATA_HOME="$root/home/.local/share"
  XDG_CACHE_HOME="$root/home/.cache"
  TMPDIR="$root/tmp"
  PATH="${MARIGOLD_WINE_PATH:+$MARIGOLD_WINE_PATH:}/usr/local/bin:/usr/bin:/bin"
  DISPLAY="${DISPLAY:-}"
)
[ "$arch" = x86_64 ] || sandbox_env=("${sandbox_env[@]/WINEARCH=win64/WINEARCH=win32}")

# Wine's processes run without address randomisation. Debian's Wine has no preloader to reserve the
# fixed pages Wine needs before anything else is mapped, so a randomised heap now and then lies on
# one of them, and the program fails to start ("failed to map the shared user data: c0000018").
# A container's default seccomp profile refuses that personality, and setarch then starts nothing at
# all: there Wine runs randomised, which mostly works, and says so once (a nested run stays quiet).
fixed_addresses=(setarch "$(uname -m)" -R)
if ! "${fixed_addresses[@]}" true 2>/dev/null; then
  fixed_addresses=()
  [ -n "${MARIGOLD_WINE_RANDOMISED:-}" ] || echo "wine-run.sh: warning: address randomisation stays on" \
    "(setarch -R is refused here), so a Wine program may now and then fail to start" >&2
  export MARIGOLD_WINE_RANDOMISED=1
fi
in_sandbox() { "${as_user[@]}" "${sandbox_env[@]}" "${fixed_addresses[@]}" "$@"; }

make_prefix() {
  mkdir -p "$root/home" "$root/tmp"
  # A new Windows takes long to make: with a base folder, it is made there once per kind and copied.
  local base=${MARIGOLD_WINE_BASE:+$MARIGOLD_WINE_BASE/$arch}
  if [ -n "$base" ] && [ "$base" != "$root" ]; then
    MARIGOLD_WINE_BASE="" "$here/wine-run.sh" --root "$base" --arch "$arch" --init
    rm -rf "$root/prefix" "$root/home"
    cp -a "$base/prefix" "$base/home" "$root/"
    rm -f "$root/prefix/.marigold-ready"
    [ -z "${as_user[*]}" ] || chown -R "$run_user" "$root"
    touch "$root/prefix/.marigold-ready"
    return 0
  fi
  [ -z "${as_user[*]}" ] || chown -R "$run_user" "$root"
  in_sandbox "$loader" wineboot -i >"$root/wineboot.log" 2>&1 || true
  # Without a window manager Wine pauses ~2 s after every full-screen window unless windows are unmanaged.
  in_sandbox "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$root/wineboot.log" 2>&1
  in_sandbox "$server" -w
  # Wine links the user's shell folders (Desktop, Documents...) to HOME. Real folders keep everything the
  # programs write inside the prefix, so a copied prefix is self-contained.
  local link
  for link in "$root"/prefix/drive_c/users/*/*; do
    if [ -L "$link" ]; then rm "$link"; mkdir "$link"; fi
  done
  [ -z "${as_user[*]}" ] || chown -R "$run_user" "$root/prefix/drive_c/users"
  [ -f "$root/prefix/system.reg" ] || { echo "wine-run.sh: wineboot failed, see $root/wineboot.log" >&2; exit 1; }
  touch "$root/prefix/.marigold-ready"
}

ensure_prefix() {
  [ -f "$root/prefix/.marigold-ready" ] && return 0
  # Tests run in parallel: one of them makes the prefix, the others wait for it.
  exec 9>"$root/.prefix.lock"
  flock 9
  [ -f "$root/prefix/.marigold-ready" ] || make_prefix
  flock -u 9
}

case "$mode" in
  init)
    ensure_prefix
    # A server is started by whichever program finds none, and inherits its limits: started by a run
    # with a file-size limit it could not write its files, and the other programs it serves would fail
    # without a word. One that lives until --stop is never started that way. It writes nowhere: it
    # outlives this script, and would keep the caller's output open (ctest waits for its end).
    [ "$keep_server" = 0 ] || in_sandbox "$server" -p </dev/null >/dev/null 2>&1
    exit 0 ;;
  stop)
    if [ -d "$root/prefix" ]; then in_sandbox "$server" -k 2>/dev/null || true; fi
    exit 0 ;;
  shell)
    ensure_prefix
    in_sandbox bash -c "$shell_cmd"
    exit $? ;;
esac

[ $# -gt 0 ] || { echo "wine-run.sh: no program given" >&2; exit 2; }
ensure_prefix
limit_cmd=":"
if [ -n "$file_limit" ]; then
  limit_cmd="trap '' XFSZ; ulimit -f $file_limit"
  # The limit is the program's, not the server's (see --keep-server): start one without it first,
  # unless one already runs.
  in_sandbox "$server" -p30 </dev/null >/dev/null 2>&1 || true
fi
[ -n "$cwd" ] || cwd=$PWD
run_program() { in_sandbox bash -c "cd \"\$1\" || exit 125; shift; $limit_cmd; exec \"\$@\"" wine-run "$cwd" "$loader" "$@"; }
set +e
if [ "$detach_output" = 1 ]; then
  # The first program of a kept server starts Wine's services, which inherit its output and live as
  # long as the server: whoever reads that output to its end (ctest) would wait for them. The program
  # writes into files instead, passed on once it has ended.
  mkdir -p "$root/tmp"
  out=$(mktemp "$root/tmp/stdout.XXXXXX")
  err=$(mktemp "$root/tmp/stderr.XXXXXX")
  run_program "$@" >"$out" 2>"$err"
  rc=$?
  cat "$out"
  cat "$err" >&2
  rm -f "$out" "$err"
else
  run_program "$@"
  rc=$?
fi
set -e
# A Windows program that dies without a word (a crash, a failed start) says at least how it ended.
# Linux keeps only the low byte of a Windows exit code.
[ "$rc" -eq 0 ] || echo "wine-run.sh: $1 ended with exit status $rc" >&2
exit $rc
