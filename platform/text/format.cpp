// The printf-style formatter: parses each conversion, fetches its argument
// and writes the padded result to a sink that counts every unit produced.
#include "format.h"

#include <tchar.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <optional>
#include <string_view>

#include "utf.h"

namespace platform::text {
namespace {

// Where formatted units go. Every unit is counted; a sink may store fewer.
class Sink {
  public:
    virtual ~Sink() = default;
    void append(std::u16string_view s) {
        store(s.data(), s.size());
        count(s.size());
    }
    void repeat(WCHAR c, size_t n) {
        storeRepeated(c, n);
        count(n);
    }
    size_t produced() const { return produced_; }

  protected:
    // How many more units this sink keeps.
    size_t room(size_t capacity) const { return produced_ < capacity ? capacity - produced_ : 0; }

  private:
    virtual void store(const WCHAR* s, size_t n) = 0;
    virtual void storeRepeated(WCHAR c, size_t n) = 0;
    void count(size_t n) { produced_ = n > SIZE_MAX - produced_ ? SIZE_MAX : produced_ + n; }

    size_t produced_ = 0;
};

class ArraySink final : public Sink {
  public:
    ArraySink(WCHAR* out, size_t capacity) : out_(out), capacity_(out ? capacity : 0) {}

  private:
    void store(const WCHAR* s, size_t n) override {
        n = std::min(n, room(capacity_));
        std::copy_n(s, n, out_ + produced());
    }
    void storeRepeated(WCHAR c, size_t n) override {
        n = std::min(n, room(capacity_));
        std::fill_n(out_ + produced(), n, c);
    }

    WCHAR* out_;
    size_t capacity_;
};

class StringSink final : public Sink {
  public:
    StringSink(std::u16string& out, size_t maxLength) : out_(out), max_(maxLength) {}

  private:
    void store(const WCHAR* s, size_t n) override { out_.append(s, std::min(n, room(max_))); }
    void storeRepeated(WCHAR c, size_t n) override { out_.append(std::min(n, room(max_)), c); }

