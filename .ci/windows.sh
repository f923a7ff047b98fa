#!/usr/bin/env bash
# CI for Windows on a Debian 12 machine: cross-builds the core, quillery-cli,
# the Win32 window and the tests with MinGW-w64, runs the tests under Wine,
# then checks quillery-cli.exe against the stored goldens (and against the
# Linux build's output, when there is one, for the corpus files without a
# golden) and drives the window under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD=${BUILD_WIN:-build-win}
JOBS=${JOBS:-$(nproc)}
PACKAGES=(cmake make g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 googletest libcli11-dev xvfb xauth)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Wine without dialogs, downloads or a display of its own, in a prefix of
# this build's only.
WINE=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
export WINEPREFIX="$PWD/$BUILD/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
export DISPLAY=

[ -f "$BUILD/CMakeCache.txt" ] || cmake --preset windows
cmake --build "$BUILD" -j "$JOBS"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$WINE" wineboot -i
  # Wine draws the windows' frames itself: Xvfb has no window manager.
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
  "$(dirname "$(readlink -f "$WINE")")/wineserver" -w
fi

ctest --test-dir "$BUILD" --output-on-failure

# The corpus through the real .exe, one fresh folder per run.
CLI="$BUILD/bin/quillery-cli.exe"
NATIVE_CLI=${NATIVE_CLI:-build/bin/quillery-cli}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
run_exe() { # output folder, options..., input
  local out=$1; shift
  mkdir -p "$out"
  "$WINE" "$CLI" -q -o "$out" "$@" >/dev/null
}
n=0
for input in tests/data/corpus/*.txt "data/sample/My Clippings.txt"; do
  stem=$(basename "$input" .txt); stem=${stem// /-}
  for variant in default all; do
    options=(--encoding windows-1252)
    [ "$variant" = all ] && options+=(--bookmarks --keep-locations --no-fix-ansi)
    n=$((n + 1))
    out="$work/$n"
    if ! run_exe "$out" "${options[@]}" "$input"; then
      echo "FAILED: $input ($variant): quillery-cli.exe failed"; failures=$((failures + 1)); continue
    fi
    golden="tests/data/golden/$stem.$variant"
    if [ -d "$golden" ]; then
      expected="$golden"
    elif [ -x "$NATIVE_CLI" ]; then
      expected="$work/$n-linux"; mkdir -p "$expected"
      "$NATIVE_CLI" -q -o "$expected" "${options[@]}" "$input" >/dev/null
      expected="$expected/My Clippings"
    else
      echo "ran:    $input ($variant), no golden and no Linux build to compare with"
      continue
    fi
    if diff -r "$expected" "$out/My Clippings" >/dev/null; then
      echo "same:   $input ($variant)"
    else
      echo "FAILED: $input ($variant) differs from $expected"; failures=$((failures + 1))
    fi
  done
done

"$(dirname "$(readlink -f "$WINE")")/wineserver" -w
if [ "$failures" -ne 0 ]; then
  echo "$failures corpus runs differ"
  exit 1
fi
echo "Windows: every test and every corpus run passed"
