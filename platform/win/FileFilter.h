#pragma once

// [any] No lock. The file dialog's pattern of a space-separated list of extensions without dots
// ("png jpg" gives "*.png;*.jpg"; two spaces in a row give an empty "*."), cut to fit capacity
// bytes with its terminator. Answers the pattern's length.
int BuildExtensionPattern(const char* extensions, char* out, int capacity);
