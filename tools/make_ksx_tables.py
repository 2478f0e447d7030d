#!/usr/bin/env python3
"""Generates textconv/ksx_tables.cpp, the constant KS X 1001 code tables.

Sources, all on a Debian machine:
  - Python's built-in euc_kr codec: the standard KS X 1001 <-> Unicode mapping;
  - glibc iconv (EUC-KR -> UTF-8), run by this script as a cross-check of the
    codec: any disagreement other than the two known ones stops the script;
  - Python's unicodedata: canonical decompositions of U+F900-U+FA0B;
  - the Unihan database of the Debian package unicode-data
    (/usr/share/unicode/Unihan_OtherMappings.txt.bz2, field kKSC1, checked
    against kIRG_KSource K1-xxxx in Unihan_IRGSources.txt.bz2): the KS X 1002
    Hanja for segment 2 of the Hanja table.

Run from the repository root (as root: apt-get install -y unicode-data):
    python3 tools/make_ksx_tables.py
It rewrites textconv/ksx_tables.cpp and asserts the shape of every table.
Standard library only.
"""

import bz2
import os
import subprocess
import sys
import unicodedata

UNIHAN_DIRS = ["/usr/share/unicode", "/usr/share/unicode-data"]
OUTPUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..",
                      "textconv", "ksx_tables.cpp")

QUESTION = 0x003F

# Cells of symbol rows 1-12 that hold "?": the cells KS X 1001 leaves
# unassigned there, plus A2E6 and A2E7 (euro and registered sign, later
# additions that this code page does not take).
QUESTION_RANGES = [
    (0xA2E6, 0xA2FE), (0xA5AB, 0xA5AF), (0xA5BA, 0xA5C0), (0xA5D9, 0xA5E0),
    (0xA5F9, 0xA5FE), (0xA6E5, 0xA6FE), (0xA7F0, 0xA7FE), (0xA8A5, 0xA8A5),
    (0xA8A7, 0xA8A7), (0xA8B0, 0xA8B0), (0xAAF4, 0xAAFE), (0xABF7, 0xABFE),
    (0xACC2, 0xACD0), (0xACF2, 0xACFE),
]

# Known disagreements between glibc iconv and Python's codec (code: iconv's
# character).  A2E8 (U+327E, a 2002 addition) is a "?" cell here anyway;
# A4D4 is the Hangul filler U+3164, which Python encodes but does not decode.
ICONV_ONLY = {0xA2E8: 0x327E, 0xA4D4: 0x3164}

# Rows of the extended Hanja segments 3-5 and of the exception list that are
# known; the rest has no source on this machine and stays empty.
EXTENDED_ROWS = {0xB74B: 0x6935, 0xCF29: 0x4F67, 0xF033: 0x8AD0}
EMPTY_ROWS = [0xB749, 0xFE2D]
EXCEPTIONS = [(7947, 0x8E01), (7953, 0x5C4A), (16870, 0x5DD9), (18171, 0x7A21)]

# Known disagreement between kKSC1 and kIRG_KSource, (row, cell): (kKSC1,
# K1 source).  The IRG source names the exact glyph, an Extension B character
# beyond U+FFFF, which a 16-bit table cannot hold; kKSC1 gives its unified
# BMP ideograph.
K1_ONLY = {(75, 75): (0x8C6C, 0x27CEF)}

# Compatibility ideographs whose decomposition is not in KS X 1001.
FOLD_EXCEPTIONS = {0xF92C: 0x90DE, 0xF9B8: 0x96B7}

RANGES = [(0x00A1, 0x33DD, 885), (0x4E00, 0x9F9C, 4620),
          (0xAC00, 0xD79D, 2350), (0xFF01, 0xFFE6, 100)]


def fail(message):
    sys.exit("make_ksx_tables: " + message)


def check(condition, message):
    if not condition:
        fail(message)


