#pragma once

#include <array>
#include <string_view>

namespace mibolan {

// The piece of text a rule compares, relative to the character's position.
enum class Window { Next, NextTwo, NextThree, Previous, PreviousTwo };

// Holds when the window equals one of the literals. Alternatives are separated by '|';
// blanks inside a literal are part of it.
struct WindowTest {
  Window window;
  std::u16string_view literals;
};

enum class Condition {
  Always,  // the character's default reading
  Any,     // any one of the tests holds
  Both,    // both tests hold
};

struct ContextRule {
  char16_t character;
  int minPosition;  // the guard: the rule is skipped at positions below this (1 = no guard)
  Condition condition;
  std::array<WindowTest, 3> tests;  // unused entries have empty literals
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
    {u'重', 1, Condition::Any, {{{Window::Next, u"庆|重"}}}, "chong2"},
    {u'重', 2, Condition::Any, {{{Window::Previous, u"重"}}}, "chong2"},
    {u'见', 2, Condition::Both, {{{Window::Previous, u"低"}, {Window::Next, u"牛"}}}, "xian4"},
    {u'相', 1, Condition::Any, {{{Window::Next, u"片|机|册|纸"}}}, "xiang4"},
    {u'相', 2, Condition::Any, {{{Window::Previous, u"照"}}}, "xiang4"},
    {u'相', 3, Condition::Any, {{{Window::PreviousTwo, u"儿白"}}}, "xiang4"},
    {u'看', 1, Condition::Any, {{{Window::Next, u"弟|护|守|家|门|管|押"}}}, "kan1"},
    {u'差', 1, Condition::Any, {{{Window::Next, u"别|错|额|距"}}}, "cha1"},
    {u'和', 2, Condition::Any, {{{Window::Previous, u"暖"}}}, "huo"},
    {u'和', 3, Condition::Any, {{{Window::PreviousTwo, u"暖和"}}}, "huo"},
    {u'为', 1, Condition::Any, {{{Window::NextTwo, u"异客|富不"}, {Window::Next, u"法|害|难|人"}}}, "wei2"},
    {u'为', 2, Condition::Both, {{{Window::Previous, u"难"}, {Window::Next, u"情"}}}, "wei2"},
    {u'还', 1, Condition::Any, {{{Window::Next, u"乡|俗|你|给|击|口|清|原"}}}, "huan2"},
    {u'行', 1, Condition::Any, {{{Window::Next, u"行|家|柳"}, {Window::NextTwo, u" 行|行柳"}}}, "hang2"},
    {u'行', 2, Condition::Any, {{{Window::Previous, u"行|银|这|那"}}}, "hang2"},
    {u'行', 3, Condition::Any, {{{Window::PreviousTwo, u"柳成|六十|行 "}}}, "hang2"},
    {u'更', 1, Condition::Any, {{{Window::Next, u"换|替"}}}, "geng1"},
    {u'更', 2, Condition::Any, {{{Window::Previous, u"三"}}}, "geng1"},
    {u'调', 1, Condition::Any, {{{Window::Next, u"皮|协|剂|色"}}}, "tiao2"},
    {u'调', 2, Condition::Any, {{{Window::Previous, u"空|协"}}}, "tiao2"},
    {u'少', 1, Condition::Any, {{{Window::Next, u"年|女|小|壮"}, {Window::NextTwo, u" 壮"}}}, "shao4"},
    {u'少', 2, Condition::Both, {{{Window::Previous, u"方"}, {Window::Next, u"时"}}}, "shao4"},
    {u'少', 2, Condition::Any, {{{Window::Previous, u"年"}}}, "shao4"},
    {u'圈', 1, Condition::Any, {{{Window::NextTwo, u"里啃"}, {Window::Next, u"养"}}}, "juan4"},
    {u'乐', 1, Condition::Any, {{{Window::Next, u"器|曲"}}}, "yue4"},
    {u'乐', 2, Condition::Any, {{{Window::Previous, u"礼|音"}}}, "yue4"},
    {u'乐', 2, Condition::Both, {{{Window::Previous, u"《"}, {Window::Next, u"》"}}}, "yue4"},
    {u'削', 1, Condition::Any, {{{Window::Next, u"皮"}, {Window::NextTwo, u"竹简|苹果"}}}, "xiao1"},
    {u'了', 2, Condition::Any, {{{Window::Previous, u"知"}}}, "liao3"},
    {u'了', 3, Condition::Any, {{{Window::PreviousTwo, u"飞不"}}}, "liao3"},
    {u'背', 1, Condition::Any, {{{Window::Next, u"向|叛|靠"}}}, "bei4"},
    {u'背', 2, Condition::Any, {{{Window::Previous, u"牛|向|违"}}}, "bei4"},
    {u'背', 3, Condition::Any, {{{Window::PreviousTwo, u"捶捶"}}}, "bei4"},
    {u'长', 1, Condition::Any, {{{Window::Next, u"上|成|大|着|得|在|幼|癣|出|高|个|肉"},
                                 {Window::NextTwo, u"羊毛|了一|身体|脂膘|疙瘩|到蓝|了个|了几|眼皮"},
                                 {Window::NextThree, u"长到蓝"}}}, "zhang3"},
    {u'长', 3, Condition::Any, {{{Window::PreviousTwo, u"水里|快快|往上"},
                                 {Window::Previous, u"消|成|兄|团"}}}, "zhang3"},
}};
// clang-format on

}  // namespace mibolan
