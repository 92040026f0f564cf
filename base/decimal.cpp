// Whole numbers as decimal text, written by the platform's own formatting.
#include "base/decimal.h"

#include <windows.h>
#include <stdio.h>

// msvcrt's _snwprintf rather than std::to_wstring: the C++ library formats
// through MinGW's own printf, which would add 20 KB to the program.
std::wstring DecimalText(long long value)
{
    wchar_t digits[24] = {};
    _snwprintf(digits, 23, L"%I64d", value);
    return digits;
}
