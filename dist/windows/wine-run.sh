#!/usr/bin/env bash
# Runs a Windows program of the cross build under wine, as CTest's emulator and for the checks
# of the packages: wine drops the QT_* variables from the Windows environment and passes
# WINEQT_X=v on as QT_X=v, so each QT_* of the caller goes through under that name.
# WINEPREFIX and PLINTOR_QT_MINGW (the Qt the programs were built against) as build.sh sets them.
set -euo pipefail
export PLINTOR_QT_MINGW="${PLINTOR_QT_MINGW:-/var/cache/plintor/qt-6.4.2-mingw64}"
while IFS='=' read -r name value; do
  if [[ $name == QT_* ]]; then export "WINE$name=$value"; fi
done < <(env)
export WINEQT_FORCE_STDERR_LOGGING=1 # QtTest logs to the debugger channel otherwise
windows() { local p; p="$(realpath "$1")"; printf 'Z:%s' "${p//\//\\}"; } # wine's Z: is the root
gcc_dlls="$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")"
export WINEQT_PLUGIN_PATH="$(windows "$PLINTOR_QT_MINGW/plugins")"
export WINEPATH="$(windows "$PLINTOR_QT_MINGW/bin");$(windows "$gcc_dlls");$(windows /usr/x86_64-w64-mingw32/lib)"
# The offscreen platform reads its fonts from a folder, not from the system.
export WINEQT_QPA_FONTDIR="${WINEQT_QPA_FONTDIR:-$(windows /usr/share/fonts/truetype/liberation)}"
export WINEDEBUG="${WINEDEBUG:--all}"
exec wine "$@"
