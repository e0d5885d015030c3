#!/usr/bin/env bash
# activex.sh [BUILD_DIR]: cross-builds Gridora.ocx (the COM glue with a
# stand-in form) with mingw-w64 and tests it under Wine in a throwaway prefix:
# the text module's Win32 converter, registration keys, the embedded type
# library and resources, a VBScript client, an event sink in Wine's ATL host
# window, unloading and unregistration. Any missing
# tool or failed check fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build-mingw}
tmp=$(mktemp -d)
# Only this run's Wine server is stopped, never one of another prefix.
trap 'WINEPREFIX=$tmp/prefix wineserver -k >/dev/null 2>&1 || true; rm -rf "$tmp"' EXIT

wine_windows=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
for tool in x86_64-w64-mingw32-g++-posix widl wine wineboot wineserver apt-get; do
  command -v "$tool" >/dev/null || { echo "activex: $tool is missing (scripts/install-deps.sh)"; exit 1; }
done
[[ -f $wine_windows/stdole2.tlb && -f /usr/include/wine/wine/windows/ocidl.idl ]] ||
  { echo "activex: stdole2.tlb or the Windows IDL files are missing (wine64, wine64-tools)"; exit 1; }

# pugixml for the cross compiler: its Debian source package, fetched through a
# private deb-src list so the system's apt configuration stays as it is.
pugixml_dir=$root/$build/_pugixml
if [[ ! -f $pugixml_dir/src/pugixml.cpp ]]; then
  mirror=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -1)
  [[ -n $mirror ]] || mirror=$(awk '$1 == "deb" {print $2; exit}' /etc/apt/sources.list 2>/dev/null)
  suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
  mkdir -p "$tmp/apt/lists/partial"
  echo "deb-src ${mirror:-http://deb.debian.org/debian} $suite main" >"$tmp/apt/sources.list"
  apt_opts=(-o Dir::Etc::SourceList="$tmp/apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
            -o Dir::State::Lists="$tmp/apt/lists" -o Debug::NoLocking=1)
  # As root, apt would hand the download to its sandbox user, who cannot write here.
  ((EUID == 0)) && apt_opts+=(-o APT::Sandbox::User=root)
  apt-get -qq "${apt_opts[@]}" update
  (cd "$tmp" && apt-get -qq "${apt_opts[@]}" source --download-only pugixml >/dev/null 2>&1)
  mkdir -p "$pugixml_dir"
  tar -C "$pugixml_dir" --strip-components=1 -xzf "$tmp"/pugixml_*.orig.tar.gz
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DTALLY_GRIDORA_CROSS=ON \
  -DTALLY_PUGIXML_SOURCE_DIR="$pugixml_dir" \
  -DTALLY_WIDL_INCLUDE_DIR=/usr/include/wine/wine/windows -DTALLY_STDOLE2_DIR="$wine_windows" >/dev/null
cmake --build "$build" -j 2

# The control is copied into a folder with a blank, so registration must
# write the short path.
bin=$build/tests/activex/win
dir="$tmp/Gridora Test"
mkdir -p "$dir"
cp "$bin"/Gridora.ocx "$bin"/typelibcheck.exe "$bin"/eventclient.exe tests/activex/win/gridora.vbs \
  "$build"/tests/base/win/textcodeccheck.exe "$dir"/

export WINEPREFIX=$tmp/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
wineboot -i >/dev/null 2>&1
# No display here: Wine's null graphics driver gives windows without a screen.
# The prefix's desktop process started with the default driver, so the
# server restarts before anything opens a window.
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
wineserver -k || true
wineserver -w
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
# A program that waits for a window nobody can see fails instead of hanging.
WINE_BIN=$(command -v wine)
export WINE_BIN
wine() { timeout 120 "$WINE_BIN" "$@"; }
export -f wine

cd "$dir"
wine textcodeccheck.exe || fail "text module on Windows"
wine regsvr32 /s Gridora.ocx || fail "regsvr32 Gridora.ocx"
bash "$root/tests/activex/win/checkregistry.sh" registered || fail "registry after regsvr32"
wine typelibcheck.exe Gridora.ocx || fail "type library"
out=$(wine cscript //nologo gridora.vbs 2>&1 | tr -d '\r') || true
echo "$out"
grep -q '^FAIL' <<<"$out" && fail "VBScript checks"
# A script that stops on an error prints no summary.
[[ $(tail -1 <<<"$out") == "vbs: failed 0" ]] || fail "VBScript did not run to its end"
wine eventclient.exe || fail "event client"
wine regsvr32 /s /u Gridora.ocx || fail "regsvr32 /u Gridora.ocx"
bash "$root/tests/activex/win/checkregistry.sh" removed || fail "registry after regsvr32 /u"

if ((failures)); then
  echo "activex: $failures failure(s)"
  exit 1
fi
echo "activex: Gridora.ocx passed under Wine"
