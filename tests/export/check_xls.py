#!/usr/bin/python3
"""Reads an exported .xls back with xlrd and compares it with an expectation.

usage: check_xls.py WORKBOOK EXPECTED
       check_xls.py --stream COMPOUND_FILE STREAM_BYTES

EXPECTED is text: "header N", N lines of hex UTF-8 ("-" for an empty text),
"rows M", then M lines of 12 tokens, each the 16 hex digits of a double's
bits or "-" for an empty cell. Exits 1 with the differences on a mismatch.
"""
import io
import struct
import sys

import xlrd
from xlrd import compdoc

FATSECT, DIFSECT = -3, -4
SEEN_MSATX, SEEN_SAT = 1, 2


def fail(messages):
    for m in messages[:20]:
        print(m)
    if len(messages) > 20:
        print("... and %d more" % (len(messages) - 20))
    sys.exit(1)


def check_container(mem):
    """xlrd's own compound-file reader, with its consistency checks made fatal."""
    log = io.StringIO()
    doc = compdoc.CompDoc(mem, logfile=log)
    stream = doc.get_named_stream("Workbook")
    errors = []
    if stream is None:
        errors.append("no Workbook stream")
    if log.getvalue():
        errors.append("compound file warnings: " + log.getvalue())
    for sid, seen in enumerate(doc.seen):
        if seen == 0:
            errors.append("sector %d belongs to no chain" % sid)
        if (seen == SEEN_SAT) != (doc.SAT[sid] == FATSECT):
            errors.append("FAT sector %d not marked FATSECT" % sid)
        if (seen == SEEN_MSATX) != (doc.SAT[sid] == DIFSECT):
            errors.append("DIFAT sector %d not marked DIFSECT" % sid)
    fat_count, difat_count = struct.unpack_from("<i", mem, 0x2C)[0], struct.unpack_from("<i", mem, 0x48)[0]
    difat_seen = sum(1 for s in doc.seen if s == SEEN_MSATX)
    fat_seen = sum(1 for s in doc.seen if s == SEEN_SAT)
    if (fat_count, difat_count) != (fat_seen, difat_seen):
        errors.append("header counts %d FAT and %d DIFAT sectors, the chains %d and %d"
                      % (fat_count, difat_count, fat_seen, difat_seen))
    return errors, difat_seen, stream


def read_expected(path):
    with open(path) as f:
        lines = f.read().split("\n")
    pos = 0
    tag, count = lines[pos].split()
    assert tag == "header"
    pos += 1
    header = []
    for _ in range(int(count)):
        token = lines[pos]
        header.append("" if token == "-" else bytes.fromhex(token).decode("utf-8"))
        pos += 1
    tag, count = lines[pos].split()
    assert tag == "rows"
    pos += 1
    rows = [lines[pos + i].split() for i in range(int(count))]
    return header, rows


def check_stream(path, stream_path):
    """A compound file alone: its Workbook stream is the given bytes, padded."""
    with open(path, "rb") as f:
        mem = f.read()
    with open(stream_path, "rb") as f:
        want = f.read()
    errors, difat_sectors, stream = check_container(mem)
    want_size = max(len(want), 4096)
    if stream is None or len(stream) != want_size or stream[:len(want)] != want \
            or stream[len(want):].strip(b"\0"):
        errors.append("stream differs (%d bytes, expected %d)"
                      % (0 if stream is None else len(stream), want_size))
    if errors:
        fail(errors)
    print("ok: %d bytes, %d DIFAT sectors" % (len(want), difat_sectors))


def main():
    if sys.argv[1] == "--stream":
        check_stream(sys.argv[2], sys.argv[3])
        return
    workbook, expected = sys.argv[1], sys.argv[2]
    header, rows = read_expected(expected)
    with open(workbook, "rb") as f:
        mem = f.read()

    errors, difat_sectors, _ = check_container(mem)
    if errors:
        fail(errors)

    log = io.StringIO()
    book = xlrd.open_workbook(file_contents=mem, formatting_info=True, logfile=log, verbosity=0)
    if log.getvalue():
        fail(["xlrd warnings: " + log.getvalue()])
    if book.biff_version != 80 or book.nsheets != 1:
        fail(["biff version %d, %d sheets" % (book.biff_version, book.nsheets)])
    sheet = book.sheet_by_index(0)
    want_rows = len(rows) + 1 if (rows or header) else 0
    want_cols = max(len(header), 12 if rows else 0)
    if (sheet.nrows, sheet.ncols) != (want_rows, want_cols):
        fail(["sheet is %dx%d, expected %dx%d" % (sheet.nrows, sheet.ncols, want_rows, want_cols)])

    for c, text in enumerate(header):
        if sheet.cell_type(0, c) != xlrd.XL_CELL_TEXT or sheet.cell_value(0, c) != text:
            errors.append("header %d: %r, expected %r" % (c, sheet.cell_value(0, c)[:40], text[:40]))

    pack = struct.Struct("<d").pack
    for r, tokens in enumerate(rows, start=1):
        types = sheet.row_types(r)
        values = sheet.row_values(r)
        xfs = [sheet.cell_xf_index(r, c) for c in range(len(tokens))]
        for c, token in enumerate(tokens):
            if xfs[c] != 15:
                errors.append("cell (%d,%d) has XF %d" % (r, c, xfs[c]))
            if token == "-":
                if types[c] != xlrd.XL_CELL_BLANK:
                    errors.append("cell (%d,%d) type %d, expected blank" % (r, c, types[c]))
            elif types[c] != xlrd.XL_CELL_NUMBER:
                errors.append("cell (%d,%d) type %d, expected number" % (r, c, types[c]))
            elif pack(values[c])[::-1].hex() != token:
                errors.append("cell (%d,%d) %r bits %s, expected %s"
                              % (r, c, values[c], pack(values[c])[::-1].hex(), token))
    if errors:
        fail(errors)
    print("ok: %d rows, %d DIFAT sectors" % (len(rows), difat_sectors))


if __name__ == "__main__":
    main()
