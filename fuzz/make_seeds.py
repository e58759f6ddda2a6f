#!/usr/bin/python3
"""Writes the seed corpora in tests/fixtures/fuzz/<target>/.

Most fuzzers read their input through libFuzzer's FuzzedDataProvider, which
takes strings from the front of the input and numbers from its back. Seeds
are composed here the same way, so each one says what it exercises; rerun
after changing what a fuzzer reads.
"""
import pathlib
import struct

ROOT = pathlib.Path(__file__).resolve().parent.parent / "tests" / "fixtures" / "fuzz"


class Input:
    """An input as FuzzedDataProvider consumes it."""

    def __init__(self):
        self.front = bytearray()
        self.back = bytearray()  # in the order the provider takes it

    def int(self, lo, hi, value, bits=64):
        span, n = hi - lo, 0
        while n * 8 < bits and (span >> (n * 8)) > 0:
            n += 1
        self.back += (value - lo).to_bytes(n, "big") if n else b""
        return self

    def bool(self, value):
        return self.int(0, 255, 1 if value else 0, 8)

    def u64(self, value):
        return self.int(0, 2**64 - 1, value)

    def double_bits(self, value):
        return self.u64(struct.unpack("<Q", struct.pack("<d", value))[0])

    def pick(self, count, index):
        return self.int(0, count - 1, index)

    def string(self, text):
        """ConsumeRandomLengthString: backslashes doubled, then an end mark."""
        data = text.encode("utf-8", "surrogatepass") if isinstance(text, str) else text
        self.front += data.replace(b"\\", b"\\\\") + b"\\|"
        return self

    def rest(self, text):
        self.front += text.encode() if isinstance(text, str) else text
        return self

    def bytes(self):
        return bytes(self.front) + bytes(reversed(self.back))


def write(target, name, data):
    folder = ROOT / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data.bytes() if isinstance(data, Input) else data)


def number_text():
    # Val reads the whole input; the numbers come from its last bytes.
    for name, text, x in [
        ("fetch_field", "+9.90000000E+37,", 0.1 + 0.2),
        ("blanks_unit", "  12.5V", 2.675),
        ("two_points", "1.2.3", -0.5),
        ("bare_exponent", "1e+", 1e15),
        ("huge", "1" + "0" * 400, 1.7976931348623157e308),
        ("tiny", "-.5e-400", 5e-324),
    ]:
        inp = Input().rest(text + "#0.##")
        inp.double_bits(x).double_bits(-x).u64(123456789012345).int(-340, 320, -5)
        write("number_text", name, inp)


def scpi():
    lines = [
        "*IDN?\n",
        "ROUT:SCAN:COUNT 10;TIMER 0.5;:ROUT:SCAN:COUNT?;TIMER?\n",
        "ROUT:SCAN:FUNC 3,\"VOLT:AC\";:ROUT:SCAN:STATE ON;:INIT;:FETCH?\n",
        "SENS:VOLT:DC:RANG 'open\n",
        "CONF:RES 1E+400;VOLT:NPLC MAXIMUM,2;*OPC?\n",
    ]
    for i, line in enumerate(lines):
        inp = Input().bool(True).u64(i + 1).bool(i == 2)
        if i == 2:
            # Every fault at once: drops, delays, garbage, cut fetches, a disconnect.
            quarter = 2**62  # a probability of 1/4
            inp.u64(quarter).u64(quarter).int(0, 100000, 1500).u64(quarter).u64(quarter)
            inp.int(-1, 50, 4)
        inp.int(0, 5, 0).string(line)
        inp.int(0, 5, 3).int(0, 8192, 4096).int(0, 0xFFFFFFFE, 2000)
        inp.int(0, 5, 1).pick(16, 8)
        inp.int(0, 5, 3).int(0, 8192, 7).int(0, 0xFFFFFFFE, 0)
        write("scpi", f"session_{i}", inp)
    # A message past the meter's input buffer, then a line without its end.
    inp = Input().bool(False).u64(9).bool(False)
    inp.int(0, 5, 0).string("ROUT:SCAN:COUNT " + "9" * 1000)
    inp.int(0, 5, 0).string("*IDN?")
    inp.int(0, 5, 2).int(0, 5, 3).int(0, 8192, 100).int(0, 0xFFFFFFFE, 10)
    write("scpi", "long_message", inp)


