#include "ContextReading.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "ContextRules.h"
#include "ShortText.h"

namespace mibolan {

namespace {

// The rules in the form the conversion asks them in, computed from kContextRules at compile
// time: no pointers, so the table is plain read-only data that costs the program's start
// nothing, and every window and literal is one integer, compared at once.

// Up to three units and their count, in one integer; 0 stands for an empty window.
constexpr std::uint64_t Packed(std::u16string_view units) {
  std::uint64_t packed = 0;
  for (std::size_t i = 0; i < units.size(); ++i) packed |= std::uint64_t{units[i]} << (16 * i);
  return units.empty() ? 0 : packed | std::uint64_t{units.size()} << 48;
}

struct PackedTest {
  Window window = Window::Next;
  std::uint8_t count = 0;  // literals in use; none for an unused test
  std::array<std::uint64_t, kMaxLiterals> literals{};
};

struct PackedRule {
  int minPosition = 1;
  Condition condition = Condition::Always;
  std::array<PackedTest, 3> tests{};
};

constexpr auto kPackedRules = [] {
  std::array<PackedRule, kContextRules.size()> packed{};
  for (std::size_t i = 0; i < kContextRules.size(); ++i) {
    const ContextRule& rule = kContextRules[i];
    packed[i].minPosition = rule.minPosition;
    packed[i].condition = rule.condition;
    for (std::size_t t = 0; t < rule.tests.size(); ++t) {
      PackedTest& test = packed[i].tests[t];
      test.window = rule.tests[t].window;
      for (const std::u16string_view& literal : rule.tests[t].literals) {
        if (literal.empty()) break;
        test.literals[test.count++] = Packed(literal);
      }
    }
  }
  return packed;
}();

constexpr auto kRuleReadings = [] {
  std::array<ShortText, kContextRules.size()> readings{};
  for (std::size_t i = 0; i < kContextRules.size(); ++i) {
    const std::string_view reading = kContextRules[i].reading;
    if (reading.size() > sizeof readings[i].text) throw "a rule's reading is longer than a ShortText holds";
    for (std::size_t c = 0; c < reading.size(); ++c) readings[i].text[c] = reading[c];
    readings[i].size = static_cast<std::uint8_t>(reading.size());
  }
  return readings;
}();

// The rules of one character, in table order, so that a call tries only those.
struct CharacterRules {
  char16_t character = 0;
  std::array<std::uint8_t, 8> rules{};
  std::size_t count = 0;
  int defaultRule = -1;  // the one that always holds
};

constexpr std::size_t kRuleCharacterCount = 21;

constexpr std::array<CharacterRules, kRuleCharacterCount> MakeRulesByCharacter() {
  std::array<CharacterRules, kRuleCharacterCount> all{};
  std::size_t used = 0;
  for (std::size_t i = 0; i < kContextRules.size(); ++i) {
    std::size_t slot = 0;
    while (slot < used && all[slot].character != kContextRules[i].character) ++slot;
    if (slot == used) all[used++].character = kContextRules[i].character;
    all[slot].rules[all[slot].count++] = static_cast<std::uint8_t>(i);
    if (kContextRules[i].condition == Condition::Always && all[slot].defaultRule < 0) {
      all[slot].defaultRule = static_cast<int>(i);
    }
  }
  return all;
}

constexpr std::array<CharacterRules, kRuleCharacterCount> kRulesByCharacter = MakeRulesByCharacter();

// For every unit, 1 + its index in kRulesByCharacter, or 0: a call finds its rules at once.
constexpr std::array<std::uint8_t, 0x10000> MakeRuleSlots() {
  std::array<std::uint8_t, 0x10000> slots{};
  for (std::size_t slot = 0; slot < kRulesByCharacter.size(); ++slot) {
    slots[kRulesByCharacter[slot].character] = static_cast<std::uint8_t>(slot + 1);
  }
  return slots;
}

constexpr std::array<std::uint8_t, 0x10000> kRuleSlots = MakeRuleSlots();

// The five windows around a position, in the order of Window, each packed once per call:
// shortened or empty where the text ends, empty before its start.
using Windows = std::array<std::uint64_t, 5>;

Windows WindowsAround(std::u16string_view text, std::size_t position) {
  const std::size_t index = position - 1;
  Windows windows;
  windows[static_cast<std::size_t>(Window::Next)] = Packed(text.substr(index + 1, 1));
  windows[static_cast<std::size_t>(Window::NextTwo)] = Packed(text.substr(index + 1, 2));
  windows[static_cast<std::size_t>(Window::NextThree)] = Packed(text.substr(index + 1, 3));
  windows[static_cast<std::size_t>(Window::Previous)] = index >= 1 ? Packed(text.substr(index - 1, 1)) : 0;
  windows[static_cast<std::size_t>(Window::PreviousTwo)] = index >= 2 ? Packed(text.substr(index - 2, 2)) : 0;
  return windows;
}

bool Holds(const PackedTest& test, const Windows& windows) {
  const std::uint64_t window = windows[static_cast<std::size_t>(test.window)];
  if (window == 0) return false;
  for (std::size_t i = 0; i < test.count; ++i) {
    if (test.literals[i] == window) return true;
  }
  return false;
}

bool Matches(const PackedRule& rule, const Windows& windows) {
  switch (rule.condition) {
    case Condition::Always: return true;
    case Condition::Both: return Holds(rule.tests[0], windows) && Holds(rule.tests[1], windows);
    case Condition::Any:
      for (const PackedTest& test : rule.tests) {
        if (Holds(test, windows)) return true;
      }
      return false;
  }
  return false;
}

}  // namespace

bool HasContextRules(char16_t character) { return kRuleSlots[character] != 0; }

int DefaultRuleIndex(char16_t character) {
  return HasContextRules(character) ? kRulesByCharacter[kRuleSlots[character] - 1U].defaultRule : -1;
}

int ContextRuleIndex(char16_t character, std::u16string_view text, std::int32_t position) {
  if (!HasContextRules(character) || position < 1 || static_cast<std::size_t>(position) > text.size()) {
    return -1;
  }
  // Every rule of the character is tried and the last one that matches wins.
  int last = -1;
  const Windows windows = WindowsAround(text, static_cast<std::size_t>(position));
  const CharacterRules& rules = kRulesByCharacter[kRuleSlots[character] - 1U];
  for (std::size_t i = 0; i < rules.count; ++i) {
    const PackedRule& rule = kPackedRules[rules.rules[i]];
    if (position < rule.minPosition) continue;
    if (Matches(rule, windows)) last = rules.rules[i];
  }
  return last;
}

std::string_view ContextReading(char16_t character, std::u16string_view text, std::int32_t position) {
  const int rule = ContextRuleIndex(character, text, position);
  return rule < 0 ? std::string_view{} : kRuleReadings[static_cast<std::size_t>(rule)].View();
}

}  // namespace mibolan
