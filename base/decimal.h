// Whole numbers as decimal text, written by the C runtime of the platform.
#pragma once
#include <string>

// VALUE's decimal digits, after a minus sign when it is negative.
std::wstring DecimalText(long long value);
