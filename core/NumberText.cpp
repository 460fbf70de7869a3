#include "core/NumberText.h"

#include <clocale>
#include <cstdlib>
#include <cstring>

namespace {

const char* LocaleDecimalPoint() {
    const std::lconv* conventions = std::localeconv();
    return conventions != nullptr && conventions->decimal_point != nullptr ? conventions->decimal_point : ".";
}

bool IsDot(const char* decimalPoint) {
    return decimalPoint == nullptr || decimalPoint[0] == '\0' || std::strcmp(decimalPoint, ".") == 0;
}

} // namespace

void UseDotDecimalPoint(char* text) {
    UseDotDecimalPoint(text, LocaleDecimalPoint());
}

double ReadLeadingNumber(const char* text) {
    return ReadLeadingNumber(text, LocaleDecimalPoint());
}

void UseDotDecimalPoint(char* text, const char* decimalPoint) {
    if (text == nullptr || IsDot(decimalPoint)) {
        return;
    }
    char* found = std::strstr(text, decimalPoint);
    if (found == nullptr) {
        return;
    }
    const size_t width = std::strlen(decimalPoint);
    *found = '.';
    std::memmove(found + 1, found + width, std::strlen(found + width) + 1);
}

double ReadLeadingNumber(const char* text, const char* decimalPoint) {
    if (text == nullptr) {
        return 0.0;
    }
    if (IsDot(decimalPoint) || std::strchr(text, '.') == nullptr) {
        return std::strtod(text, nullptr);
    }
    // strtod reads the locale's decimal point: hand it the text with '.' replaced.
    char localised[128];
    const size_t width = std::strlen(decimalPoint);
    size_t length = 0;
    bool replaced = false;
    for (const char* c = text; *c != '\0' && length + width < sizeof localised; ++c) {
        if (*c == '.' && !replaced) {
            std::memcpy(localised + length, decimalPoint, width);
            length += width;
            replaced = true;
        } else {
            localised[length++] = *c;
        }
    }
    localised[length] = '\0';
    return std::strtod(localised, nullptr);
}
