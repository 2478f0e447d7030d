#!/usr/bin/env python3
"""Holds the dump of ksx_dump against results computed here on their own.

    python3 ksx_oracle.py <path of ksx_dump>      (exit 0: every result agrees)
    python3 ksx_oracle.py --selftest              (checks this script's own rules)

The expected results never come from the generated tables: they follow from
Python's euc_kr codec (the standard KS X 1001 mapping), unicodedata, the
known changes this code page makes to the standard mapping, the two-byte code
classes, and the KS X 1002 Hanja of the Unihan database (Debian package
unicode-data) when it is installed.  Standard library only.
"""

import bz2
import os
import subprocess
import sys
import unicodedata

MARKER = 0x25A3
UNIHAN = "/usr/share/unicode/Unihan_OtherMappings.txt.bz2"

# Changes to the standard KS X 1001 mapping.
QUESTION_CELLS = set()
for first, last in [(0xA2E6, 0xA2FE), (0xA5AB, 0xA5AF), (0xA5BA, 0xA5C0), (0xA5D9, 0xA5E0),
                    (0xA5F9, 0xA5FE), (0xA6E5, 0xA6FE), (0xA7F0, 0xA7FE), (0xA8A5, 0xA8A5),
                    (0xA8A7, 0xA8A7), (0xA8B0, 0xA8B0), (0xAAF4, 0xAAFE), (0xABF7, 0xABFE),
                    (0xACC2, 0xACD0), (0xACF2, 0xACFE)]:
    QUESTION_CELLS.update(range(first, last + 1))
SYMBOL_CHANGES = {0xA1AD: 0x7E, 0xA2A1: 0x2192, 0xA2A2: 0x2194, 0xA4D4: 0x3164}
NO_CODE = {0x00AE, 0x20AC, 0x223C, 0x6C68}
EXTRA_CODE = {0x6C69: 0xCDE7, 0x3164: 0xA4D4}
FOLD_CHANGES = {0xF92C: 0x90DE, 0xF9B8: 0x96B7}

# Extended Hanja: the rows known beyond segment 2, by index.
SEGMENT2 = range(4889, 7745)
KNOWN_ROWS = {0xB74B: 0x6935, 0xCF29: 0x4F67, 0xF033: 0x8AD0}
EXCEPTIONS = {7947: 0x8E01, 7953: 0x5C4A, 16870: 0x5DD9, 18171: 0x7A21}
SEGMENT2_ROWS = {0xA121: 0x4EEE, 0xA122: 0x50A2, 0xA123: 0x5496, 0xB748: 0x9EE0}


def euc_kr(code):
    try:
        text = bytes([code >> 8, code & 0xFF]).decode("euc_kr")
    except UnicodeDecodeError:
        return None
    return ord(text) if len(text) == 1 else None


def index_of(lead, trail):
    """Hanja-table index of a two-byte code by the class table, or 0."""
    if 0xCA <= lead <= 0xFE and 0xA1 <= trail <= 0xFE:
        return (lead - 0xCA) * 94 + (trail - 0xA1) + 1
    if 0x21 <= trail <= 0xA0:
        for first, last, base in ((0xA1, 0xFE, 4889), (0x99, 0xA0, 16806),
                                  (0x91, 0x98, 17830), (0x89, 0x90, 18854)):
            if first <= lead <= last:
                return base + (lead - first) * 128 + (trail - 0x21)
    return 0


def ksx1002_hanja():
    """KS X 1002 Hanja by KS X 1002 position (kKSC1 row and cell), or None."""
    if not os.path.exists(UNIHAN):
        return None
    positions = []
    with bz2.open(UNIHAN, "rt", encoding="utf-8") as lines:
        for line in lines:
            parts = line.split()
            if len(parts) == 3 and parts[1] == "kKSC1":
                positions.append((int(parts[2]), int(parts[0][2:], 16)))
    return [cp for _, cp in sorted(positions)]


