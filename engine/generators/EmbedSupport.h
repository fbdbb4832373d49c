#pragma once

// What the table generators (engine/generators/embed_*.cpp) share: reading their text files line by line,
// with a failure naming the file and line, the syllable list and its syllable ids, and the frame
// of their main().

#include <cstdint>
#include <exception>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "WordTableFormat.h"

namespace mibolan::embed {

// Stops the generator; main() reports the message and the build fails.
struct Failure {
  std::string message;
};

inline std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t at = text.find(separator); at != std::string::npos; at = text.find(separator, start)) {
    fields.push_back(text.substr(start, at - start));
    start = at + 1;
  }
  fields.push_back(text.substr(start));
  return fields;
}

// Calls read(line) for each line of the file; what it throws comes back as a Failure that starts
// with "PATH:NUMBER: ".
template <class Read>
void ReadLines(const char* path, Read read) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Failure{std::string(path) + ": cannot open"};
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    try {
      read(line);
    } catch (const Failure& failure) {
      throw Failure{std::string(path) + ":" + std::to_string(number) + ": " + failure.message};
    } catch (const std::exception& error) {
      throw Failure{std::string(path) + ":" + std::to_string(number) + ": " + error.what()};
    }
  }
}

// The syllable list (engine/data/syllables.txt), in its order.
inline std::vector<std::string> ReadSyllables(const char* path) {
  std::vector<std::string> syllables;
  ReadLines(path, [&](const std::string& line) {
    if (!line.empty()) syllables.push_back(line);
  });
  return syllables;
}

// Each syllable of the list with its line, from 0.
inline std::map<std::string, std::uint32_t> IndexOf(const std::vector<std::string>& syllables) {
  std::map<std::string, std::uint32_t> index;
  for (const std::string& syllable : syllables) index.emplace(syllable, static_cast<std::uint32_t>(index.size()));
  return index;
}

// The syllable id (word_table::SyllableId) of a numbered syllable such as "hang2" whose letters
// are a syllable of the list (IndexOf); anything else stops the generator.
inline std::uint16_t SyllableIdOf(const std::string& numbered, const std::map<std::string, std::uint32_t>& syllables) {
  const auto found = numbered.size() < 2 ? syllables.end() : syllables.find(numbered.substr(0, numbered.size() - 1));
  const char tone = numbered.empty() ? '\0' : numbered.back();
  if (found == syllables.end() || tone < '1' || tone > '5') {
    throw Failure{"\"" + numbered + "\" is not a numbered syllable of the list"};
  }
  return word_table::SyllableId(found->second, static_cast<std::uint32_t>(tone - '0'));
}

// A generator's main(): given the arguments it names, generate() runs and says whether its output
// was written; a failure is reported under the generator's name.
template <class Generate>
int RunGenerator(int argc, std::string_view name, std::initializer_list<std::string_view> arguments,
                 Generate generate) {
  if (argc != static_cast<int>(arguments.size()) + 1) {
    std::cerr << "usage: " << name;
    for (std::string_view argument : arguments) std::cerr << ' ' << argument;
    std::cerr << '\n';
    return 2;
  }
  try {
    return generate() ? 0 : 1;
  } catch (const Failure& failure) {
    std::cerr << name << ": " << failure.message << '\n';
  } catch (const std::exception& error) {
    std::cerr << name << ": " << error.what() << '\n';
  }
  return 1;
}

}  // namespace mibolan::embed
