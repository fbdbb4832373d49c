#pragma once

#include <cstdint>
#include <string_view>

namespace mibolan {

// The reading that the polyphone rules choose for `character` standing at `position`
// (1-based, in UTF-16 units) of `text`, or the empty string when no rule applies.
std::string_view ContextReading(char16_t character, std::u16string_view text, std::int32_t position);

// Index into kContextRules of the rule that gives ContextReading's result, or -1.
int ContextRuleIndex(char16_t character, std::u16string_view text, std::int32_t position);

// True for the characters that some rule is for; every other character gets no context reading.
bool HasContextRules(char16_t character);

// Index into kContextRules of the character's default rule (the one that always holds), or -1.
int DefaultRuleIndex(char16_t character);

}  // namespace mibolan
