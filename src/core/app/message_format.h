#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace partita {

// One argument of a message of the string table. Messages are formatted from these, never
// through C varargs, so a wrong or missing argument can only give a wrong text, never undefined
// behaviour.
class MessageArg {
  public:
    template <typename T>
    requires std::is_integral_v<T> MessageArg(
        T value) {  // NOLINT: implicit by design, as printf arguments are
        if constexpr (std::is_signed_v<T>) {
            value_ = static_cast<std::int64_t>(value);
        } else {
            value_ = static_cast<std::uint64_t>(value);
        }
    }
    MessageArg(double value) : value_(value) {}
    MessageArg(std::string_view text) : value_(std::string(text)) {}
    MessageArg(const std::string& text) : value_(text) {}
    MessageArg(const char* text) : value_(std::string(text ? text : "")) {}

    const std::variant<std::int64_t, std::uint64_t, double, std::string>& Value() const {
        return value_;
    }

  private:
    std::variant<std::int64_t, std::uint64_t, double, std::string> value_;
};

// Formats a printf-style text. Conversions: %s %S (text), %d %i %u %ld %lu %lld %llu %I64d
// %I64u (integers), %x %X, %f %g (reals), %c, %% ; flags "-0+ ", width and precision.
// An argument of another kind is converted (a number for %s prints in decimal, a text for %d
// prints as it is); a conversion without an argument is left in the text as written.
std::string FormatMessageText(std::string_view format, std::span<const MessageArg> args);

// The kinds of the conversions in a text, one letter each: 's' text, 'd' integer, 'f' real,
// 'c' character; used to check that the languages of a message take the same arguments.
std::string ConversionKinds(std::string_view format);

}  // namespace partita
