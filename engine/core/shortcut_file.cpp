#include "shortcut_file.h"

#include <cstdio>
#include <cstring>

#include "shortcut_store.h"

namespace shortcutfile {

namespace {

constexpr const char* kHeader = "[Tarvo shortcut list]";
constexpr const char* kSettings = "[Settings]";
constexpr const char* kEnd = "[End]";
constexpr const char* kNumberPrefix = "dword:";

enum Kind : unsigned { kNumber = 1, kText = 2 };
struct Allowed {
    const char* name;
    unsigned kinds;
};
const Allowed kSettingValues[] = {
    {store::kDoNotRemoveKeystroke, kNumber}, {store::kBeepAfterKeystroke, kNumber}, {store::kBeepType, kNumber}};
const Allowed kItemValues[] = {{store::kShortcut, kText},    {store::kDisabled, kNumber},
                               {store::kAction, kNumber | kText}, {store::kDescription, kText},
                               {store::kScript, kText},      {store::kType, kNumber}};

void AppendUnitEscape(std::string& out, unsigned unit) {
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\u%04X", unit);
    out += escape;
}

void AppendText(std::string& out, const std::string& text) {
    out += '"';
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        switch (c) {
            case '\\': out += "\\\\"; continue;
            case '"': out += "\\\""; continue;
            case '\n': out += "\\n"; continue;
            case '\r': out += "\\r"; continue;
            case '\t': out += "\\t"; continue;
            default: break;
        }
        if (c < 0x20 || c == 0x7F) {
            AppendUnitEscape(out, c);
        } else if (c == 0xED && i + 2 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0xA0) {
            // A lone surrogate, which UTF-8 cannot hold.
            const unsigned unit = 0xD000u | (static_cast<unsigned>(text[i + 1]) & 0x3Fu) << 6 |
                                  (static_cast<unsigned>(text[i + 2]) & 0x3Fu);
            AppendUnitEscape(out, unit);
            i += 2;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

void AppendSection(std::string& out, const Section& section) {
    for (const Value& value : section) {
        out += value.name;
        out += " = ";
        if (value.isNumber) {
            char number[24];
            std::snprintf(number, sizeof number, value.number < 0x10000 ? "%s%u" : "%s0x%08X", kNumberPrefix,
                          static_cast<unsigned>(value.number));
            out += number;
        } else {
            AppendText(out, value.text);
        }
        out += "\r\n";
    }
}

void AppendCodePoint(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Length of the well-formed UTF-8 sequence at p (surrogates and overlong forms are not), or 0.
size_t Utf8SequenceLength(const unsigned char* p, const unsigned char* end) {
    const unsigned c = p[0];
    if (c < 0x80) return 1;
    size_t length;
    uint32_t code;
    if (c >= 0xC2 && c <= 0xDF) length = 2, code = c & 0x1F;
    else if (c >= 0xE0 && c <= 0xEF) length = 3, code = c & 0x0F;
    else if (c >= 0xF0 && c <= 0xF4) length = 4, code = c & 0x07;
    else return 0;
    if (static_cast<size_t>(end - p) < length) return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        code = code << 6 | (p[i] & 0x3F);
    }
    if ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)))
        return 0;
    return length;
}

template <size_t N>
unsigned KindsOf(const Allowed (&allowed)[N], const std::string& name) {
    for (const Allowed& entry : allowed)
        if (name == entry.name) return entry.kinds;
    return 0;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool ReadUnit(const char*& p, const char* end, uint32_t& unit) {
    if (end - p < 6 || p[0] != '\\' || p[1] != 'u') return false;
    unit = 0;
    for (int i = 2; i < 6; ++i) {
        const int digit = HexValue(p[i]);
        if (digit < 0) return false;
        unit = unit << 4 | static_cast<uint32_t>(digit);
    }
    p += 6;
    return true;
}

// The text between the quotes of a text value; false on a bad escape or a missing quote.
bool ReadText(const char* p, const char* end, std::string& out, const char*& error) {
    error = "text must be in double quotes";
    if (p == end || *p != '"') return false;
    for (++p; p < end;) {
        const char c = *p;
        if (c == '"') {
            for (++p; p < end; ++p)
                if (*p != ' ' && *p != '\t') {
                    error = "something follows the closing quote";
                    return false;
                }
            return true;
        }
        if (c != '\\') {
            out += c;
            ++p;
            continue;
        }
        if (end - p < 2) break;
        switch (p[1]) {
            case '\\': out += '\\'; p += 2; continue;
            case '"': out += '"'; p += 2; continue;
            case 'n': out += '\n'; p += 2; continue;
            case 'r': out += '\r'; p += 2; continue;
            case 't': out += '\t'; p += 2; continue;
            case 'u': break;
            default: error = "unknown escape after a backslash"; return false;
        }
        uint32_t unit;
        if (!ReadUnit(p, end, unit)) {
            error = "\\u must be followed by four hexadecimal digits";
            return false;
        }
        uint32_t low;
        const char* next = p;
        if (unit >= 0xD800 && unit <= 0xDBFF && ReadUnit(next, end, low) && low >= 0xDC00 && low <= 0xDFFF) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            p = next;
        }
        AppendCodePoint(out, unit);
    }
    error = "the closing quote is missing";
    return false;
}

bool ReadNumber(const char* p, const char* end, uint32_t& number) {
    while (end > p && (end[-1] == ' ' || end[-1] == '\t')) --end;
    const bool hex = end - p > 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
    if (hex) p += 2;
    if (p == end) return false;
    uint64_t value = 0;
    for (; p < end; ++p) {
        const int digit = hex ? HexValue(*p) : (*p >= '0' && *p <= '9' ? *p - '0' : -1);
        if (digit < 0) return false;
        value = value * (hex ? 16 : 10) + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFu) return false;
    }
    number = static_cast<uint32_t>(value);
    return true;
}

