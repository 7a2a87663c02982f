// The shortcut list file: the whole list and the keystroke settings as UTF-8 text that a
// person can read and edit, and that gives back every value exactly, type included.
//
//   ; comment
//   [Tarvo shortcut list]
//   [Settings]
//   Beep type = dword:48
//   [Shortcut 1]
//   Shortcut = "LCTRL + F"
//   Action = dword:1                       (a special folder, stored as its code)
//   Script = "echo one\r\necho \"two\""
//   [End]
//
// A value is "dword:" and a decimal or 0x-hexadecimal number, or text in double quotes in
// which \\ \" \n \r \t stand for themselves and \uXXXX for one UTF-16 unit (the writer
// uses it for other control characters and for lone surrogates). Any other character
// stands as it is. Lines end in CR LF or LF; blank lines and lines that begin with ";"
// are skipped. "[End]" closes the list, so that a cut-off file is found out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace shortcutfile {

struct Value {
    std::string name;
    bool isNumber = false;
    uint32_t number = 0;
    std::string text;  // UTF-8; a lone surrogate in its three-byte form (see utf.h)
};
using Section = std::vector<Value>;

struct Document {
    Section settings;            // "Do not remove keystroke", "Beep after keystroke", "Beep type"
    std::vector<Section> items;  // in list order, each with the values of one item key
};

std::string Write(const Document& document);

struct ParseResult {
    bool ok = false;
    int line = 0;       // where the fault is, from 1
    std::string error;  // what it is, in a few words
    Document document;
};
// Checks the whole text: the header, each line, the names and kinds of values each
// section may hold, no name twice, at most 200 items, item texts within the store's
// limit, and "[End]".
ParseResult Parse(const char* text, size_t length);
inline ParseResult Parse(const std::string& text) { return Parse(text.data(), text.size()); }

}  // namespace shortcutfile
