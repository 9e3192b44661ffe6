#!/usr/bin/env bash
# Builds Plintor for 64-bit Windows on Debian, as root: cross-builds both programs and the test
# suite with mingw-w64 against Qt 6.4.2 built from Debian's own source, runs the suite under wine,
# and leaves in OUT (default build-windows/ of the source tree) the portable
# plintor-VERSION-windows-x64.zip and the installer plintor-VERSION-setup.exe.
#
#   dist/windows/build.sh [OUT]
#
# The Qt is kept outside the tree, in $PLINTOR_QT_MINGW (default
# /var/cache/plintor/qt-6.4.2-mingw64). When that folder is absent or incomplete it is unpacked
# from ../shared/qt-mingw/qt-6.4.2-mingw64.tar.xz beside the source tree if that is there, or else
# built from `apt-get source qt6-base` (about 50 minutes on two cores).
set -euo pipefail

SOURCE="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
OUT="$(realpath -m "${1:-$SOURCE/build-windows}")"
QT="$(realpath -m "${PLINTOR_QT_MINGW:-/var/cache/plintor/qt-6.4.2-mingw64}")"
QT_TARBALL="$SOURCE/../shared/qt-mingw/qt-6.4.2-mingw64.tar.xz"
TOOLCHAIN="$SOURCE/cmake/mingw-w64-x86_64.cmake"
MINGW=x86_64-w64-mingw32
export DEBIAN_FRONTEND=noninteractive PLINTOR_QT_MINGW="$QT"
export WINEDEBUG=-all
# No Mono or Gecko to offer (its dialog would wait for an answer), no desktop menu entries.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
JOBS="${PLINTOR_JOBS:-2}"

say() { printf '\n== %s [%d s]\n' "$*" "$SECONDS"; }

say "tools"
apt-get update
apt-get install -y --no-install-recommends cmake make g++-mingw-w64-x86-64-posix qt6-base-dev \
  wine64 wine nsis zip unzip xz-utils xvfb xauth icoutils

# What the program needs of Qt, and a mark that the folder was finished.
qt_complete() {
  local f
  for f in .plintor-complete lib/cmake/Qt6/Qt6Config.cmake bin/Qt6Core.dll bin/Qt6Gui.dll bin/Qt6Widgets.dll \
    bin/Qt6Network.dll bin/Qt6Test.dll plugins/platforms/qwindows.dll plugins/platforms/qoffscreen.dll \
    plugins/styles/qwindowsvistastyle.dll; do
    [[ -f $QT/$f ]] || return 1
  done
}

unpack_qt() {
  rm -rf "$QT.part" && mkdir -p "$QT.part"
  tar -xJf "$QT_TARBALL" -C "$QT.part"
  mv "$QT.part/qt-mingw" "$QT.part/prefix"
}

# qtbase 6.4.2 of Debian's source package, with only the modules, plugins and features the
# program uses. Debian's source drops src/3rdparty/wintab, hence no tablet events; direct2d stays
# on, since without it qwindows.dll does not link.
build_qt() {
  apt-get install -y --no-install-recommends dpkg-dev ninja-build perl python3
  if ! grep -rqs -e '^Types:.*deb-src' -e '^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
      >/etc/apt/sources.list.d/plintor-deb-src.sources
    apt-get update
  fi
  local version work
  version="$(dpkg-query -W -f='${Version}' qt6-base-dev)" # the host tools (moc, rcc, uic) must match
  work="$QT.part/work"
  rm -rf "$QT.part" && mkdir -p "$work/build"
  (cd "$work" && apt-get source "qt6-base=$version")
  (cd "$work/build" && "$work"/qt6-base-*/configure -prefix "$QT.part/prefix" -release -shared \
      -xplatform win32-g++ -qt-host-path /usr -nomake tests -nomake examples \
      -no-opengl -no-dbus -no-icu -no-openssl -no-ssl -no-zstd -no-glib \
      -no-feature-sql -no-feature-printsupport -no-feature-concurrent -no-feature-xml \
      -no-feature-vulkan -no-feature-tabletevent \
      -qt-zlib -qt-pcre -qt-libpng -no-libjpeg -no-gif -qt-harfbuzz -qt-freetype -qt-doubleconversion \
      -- -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
  [[ -n ${PLINTOR_QT_CONFIGURE_ONLY:-} ]] && { say "Qt configured in $work/build"; exit 0; }
  cmake --build "$work/build" --parallel "$JOBS"
  cmake --install "$work/build"
  rm -rf "$work"
}

if ! qt_complete; then
  if [[ -f $QT_TARBALL ]]; then
    say "Qt: unpacking $QT_TARBALL into $QT"
    unpack_qt
  else
    say "Qt: building qtbase from Debian's source into $QT"
    build_qt
  fi
  rm -rf "$QT" && mkdir -p "$(dirname "$QT")"
  mv "$QT.part/prefix" "$QT" && rm -rf "$QT.part"
  touch "$QT/.plintor-complete"
fi
qt_complete || { echo "build.sh: $QT lacks part of Qt" >&2; exit 1; }

say "build"
cmake -S "$SOURCE" -B "$OUT" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
  -DCMAKE_PREFIX_PATH="$QT" -DCMAKE_FIND_ROOT_PATH="$QT" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$SOURCE/dist/windows/wine-run.sh"
cmake --build "$OUT" -j"$JOBS"

# One wine prefix for the suite, kept between runs; one wineserver for all its programs.
export WINEPREFIX="$OUT/wine"
stop_wine() { WINEPREFIX="$OUT/wine" wineserver -k 2>/dev/null || true; }
trap stop_wine EXIT
wineserver -k 2>/dev/null || true # one left running by a run that was cut short would hold -w below
wineboot -u # made, or brought up to date, before the first test: a test waits for nothing else
wineserver -w
wineserver -p
# The first program a persistent wineserver runs may not end after its last line: a trivial
# one takes that turn, not a test.
timeout 60 wine cmd /c exit || true

say "tests under wine"
# One test at a time: the settings of every test live in the one registry of the prefix. A test
# that fails is run once more: under wine a program now and then does not end after its last
# line (the report shows both runs).
ctest --test-dir "$OUT" --output-on-failure --repeat until-pass:2

say "portable folder and zip"
VERSION="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$OUT/CMakeCache.txt")"
NAME="plintor-$VERSION-windows-x64"
STAGE="$OUT/$NAME"
GCC_DLLS="$(dirname "$($MINGW-g++-posix -print-file-name=libstdc++-6.dll)")"
rm -rf "$STAGE" && mkdir -p "$STAGE"/{platforms,styles,imageformats,data}
cp "$OUT/plintor.exe" "$OUT/plintor.com" "$OUT/plintor-monitor.exe" "$STAGE/"
cp "$QT"/bin/Qt6{Core,Gui,Widgets,Network}.dll "$GCC_DLLS"/libgcc_s_seh-1.dll "$GCC_DLLS"/libstdc++-6.dll \
  /usr/$MINGW/lib/libwinpthread-1.dll "$STAGE/"