def extended_index(code):
    """Hanja-table index of a two-byte code, 0 when it has none."""
    lead, trail = code >> 8, code & 0xFF
    if lead >= 0xCA and trail >= 0xA1:
        return (lead - 0xCA) * 94 + (trail - 0xA1) + 1 if lead <= 0xFE and trail <= 0xFE else 0
    if 0x21 <= trail <= 0xA0:
        if 0xA1 <= lead <= 0xFE:
            return 4889 + (lead - 0xA1) * 128 + (trail - 0x21)
        if 0x99 <= lead <= 0xA0:
            return 16806 + (lead - 0x99) * 128 + (trail - 0x21)
        if 0x91 <= lead <= 0x98:
            return 17830 + (lead - 0x91) * 128 + (trail - 0x21)
        if 0x89 <= lead <= 0x90:
            return 18854 + (lead - 0x89) * 128 + (trail - 0x21)
    return 0


def codec_table():
    """Every code A1A1-FEFE decoded by Python's codec (None when unmapped)."""
    table = {}
    for lead in range(0xA1, 0xFF):
        for trail in range(0xA1, 0xFF):
            try:
                text = bytes([lead, trail]).decode("euc_kr")
            except UnicodeDecodeError:
                continue
            check(len(text) == 1, "codec gives %r for %04X" % (text, lead << 8 | trail))
            table[lead << 8 | trail] = ord(text)
    return table


def iconv_table():
    """The same codes decoded by glibc iconv, one code per line."""
    codes = [lead << 8 | trail for lead in range(0xA1, 0xFF) for trail in range(0xA1, 0xFF)]
    data = b"".join(bytes([c >> 8, c & 0xFF, 0x0A]) for c in codes)
    try:
        run = subprocess.run(["iconv", "-c", "-f", "EUC-KR", "-t", "UTF-8"],
                             input=data, capture_output=True, check=True)
    except (OSError, subprocess.CalledProcessError) as error:
        fail("iconv -f EUC-KR failed: %s" % error)
    lines = run.stdout.decode("utf-8").split("\n")
    check(len(lines) == len(codes) + 1, "iconv gave %d lines" % len(lines))
    table = {}
    for code, line in zip(codes, lines):
        check(len(line) <= 1, "iconv gives %r for %04X" % (line, code))
        if line:
            table[code] = ord(line)
    return table


def cross_check(codec, iconv):
    for code in sorted(set(codec) | set(iconv)):
        a, b = codec.get(code), iconv.get(code)
        if a == b:
            continue
        if a is None and ICONV_ONLY.get(code) == b:
            continue
        fail("euc_kr codec and iconv disagree at %04X: %s / %s"
             % (code, a and "U+%04X" % a, b and "U+%04X" % b))
    for code, cp in ICONV_ONLY.items():
        check(code not in codec and iconv.get(code) == cp,
              "expected disagreement at %04X is gone" % code)


def find_unihan(name):
    for folder in UNIHAN_DIRS:
        for candidate in (name, name + ".bz2"):
            path = os.path.join(folder, candidate)
            if os.path.exists(path):
                return path
    fail("%s not found under %s (apt-get install -y unicode-data)" % (name, ", ".join(UNIHAN_DIRS)))


def unihan_field(name, field):
    path = find_unihan(name)
    opener = bz2.open if path.endswith(".bz2") else open
    values = {}
    with opener(path, "rt", encoding="utf-8") as lines:
        for line in lines:
            parts = line.rstrip("\n").split("\t")
            if len(parts) == 3 and parts[1] == field:
                values[int(parts[0][2:], 16)] = parts[2]
    return path, values


