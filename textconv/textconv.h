// The text conversion library: KS X 1001 code tables, character conversions,
// list normalisation (any list-file encoding -> ANSI) and output conversion
// (ANSI scratch text -> UTF-8 file with byte-order mark).
//
// "ANSI text" is the Korean ANSI code page: a byte below 80 is ASCII, a byte
// 80 or above opens a two-byte code (KS X 1001 in EUC-KR form, or an extended
// Hanja code whose trail byte may be 21-A0).  Characters that KS X 1001 lacks
// cross the ANSI stage as numeric character references "&#%05d;".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace textconv {

// Results of normaliseListFile.
inline constexpr int encodingAnsi = 0;
inline constexpr int encodingUtf8 = 1;
inline constexpr int encodingUtf16Be = 2;
inline constexpr int encodingUtf16Le = 3;
inline constexpr int listNotFound = -1;
inline constexpr int scratchNotCreatable = -2;

// Written for a two-byte code that has no character (KS X 1001 A2C3).
inline constexpr char32_t unmappedMarker = 0x25A3;
// Written for what can never be a character: a lone surrogate, a reference
// to 0 or beyond U+10FFFF.
inline constexpr char32_t replacementCharacter = 0xFFFD;

// ---- character conversions --------------------------------------------

// One two-byte code as UTF-8.  codePoint is the character written, or 0 when
// the unmapped marker was written.
struct KsxChar {
    char utf8[4];
    int length;
    char32_t codePoint;
};
KsxChar ksxToUtf8(unsigned char lead, unsigned char trail);

// Index of a two-byte code in the Hanja table (1-19877), or 0.
int ksxExtendedIndex(unsigned char lead, unsigned char trail);

// Longest text unicodeToAnsi writes: "&#1114111;" and a terminator.
inline constexpr std::size_t maxAnsiChar = 12;
// The ANSI text of one character: the byte itself below 80, the two bytes of
// its KS X 1001 code, or its numeric character reference "&#%05d;".  Writes a
// NUL-terminated text into out (at least maxAnsiChar bytes) and returns its
// length; U+0000 gives the empty text.
std::size_t unicodeToAnsi(char32_t u, char* out);

// Standard shortest UTF-8 form of v (up to U+10FFFF); returns 1 to 4.
int utf8Encode(char32_t v, char* out);

// Value of four hexadecimal digits, or -1 when they are not all hex digits.
int hexMarkupValue(const char* four);

// ---- texts ---------------------------------------------------------------

// ANSI text to UTF-8 by the rules of the output conversion (two-byte codes,
// numeric references and hex markup), without byte-order mark and line-end
// changes.  For console lines and tests.
std::string ansiToUtf8(std::string_view ansi);

// UTF-8 text (no byte-order mark) to ANSI by the rules of the list
// normalisation.  For texts taken from the command line.
std::string utf8ToAnsi(std::string_view utf8);

// ---- files ---------------------------------------------------------------

// Detects the list file's encoding by its byte-order mark and, unless it is
// ANSI, writes the ANSI scratch list.  Returns an encoding number, or
// listNotFound / scratchNotCreatable.  Prints the two ANSI lines for
// encoding 0.  A list that exists but cannot be read (a folder, a read
// error) is listNotFound too, and no scratch list is left of it.  When
// failure is given, a list that cannot be read or a failed write of the
// scratch list is described there.
int normaliseListFile(const char* listPath, const char* scratchPath,
                      std::string* failure = nullptr);

// True when the file has no byte-order mark but is valid UTF-8 holding at
// least one multi-byte character: it will be read as ANSI, wrongly.
bool isUtf8WithoutBom(const char* path);

// Converts the ANSI scratch file into the UTF-8 output file (byte-order mark,
// CR LF line ends).  The scratch file is opened first; the output is written
// beside its final name and moved into place only when it is whole, so an
// existing output survives every failure.  Returns 0, or -1 when a file could
// not be opened, read or written (with a description in failure, if given).
int convertOutputFile(const char* scratchPath, const char* outputPath,
                      std::string* failure = nullptr);

}  // namespace textconv
