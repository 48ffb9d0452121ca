#include "platform/cp932.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace pado {

namespace {

// glibc's "CP932" only: SHIFT_JIS/SJIS map 0x8160 differently and reject the NEC characters.
class Converter {
public:
    Converter(const char* to, const char* from)
        : cd_(iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    iconv_t Get()
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr); // back to the initial state
        return cd_;
    }

private:
    iconv_t cd_;
};

// One converter per direction and thread; opening iconv for every line would dominate a large file.
Converter& Decoder()
{
    thread_local Converter c("UTF-32LE", "CP932");
    return c;
}

// To glibc's own wide characters: one conversion step, where UTF-16LE or UTF-32LE would take a second
// through them (half the cost of decoding a large database).
Converter& WideDecoder()
{
    thread_local Converter c("WCHAR_T", "CP932");
    return c;
}

Converter& Encoder()
{
    thread_local Converter c("CP932", "UTF-32LE");
    return c;
}

} // namespace

std::optional<Text> DecodeCp932(std::string_view bytes)
{
    Text out;
    bool ascii = true;
    for (char b : bytes)
        if (static_cast<unsigned char>(b) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii) {
        out.assign(bytes.begin(), bytes.end());
        return out;
    }
    iconv_t cd = Decoder().Get();
    std::u32string buf(bytes.size() + 1, U'\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* outp = reinterpret_cast<char*>(buf.data());
    std::size_t outLeft = buf.size() * sizeof(char32_t);
    if (iconv(cd, &in, &inLeft, &outp, &outLeft) == static_cast<std::size_t>(-1))
        return std::nullopt;
    buf.resize((buf.size() * sizeof(char32_t) - outLeft) / sizeof(char32_t));
    return buf;
}

bool IsCp932(std::string_view bytes)
{
    iconv_t cd = Decoder().Get();
    char32_t buf[16384];
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* outp = reinterpret_cast<char*>(buf);
        std::size_t outLeft = sizeof buf;
        if (iconv(cd, &in, &inLeft, &outp, &outLeft) == static_cast<std::size_t>(-1) && errno != E2BIG)
            return false;
    }
    return true;
}

std::optional<std::u16string> DecodeCp932Utf16(std::string_view bytes)
{
    // Sized up front from the lead bytes, so the text is never moved while it grows: a database
    // file is held this way because it is large. Every CP932 character is one UTF-16 unit.
    static constexpr auto kWidth = [] {
        std::array<unsigned char, 256> w {};
        for (int b = 0; b < 256; ++b)
            w[static_cast<std::size_t>(b)] = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC) ? 2 : 1;
        return w;
    }();
    std::size_t units = 0;
    for (std::size_t i = 0; i < bytes.size(); ++units)
        i += kWidth[static_cast<unsigned char>(bytes[i])];
    std::u16string out(units + 1, u'\0');
    static_assert(sizeof(wchar_t) == sizeof(char32_t), "glibc's wide characters are UCS-4");
    iconv_t cd = WideDecoder().Get();
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    std::size_t done = 0;
    char32_t chunk[4096];
    while (inLeft > 0) {
        char* outp = reinterpret_cast<char*>(chunk);
        std::size_t outLeft = sizeof chunk;
        const bool failed = iconv(cd, &in, &inLeft, &outp, &outLeft) == static_cast<std::size_t>(-1);
        if (failed && errno != E2BIG)
            return std::nullopt;
        const std::size_t got = (sizeof chunk - outLeft) / sizeof(char32_t);
        if (done + got > out.size())
            out.resize(done + got + out.size() / 2); // a character the count did not foresee
        // Every character CP932 maps to lies in the Basic Multilingual Plane.
        std::transform(chunk, chunk + got, out.data() + done, [](char32_t c) { return static_cast<char16_t>(c); });
        done += got;
    }
    out.resize(done);
    return out;
}

EncodeResult EncodeCp932(const Text& text)
{
    EncodeResult r;
    bool ascii = true;
    for (char32_t c : text)
        if (c >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii) {
        r.bytes.assign(text.begin(), text.end());
        return r;
    }
    iconv_t cd = Encoder().Get();
    std::string buf(text.size() * 2 + 4, '\0');
    char* in = reinterpret_cast<char*>(const_cast<char32_t*>(text.data()));
    std::size_t inLeft = text.size() * sizeof(char32_t);
    char* outp = buf.data();
    std::size_t outLeft = buf.size();
    if (iconv(cd, &in, &inLeft, &outp, &outLeft) == static_cast<std::size_t>(-1)) {
        std::size_t done = text.size() - inLeft / sizeof(char32_t);
        r.unencodable = done < text.size() ? text[done] : U'\uFFFD';
        return r;
    }
    buf.resize(buf.size() - outLeft);
    r.bytes = std::move(buf);
    return r;
}

unsigned Cp932Code(char32_t c)
{
    auto r = EncodeCp932(Text(1, c));
    if (r.unencodable || r.bytes.size() != 2)
        return 0;
    return (static_cast<unsigned char>(r.bytes[0]) << 8) | static_cast<unsigned char>(r.bytes[1]);
}

} // namespace pado
