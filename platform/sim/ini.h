// The initialisation-file reader behind the simulated GetPrivateProfileStringA,
// with the rules of the Windows one:
// - lines end at "\n" or "\r"; blanks (and a DOS end-of-file ^Z) around a line
//   are dropped; "[name]" opens a section, the name running to the last "]";
// - "key = value": blanks around the key and before the value are dropped;
//   a line without "=" is a key without a value, which reads as absent;
// - section and key names compare without regard to case (the machine's code
//   page), blanks around the requested names ignored; of duplicate sections
//   only the first is searched, of duplicate keys the first wins;
// - a value in matching single or double quotes loses them;
// - an absent key, or a file that does not exist, gives the default, which
//   loses its trailing blanks;
// - the text copied holds at most size-1 characters and a terminating zero;
//   the result is the number of characters copied (size-1 when cut).
// A null section or key (Windows lists the names then) is not simulated: the
// program never asks for lists, and such a call gives the default.
#pragma once

#include <string>
#include <vector>

#include "platform/os.h"

namespace sim::ini {

struct Key {
    std::string name;
    bool hasValue = false;
    std::string value;
};

struct Section {
    std::string name;
    std::vector<Key> keys;
};

// Every section in file order; keys before the first header are in a section
// with no name, which no lookup reaches.
std::vector<Section> parse(const std::string& text);

// The raw value of a key (quotes still on); null when absent or without "=".
const std::string* find(const std::vector<Section>& file, const std::string& section, const std::string& key);

// GetPrivateProfileStringA for one section and key. `text` is the file's
// content, null when the file does not exist. Needs a current machine (its
// code page decides what upper case is).
os::DWORD profileString(const std::string* text, const char* section, const char* key,
                        const char* defaultValue, char* buffer, os::DWORD size);

}  // namespace sim::ini
