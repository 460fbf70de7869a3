#pragma once

// Numbers in the texts a host shows and parses use '.' as the decimal point whatever numeric
// locale the host process has set (GTK-based Linux hosts adopt the user's, e.g. ',').

// Replaces the locale's decimal point in a formatted number text with '.'.
void UseDotDecimalPoint(char* text);
// The leading decimal number of text ('.' as decimal point) as strtod reads it; 0 without one.
double ReadLeadingNumber(const char* text);

// The same with the locale's decimal point given.
void UseDotDecimalPoint(char* text, const char* decimalPoint);
double ReadLeadingNumber(const char* text, const char* decimalPoint);
