#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <string_view>

#include "UnitSet.h"

namespace mibolan {

// The piece of text a rule compares, relative to the character's position.
enum class Window { Next, NextTwo, NextThree, Previous, PreviousTwo };

// The most literals one test compares its window with.
inline constexpr std::size_t kMaxLiterals = 12;

// Holds when the window equals one of the literals; blanks inside a literal are part of it.
struct WindowTest {
  Window window;
  std::array<std::u16string_view, kMaxLiterals> literals;  // unused entries are empty
};

constexpr WindowTest MakeTest(Window window, std::initializer_list<std::u16string_view> literals) {
  WindowTest test{window, {}};
  std::size_t i = 0;
  for (std::u16string_view literal : literals) test.literals[i++] = literal;
  return test;
}

// The tests as the rule table writes them: Next({u"庆", u"重"}) holds when the next character
// is 庆 or 重.
constexpr WindowTest Next(std::initializer_list<std::u16string_view> literals) {
  return MakeTest(Window::Next, literals);
}
constexpr WindowTest NextTwo(std::initializer_list<std::u16string_view> literals) {
  return MakeTest(Window::NextTwo, literals);
}
constexpr WindowTest NextThree(std::initializer_list<std::u16string_view> literals) {
  return MakeTest(Window::NextThree, literals);
}
constexpr WindowTest Previous(std::initializer_list<std::u16string_view> literals) {
  return MakeTest(Window::Previous, literals);
}
constexpr WindowTest PreviousTwo(std::initializer_list<std::u16string_view> literals) {
  return MakeTest(Window::PreviousTwo, literals);
}

enum class Condition {
  Always,  // the character's default reading
  Any,     // any one of the tests holds
  Both,    // both tests hold
};

struct ContextRule {
  char16_t character;
  int minPosition;  // the guard: the rule is skipped at positions below this (1 = no guard)
  Condition condition;
  std::array<WindowTest, 3> tests;  // unused entries have no literals
  std::string_view reading;
};

// The polyphone rules, in evaluation order: for each call every rule is tried and the last
// one that matches gives the reading. A character's default rule stands before its context
// rules, so a context match overrides the default.
// clang-format off
inline constexpr std::array<ContextRule, 43> kContextRules = {{
    {u'游', 1, Condition::Always, {}, "you2"},
    {u'乐', 1, Condition::Always, {}, "le4"},
    {u'呱', 1, Condition::Always, {}, "gua1"},
    {u'谁', 1, Condition::Always, {}, "shui2"},
    {u'行', 1, Condition::Always, {}, "xing2"},
    {u'为', 1, Condition::Always, {}, "wei4"},
    {u'背', 1, Condition::Always, {}, "bei1"},
    {u'重', 1, Condition::Always, {}, "zhong4"},
    {u'重', 1, Condition::Any, {Next({u"庆", u"重"})}, "chong2"},
    {u'重', 2, Condition::Any, {Previous({u"重"})}, "chong2"},
    {u'见', 2, Condition::Both, {Previous({u"低"}), Next({u"牛"})}, "xian4"},
    {u'相', 1, Condition::Any, {Next({u"片", u"机", u"册", u"纸"})}, "xiang4"},
    {u'相', 2, Condition::Any, {Previous({u"照"})}, "xiang4"},
    {u'相', 3, Condition::Any, {PreviousTwo({u"儿白"})}, "xiang4"},
    {u'看', 1, Condition::Any, {Next({u"弟", u"护", u"守", u"家", u"门", u"管", u"押"})}, "kan1"},
    {u'差', 1, Condition::Any, {Next({u"别", u"错", u"额", u"距"})}, "cha1"},
    {u'和', 2, Condition::Any, {Previous({u"暖"})}, "huo"},
    {u'和', 3, Condition::Any, {PreviousTwo({u"暖和"})}, "huo"},
    {u'为', 1, Condition::Any, {NextTwo({u"异客", u"富不"}), Next({u"法", u"害", u"难", u"人"})}, "wei2"},
    {u'为', 2, Condition::Both, {Previous({u"难"}), Next({u"情"})}, "wei2"},
    {u'还', 1, Condition::Any, {Next({u"乡", u"俗", u"你", u"给", u"击", u"口", u"清", u"原"})}, "huan2"},
    {u'行', 1, Condition::Any, {Next({u"行", u"家", u"柳"}), NextTwo({u" 行", u"行柳"})}, "hang2"},
    {u'行', 2, Condition::Any, {Previous({u"行", u"银", u"这", u"那"})}, "hang2"},
    {u'行', 3, Condition::Any, {PreviousTwo({u"柳成", u"六十", u"行 "})}, "hang2"},
    {u'更', 1, Condition::Any, {Next({u"换", u"替"})}, "geng1"},
    {u'更', 2, Condition::Any, {Previous({u"三"})}, "geng1"},
    {u'调', 1, Condition::Any, {Next({u"皮", u"协", u"剂", u"色"})}, "tiao2"},
    {u'调', 2, Condition::Any, {Previous({u"空", u"协"})}, "tiao2"},
    {u'少', 1, Condition::Any, {Next({u"年", u"女", u"小", u"壮"}), NextTwo({u" 壮"})}, "shao4"},
    {u'少', 2, Condition::Both, {Previous({u"方"}), Next({u"时"})}, "shao4"},
    {u'少', 2, Condition::Any, {Previous({u"年"})}, "shao4"},
    {u'圈', 1, Condition::Any, {NextTwo({u"里啃"}), Next({u"养"})}, "juan4"},
    {u'乐', 1, Condition::Any, {Next({u"器", u"曲"})}, "yue4"},
    {u'乐', 2, Condition::Any, {Previous({u"礼", u"音"})}, "yue4"},
    {u'乐', 2, Condition::Both, {Previous({u"《"}), Next({u"》"})}, "yue4"},
    {u'削', 1, Condition::Any, {Next({u"皮"}), NextTwo({u"竹简", u"苹果"})}, "xiao1"},
    {u'了', 2, Condition::Any, {Previous({u"知"})}, "liao3"},
    {u'了', 3, Condition::Any, {PreviousTwo({u"飞不"})}, "liao3"},
    {u'背', 1, Condition::Any, {Next({u"向", u"叛", u"靠"})}, "bei4"},
    {u'背', 2, Condition::Any, {Previous({u"牛", u"向", u"违"})}, "bei4"},
    {u'背', 3, Condition::Any, {PreviousTwo({u"捶捶"})}, "bei4"},
    {u'长', 1, Condition::Any, {Next({u"上", u"成", u"大", u"着", u"得", u"在", u"幼", u"癣", u"出", u"高", u"个", u"肉"}),
                                 NextTwo({u"羊毛", u"了一", u"身体", u"脂膘", u"疙瘩", u"到蓝", u"了个", u"了几", u"眼皮"}),
                                 NextThree({u"长到蓝"})}, "zhang3"},
    {u'长', 3, Condition::Any, {PreviousTwo({u"水里", u"快快", u"往上"}),
                                 Previous({u"消", u"成", u"兄", u"团"})}, "zhang3"},
}};
// clang-format on

constexpr UnitSet MakeRuleLiteralUnits() {
  UnitSet units;
  for (const ContextRule& rule : kContextRules) {
    for (const WindowTest& test : rule.tests) {
      for (const std::u16string_view& literal : test.literals) {
        for (std::size_t i = 0; i < literal.size(); ++i) units.Insert(literal[i]);
      }
    }
  }
  return units;
}

// The units that stand in some rule's literal: a character none of whose neighbours is such a
// unit gets the reading of its default rule, or none, whatever the neighbours are.
inline constexpr UnitSet kRuleLiteralUnits = MakeRuleLiteralUnits();

}  // namespace mibolan
