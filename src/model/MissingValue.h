#pragma once

// The value that stands for a missing measurement. Data files write it as
// "-99999"; anything at or below kInvalidLimit counts as missing, because
// converted or summed markers drift a little from the exact number.
inline constexpr float kMissingValue = -99999.0f;
inline constexpr float kInvalidLimit = -99990.0f;

constexpr bool IsValidValue(float value) { return value > kInvalidLimit; }
