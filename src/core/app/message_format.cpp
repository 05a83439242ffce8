#include "app/message_format.h"

#include <cstdio>

#include "app/string_table.h"

namespace partita {
namespace {

struct Spec {
    std::string flags;
    std::string width;
    std::string precision;   // with its leading '.'
    char kind = 0;           // 's', 'd', 'u', 'x', 'X', 'f', 'g', 'c', '%'
    std::size_t length = 0;  // characters of the conversion, '%' included
};

bool IsFlag(char c) {
    return c == '-' || c == '0' || c == '+' || c == ' ' || c == '#';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads the conversion starting at format[pos] == '%'; kind 0 for one we do not know.
Spec ReadSpec(std::string_view format, std::size_t pos) {
    Spec spec;
    std::size_t i = pos + 1;
    while (i < format.size() && IsFlag(format[i]))
        spec.flags += format[i++];
    while (i < format.size() && IsDigit(format[i]) && spec.width.size() < 3)
        spec.width += format[i++];
    if (i < format.size() && format[i] == '.') {
        spec.precision += format[i++];
        while (i < format.size() && IsDigit(format[i]) && spec.precision.size() < 4) {
            spec.precision += format[i++];
        }
    }
    // Length modifiers carry no meaning here: every integer is 64 bits.
    if (format.substr(i, 3) == "I64") {
        i += 3;
    } else {
        while (i < format.size() && (format[i] == 'l' || format[i] == 'h'))
            ++i;
    }
    if (i < format.size()) {
        switch (format[i]) {
            case 's':
            case 'S':
                spec.kind = 's';
                break;
            case 'd':
            case 'i':
                spec.kind = 'd';
                break;
            case 'u':
                spec.kind = 'u';
                break;
            case 'x':
                spec.kind = 'x';
                break;
            case 'X':
                spec.kind = 'X';
                break;
            case 'f':
            case 'F':
                spec.kind = 'f';
                break;
            case 'g':
            case 'G':
                spec.kind = 'g';
                break;
            case 'c':
                spec.kind = 'c';
                break;
            case '%':
                spec.kind = '%';
                break;
            default:
                spec.kind = 0;
        }
        ++i;
    }
    spec.length = i - pos;
    return spec;
}

std::string Pad(std::string text, const Spec& spec, bool numeric) {
    std::size_t width = spec.width.empty() ? 0 : std::stoul(spec.width);
    if (text.size() >= width)
        return text;
    std::size_t fill = width - text.size();
    if (spec.flags.find('-') != std::string::npos)
        return text + std::string(fill, ' ');
    if (numeric && spec.flags.find('0') != std::string::npos) {
        std::size_t at = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
        return text.insert(at, fill, '0');
    }
    return std::string(fill, ' ') + text;
}

std::string FormatOne(const Spec& spec, const MessageArg& arg) {
    const auto& v = arg.Value();
    char buf[64];
    auto asInt = [&]() -> std::int64_t {
        if (auto p = std::get_if<std::int64_t>(&v))
            return *p;
        if (auto p = std::get_if<std::uint64_t>(&v))
            return static_cast<std::int64_t>(*p);
        if (auto p = std::get_if<double>(&v))
            return static_cast<std::int64_t>(*p);
        return 0;
    };
    if (auto text = std::get_if<std::string>(&v); text && spec.kind != 's') {
        return Pad(*text, spec, false);
    }
    switch (spec.kind) {
        case 's': {
            std::string text;
            if (auto p = std::get_if<std::string>(&v)) {
                text = *p;
            } else if (auto d = std::get_if<double>(&v)) {
                std::snprintf(buf, sizeof buf, "%g", *d);
                text = buf;
            } else if (auto u = std::get_if<std::uint64_t>(&v)) {
                text = std::to_string(*u);
            } else {
                text = std::to_string(asInt());
            }
            if (spec.precision.size() > 1)
                text = text.substr(0, std::stoul(spec.precision.substr(1)));
            return Pad(text, spec, false);
        }
        case 'd':
        case 'u': {
            std::string text;
            if (auto u = std::get_if<std::uint64_t>(&v)) {
                text = std::to_string(*u);
            } else {
                text = std::to_string(asInt());
            }
            if (spec.flags.find('+') != std::string::npos && text[0] != '-')
                text = "+" + text;
            return Pad(text, spec, true);
        }
        case 'x':
        case 'X':
            std::snprintf(buf, sizeof buf, spec.kind == 'x' ? "%llx" : "%llX",
                          static_cast<unsigned long long>(asInt()));
            return Pad(buf, spec, true);
        case 'f':
        case 'g': {
            double d = std::holds_alternative<double>(v) ? std::get<double>(v)
                                                         : static_cast<double>(asInt());
            // The spec's pieces are bounded in length, so the rebuilt format fits.
            std::string fmt = "%" + spec.flags + spec.width + spec.precision + spec.kind;
            std::snprintf(buf, sizeof buf, fmt.c_str(), d);
            return buf;
        }
        case 'c':
            return Pad(std::string(1, static_cast<char>(asInt())), spec, false);
        default:
            return {};
    }
}

}  // namespace

std::string FormatMessageText(std::string_view format, std::span<const MessageArg> args) {
    std::string out;
    out.reserve(format.size() + 32);
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size();) {
        if (format[i] != '%') {
            out += format[i++];
            continue;
        }
        Spec spec = ReadSpec(format, i);
        if (spec.kind == '%') {
            out += '%';
        } else if (spec.kind == 0 || next >= args.size()) {
            out.append(format.substr(i, spec.length));
        } else {
            out += FormatOne(spec, args[next++]);
        }
        i += spec.length;
    }
    return out;
}

std::string ConversionKinds(std::string_view format) {
    std::string kinds;
    for (std::size_t i = 0; i < format.size();) {
        if (format[i] != '%') {
            ++i;
            continue;
        }
        Spec spec = ReadSpec(format, i);
        switch (spec.kind) {
            case 's':
                kinds += 's';
                break;
            case 'd':
            case 'u':
            case 'x':
            case 'X':
                kinds += 'd';
                break;
            case 'f':
            case 'g':
                kinds += 'f';
                break;
            case 'c':
                kinds += 'c';
                break;
            case '%':
                break;
            default:
                kinds += '?';
        }
        i += spec.length;
    }
    return kinds;
}

std::string Message(int id, std::span<const MessageArg> args) {
    return FormatMessageText(CurrentStrings().Get(id), args);
}

}  // namespace partita