def ksx1002_hanja(ksx1001_hanja):
    """KS X 1002 Hanja that are not KS X 1001 Hanja, in KS X 1002 code order."""
    path, kksc1 = unihan_field("Unihan_OtherMappings.txt", "kKSC1")
    irg_path, ksource = unihan_field("Unihan_IRGSources.txt", "kIRG_KSource")
    by_position = {}
    for cp, value in kksc1.items():
        row, cell = int(value[:-2]), int(value[-2:])
        check(1 <= cell <= 94 and (row, cell) not in by_position, "kKSC1 %s twice or odd" % value)
        by_position[(row, cell)] = cp
    # kIRG_KSource K1-RRCC (hexadecimal, offset 20) must name the same positions.
    k1 = {}
    for cp, value in ksource.items():
        if value.startswith("K1-"):
            k1[(int(value[3:5], 16) - 0x20, int(value[5:7], 16) - 0x20)] = cp
    for key in sorted(set(k1) | set(by_position)):
        if k1.get(key) != by_position.get(key) and K1_ONLY.get(key) != (by_position.get(key), k1.get(key)):
            fail("kKSC1 and kIRG_KSource K1 disagree at %d-%d: %s / %s"
                 % (key + tuple("U+%04X" % c if c else "none" for c in (by_position.get(key), k1.get(key)))))
    order = [by_position[key] for key in sorted(by_position)]
    check(all(0x4E0C <= c <= 0x9FA5 for c in order), "a KS X 1002 Hanja is not a BMP unified ideograph")
    check(len(set(order)) == len(order), "a KS X 1002 Hanja twice")
    check(not set(order) & ksx1001_hanja, "a KS X 1002 Hanja is also in KS X 1001")
    check(len(order) == 2856, "Unihan gives %d KS X 1002 Hanja, not 2856" % len(order))
    check(order[:3] == [0x4EEE, 0x50A2, 0x5496] and order[-1] == 0x9EE0,
          "KS X 1002 Hanja begin %s and end U+%04X"
          % (" ".join("U+%04X" % c for c in order[:3]), order[-1]))
    differ = ", ".join("%d-%d: U+%04X there, U+%04X in K1, beyond 16 bits" % (key + K1_ONLY[key]) for key in sorted(K1_ONLY))
    return order, ("field kKSC1 of %s,\n//    checked against kIRG_KSource K1-xxxx of %s\n"
                   "//    (they differ only at %s)" % (path, os.path.basename(irg_path), differ))


