#!/usr/bin/env bash
# Checks the packages build.sh made, under wine on a virtual X display, as a studio's IT and a new
# operator would meet them: both whole under their own names; the icon with its five sizes on the
# installer, the uninstaller and the program; the licences; the console face (plintor.com) that
# prints and sets the exit status; the demo that fills the data folder on the first start; the
# installer silent into a fresh prefix with its Start-menu entries; the uninstaller that refuses
# while the program or the monitor runs, naming it, and else leaves nothing it installed.
#   dist/windows/check-packages.sh OUT VERSION
set -euo pipefail
OUT="$1" VERSION="$2"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
expect="Plintor $VERSION"
setup="$OUT/plintor-$VERSION-setup.exe"
zip="$OUT/plintor-$VERSION-windows-x64.zip"
fail() { echo "check-packages: $*" >&2; exit 1; }
ok() { echo "check-packages: $*"; }

[[ -f $setup && -f $zip ]] || fail "a package is missing"
if compgen -G "$OUT/*.part" >/dev/null; then fail "a package was left under its temporary name"; fi

icon_sizes() { # exe: the sizes of its icon (icotool reads the 256-pixel image only from a file)
  local ico
  ico="$(mktemp --suffix=.ico)"
  wrestool -x -t 14 "$1" >"$ico" 2>/dev/null
  icotool -l "$ico" | sed -n 's/.*--width=\([0-9]*\).*/\1/p' | sort -n | tr '\n' ' '
  rm -f "$ico"
}
has_icon() { [[ $(icon_sizes "$1") == "16 24 32 48 256 " ]] || fail "the icon of $1 holds \"$(icon_sizes "$1")\""; }
has_icon "$setup"

# plintor.exe is a GUI program: what it prints reaches a pipe all the same; plintor.com, the
# face a console starts, also ends with the program's status.
run() { timeout 120 xvfb-run -a wine "$@" 2>/dev/null | tr -d '\r'; }
answers_console() { # folder
  local said status
  [[ $(run "$1/plintor.exe" --version) == "$expect" ]] || fail "$1/plintor.exe --version said \"$(run "$1/plintor.exe" --version)\""
  [[ $(run "$1/plintor.com" --version) == "$expect" ]] || fail "plintor.com --version said \"$(run "$1/plintor.com" --version)\""
  said="$(run "$1/plintor.com" '/?')"
  [[ $said == *--codepage* ]] || fail "plintor.com /? printed no help: $said"
  # The status is taken apart from what is printed: a wine process still ending may print after it.
  said="$(timeout 120 xvfb-run -a wine "$1/plintor.com" --no-such-option 2>&1)" && status=0 || status=$?
  [[ $said == *no-such-option* && $status == 1 ]] || fail "plintor.com refused an option so: $said (status $status)"
}
# The program's first start on the demo (datafolder: where its datasets must appear), ended
# once they are there; with hold, left running for the caller to end.
starts_on_demo() { # folder datafolder [hold]
  xvfb-run -a wine "$1/plintor.exe" --project "$(winepath -w "$1/demo/studio")" >/dev/null 2>&1 &
  local i
  for ((i = 0; i < 120; i++)); do
    [[ -f $2/studio/playlist.dat && -f $2/studio/logo_a1b2c3d4.ftd ]] && break
    sleep 1
  done
  [[ -f $2/studio/playlist.dat ]] || fail "the demo's datasets did not reach $2"
  [[ -n ${3:-} ]] || { wineserver -k; wait || true; }
}

export WINEPREFIX="$OUT/wine-install"
rm -rf "$WINEPREFIX"
wineboot -i
trap 'WINEPREFIX="$OUT/wine-install" wineserver -k 2>/dev/null || true' EXIT
timeout 300 wine "$setup" /S
wineserver -w
installed="$WINEPREFIX/drive_c/Program Files/Plintor"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Plintor"
for f in plintor.exe plintor.com plintor-monitor.exe uninstall.exe LICENSES.txt Qt6Widgets.dll platforms/qwindows.dll \
  demo/studio demo/data/studio/playlist.dat; do
  [[ -e $installed/$f ]] || fail "the installer left no $f"
done
for f in Plintor "Plintor (demo project)" "Plintor monitor" Licences "Uninstall Plintor"; do
  [[ -f $menu/$f.lnk ]] || fail "the Start menu has no \"$f\""
done
[[ ! -e $installed/data ]] || fail "the installer put a data folder beside the programs"
for text in "GNU LESSER GENERAL PUBLIC LICENSE" "GCC RUNTIME LIBRARY EXCEPTION" winpthreads; do
  grep -q "$text" "$installed/LICENSES.txt" || fail "the licences lack \"$text\""
done
has_icon "$installed/plintor.exe"
has_icon "$installed/uninstall.exe"
answers_console "$installed"
ok "the installer installs silently: programs, licences, icon, Start-menu entries; plintor.com answers"

# Every account's first start on the demo: its datasets, in the account's own data folder.
starts_on_demo "$installed" "$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Local)/Plintor/data" hold
# In place (_?=), so that its status is the one seen; NSIS reads that path unquoted, hence short.
uninstall_in_place() { timeout 120 wine "$installed/uninstall.exe" /S "_?=$(winepath -s 'C:\Program Files\Plintor')"; }
status=0 && uninstall_in_place || status=$?
[[ $status != 0 && -f $installed/plintor.exe && -f $installed/Qt6Core.dll ]] ||
  fail "the uninstaller went on while plintor.exe ran (status $status)"
wineserver -k; wait || true
said="$(mktemp)"
wine "$installed/plintor-monitor.exe" --port 0 >"$said" 2>&1 &
for ((i = 0; i < 60; i++)); do grep -q listening "$said" && break; sleep 1; done
grep -q listening "$said" || fail "the monitor did not start: $(cat "$said")"
status=0 && uninstall_in_place || status=$?
[[ $status != 0 && -f $installed/plintor-monitor.exe ]] || fail "the uninstaller went on while the monitor ran"
wineserver -k; wait || true
ok "the demo fills the account's data folder; the uninstaller refuses while plintor or the monitor runs"

timeout 300 wine "$installed/uninstall.exe" /S
wineserver -w
[[ ! -e $installed ]] || fail "the uninstaller left $(cd "$installed" && find . | head -5 | tr '\n' ' ')"
[[ ! -e $menu ]] || fail "the uninstaller left the Start-menu folder"
if wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Plintor' >/dev/null 2>&1; then
  fail "the uninstaller left its entry among the installed apps"
fi
ok "the uninstaller removes everything it installed"

portable="$(mktemp -d)"
trap 'rm -rf "$portable"; WINEPREFIX="$OUT/wine-install" wineserver -k 2>/dev/null || true' EXIT
unzip -q "$zip" -d "$portable"
folder="$portable/plintor-$VERSION-windows-x64"
[[ -d $folder/data && -f $folder/LICENSES.txt && -f $folder/demo/data/studio/playlist.dat ]] ||
  fail "the zip lacks the data folder, the licences or the demo's datasets"
answers_console "$folder"
starts_on_demo "$folder" "$folder/data"
ok "the portable folder answers \"$expect\" and its demo starts with its datasets beside it"
