#pragma once
#include <string>

// A serial date in the user's short date format, with the time unless
// `dateOnly`; empty for none.
std::wstring LocalDate(double serial, bool dateOnly = false);