def build():
    codec = codec_table()
    cross_check(codec, iconv_table())
    standard = dict(codec)
    standard[0xA4D4] = 0x3164

    # Symbol rows 1-12.
    symbols = []
    question = set()
    for first, last in QUESTION_RANGES:
        question.update(range(first, last + 1))
    check(len(question) == 142, "%d question-mark cells" % len(question))
    for lead in range(0xA1, 0xAD):
        for trail in range(0xA1, 0xFF):
            code = lead << 8 | trail
            if code in question:
                check(code not in standard or code in (0xA2E6, 0xA2E7, 0xA2E8),
                      "%04X is assigned but would hold ?" % code)
                symbols.append(QUESTION)
            elif code == 0xA1AD:
                check(standard[code] == 0x223C, "A1AD is not U+223C")
                symbols.append(0x007E)
            else:
                check(code in standard, "symbol cell %04X has no character" % code)
                symbols.append(standard[code])
    check(len(symbols) == 1128 and symbols.count(QUESTION) == 142, "symbol table shape")
    check(symbols[94] == 0x21D2 and symbols[95] == 0x21D4, "A2A1/A2A2 cells")
    check(symbols[69] == 0x2192 and symbols[73] == 0x2194, "A1E6/A1EA cells")

    # Hangul rows 16-40.
    hangul = [standard[lead << 8 | trail] for lead in range(0xB0, 0xC9) for trail in range(0xA1, 0xFF)]
    check(len(hangul) == 2350 and hangul[0] == 0xAC00 and hangul[-1] == 0xD79D, "Hangul table shape")
    check(all(0xAC00 <= c <= 0xD7A3 for c in hangul) and hangul == sorted(hangul), "Hangul table order")

    # Hanja segment 1: rows 42-93 (CA-FD).
    segment1 = []
    duplicates = 0
    for lead in range(0xCA, 0xFE):
        for trail in range(0xA1, 0xFF):
            cp = standard[lead << 8 | trail]
            if 0xF900 <= cp <= 0xFA0B:
                duplicates += 1
                segment1.append(0)
            elif (lead << 8 | trail) == 0xCDE7:
                check(cp == 0x6C68, "CDE7 is not U+6C68")
                segment1.append(0x6C69)
            else:
                segment1.append(cp)
    check(len(segment1) == 4888 and duplicates == 268 and segment1.count(0) == 268, "segment 1 shape")
    check(segment1[(0xCB - 0xCA) * 94 + (0xD0 - 0xA1)] == 0, "CBD0 is not a duplicate cell")
    ksx1001_hanja = {c for c in segment1 if c} | {0x6C68}
    check(not any(standard.get(lead << 8 | trail) for lead in (0xFE,) for trail in range(0xA1, 0xFF)),
          "row 94 is not empty")

    # Hanja segments 2-5.
    segment2, unihan = ksx1002_hanja(ksx1001_hanja)
    hanja = segment1 + segment2 + [0] * (16805 - 4888 - 2856)
    for code, cp in EXTENDED_ROWS.items():
        index = extended_index(code)
        check(index > 7744 and hanja[index - 1] == 0 and cp not in ksx1001_hanja and cp not in segment2,
              "row %04X" % code)
        hanja[index - 1] = cp
    for code in EMPTY_ROWS:
        check(hanja[extended_index(code) - 1] == 0, "row %04X is not empty" % code)
    check(len(hanja) == 16805, "Hanja table shape")
    check(extended_index(0xA121) == 4889 and extended_index(0xB748) == 7744
          and extended_index(0xFEA1) == 4889 and extended_index(0xFE2D) == 16805
          and extended_index(0x90A0) == 19877, "index formulas")
    check(hanja[extended_index(0xA121) - 1] == 0x4EEE and hanja[extended_index(0xB748) - 1] == 0x9EE0,
          "segment 2 rows")

    # Exception list.
    keys = [index for index, _ in EXCEPTIONS]
    check(keys == sorted(set(keys)), "exception keys not ascending")
    for index, _ in EXCEPTIONS:
        check(index > 16805 or hanja[index - 1] == 0, "exception key %d has an entry" % index)
    check(extended_index(0xB893) == 7947 and extended_index(0xB899) == 7953
          and extended_index(0x9961) == 16870 and extended_index(0xFE6E) == 16870
          and extended_index(0x9376) == 18171, "exception codes")

    # Reverse table.
    reverse = {}
    for code, cp in standard.items():
        if 0xF900 <= cp <= 0xFA0B:
            continue                                   # duplicate Hanja cells
        check(cp not in reverse, "U+%04X twice" % cp)
        reverse[cp] = code
    python_reverse = {}
    for cp in reverse:
        try:
            encoded = chr(cp).encode("euc_kr")
        except UnicodeEncodeError:
            continue
        if len(encoded) == 2:
            python_reverse[cp] = encoded[0] << 8 | encoded[1]
    for cp, code in reverse.items():
        if code != 0xA2E8:
            check(python_reverse.get(cp) == code, "codec does not encode U+%04X to %04X" % (cp, code))
    for cp in (0x00AE, 0x20AC, 0x223C, 0x6C68, 0x327E):
        reverse.pop(cp, None)
    reverse[0x6C69] = 0xCDE7
    check(reverse[0x3164] == 0xA4D4 and reverse[0x21D2] == 0xA2A1 and reverse[0x21D4] == 0xA2A2,
          "reverse rows")
    pairs = sorted(reverse.items())
    check(len(pairs) == 7955, "%d reverse pairs" % len(pairs))
    for first, last, count in RANGES:
        check(sum(1 for cp, _ in pairs if first <= cp <= last) == count,
              "range U+%04X-U+%04X" % (first, last))
        check(any(cp == first for cp, _ in pairs) and any(cp == last for cp, _ in pairs),
              "range U+%04X-U+%04X ends" % (first, last))
    check(sum(c for _, _, c in RANGES) == len(pairs), "pairs outside the ranges")

    # Compatibility folds.
    folds = []
    for cp in range(0xF900, 0xFA0C):
        decomposition = unicodedata.decomposition(chr(cp))
        check(decomposition and " " not in decomposition and not decomposition.startswith("<"),
              "U+%04X has no canonical singleton decomposition" % cp)
        target = int(decomposition, 16)
        if cp in FOLD_EXCEPTIONS:
            check(target not in reverse, "U+%04X decomposes into KS X 1001" % cp)
            target = FOLD_EXCEPTIONS[cp]
        check(target in reverse, "fold target U+%04X of U+%04X has no code" % (target, cp))
        folds.append(target)
    check(len(folds) == 268, "fold table shape")
    check(folds[0] == 0x8C48 and reverse[0x8C48] == 0xD1C2, "U+F900 fold")

    figures = {
        "question": symbols.count(QUESTION), "hangul": len(hangul), "segment1": len(segment1),
        "duplicates": duplicates, "segment2": len(segment2), "reverse": len(pairs),
        "ranges": [c for _, _, c in RANGES], "folds": len(folds),
    }
    return symbols, hangul, hanja, EXCEPTIONS, pairs, folds, unihan, figures


