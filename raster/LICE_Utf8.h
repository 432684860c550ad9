#pragma once
//! Reading the editor's 8-bit texts as UTF-8. Malformed input never fails:
//! a byte that does not start a well-formed sequence stands for itself, so
//! Latin-1 texts still show their characters.

//! Decodes the UTF-16 code unit at `text`, looking at no more than `available`
//! bytes, and stores the number of bytes it used in `consumed` (at least 1 when
//! `available` is positive; 0 and a result of 0 otherwise).
//! - 0xC2-0xDF plus one continuation byte: ((lead & 0x1F) << 6) | (b1 & 0x3F)
//! - 0xE0-0xEF plus two: the 16-bit value (lead << 12) | (b1 & 0x3F) << 6 | (b2 & 0x3F)
//! - 0xF0-0xF4 plus three: a space, as characters beyond 16 bits have no unit
//! - anything else: the byte itself.
//! Continuation bytes are 0x80 to 0xC0 inclusive.
int LICE_NextUtf8Unit(const char* text, int available, int* consumed);

//! True when some lead byte 0xC2-0xF4 among the first `length` bytes is
//! followed by continuation bytes 0x80-0xBF (one for leads below 0xE0, two
//! otherwise): the text needs decoding before the system can draw it.
bool LICE_HasUtf8Sequences(const char* text, int length);
