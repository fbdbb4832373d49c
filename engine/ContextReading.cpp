#include "ContextReading.h"

#include "ContextRules.h"
#include "UnitSet.h"

namespace mibolan {

namespace {

constexpr UnitSet MakeRuleCharacters() {
  UnitSet set;
  for (const ContextRule& rule : kContextRules) set.Insert(rule.character);
  return set;
}

constexpr UnitSet kRuleCharacters = MakeRuleCharacters();

// The window's text; shortened or empty where the text ends, empty before its start.
std::u16string_view WindowText(Window window, std::u16string_view text, std::size_t position) {
  const std::size_t index = position - 1;
  switch (window) {
    case Window::Next: return text.substr(index + 1, 1);
    case Window::NextTwo: return text.substr(index + 1, 2);
    case Window::NextThree: return text.substr(index + 1, 3);
    case Window::Previous: return index >= 1 ? text.substr(index - 1, 1) : std::u16string_view{};
    case Window::PreviousTwo: return index >= 2 ? text.substr(index - 2, 2) : std::u16string_view{};
  }
  return {};
}

bool Holds(const WindowTest& test, std::u16string_view text, std::size_t position) {
  const std::u16string_view window = WindowText(test.window, text, position);
  if (window.empty()) return false;
  std::u16string_view literals = test.literals;
  while (!literals.empty()) {
    const std::size_t bar = literals.find(u'|');
    if (literals.substr(0, bar) == window) return true;
    literals = bar == std::u16string_view::npos ? std::u16string_view{} : literals.substr(bar + 1);
  }
  return false;
}

bool Matches(const ContextRule& rule, std::u16string_view text, std::size_t position) {
  switch (rule.condition) {
    case Condition::Always: return true;
    case Condition::Both: return Holds(rule.tests[0], text, position) && Holds(rule.tests[1], text, position);
    case Condition::Any:
      for (const WindowTest& test : rule.tests) {
        if (!test.literals.empty() && Holds(test, text, position)) return true;
      }
      return false;
  }
  return false;
}

}  // namespace

bool HasContextRules(char16_t character) { return kRuleCharacters.Contains(character); }

int ContextRuleIndex(char16_t character, std::u16string_view text, std::int32_t position) {
  if (!HasContextRules(character) || position < 1 || static_cast<std::size_t>(position) > text.size()) {
    return -1;
  }
  int last = -1;
  for (std::size_t i = 0; i < kContextRules.size(); ++i) {
    const ContextRule& rule = kContextRules[i];
    if (rule.character != character || position < rule.minPosition) continue;
    if (Matches(rule, text, static_cast<std::size_t>(position))) last = static_cast<int>(i);
  }
  return last;
}

std::string_view ContextReading(char16_t character, std::u16string_view text, std::int32_t position) {
  const int rule = ContextRuleIndex(character, text, position);
  return rule < 0 ? std::string_view{} : kContextRules[static_cast<std::size_t>(rule)].reading;
}

}  // namespace mibolan
