"""Reads an exported .xls with xlrd, taking the code page from the file."""
import sys

import xlrd

path = sys.argv[1]
book = xlrd.open_workbook(path)  # no encoding_override: CODEPAGE decides
assert book.encoding == "cp936", book.encoding
sheet = book.sheet_by_index(0)
rows = [[(c.ctype, c.value) for c in sheet.row(r)] for r in range(sheet.nrows)]

T, N, E = xlrd.XL_CELL_TEXT, xlrd.XL_CELL_NUMBER, xlrd.XL_CELL_EMPTY
expected = [
    [(T, "编号"), (T, "NAME"), (T, "SL"), (T, "JJ"), (T, "JE"), (T, "RQ"), (T, "FLAG"), (T, "BIG")],
    [(T, "1"), (T, "康师傅红烧牛肉面"), (N, -5.0), (N, 2.85), (N, 1234567.5), (T, "2024-3-15"),
     (T, "True"), (T, "9007199254740993")],
    [(T, "2"), (E, ""), (E, ""), (E, ""), (N, 0.0), (E, ""), (T, "False"), (T, "-1")],
    [(T, "3"), (T, "a,b"), (N, 536870912.0), (N, -0.5), (N, -3.25), (T, "1999-12-31"),
     (T, "True"), (T, "42")],
]
if rows != expected:
    for got, want in zip(rows, expected):
        if got != want:
            print("got ", got, "\nwant", want)
    sys.exit(f"{path}: cells differ ({len(rows)} rows)")
print(f"{path}: {sheet.nrows} rows, {sheet.ncols} columns read by xlrd {xlrd.__VERSION__}")