bool IsItemHeader(const std::string& line) {
    constexpr const char* kPrefix = "[Shortcut";
    const size_t prefix = std::strlen(kPrefix);
    if (line.compare(0, prefix, kPrefix) != 0 || line.back() != ']') return false;
    if (line.size() == prefix + 1) return true;
    if (line[prefix] != ' ' || line.size() < prefix + 3) return false;
    for (size_t i = prefix + 1; i + 1 < line.size(); ++i)
        if (line[i] < '0' || line[i] > '9') return false;
    return true;
}

std::string Trim(const char* begin, const char* end) {
    while (begin < end && (*begin == ' ' || *begin == '\t')) ++begin;
    while (end > begin && (end[-1] == ' ' || end[-1] == '\t')) --end;
    return std::string(begin, end);
}

class Parser {
public:
    ParseResult Run(const char* text, size_t length) {
        const char* p = text;
        const char* end = text + length;
        if (length >= 3 && std::memcmp(p, "\xEF\xBB\xBF", 3) == 0) p += 3;  // Notepad's byte-order mark
        for (const unsigned char* q = reinterpret_cast<const unsigned char*>(p); q < reinterpret_cast<const unsigned char*>(end);) {
            const size_t sequence = Utf8SequenceLength(q, reinterpret_cast<const unsigned char*>(end));
            if (sequence == 0) {
                int line = 1;
                for (const char* r = text; r < reinterpret_cast<const char*>(q); ++r) line += *r == '\n';
                return Fail(line, "not UTF-8 text");
            }
            q += sequence;
        }
        while (p < end && !done) {
            const char* lineEnd = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
            if (!lineEnd) lineEnd = end;
            ++line;
            const char* contentEnd = lineEnd;
            if (contentEnd > p && contentEnd[-1] == '\r') --contentEnd;
            if (!Line(p, contentEnd)) return result;
            p = lineEnd == end ? end : lineEnd + 1;
        }
        if (!done) return Fail(line, state == State::Start ? "not a Tarvo shortcut list" : "the file ends before \"[End]\"");
        for (; p < end; ++p)
            if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n') return Fail(line + 1, "text after \"[End]\"");
        result.ok = true;
        return result;
    }

private:
    enum class State { Start, Header, Settings, Item };