def numbers(values, per_line, width):
    out = []
    for start in range(0, len(values), per_line):
        chunk = values[start:start + per_line]
        out.append("    " + ",".join("0x%0*X" % (width, v) for v in chunk) + ",")
    return "\n".join(out)


def pairs_text(values, per_line):
    out = []
    for start in range(0, len(values), per_line):
        chunk = values[start:start + per_line]
        out.append("    " + ",".join("{0x%04X,0x%04X}" % v for v in chunk) + ",")
    return "\n".join(out)


def write(symbols, hangul, hanja, exceptions, pairs, folds, unihan):
    header = """\
// Generated by tools/make_ksx_tables.py, do not edit.
// Re-run from the repository root: python3 tools/make_ksx_tables.py
// (needs python3, glibc iconv and the Debian package unicode-data).
//
// Sources:
//  - symbols, hangul, Hanja segment 1, reverse: the KS X 1001 mapping of
//    Python's euc_kr codec, cross-checked against glibc iconv -f EUC-KR, with
//    these changes: A1AD holds U+007E; the unassigned symbol cells and A2E6,
//    A2E7 hold "?" (142 cells); A4D4 holds U+3164; the 268 duplicate Hanja
//    cells (U+F900-U+FA0B) hold 0; CDE7 holds U+6C69.  The reverse table has
//    no pair for U+00AE, U+20AC, U+223C, U+6C68 and maps U+6C69 to CDE7.
//  - Hanja segment 2 (indexes 4889-7744, codes A121-B748): the 2,856 KS X
//    1002 Hanja in KS X 1002 code order, from the Unihan database:
//    %s.
//  - Hanja segments 3-5 and the exception list: no source is available, so
//    they hold only B74B U+6935, CF29 U+4F67, F033 U+8AD0 and the exceptions
//    7947 U+8E01, 7953 U+5C4A, 16870 U+5DD9, 18171 U+7A21; every other
//    extended code there has no character (unmapped marker).
//  - folds: canonical decompositions of U+F900-U+FA0B (Python unicodedata
//    %s), except U+F92C -> U+90DE and U+F9B8 -> U+96B7.
""" % (unihan, unicodedata.unidata_version)
    parts = [header,
             '#include "textconv/ksx_tables.h"\n',
             "namespace textconv::tables {\n",
             "const std::uint16_t symbols[symbolCells] = {\n%s\n};\n" % numbers(symbols, 12, 4),
             "const std::uint16_t hangul[hangulCells] = {\n%s\n};\n" % numbers(hangul, 12, 4),
             "const std::uint16_t hanja[hanjaEntries] = {\n%s\n};\n" % numbers(hanja, 12, 4),
             "const int hanjaExceptionCount = %d;\n" % len(exceptions),
             "const HanjaException hanjaExceptions[] = {\n%s\n};\n"
             % "\n".join("    {%d, 0x%04X}," % e for e in exceptions),
             "const ReversePair reverse[reversePairs] = {\n%s\n};\n" % pairs_text(pairs, 6),
             "const std::uint16_t folds[foldEntries] = {\n%s\n};\n" % numbers(folds, 12, 4),
             "}  // namespace textconv::tables\n"]
    text = "\n".join(parts)
    with open(OUTPUT, "w", encoding="ascii", newline="\n") as out:
        out.write(text)


def main():
    symbols, hangul, hanja, exceptions, pairs, folds, unihan, figures = build()
    write(symbols, hangul, hanja, exceptions, pairs, folds, unihan)
    print("wrote %s" % os.path.normpath(OUTPUT))
    print("symbols: 1128 cells, %(question)d hold ?; hangul: %(hangul)d; "
          "Hanja segment 1: %(segment1)d cells, %(duplicates)d hold 0; "
          "segment 2: %(segment2)d; reverse: %(reverse)d pairs %(ranges)s; folds: %(folds)d" % figures)


if __name__ == "__main__":
    main()
