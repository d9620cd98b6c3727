# Shared by tools/run and tools/test: installs what is missing, builds, and prepares
# the Wine prefix and a display. Sourced, not run.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${ORVANE_BUILD_DIR:-$ROOT/build}
PACKAGES="wine64 wine g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64 nsis
  xvfb xdotool x11-apps x11-utils imagemagick fonts-wqy-zenhei fonts-wqy-microhei fonts-noto-cjk googletest cmake ninja-build python3 python3-pil
  pulseaudio pulseaudio-utils python3-mido python3-numpy timidity fluid-soundfont-gm"
# What serves a virtual display to a browser: a VNC server and noVNC behind websockify.
VNC_PACKAGES="x11vnc websockify novnc"

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

# PACKAGES and any named here.
install_missing() {
  local missing=()
  for p in $PACKAGES "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return
  echo "Installing: ${missing[*]}"
  as_root apt-get update -q
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
}

build() {
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" >/dev/null
  cmake --build "$BUILD"
}

# A Wine prefix whose Chinese faces all draw in one family, kept between runs, with a
# wineserver for a whole run. Unmanaged windows close at once without a window manager;
# Chinese faces find a font with the glyphs whatever charset a program asks for.
prepare_prefix() {
  local prefix=$1 family=$2
  if [ ! -f "$prefix/.orvane-ready-2" ]; then
    echo "Preparing the Wine prefix $prefix"
    rm -rf "$prefix"
    WINEPREFIX=$prefix wineboot -i >"$BUILD/wineboot.log" 2>&1 </dev/null
    WINEPREFIX=$prefix wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    for n in 宋体 黑体 新宋体 微软雅黑 楷体 SimSun SimHei NSimSun "Microsoft YaHei" KaiTi; do
      WINEPREFIX=$prefix wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$n" /t REG_SZ /d "$family" /f >/dev/null 2>&1
    done
    WINEPREFIX=$prefix wineserver -w
    touch "$prefix/.orvane-ready-2"
  fi
  WINEPREFIX=$prefix wineserver -p >/dev/null 2>&1 </dev/null || true  # fails when one already runs
  # The first program of a fresh wineserver starts Wine's services, which outlive it
  # and keep its output open: start them here, away from any pipe a caller reads.
  WINEPREFIX=$prefix wine cmd.exe /c exit >/dev/null 2>&1 </dev/null
}

# Our prefix, and with "fonts" a second one whose Chinese faces draw in Noto Sans CJK,
# whose lines stand a fifth taller than WenQuanYi's, as 微软雅黑's do (build/wineprefix-noto),
# for the checks that text fits its box.
# Micro Hei has outlines only: Zen Hei's embedded bitmaps draw small text with wrong strokes.
start_wine() {
  export WINEPREFIX=${WINEPREFIX_ORVANE:-$BUILD/wineprefix}
  export WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
  case "${LANG:-}" in *UTF-8*|*utf8*) ;; *) export LANG=C.UTF-8 ;; esac
  prepare_prefix "$WINEPREFIX" "WenQuanYi Micro Hei"
  [ "${1:-}" != fonts ] || prepare_prefix "$BUILD/wineprefix-noto" "Noto Sans CJK SC"
}

stop_wine() {
  wineserver -k 2>/dev/null || true
  [ ! -d "$BUILD/wineprefix-noto" ] || WINEPREFIX=$BUILD/wineprefix-noto wineserver -k 2>/dev/null || true
}

have_display() {
  [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1
}

# A virtual display where none is set, of the size asked (WIDTHxHEIGHT). Xvfb picks a free
# display number itself and tells it once it accepts clients.
start_display() {
  have_display && return
  local told
  told=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${1:-1920x1080}x24" -nolisten tcp 3>"$told" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do
    if grep -q '^[0-9][0-9]*$' "$told"; then
      export DISPLAY=":$(cat "$told")"
      rm -f "$told"
      return
    fi
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$told"
  echo "Xvfb did not start" >&2
  return 1
}

stop_display() {
  [ -z "${XVFB_PID:-}" ] || end_process "$XVFB_PID"
}

# Ends a process this shell started (with "group": its whole process group), forcibly
# if it lingers, and reaps it.
end_process() {
  local target=$1
  [ "${2:-}" != group ] || target=-$1
  kill -TERM -- "$target" 2>/dev/null || return 0
  for _ in $(seq 30); do
    case $(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null) in Z* | "") break ;; esac
    sleep 0.1
  done
  kill -KILL -- "$target" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

# Whether a server could listen on the port (reusing it from closed connections, as
# servers do).
port_free() {
  python3 -c 'import socket, sys
s = socket.socket()
s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind(("127.0.0.1", int(sys.argv[1])))' "$1" 2>/dev/null
}

# Serves $DISPLAY to a browser on this computer only: x11vnc on the first free port from
# 5900 (VNC_PORT), noVNC through websockify on the first free one from 6080 (WEB_PORT).
start_vnc() {
  : >"$BUILD/x11vnc.port"
  x11vnc -display "$DISPLAY" -localhost -autoport 5900 -forever -shared -nopw -quiet \
    >"$BUILD/x11vnc.port" 2>"$BUILD/x11vnc.log" </dev/null &
  VNC_PID=$!
  VNC_PORT=
  for _ in $(seq 100); do
    VNC_PORT=$(sed -n 's/^PORT=//p' "$BUILD/x11vnc.port")
    [ -n "$VNC_PORT" ] || ! kill -0 "$VNC_PID" 2>/dev/null && break
    sleep 0.1
  done
  [ -n "$VNC_PORT" ] || { echo "x11vnc did not start: see $BUILD/x11vnc.log" >&2; return 1; }
  # websockify forks a process per browser: its own session lets one signal end them all.
  for WEB_PORT in $(seq 6080 6179); do
    port_free "$WEB_PORT" || continue
    setsid websockify --web /usr/share/novnc "127.0.0.1:$WEB_PORT" "127.0.0.1:$VNC_PORT" \
      >"$BUILD/websockify.log" 2>&1 </dev/null &
    WEB_PID=$!
    for _ in $(seq 100); do
      kill -0 "$WEB_PID" 2>/dev/null || break
      (: <"/dev/tcp/127.0.0.1/$WEB_PORT") 2>/dev/null && return
      sleep 0.1
    done
    stop_websockify  # the port was taken meanwhile, or it hangs
  done
  echo "websockify did not start: see $BUILD/websockify.log" >&2
  return 1
}

stop_websockify() {
  [ -z "${WEB_PID:-}" ] || end_process "$WEB_PID" group
  WEB_PID=
}

stop_vnc() {
  stop_websockify
  [ -z "${VNC_PID:-}" ] || end_process "$VNC_PID"
}
