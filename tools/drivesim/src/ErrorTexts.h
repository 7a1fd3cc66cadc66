// The driver's error texts, as the communication library's result table reads them.
#pragma once

namespace drivesim::errors {

inline constexpr const char* kUnknownOption = "UNKNOWN OPTION";
inline constexpr const char* kReadHibit = "READ HIBIT";   // a read of what cannot be read
inline constexpr const char* kRangeOver = "RANGE OVER";
inline constexpr const char* kConditionMismatch = "CONDITION MISMATCH";
inline constexpr const char* kNotOmissible = "NOT OMISSIBLE";
inline constexpr const char* kPasswordRequired = "PASSWORD REQUIRED";
inline constexpr const char* kReadOnly = "READ ONLY";

} // namespace drivesim::errors
