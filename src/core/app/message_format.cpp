#include "app/message_format.h"

#include <cstdio>

namespace partita {
namespace {

struct Conversion {
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
Conversion ReadConversion(std::string_view format, std::size_t pos) {
    Conversion conv;
    std::size_t i = pos + 1;
    while (i < format.size() && IsFlag(format[i]))
        conv.flags += format[i++];
    while (i < format.size() && IsDigit(format[i]) && conv.width.size() < 3)
        conv.width += format[i++];
    if (i < format.size() && format[i] == '.') {
        conv.precision += format[i++];
        while (i < format.size() && IsDigit(format[i]) && conv.precision.size() < 4) {
            conv.precision += format[i++];
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
                conv.kind = 's';
                break;
            case 'd':
            case 'i':
                conv.kind = 'd';
                break;
            case 'u':
                conv.kind = 'u';
                break;
            case 'x':
                conv.kind = 'x';
                break;
            case 'X':
                conv.kind = 'X';
                break;
            case 'f':
            case 'F':
                conv.kind = 'f';
                break;
            case 'g':
            case 'G':
                conv.kind = 'g';
                break;
            case 'c':
                conv.kind = 'c';
                break;
            case '%':
                conv.kind = '%';
                break;
            default:
                conv.kind = 0;
        }
        ++i;
    }
    conv.length = i - pos;
    return conv;
}

std::string Pad(std::string text, const Conversion& conv, bool numeric) {
    std::size_t width = conv.width.empty() ? 0 : std::stoul(conv.width);
    if (text.size() >= width)
        return text;
    std::size_t fill = width - text.size();
    if (conv.flags.find('-') != std::string::npos)
        return text + std::string(fill, ' ');
    if (numeric && conv.flags.find('0') != std::string::npos) {
        std::size_t at = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
        return text.insert(at, fill, '0');
    }
    return std::string(fill, ' ') + text;
}

std::string FormatOne(const Conversion& conv, const MessageArg& arg) {
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
    if (auto text = std::get_if<std::string>(&v); text && conv.kind != 's') {
        return Pad(*text, conv, false);
    }
    switch (conv.kind) {
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
            if (conv.precision.size() > 1)
                text = text.substr(0, std::stoul(conv.precision.substr(1)));
            return Pad(text, conv, false);
        }
        case 'd':
        case 'u': {
            std::string text;
            if (auto u = std::get_if<std::uint64_t>(&v)) {
                text = std::to_string(*u);
            } else {
                text = std::to_string(asInt());
            }
            if (conv.flags.find('+') != std::string::npos && text[0] != '-')
                text = "+" + text;
            return Pad(text, conv, true);
        }
        case 'x':
        case 'X':
            std::snprintf(buf, sizeof buf, conv.kind == 'x' ? "%llx" : "%llX",
                          static_cast<unsigned long long>(asInt()));
            return Pad(buf, conv, true);
        case 'f':
        case 'g': {
            double d = std::holds_alternative<double>(v) ? std::get<double>(v)
                                                         : static_cast<double>(asInt());
            // The conv's pieces are bounded in length, so the rebuilt format fits.
            std::string fmt = "%" + conv.flags + conv.width + conv.precision + conv.kind;
            std::snprintf(buf, sizeof buf, fmt.c_str(), d);
            return buf;
        }
        case 'c':
            return Pad(std::string(1, static_cast<char>(asInt())), conv, false);
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
        Conversion conv = ReadConversion(format, i);
        if (conv.kind == '%') {
            out += '%';
        } else if (conv.kind == 0 || next >= args.size()) {
            out.append(format.substr(i, conv.length));
        } else {
            out += FormatOne(conv, args[next++]);
        }
        i += conv.length;
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
        Conversion conv = ReadConversion(format, i);
        switch (conv.kind) {
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
        i += conv.length;
    }
    return kinds;
}

}  // namespace partita