cp "$QT/plugins/platforms/qwindows.dll" "$STAGE/platforms/"
cp "$QT/plugins/styles/qwindowsvistastyle.dll" "$STAGE/styles/"
cp "$QT/plugins/imageformats/qico.dll" "$STAGE/imageformats/"
$MINGW-strip --strip-unneeded "$STAGE"/*.exe "$STAGE"/*.com "$STAGE"/*.dll "$STAGE"/*/*.dll
# The demo with its datasets and running order: the program copies them into the data folder
# on the first start on the demo.
cp -r "$SOURCE/demo" "$STAGE/demo"
# The licences of what the packages hold, one text, as Windows shows it (CR LF).
{
  section() { printf '\n\n==== %s ====\n\n' "$1"; }
  printf 'Plintor %s\n\nCopyright the Plintor developers.\n' "$VERSION"
  printf '\nThe packages also hold the libraries below, each under its own licence.\n'
  section "Qt 6.4.2 (Qt6Core, Qt6Gui, Qt6Widgets, Qt6Network and the plugins): The Qt Company Ltd., under the GNU Lesser General Public License version 3, which follows, with the GNU General Public License version 3 it builds on. Built from Debian's source package of qtbase 6.4.2."
  cat /usr/share/common-licenses/LGPL-3
  section "GNU General Public License version 3"
  cat /usr/share/common-licenses/GPL-3
  section "The GCC runtime (libgcc_s_seh-1.dll, libstdc++-6.dll): the GNU General Public License version 3 with the GCC Runtime Library Exception 3.1"
  cat /usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright
  section "winpthreads (libwinpthread-1.dll), of the mingw-w64 project"
  cat /usr/share/doc/mingw-w64-common/copyright
} | sed 's/$/\r/' >"$STAGE/LICENSES.txt"
# Each package is written under a temporary name and takes its own when whole: a copy taken
# meanwhile is never a broken package under the real name.
rm -f "$OUT/$NAME.zip" "$OUT/$NAME.zip.part"
(cd "$OUT" && zip -qr "$NAME.zip.part" "$NAME")
mv "$OUT/$NAME.zip.part" "$OUT/$NAME.zip"

say "installer"
SETUP="$OUT/plintor-$VERSION-setup.exe"
rm -f "$SETUP.part"
makensis -V2 -DVERSION="$VERSION" -DSTAGE="$STAGE" -DOUTFILE="$SETUP.part" -DICON="$SOURCE/dist/windows/plintor.ico" \
  "$SOURCE/dist/windows/installer.nsi"
mv "$SETUP.part" "$SETUP"

say "the packages under wine"
"$SOURCE/dist/windows/check-packages.sh" "$OUT" "$VERSION"

say "done: $OUT/$NAME.zip and $OUT/plintor-$VERSION-setup.exe"
