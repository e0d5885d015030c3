"""Reads an exported .xlsx with openpyxl: types, bold header, frozen pane, formats."""
import datetime
import sys

import openpyxl

path = sys.argv[1]
sheet = openpyxl.load_workbook(path).active
problems = []


def expect(what, got, want):
    if got != want:
        problems.append(f"{what}: got {got!r}, want {want!r}")


expect("frozen pane", sheet.freeze_panes, "A2")
header = [c for c in sheet[1]]
expect("captions", [c.value for c in header],
       ["编号", "NAME", "SL", "JJ", "JE", "RQ", "FLAG", "BIG"])
expect("bold header", [c.font.b for c in header], [True] * 8)
expect("row 2 not bold", any(c.font.b for c in sheet[2]), False)

values = [[c.value for c in row] for row in sheet.iter_rows(min_row=2)]
expect("values", values, [
    ["1", "康师傅红烧牛肉面", -5, 2.85, 1234567.5, datetime.datetime(2024, 3, 15), True,
     "9007199254740993"],
    ["2", None, None, None, 0, None, False, -1],
    ["3", "a,b", 536870912, -0.5, -3.25, datetime.datetime(1999, 12, 31), True, 42],
])
expect("money format", [sheet.cell(r, 5).number_format for r in (2, 3, 4)], ["#,##0.00"] * 3)
expect("plain number format", sheet.cell(2, 4).number_format, "General")
expect("date cell", sheet.cell(2, 6).is_date, True)
# Display width 12 for NAME, caption bytes 4 for the 3-wide 编号, plus a margin.
expect("widths", [round(sheet.column_dimensions[c].width) for c in "AB"], [6, 14])
if problems:
    sys.exit(f"{path}:\n  " + "\n  ".join(problems))
print(f"{path}: {sheet.max_row} rows, {sheet.max_column} columns read by openpyxl "
      f"{openpyxl.__version__}")
