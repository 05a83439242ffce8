#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace partita::cli {

// A time as a person types it on the command line: "h:mm:ss.fff", "m:ss.fff" or a number of
// seconds, the fraction a decimal one ("1:02.5" is 62.5 s, "90" is 1:30). Minutes and seconds
// below a larger field must be under 60. Milliseconds are rounded to the nearest; nullopt for
// anything else.
std::optional<std::uint64_t> ParseCommandLineTime(std::string_view text);

}  // namespace partita::cli
