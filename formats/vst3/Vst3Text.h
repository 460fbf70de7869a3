#pragma once

#include "formats/vst3/Vst3Types.h"

#include <cstddef>

// Texts between the plug-in's UTF-8 and the host's UTF-16. Both always terminate what they
// write and cut what does not fit.

// [any] No lock. text (UTF-8) into out, which holds capacity UTF-16 units.
void Vst3CopyToUtf16(vst3::char16* out, const char* text, size_t capacity);
// [any] No lock. text (UTF-16, terminated) into out (UTF-8), which holds capacity bytes.
void Vst3CopyFromUtf16(char* out, const vst3::char16* text, size_t capacity);
