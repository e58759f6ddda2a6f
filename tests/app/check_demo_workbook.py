#!/usr/bin/python3
"""Reads the demo's workbook back with xlrd and checks what the demo ran.

usage: check_demo_workbook.py WORKBOOK

The demo scans CH1 DCV, CH2 ACV and CH3 Frequency for 200 points with the
math channel (CH1 - CH2) x 1 + 8. Exits 1 with the differences on a mismatch.
"""
import sys

import xlrd

POINTS = 200


def problems(path):
    sheet = xlrd.open_workbook(path).sheet_by_index(0)
    found = []
    header = sheet.row_values(0)
    for col, text in ((0, "Time(Sec)"), (1, " 1DCV"), (2, " 2ACV"), (3, " 3Frequency"),
                      (11, "Math")):
        if header[col] != text:
            found.append("header column %d: %r, not %r" % (col + 1, header[col], text))
    if sheet.nrows != POINTS + 1 or sheet.ncols != 12:
        return found + ["%d rows x %d columns, not %d x 12" % (sheet.nrows, sheet.ncols, POINTS + 1)]
    last_time = -1.0
    for r in range(1, POINTS + 1):
        time, ch1, ch2, ch3 = sheet.row_values(r)[:4]
        rest, math = sheet.row_values(r)[4:11], sheet.row_values(r)[11]
        if not time > last_time:
            found.append("row %d: time %r does not follow %r" % (r, time, last_time))
        last_time = time
        if not (abs(ch1) <= 10 and 0 < ch2 <= 10 and 100 < ch3 < 10000):
            found.append("row %d: readings %r, %r, %r out of their ranges" % (r, ch1, ch2, ch3))
        expected = (ch1 - ch2) * 1 + 8
        if abs(math - expected) > 1e-9 * max(1.0, abs(math)):
            found.append("row %d: math %r is not (CH1 - CH2) x 1 + 8 = %r" % (r, math, expected))
        if any(v != "" for v in rest):
            found.append("row %d: channels outside the run are not empty: %r" % (r, rest))
    return found


def main():
    found = problems(sys.argv[1])
    for line in found[:20]:
        print(line)
    sys.exit(1 if found else 0)


if __name__ == "__main__":
    main()
