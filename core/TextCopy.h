#pragma once

#include <cstddef>

// Copies text into a buffer of the given capacity, cut to fit with its terminator.
// A missing text copies as the empty text; a zero capacity writes nothing.
inline void CopyText(char* out, const char* text, size_t capacity) {
    if (out == nullptr || capacity == 0) {
        return;
    }
    size_t n = 0;
    if (text != nullptr) {
        while (n + 1 < capacity && text[n] != '\0') {
            out[n] = text[n];
            ++n;
        }
    }
    out[n] = '\0';
}

// CopyText with the ASCII capitals lowered; out may be text itself.
inline void CopyTextLowerAscii(char* out, const char* text, size_t capacity) {
    CopyText(out, text, capacity);
    if (out == nullptr || capacity == 0) {
        return;
    }
    for (char* c = out; *c != '\0'; ++c) {
        if (*c >= 'A' && *c <= 'Z') {
            *c = static_cast<char>(*c - 'A' + 'a');
        }
    }
}

// Whether two texts are the same, ASCII letters in any case.
inline bool SameTextAnyCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        const char x = *a >= 'A' && *a <= 'Z' ? static_cast<char>(*a - 'A' + 'a') : *a;
        const char y = *b >= 'A' && *b <= 'Z' ? static_cast<char>(*b - 'A' + 'a') : *b;
        if (x != y) {
            return false;
        }
    }
    return *a == *b;
}
