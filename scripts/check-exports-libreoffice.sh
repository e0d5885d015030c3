#!/usr/bin/env bash
# check-exports-libreoffice.sh [PACKET|REQUEST ...]: exports each packet (by
# default the list table of the export tests) to .xls and .xlsx with
# tallytool, converts both to CSV with LibreOffice headless under
# LANG=C.UTF-8, and compares every cell with the packet. Not part of the test
# suite (LibreOffice is a large install and a slow start); run it by hand
# after changing the export writers. Needs a built tree (TALLYTOOL or
# build/tools/tallytool/tallytool).
set -euo pipefail
cd "$(dirname "$0")/.."
tool=${TALLYTOOL:-build/tools/tallytool/tallytool}
[[ -x $tool ]] || { echo "no $tool: build first (scripts/build.sh build)" >&2; exit 2; }
if ! command -v soffice >/dev/null; then
  echo "Installing libreoffice-calc-nogui"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends libreoffice-calc-nogui
fi
(($#)) || set -- tests/data/tabular/export/list.xml
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LANG=C.UTF-8 LC_ALL=C.UTF-8
status=0
for input in "$@"; do
  for ext in xls xlsx; do
    out=$work/export.$ext
    "$tool" export "$input" --"$ext" "$out" >/dev/null
    rm -f "$work/export.csv"
    # UTF-8 CSV (charset 76), comma separated, double quotes.
    timeout 300 soffice -env:UserInstallation="file://$work/profile" --headless \
      --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76' --outdir "$work" "$out" >/dev/null 2>&1
    if /usr/bin/python3 - "$input" "$work/export.csv" "$ext" <<'PY'
import csv, datetime, json, re, sys, urllib.parse
import xml.etree.ElementTree as ET

source, csv_path, ext = sys.argv[1:]
text = open(source, encoding="utf-8").read()
if not text.lstrip("\ufeff \t\r\n").startswith("<"):
    body = text if text.lstrip().startswith("{") else urllib.parse.unquote(text)
    text = json.loads(body)["data"]
root = ET.fromstring(text.encode("utf-8"))
fields = [(f.get("attrname"), f.get("fieldtype")) for f in root.iter("FIELD")]
rows = [row.attrib for row in root.iter("ROW")]
got = list(csv.reader(open(csv_path, encoding="utf-8", newline="")))

def as_date(s):
    for fmt in ("%Y%m%d", "%Y-%m-%d", "%m/%d/%y", "%m/%d/%Y"):
        try:
            return datetime.datetime.strptime(s, fmt).date()
        except ValueError:
            pass
    return None

def same(kind, want, have):
    if want is None:
        return have == ""
    if kind in ("string", "string.uni"):
        # Calc keeps a line break inside a cell as LF alone.
        return want.replace("\r\n", "\n") == have
    if kind == "boolean":
        return want.upper() == have.upper()
    if kind == "date":
        return as_date(want) is not None and as_date(want) == as_date(have)
    if kind in ("i1", "ui1", "i2", "ui2", "i4", "ui4", "i8") and re.fullmatch(r"-?\d+", have):
        return int(want) == int(have)
    try:
        a, b = float(want), float(have.replace(",", ""))
    except ValueError:
        return False
    return abs(a - b) <= 1e-9 * max(1.0, abs(a))

problems = []
if got[0] != [name for name, _ in fields]:
    problems.append(f"header {got[0]}")
if len(got) != len(rows) + 1:
    problems.append(f"{len(got) - 1} rows, the packet has {len(rows)}")
for r, (row, line) in enumerate(zip(rows, got[1:]), start=1):
    line = line + [""] * (len(fields) - len(line))
    for (name, kind), have in zip(fields, line):
        if not same(kind, row.get(name), have):
            problems.append(f"row {r} {name}: packet {row.get(name)!r}, {ext} {have!r}")
for p in problems:
    print("  " + p)
print(f"{source} as .{ext}: {len(got) - 1} rows x {len(fields)} columns, "
      + ("all cells agree" if not problems else f"{len(problems)} differences"))
sys.exit(1 if problems else 0)
PY
    then :; else status=1; fi
  done
done
exit $status