    std::u16string& out_;
    size_t max_;
};

// A va_list that helpers can share (va_list itself may be an array type).
struct Arguments {
    va_list list;
};

enum class Size { Char, Short, Int, Int64, Pointer, LongDouble };
enum class TextWidth { Default, Narrow, Wide };

struct Spec {
    bool left = false;
    bool plus = false;
    bool space = false;
    bool alternate = false;
    bool zero = false;
    size_t width = 0;
    std::optional<size_t> precision;
    Size size = Size::Int;
    TextWidth text = TextWidth::Default;
    WCHAR type = 0;
};

// Digits of width or precision saturate here; no output can be that long
// and still be returned as an int.
constexpr size_t kFieldMax = INT_MAX;
// Widths and precisions handed to the host's floating-point formatting are
// capped so a runaway field cannot make it allocate without bound.
constexpr int kFloatFieldMax = 1024;

size_t parseNumber(const WCHAR*& p) {
    size_t n = 0;
    for (; *p >= u'0' && *p <= u'9'; ++p) n = std::min(kFieldMax, n * 10 + (*p - u'0'));
    return n;
}

// Reads flags, width, precision and size after the '%'; leaves p on the
// conversion character (which may be the terminator).
Spec parseSpec(const WCHAR*& p, Arguments& args) {
    Spec spec;
    for (;; ++p) {
        if (*p == u'-')
            spec.left = true;
        else if (*p == u'+')
            spec.plus = true;
        else if (*p == u' ')
            spec.space = true;
        else if (*p == u'#')
            spec.alternate = true;
        else if (*p == u'0')
            spec.zero = true;
        else
            break;
    }
    if (*p == u'*') {
        ++p;
        const int64_t width = va_arg(args.list, int);
        if (width < 0) spec.left = true;
        spec.width = static_cast<size_t>(width < 0 ? -width : width);
    } else {
        spec.width = parseNumber(p);
    }
    if (*p == u'.') {
        ++p;
        if (*p == u'*') {
            ++p;
            const int precision = va_arg(args.list, int);
            if (precision >= 0) spec.precision = static_cast<size_t>(precision);
        } else {
            spec.precision = parseNumber(p);
        }
    }
    switch (*p) {
        case u'h':
            ++p;
            spec.text = TextWidth::Narrow;
            spec.size = Size::Short;
            if (*p == u'h') {
                ++p;
                spec.size = Size::Char;
            }
            break;
        case u'l':
            ++p;
            spec.text = TextWidth::Wide;
            if (*p == u'l') {
                ++p;
                spec.size = Size::Int64;
            }
            break;
        case u'w':
            ++p;
            spec.text = TextWidth::Wide;
            break;
        case u'L':
            ++p;
            spec.size = Size::LongDouble;
            break;
        case u'q':
        case u'j':
            ++p;
            spec.size = Size::Int64;
            break;
        case u'z':
        case u't':
            ++p;
            spec.size = Size::Pointer;
            break;
        case u'I':
            ++p;
            if (p[0] == u'6' && p[1] == u'4') {
                p += 2;
                spec.size = Size::Int64;
            } else if (p[0] == u'3' && p[1] == u'2') {
                p += 2;
            } else {
                spec.size = Size::Pointer;
            }
            break;
        default:
            break;
    }
    spec.type = *p;
    return spec;
}

// Writes prefix, zeros and body padded to the field width.
void emitField(Sink& out, const Spec& spec, std::u16string_view prefix, size_t zeros,
               std::u16string_view body, bool zeroPadAllowed) {
    const size_t length = prefix.size() + zeros + body.size();
    const size_t pad = spec.width > length ? spec.width - length : 0;
    if (spec.left) {
        out.append(prefix);
        out.repeat(u'0', zeros);
        out.append(body);
        out.repeat(u' ', pad);
    } else if (spec.zero && zeroPadAllowed) {
        out.append(prefix);
        out.repeat(u'0', zeros + pad);
        out.append(body);
    } else {
        out.repeat(u' ', pad);
        out.append(prefix);
        out.repeat(u'0', zeros);
        out.append(body);
    }
}

int64_t fetchSigned(const Spec& spec, Arguments& args) {
    switch (spec.size) {
        case Size::Char:
            return static_cast<signed char>(va_arg(args.list, int));
        case Size::Short:
            return static_cast<short>(va_arg(args.list, int));
        case Size::Int64:
        case Size::LongDouble:
            return va_arg(args.list, long long);
        case Size::Pointer:
            return va_arg(args.list, intptr_t);
        case Size::Int:
            break;
    }
    return va_arg(args.list, int);
}

uint64_t fetchUnsigned(const Spec& spec, Arguments& args) {
    switch (spec.size) {
        case Size::Char:
            return static_cast<unsigned char>(va_arg(args.list, unsigned));
        case Size::Short:
            return static_cast<unsigned short>(va_arg(args.list, unsigned));
        case Size::Int64:
        case Size::LongDouble:
            return va_arg(args.list, unsigned long long);
        case Size::Pointer:
            return va_arg(args.list, uintptr_t);
        case Size::Int:
            break;
    }
    return va_arg(args.list, unsigned);
}

void formatInteger(Sink& out, const Spec& spec, Arguments& args) {
    const WCHAR type = spec.type;
    const bool isSigned = type == u'd' || type == u'i';
    const bool isPointer = type == u'p';
    const unsigned base = type == u'o' ? 8 : (type == u'x' || type == u'X' || isPointer) ? 16 : 10;
    const bool upper = type == u'X' || isPointer;

    bool negative = false;
    uint64_t magnitude;
    if (isPointer) {
        magnitude = reinterpret_cast<uintptr_t>(va_arg(args.list, void*));
    } else if (isSigned) {
        const int64_t value = fetchSigned(spec, args);
        negative = value < 0;
        magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    } else {
        magnitude = fetchUnsigned(spec, args);
    }

    WCHAR digits[64];  // filled from the end
    WCHAR* first = std::end(digits);
    for (uint64_t v = magnitude; v != 0; v /= base) {
        const auto d = static_cast<unsigned>(v % base);
        *--first = static_cast<WCHAR>(d < 10 ? u'0' + d : (upper ? u'A' : u'a') + d - 10);
    }
    const auto count = static_cast<size_t>(std::end(digits) - first);
    // Precision is the minimum number of digits; a zero with precision 0
    // prints no digits at all.
    size_t minDigits = spec.precision.value_or(1);
    if (isPointer) minDigits = std::max<size_t>(minDigits, 8);
    if (spec.alternate && base == 8) minDigits = std::max(minDigits, count + 1);

    std::u16string_view prefix;
    if (negative)
        prefix = u"-";
    else if (isSigned && spec.plus)
        prefix = u"+";
    else if (isSigned && spec.space)
        prefix = u" ";
    else if (spec.alternate && base == 16 && !isPointer && magnitude != 0)
        prefix = upper ? u"0X" : u"0x";

    const size_t zeros = minDigits > count ? minDigits - count : 0;
    emitField(out, spec, prefix, zeros, std::u16string_view(first, count),
              !spec.precision.has_value());
}

bool narrowText(const Spec& spec) {
    // In a wide format, plain %s/%c are wide and %S/%C narrow; h and l/w
    // override either.
    if (spec.text == TextWidth::Narrow) return true;
    if (spec.text == TextWidth::Wide) return false;
    return spec.type == u'S' || spec.type == u'C';
}

void formatChar(Sink& out, const Spec& spec, Arguments& args) {
    const int value = va_arg(args.list, int);
    WCHAR c;
    if (narrowText(spec)) {
        const char byte = static_cast<char>(value);
        c = static_cast<unsigned char>(byte) < 0x80 ? static_cast<WCHAR>(byte) : kReplacementChar;
    } else {
        c = static_cast<WCHAR>(value);
    }
    emitField(out, spec, {}, 0, std::u16string_view(&c, 1), true);
}

void formatString(Sink& out, const Spec& spec, Arguments& args) {
    // Precision limits how much of the string is read, so it need not be
    // terminated within that many units.
    const size_t limit = spec.precision.value_or(SIZE_MAX);
    if (narrowText(spec)) {
        const char* s = va_arg(args.list, const char*);
        if (!s) s = "(null)";
        const std::u16string text = toUtf16(std::string_view(s, strnlen(s, limit)));
        emitField(out, spec, {}, 0, text, true);
    } else {
        const WCHAR* s = va_arg(args.list, const WCHAR*);
        if (!s) s = u"(null)";
        emitField(out, spec, {}, 0, std::u16string_view(s, wcsnlen(s, limit)), true);
    }
}

void formatFloat(Sink& out, const Spec& spec, Arguments& args) {
    char conversion[16];
    char* c = conversion;
    *c++ = '%';
    if (spec.left) *c++ = '-';
    if (spec.plus) *c++ = '+';
    if (spec.space) *c++ = ' ';
    if (spec.alternate) *c++ = '#';
    if (spec.zero) *c++ = '0';
    *c++ = '*';
    if (spec.precision) {
        *c++ = '.';
        *c++ = '*';
    }
    if (spec.size == Size::LongDouble) *c++ = 'L';
    *c++ = static_cast<char>(spec.type);
    *c = 0;

    const int width = static_cast<int>(std::min<size_t>(spec.width, kFloatFieldMax));
    const int precision =
        static_cast<int>(std::min<size_t>(spec.precision.value_or(0), kFloatFieldMax));
    const auto print = [&](char* buffer, size_t size, auto value) {
        return spec.precision ? snprintf(buffer, size, conversion, width, precision, value)
                              : snprintf(buffer, size, conversion, width, value);
    };
    const auto render = [&](auto value) {
        const int length = print(nullptr, 0, value);
        std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
        print(text.data(), text.size(), value);
        text.pop_back();
        return text;
    };
    const std::string text = spec.size == Size::LongDouble ? render(va_arg(args.list, long double))
                                                           : render(va_arg(args.list, double));
    // The host's rendering of a number is ASCII.
    out.append(std::u16string(text.begin(), text.end()));
}

void formatAll(Sink& out, const WCHAR* format, Arguments& args) {
    const WCHAR* p = format;
    while (*p) {
        const WCHAR* literal = p;
        while (*p && *p != u'%') ++p;
        out.append(std::u16string_view(literal, p - literal));
        if (!*p) break;
        ++p;  // the '%'
        const Spec spec = parseSpec(p, args);
        switch (spec.type) {
            case 0:
                return;  // the format ended inside a conversion
            case u'd':
            case u'i':
            case u'u':
            case u'o':
            case u'x':
            case u'X':
            case u'p':
                formatInteger(out, spec, args);
                break;
            case u'c':
            case u'C':
                formatChar(out, spec, args);
                break;
            case u's':
            case u'S':
                formatString(out, spec, args);
                break;
            case u'e':
            case u'E':
            case u'f':
            case u'F':
            case u'g':
            case u'G':
            case u'a':
            case u'A':
                formatFloat(out, spec, args);
                break;
            case u'n':
                (void)va_arg(args.list, void*);
                break;
            default:
                out.append(std::u16string_view(&spec.type, 1));
                break;
        }
        ++p;
    }
}

void format(Sink& out, const WCHAR* format, va_list list) {
    if (!format) return;
    Arguments args;
    va_copy(args.list, list);
    formatAll(out, format, args);
    va_end(args.list);
}

}  // namespace

size_t formatInto(WCHAR* out, size_t capacity, const WCHAR* fmt, va_list args) {
    ArraySink sink(out, capacity);
    format(sink, fmt, args);
    return sink.produced();
}

std::u16string formatToString(const WCHAR* fmt, va_list args, size_t maxLength) {
    std::u16string text;
    StringSink sink(text, maxLength);
    format(sink, fmt, args);
    return text;
}

}  // namespace platform::text
