#pragma once
#include <cstdint>

// The status of an operation in the portable layers: the platform's HRESULT
// value, 0 for success and negative for a failure. It is 32 bits wide
// wherever the code is built, so a failure is the same number natively as
// under Windows (where `long` happens to be 32 bits and native `long` is
// not). Windows adapters use HRESULT itself; `long` is only ever a count.
using HResult = std::int32_t;
inline constexpr HResult kStatusOk = 0;
inline constexpr HResult kStatusFail = static_cast<HResult>(0x80004005u);
