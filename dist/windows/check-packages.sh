#!/usr/bin/env bash
# Checks the packages build.sh made, under wine on a virtual X display: the installer installs
# silently into a fresh wine prefix and the installed plintor.exe answers --version; the portable
# folder, unpacked from its zip, answers too and keeps its datasets beside it.
#   dist/windows/check-packages.sh OUT VERSION
set -euo pipefail
OUT="$1" VERSION="$2"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
expect="Plintor $VERSION"

# plintor.exe is a GUI program: what it prints reaches a pipe all the same.
answers_version() { # exe
  local said
  said="$(timeout 120 xvfb-run -a wine "$1" --version 2>/dev/null | tr -d '\r')"
  [[ $said == "$expect" ]] || { echo "check-packages: $1 --version said \"$said\"" >&2; return 1; }
}

export WINEPREFIX="$OUT/wine-install"
rm -rf "$WINEPREFIX"
wineboot -i
trap 'WINEPREFIX="$OUT/wine-install" wineserver -k 2>/dev/null || true' EXIT
timeout 300 wine "$OUT/plintor-$VERSION-setup.exe" /S
wineserver -w
installed="$WINEPREFIX/drive_c/Program Files/Plintor"
for f in plintor.exe plintor-monitor.exe uninstall.exe Qt6Widgets.dll platforms/qwindows.dll demo/studio; do
  [[ -e $installed/$f ]] || { echo "check-packages: the installer left no $f" >&2; exit 1; }
done
[[ ! -e $installed/data ]] || { echo "check-packages: the installer put a data folder beside the programs" >&2; exit 1; }
ls "$WINEPREFIX"/drive_c/users/*/AppData/Local/Plintor/data/studio/*.ftd >/dev/null
ls "$WINEPREFIX"/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Plintor/Plintor.lnk >/dev/null
answers_version "$installed/plintor.exe"
echo "check-packages: the installer installs silently and plintor.exe --version answers \"$expect\""

portable="$(mktemp -d)"
trap 'rm -rf "$portable"; WINEPREFIX="$OUT/wine-install" wineserver -k 2>/dev/null || true' EXIT
unzip -q "$OUT/plintor-$VERSION-windows-x64.zip" -d "$portable"
[[ -d $portable/plintor-$VERSION-windows-x64/data ]]
answers_version "$portable/plintor-$VERSION-windows-x64/plintor.exe"
echo "check-packages: the portable plintor.exe answers \"$expect\""