    ParseResult Fail(int at, const char* what) {
        result.ok = false;
        result.line = at;
        result.error = what;
        return result;
    }

    bool Line(const char* p, const char* end) {
        const std::string trimmed = Trim(p, end);
        if (trimmed.empty() || trimmed[0] == ';') return true;
        if (state == State::Start) {
            if (trimmed != kHeader) return Fail(line, "not a Tarvo shortcut list"), false;
            state = State::Header;
            return true;
        }
        if (trimmed[0] == '[') return SectionHeader(trimmed);
        return ValueLine(p, end);
    }

    bool SectionHeader(const std::string& header) {
        if (header == kEnd) {
            done = true;
            return true;
        }
        if (header == kSettings) {
            if (settingsSeen || state == State::Item) return Fail(line, "\"[Settings]\" must come once, before the shortcuts"), false;
            settingsSeen = true;
            state = State::Settings;
            return true;
        }
        if (!IsItemHeader(header)) return Fail(line, "unknown section"), false;
        if (result.document.items.size() >= static_cast<size_t>(store::kMaxItems))
            return Fail(line, "more than 200 shortcuts"), false;
        result.document.items.emplace_back();
        state = State::Item;
        return true;
    }

    bool ValueLine(const char* p, const char* end) {
        if (state == State::Header) return Fail(line, "a value outside a section"), false;
        const char* equals = static_cast<const char*>(std::memchr(p, '=', static_cast<size_t>(end - p)));
        if (!equals) return Fail(line, "a line that is neither a section nor \"name = value\""), false;
        Value value;
        value.name = Trim(p, equals);
        const bool item = state == State::Item;
        Section& section = item ? result.document.items.back() : result.document.settings;
        const unsigned kinds = item ? KindsOf(kItemValues, value.name) : KindsOf(kSettingValues, value.name);
        if (kinds == 0) return Fail(line, item ? "unknown value name for a shortcut" : "unknown setting"), false;
        for (const Value& other : section)
            if (other.name == value.name) return Fail(line, "the same name twice in one section"), false;

        const char* v = equals + 1;
        while (v < end && (*v == ' ' || *v == '\t')) ++v;
        const size_t prefix = std::strlen(kNumberPrefix);
        if (static_cast<size_t>(end - v) >= prefix && std::memcmp(v, kNumberPrefix, prefix) == 0) {
            if (!(kinds & kNumber)) return Fail(line, "this value must be text"), false;
            if (!ReadNumber(v + prefix, end, value.number)) return Fail(line, "not a 32-bit number"), false;
            value.isNumber = true;
        } else {
            if (!(kinds & kText)) return Fail(line, "this value must be a number (dword:)"), false;
            const char* error = nullptr;
            if (!ReadText(v, end, value.text, error)) return Fail(line, error), false;
            if (value.text.size() > store::kItemStringLimit) return Fail(line, "text longer than 8192 bytes"), false;
        }
        section.push_back(std::move(value));
        return true;
    }

    ParseResult result;
    State state = State::Start;
    int line = 0;
    bool settingsSeen = false;
    bool done = false;
};

}  // namespace

std::string Write(const Document& document) {
    std::string out =
        "; Tarvo shortcuts and keystroke settings. Text is in double quotes, where \\\\ \\\" \\n \\r \\t\r\n"
        "; stand for a backslash, a quote, a line feed, a carriage return and a tab, and \\uXXXX\r\n"
        "; for the UTF-16 unit XXXX. Numbers are written dword:number.\r\n";
    out += kHeader;
    out += "\r\n\r\n";
    out += kSettings;
    out += "\r\n";
    AppendSection(out, document.settings);
    for (size_t i = 0; i < document.items.size(); ++i) {
        char header[32];
        std::snprintf(header, sizeof header, "\r\n[Shortcut %u]\r\n", static_cast<unsigned>(i + 1));
        out += header;
        AppendSection(out, document.items[i]);
    }
    out += "\r\n";
    out += kEnd;
    out += "\r\n";
    return out;
}

ParseResult Parse(const char* text, size_t length) { return Parser().Run(text, length); }

}  // namespace shortcutfile