class Expected:
    def __init__(self):
        self.ksx1001_hanja = set()
        for lead in range(0xCA, 0xFE):
            for trail in range(0xA1, 0xFF):
                cp = euc_kr(lead << 8 | trail)
                if cp is not None and not 0xF900 <= cp <= 0xFA0B:
                    self.ksx1001_hanja.add(cp)
        self.ksx1001_hanja.add(0x6C69)
        self.segment2 = ksx1002_hanja()
        if self.segment2 is not None:
            if len(self.segment2) != 2856:
                raise SystemExit("Unihan gives %d KS X 1002 Hanja" % len(self.segment2))
        self.hanja_by_index = {}
        for code, cp in KNOWN_ROWS.items():
            self.hanja_by_index[index_of(code >> 8, code & 0xFF)] = cp

    def hanja(self, index):
        """Code point of a Hanja-table index; None when segment 2 is only checked loosely."""
        if 1 <= index <= 4888:
            code = (0xCA + (index - 1) // 94) << 8 | (0xA1 + (index - 1) % 94)
            cp = euc_kr(code)
            if code == 0xCDE7:
                return 0x6C69
            return 0 if cp is None or 0xF900 <= cp <= 0xFA0B else cp
        if index in SEGMENT2:
            if self.segment2 is not None:
                return self.segment2[index - 4889]
            return None
        if index <= 16805 and index in self.hanja_by_index:
            return self.hanja_by_index[index]
        return EXCEPTIONS.get(index, 0)

    def ksx(self, lead, trail):
        """Expected code point of a two-byte code; 0 for the unmapped marker."""
        code = lead << 8 | trail
        if 0xA1 <= lead <= 0xC8 and trail >= 0xA1:
            if 0xAD <= lead <= 0xAF:
                return 0
            if lead <= 0xAC:
                if code in QUESTION_CELLS:
                    return 0x3F
                if code in SYMBOL_CHANGES:
                    return SYMBOL_CHANGES[code]
            cp = euc_kr(code)
            if cp is None:
                raise SystemExit("no standard character at %04X" % code)
            return cp
        index = index_of(lead, trail)
        return self.hanja(index) if index else 0

    def ansi(self, u):
        """Expected ANSI bytes of a code point."""
        if u < 0x80:
            return bytes([u]) if u else b""
        if 0xF900 <= u <= 0xFA0B:
            u = FOLD_CHANGES.get(u) or int(unicodedata.decomposition(chr(u)), 16)
        code = None
        if u in EXTRA_CODE:
            code = EXTRA_CODE[u]
        elif u not in NO_CODE and u <= 0xFFFF and not 0xD800 <= u <= 0xDFFF:
            try:
                encoded = chr(u).encode("euc_kr")
            except UnicodeEncodeError:
                encoded = b""
            if len(encoded) == 2:
                code = encoded[0] << 8 | encoded[1]
        if code is not None:
            return bytes([code >> 8, code & 0xFF])
        return ("&#%05d;" % u).encode("ascii")


def utf8(cp):
    return chr(cp).encode("utf-8", "surrogatepass")


def compare(dump_lines, expected):
    differences = []
    seen_k, seen_u = 0, 0
    loose = []
    for line in dump_lines:
        fields = line.split(" ")
        if fields[0] == "K" and len(fields) == 5:
            seen_k += 1
            code = int(fields[1], 16)
            lead, trail = code >> 8, code & 0xFF
            got_bytes = bytes.fromhex(fields[2]) if fields[2] != "-" else b""
            got_cp = int(fields[3], 16)
            if int(fields[4]) != index_of(lead, trail):
                differences.append("%04X: Hanja-table index %s, expected %d"
                                   % (code, fields[4], index_of(lead, trail)))
            want = expected.ksx(lead, trail)
            if want is None:
                loose.append((code, got_bytes, got_cp))
                continue
            want_bytes = utf8(want if want else MARKER)
            if got_bytes != want_bytes or got_cp != want:
                differences.append("%04X: got %s (code point %X), expected %s (code point %X)"
                                   % (code, got_bytes.hex().upper(), got_cp,
                                      want_bytes.hex().upper(), want))
        elif fields[0] == "U" and len(fields) == 3:
            seen_u += 1
            u = int(fields[1], 16)
            got = bytes.fromhex(fields[2]) if fields[2] != "-" else b""
            want = expected.ansi(u)
            if got != want:
                differences.append("U+%04X: got %r, expected %r" % (u, got, want))
        else:
            differences.append("unexpected dump line: %s" % line)
    if seen_k != 127 * 222:
        differences.append("%d two-byte codes dumped, expected %d" % (seen_k, 127 * 222))
    if seen_u != 0x10000 + 3:
        differences.append("%d code points dumped, expected %d" % (seen_u, 0x10000 + 3))
    # Segment 2 without the Unihan data: each code a distinct CJK unified
    # ideograph outside KS X 1001, the named rows as given.
    values = set()
    for code, got_bytes, got_cp in loose:
        row = SEGMENT2_ROWS.get(code)
        if row is not None and got_cp != row:
            differences.append("%04X: got code point %X, expected %X" % (code, got_cp, row))
        if (not 0x4E00 <= got_cp <= 0x9FFF or got_cp in expected.ksx1001_hanja
                or got_bytes != utf8(got_cp)):
            differences.append("%04X: got %s (code point %X), expected a CJK ideograph outside KS X 1001"
                               % (code, got_bytes.hex().upper(), got_cp))
        if code >> 8 == 0xFE:
            twin = [c for c in loose if c[0] == 0xA100 | (code & 0xFF) - 0x80]
            if not twin or twin[0][2] != got_cp:
                differences.append("%04X: got code point %X, unlike %04X" % (code, got_cp, code - 0x5D80))
        else:
            if got_cp in values:
                differences.append("%04X: code point %X twice in segment 2" % (code, got_cp))
            values.add(got_cp)
    return differences, len(loose)


def self_test(expected):
    """The script's own rules against the cases the code page is known for."""
    cases = [
        (expected.ksx(0xA1, 0xA4), 0x00B7), (expected.ksx(0xA1, 0xA1), 0x3000),
        (expected.ksx(0xA1, 0xAD), 0x7E), (expected.ksx(0xA2, 0xA1), 0x2192),
        (expected.ksx(0xA2, 0xE6), 0x3F), (expected.ksx(0xCB, 0xD0), 0),
        (expected.ksx(0xCD, 0xE7), 0x6C69), (expected.ksx(0xB7, 0x49), 0),
        (expected.ksx(0xB8, 0x93), 0x8E01), (expected.ksx(0xAD, 0xA1), 0),
        (expected.ksx(0xC9, 0xA1), 0), (expected.ksx(0x80, 0xA1), 0),
        (expected.ksx(0x99, 0x61), 0x5DD9), (expected.ksx(0xFE, 0x6E), 0x5DD9),
        (expected.ksx(0x93, 0x76), 0x7A21), (expected.ksx(0xB7, 0x4B), 0x6935),
        (expected.ksx(0xFE, 0x2D), 0), (expected.ksx(0xFE, 0xA1), expected.ksx(0xA1, 0x21)),
        (expected.ansi(0x223C), b"&#08764;"), (expected.ansi(0x21D2), b"\xa2\xa1"),
        (expected.ansi(0x20AC), b"&#08364;"), (expected.ansi(0xF900), b"\xd1\xc2"),
        (expected.ansi(0x6C69), b"\xcd\xe7"), (expected.ansi(0x6C68), b"&#27752;"),
        (expected.ansi(0x3164), b"\xa4\xd4"), (expected.ansi(0x80), b"&#00128;"),
        (expected.ansi(0xD83D), b"&#55357;"), (expected.ansi(0), b""),
        (expected.ansi(0xFEFF), b"&#65279;"), (expected.ansi(0x1F600), b"&#128512;"),
        (index_of(0x90, 0xA0), 19877), (index_of(0xFE, 0x2D), 16805),
    ]
    bad = [i for i, (got, want) in enumerate(cases) if got != want]
    codes = sum(1 for u in range(0x80, 0x10000) if len(expected.ansi(u)) == 2
                and not 0xF900 <= u <= 0xFA0B)
    if codes != 7955:
        bad.append("%d code points with a code" % codes)
    if expected.segment2 is not None and (expected.segment2[:3] != [0x4EEE, 0x50A2, 0x5496]
                                          or expected.segment2[-1] != 0x9EE0):
        bad.append("segment 2 ends")
    return bad


def main():
    expected = Expected()
    bad = self_test(expected)
    if bad:
        print("ksx_oracle: the oracle's own rules fail: %s" % bad)
        return 1
    if sys.argv[1:] == ["--selftest"]:
        print("ksx_oracle: self test passed")
        return 0
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    try:
        run = subprocess.run([sys.argv[1]], capture_output=True, check=False)
    except OSError as error:
        print("ksx_oracle: cannot run %s: %s" % (sys.argv[1], error))
        return 1
    if run.returncode != 0:
        print("ksx_oracle: %s exited with %d: %s" % (sys.argv[1], run.returncode,
                                                     run.stderr.decode(errors="replace")))
        return 1
    differences, loose = compare(run.stdout.decode("ascii").splitlines(), expected)
    source = ("segment 2 from %s" % UNIHAN if expected.segment2 is not None
              else "segment 2 checked by its named rows only (%d codes; Unihan data not installed)" % loose)
    for line in differences[:30]:
        print(line)
    print("ksx_oracle: %d differences (%s)" % (len(differences), source))
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())
