// UTF-8 checks and the Shift_JIS (code page 932) fallback through glibc's iconv.
#include "platform/text.h"

#include <cerrno>
#include <cstring>

#include <iconv.h>

namespace plat {

namespace {

const char kReplacement[] = "\xEF\xBF\xBD"; // U+FFFD

// Length of the valid UTF-8 sequence at s[i], 0 when it is not valid (overlong forms, surrogates
// and values past U+10FFFF are not).
std::size_t utf8SequenceLength(std::string_view s, std::size_t i)
{
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80)
        return 1;
    std::size_t len;
    unsigned min;
    unsigned cp;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2; min = 0x80; cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3; min = 0x800; cp = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4; min = 0x10000; cp = b0 & 0x07;
    } else {
        return 0;
    }
    if (i + len > s.size())
        return 0;
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

// The code page 932 converter glibc offers under one of its names. CP932 keeps 0x5C a backslash,
// which Windows-style paths in Shift_JIS files need; plain SHIFT_JIS makes it a yen sign.
iconv_t openConverter(const char* to, bool toShiftJis)
{
    static const char* const names[] = {"CP932", "WINDOWS-31J", "SHIFT_JIS", "SJIS"};
    for (const char* name : names) {
        iconv_t cd = toShiftJis ? ::iconv_open(name, to) : ::iconv_open(to, name);
        if (cd != reinterpret_cast<iconv_t>(-1))
            return cd;
    }
    return reinterpret_cast<iconv_t>(-1);
}

} // namespace

bool IsValidUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t len = utf8SequenceLength(bytes, i);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

std::string DecodeText(std::string_view bytes, TextEncoding* encoding)
{
    if (bytes.size() >= 3 && std::memcmp(bytes.data(), "\xEF\xBB\xBF", 3) == 0)
        bytes.remove_prefix(3);
    if (IsValidUtf8(bytes)) {
        if (encoding)
            *encoding = TextEncoding::Utf8;
        return std::string(bytes);
    }
    if (encoding)
        *encoding = TextEncoding::ShiftJis;

    std::string out;
    out.reserve(bytes.size() * 3 / 2 + 8);
    iconv_t cd = openConverter("UTF-8", false);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        // No converter: keep what is ASCII, mark the rest.
        for (char c : bytes) {
            if (static_cast<unsigned char>(c) < 0x80)
                out.push_back(c);
            else
                out += kReplacement;
        }
        return out;
    }
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char chunk[4096];
    while (inLeft > 0) {
        char* outPtr = chunk;
        std::size_t outLeft = sizeof chunk;
        const std::size_t r = ::iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(chunk, static_cast<std::size_t>(outPtr - chunk));
        if (r != static_cast<std::size_t>(-1))
            break;
        if (errno == E2BIG)
            continue;
        // An invalid or cut-off sequence: mark it and go on after its first byte.
        out += kReplacement;
        ++in;
        --inLeft;
        ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    ::iconv_close(cd);
    return out;
}

std::optional<std::string> EncodeShiftJis(std::string_view utf8)
{
    if (!IsValidUtf8(utf8))
        return std::nullopt;
    iconv_t cd = openConverter("UTF-8", true);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out;
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char chunk[4096];
    bool ok = true;
    while (inLeft > 0) {
        char* outPtr = chunk;
        std::size_t outLeft = sizeof chunk;
        const std::size_t r = ::iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(chunk, static_cast<std::size_t>(outPtr - chunk));
        if (r == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            ok = false;
            break;
        }
        if (r > 0) { // characters converted "approximately": no exact Shift_JIS form
            ok = false;
            break;
        }
    }
    ::iconv_close(cd);
    if (!ok)
        return std::nullopt;
    return out;
}

} // namespace plat