def resource_pattern():
    for name, expr, resource in [
        ("meter", "USB[0-9]*::0x3A6D::0x0E31::?*INSTR", "USB0::0x3A6D::0x0E31::TW00000001::INSTR"),
        ("alternation", "(GPIB|VXI)?*INSTR", "vxi0::1::instr"),
        ("lists", "[^0-9]x[]a][a-]\\*", "ax]-*"),
        ("stacked", "((a*)+b?)*+|c", "aaab" * 8),
    ]:
        write("resource_pattern", name, Input().bool(True).string(expr).rest(resource))


def workbook():
    def rows(inp, values):
        inp.int(1, 64, len(values))
        for row in values:
            for v in row:
                if v is None:
                    inp.int(0, 3, 0)
                else:
                    inp.int(0, 3, 1).double_bits(v)

    # Latin-1 and CJK headers, NaN and infinity among the numbers.
    inp = Input().int(0, 16, 2)
    inp.int(0, 7, 1).int(0, 8, 2).int(0, 5, 1).int(0x80, 0xFF, 0xB5).int(0, 5, 0).int(0x20, 0x7E, 0x56)
    inp.int(0, 3, 1)
    inp.int(0, 7, 1).int(0, 8, 1).int(0, 5, 2).int(0x4E00, 0x9FFF, 0x7535).int(0, 3, 1)
    inp.int(0, 15, 1)
    rows(inp, [[float("nan"), 1.5, -0.0, float("inf"), 9.9e37, None] * 2])
    inp.int(0, 127, 0).int(0, 1, 1)
    write("workbook", "texts_and_odd_values", inp)

    # One header text of 40,000 units with surrogate pairs: CONTINUE records
    # and the cut at 32767 units, which must not split a pair.
    inp = Input().int(0, 16, 1)
    # Five units a repeat put a high surrogate at the limit.
    inp.int(0, 7, 1).int(0, 8, 3).int(0, 5, 2).int(0x4E00, 0x9FFF, 0x4E00)
    inp.int(0, 5, 3).int(0x10000, 0x10FFFF, 0x1F600).int(0, 5, 3).int(0x10000, 0x10FFFF, 0x10FFFF)
    inp.int(0, 3, 0).int(1, 9000, 8000)
    inp.int(0, 15, 1)
    rows(inp, [[None] * 12])
    inp.int(0, 127, 0).int(0, 1, 0)
    write("workbook", "long_text", inp)

    # 40,000 rows: a file past the 109 FAT sectors the header lists.
    inp = Input().int(0, 16, 0).int(0, 15, 1)
    rows(inp, [[float(c) * 0.25 - 1 for c in range(12)]])
    inp.int(0, 127, 1).int(0, 66000, 40000)
    write("workbook", "difat_rows", inp)


def fetch_reply():
    # The meter's own replies, and a cut one read as it is.
    inp = Input().bool(True).int(1, 10, 3)
    for p in (2**63, 2**60, 2**64 - 1):
        inp.bool(False).u64(p)
    inp.int(0, 3, 2)
    write("fetch_reply", "meter_reply", inp)
    inp = Input().bool(False).bool(True).u64(2**63).int(0, 64, 10)
    inp.rest("+1.00000000E+00,+2.50000000E-01,+9.9000")
    write("fetch_reply", "cut_reply", inp)


def script_parser():
    # The whole input is the script: the demo, and lines the parser refuses.
    demo = pathlib.Path(__file__).resolve().parent.parent / "scripts" / "demo.tqs"
    write("script_parser", "demo", demo.read_bytes())
    write("script_parser", "refused", b"# ok\r\ntype TxtChNo 3\r\nwait -5\nclick\n")
    write("script_parser", "every_verb",
          b"type Text2 1\npick CboFunc(0) DCV\nclick Command1\nwait-run\nwait 86400000\n"
          b"expect LblSt Ready\nanswer yes\nscreenshot a.png\ndump b.json\nexit")


if __name__ == "__main__":
    number_text()
    scpi()
    resource_pattern()
    workbook()
    fetch_reply()
    script_parser()
