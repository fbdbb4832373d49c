#include "ContextReading.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "ContextRules.h"

namespace mibolan {

namespace {

// The rules of one character, in table order, so that a call tries only those.
struct CharacterRules {
  char16_t character = 0;
  std::array<std::uint8_t, 8> rules{};
  std::size_t count = 0;
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

// The five windows around a position, in the order of Window, each taken once per call:
// shortened or empty where the text ends, empty before its start.
using Windows = std::array<std::u16string_view, 5>;

Windows WindowsAround(std::u16string_view text, std::size_t position) {
  const std::size_t index = position - 1;
  Windows windows;
  windows[static_cast<std::size_t>(Window::Next)] = text.substr(index + 1, 1);
  windows[static_cast<std::size_t>(Window::NextTwo)] = text.substr(index + 1, 2);
  windows[static_cast<std::size_t>(Window::NextThree)] = text.substr(index + 1, 3);
  windows[static_cast<std::size_t>(Window::Previous)] = index >= 1 ? text.substr(index - 1, 1) : std::u16string_view{};
  windows[static_cast<std::size_t>(Window::PreviousTwo)] =
      index >= 2 ? text.substr(index - 2, 2) : std::u16string_view{};
  return windows;
}

bool Holds(const WindowTest& test, const Windows& windows) {
  const std::u16string_view window = windows[static_cast<std::size_t>(test.window)];
  if (window.empty()) return false;
  for (std::u16string_view literal : test.literals) {
    if (literal.empty()) break;
    if (literal == window) return true;
  }
  return false;
}

bool IsUsed(const WindowTest& test) { return !test.literals[0].empty(); }

bool Matches(const ContextRule& rule, const Windows& windows) {
  switch (rule.condition) {
    case Condition::Always: return true;
    case Condition::Both: return Holds(rule.tests[0], windows) && Holds(rule.tests[1], windows);
    case Condition::Any:
      for (const WindowTest& test : rule.tests) {
        if (IsUsed(test) && Holds(test, windows)) return true;
      }
      return false;
  }
  return false;
}

}  // namespace

bool HasContextRules(char16_t character) { return kRuleSlots[character] != 0; }

int DefaultRuleIndex(char16_t character) {
  if (!HasContextRules(character)) return -1;
  const CharacterRules& rules = kRulesByCharacter[kRuleSlots[character] - 1U];
  for (std::size_t i = 0; i < rules.count; ++i) {
    if (kContextRules[rules.rules[i]].condition == Condition::Always) return rules.rules[i];
  }
  return -1;
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
    const ContextRule& rule = kContextRules[rules.rules[i]];
    if (position < rule.minPosition) continue;
    if (Matches(rule, windows)) last = rules.rules[i];
  }
  return last;
}

std::string_view ContextReading(char16_t character, std::u16string_view text, std::int32_t position) {
  const int rule = ContextRuleIndex(character, text, position);
  return rule < 0 ? std::string_view{} : kContextRules[static_cast<std::size_t>(rule)].reading;
}

}  // namespace mibolan
