#!/usr/bin/env bash
# checkregistry.sh registered|removed: reads Gridora's registration back with
# `wine reg query` (WINEPREFIX set by the caller) and compares every key and
# value; prints one line per difference and fails on any.
set -uo pipefail
clsid='{050D692B-931E-491B-801B-084DC3077AF3}'
libid='{CCF16B2F-BBC5-45E4-8E83-EFBBFC89D518}'
class="HKCR\\CLSID\\$clsid"
bad=0

# The data of one value (empty name: the default value), or "<missing>".
value() {
  local out
  if [[ -z $2 ]]; then
    out=$(wine reg query "$1" /ve 2>/dev/null | tr -d '\r') || { echo "<missing>"; return; }
    sed -n 's/^ *(Default) *REG_SZ *//p' <<<"$out" | head -1
  else
    out=$(wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r') || { echo "<missing>"; return; }
    sed -n "s/^ *$2 *REG_SZ *//p" <<<"$out" | head -1
  fi
}
expect() { # key name expected
  local got
  got=$(value "$1" "$2")
  [[ $got == "$3" ]] || { echo "FAIL $1 [${2:-default}]: '$got', expected '$3'"; bad=1; }
}
gone() {
  wine reg query "$1" >/dev/null 2>&1 && { echo "FAIL $1 still there"; bad=1; }
  return 0
}

case ${1:-} in
registered)
  expect "$class" "" "ActiveGridora Control"
  expect "$class\\InprocServer32" ThreadingModel "Apartment"
  path=$(value "$class\\InprocServer32" "")
  # The library sits in a folder with a blank: the short path is registered.
  [[ $path != *" "* && ${path,,} == *'\gridora.ocx' ]] ||
    { echo "FAIL InprocServer32 holds '$path', expected a short path without blanks"; bad=1; }
  expect "$class\\ProgID" "" "Gridora.ActiveGridora"
  expect "HKCR\\Gridora.ActiveGridora" "" "ActiveGridora Control"
  expect "HKCR\\Gridora.ActiveGridora\\Clsid" "" "$clsid"
  expect "$class\\Version" "" "1.0"
  expect "$class\\TypeLib" "" "$libid"
  expect "$class\\MiscStatus" "" "0"
  expect "$class\\MiscStatus\\1" "" "205201"
  expect "$class\\ToolboxBitmap32" "" "$path,1"
  expect "$class\\Control" "" ""
  expect "$class\\Verb\\0" "" "Properties,0,2"
  expect "HKCR\\TypeLib\\$libid\\1.0" "" "Gridora Library"
  [[ $(value "HKCR\\TypeLib\\$libid\\1.0\\0\\win64" "") != "<missing>" ]] ||
    { echo "FAIL type library path not registered"; bad=1; }
  expect "HKCR\\Interface\\{357DC364-3CA6-4E4F-A909-1BB3E2F1C378}" "" "IActiveGridora"
  expect "HKCR\\Interface\\{D9C07DA5-A458-47EC-AB2B-1B53EE3F8358}" "" "IActiveGridoraEvents"
  ;;
removed)
  gone "$class"
  gone "HKCR\\Gridora.ActiveGridora"
  gone "HKCR\\TypeLib\\$libid"
  gone "HKCR\\Interface\\{357DC364-3CA6-4E4F-A909-1BB3E2F1C378}"
  ;;
*)
  echo "usage: checkregistry.sh registered|removed"
  exit 2
  ;;
esac
exit $bad
