#pragma once

#include <cstdint>

// UTF-8 as the text renderer reads it. Sequences are taken only when all of their
// continuation bytes (0x80-0xBF) are present within the available bytes; anything else is
// a single byte standing for itself, so malformed text still draws, byte by byte.

// Decodes one character. `available` is the number of bytes that may be read (negative: up
// to the terminating zero, which is never part of a sequence). Two- and three-byte sequences
// give their 16-bit code, four-byte sequences (beyond the 16-bit range) a space. Answers the
// number of bytes used: at least 1 when a byte is available, 0 when none is.
int PIX_DecodeUtf8(const char* text, int available, uint16_t& ch);

// True when the text (length bytes, negative: up to the terminating zero) holds a lead byte
// 0xC2-0xDF followed by a continuation byte, 0xE0-0xEF followed by two, or 0xF0-0xF4
// followed by two: such text is drawn as UTF-16 by the system's text functions.
bool PIX_HasUtf8Sequence(const char* text, int length);
