# Shared by tools/run and tools/test: installs what is missing, builds, and prepares
# the Wine prefix and a display. Sourced, not run.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${ORVANE_BUILD_DIR:-$ROOT/build}
PACKAGES="wine64 wine g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64 nsis
  xvfb xdotool x11-apps x11-utils imagemagick fonts-wqy-zenhei fonts-wqy-microhei googletest cmake ninja-build python3 python3-pil"

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
  local missing=()
  for p in $PACKAGES; do
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

# One Wine prefix of our own, kept between runs, and one wineserver for a whole run.
start_wine() {
  export WINEPREFIX=${WINEPREFIX_ORVANE:-$BUILD/wineprefix}
  export WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
  case "${LANG:-}" in *UTF-8*|*utf8*) ;; *) export LANG=C.UTF-8 ;; esac
  if [ ! -f "$WINEPREFIX/.orvane-ready-2" ]; then
    echo "Preparing the Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    wineboot -i >"$BUILD/wineboot.log" 2>&1 </dev/null
    # Unmanaged windows close at once without a window manager; Chinese faces find a
    # font with the glyphs whatever charset a program asks for. Micro Hei has outlines
    # only: Zen Hei's embedded bitmaps draw small text with wrong strokes.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    for n in 宋体 黑体 新宋体 微软雅黑 楷体 SimSun SimHei NSimSun "Microsoft YaHei" KaiTi; do
      wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$n" /t REG_SZ /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
    done
    wineserver -w
    touch "$WINEPREFIX/.orvane-ready-2"
  fi
  wineserver -p >/dev/null 2>&1 </dev/null || true  # fails when one already runs
  # The first program of a fresh wineserver starts Wine's services, which outlive it
  # and keep its output open: start them here, away from any pipe a caller reads.
  wine cmd.exe /c exit >/dev/null 2>&1 </dev/null
}

stop_wine() {
  wineserver -k 2>/dev/null || true
}

# A virtual display where none is set.
start_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return; fi
  local n=99
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return; sleep 0.1; done
  echo "Xvfb did not start" >&2
  return 1
}

stop_display() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
}
