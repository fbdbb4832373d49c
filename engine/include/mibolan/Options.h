#pragma once

#include <mibolan/Style.h>

namespace mibolan {

class UserWords;

// What happens to the input's line breaks.
enum class LineBreaks {
  Drop,  // the output is one line, as in the window
  Keep,  // each "\n" or "\r\n" of the input ends an output line the same way
};

// What decides a character's reading.
enum class ReadBy {
  // The character's own reading, or the one its neighbours choose for a few polyphonic
  // characters (银行 háng, 行走 xíng): the window's way.
  Character,
  // The words of the text: the most probable split into the words of a built-in word list, each
  // word's reading, and for polyphonic characters outside any word a model of their neighbours
  // (校长 xiào zhǎng, 觉得 jué de, 跑得快 pǎo de kuài). Characters outside any word keep their own.
  // Invisible characters (variation selectors, zero-width joiners and spaces, soft hyphens, byte-
  // order marks and the rest of Unicode's default-ignorable ones) split no word: 银, U+200D, 行
  // reads yín háng. The styles that write text keep them in place; a run of more than 32 units of
  // them counts as a break.
  Word,
};

// What a conversion of UTF-8 does with a byte sequence that encodes no character (overlong
// forms, encoded surrogates, code points above U+10FFFF, stray or missing continuation bytes).
// UTF-16 is always read one way, whatever this says: ConvertText and StreamConverter take
// whatever a user typed and have no error to report, so a lone surrogate is U+FFFD where the
// style writes text (Style::Html) and, having no reading, left out elsewhere.
enum class IllFormed {
  // The conversion stops at the first ill-formed sequence, which is reported with its byte offset
  // (everything before it is converted).
  Report,
  // Each ill-formed sequence (the longest start of a character that it holds, or else one byte)
  // is read as U+FFFD, which Style::Html keeps in its place; the rest is converted, and nothing
  // is reported.
  Replace,
};

// How a conversion reads the text and writes what it reads: a plain value, to copy and share
// between threads freely. Every function and constructor that takes options throws
// std::invalid_argument when a value is none that its enumeration names (a number cast to Style,
// say), before it converts anything.
struct ConversionOptions {
  Style style = Style::Pinyin;
  // Style::Html keeps every line break whatever this says.
  LineBreaks lineBreaks = LineBreaks::Drop;
  ReadBy readBy = ReadBy::Character;
  // 一 and 不 with the tones that school textbooks print (一个 yí gè, 一天 yì tiān, 不是 bú shì);
  // 一 keeps yī where it counts or orders (第一, 十一, 一二三) and at the end of a word or sentence.
  // Like reading by word, the tone changes read the text as if its invisible characters were not
  // there (every reading, not only those of 一 and 不).
  bool toneSandhi = false;
  // Words whose reading the user decides (<mibolan/UserWords.h>), which win over every other
  // reading wherever they stand; read by word only. Not owned: they must outlive every
  // conversion made with these options.
  const UserWords* userWords = nullptr;
  // How many threads a conversion may use: 0 lets it choose (a second thread for a long text,
  // when this process may run on two processors), 1 never starts a thread, more allows that
  // many (no conversion uses more than two today). Only ConvertText and the converter program
  // start threads; the streaming converters never do.
  unsigned threads = 0;
  IllFormed illFormed = IllFormed::Report;
};

// The readings a primary-school textbook prints: by word, with the neutral tones of the words (妈妈
// mā ma, 朋友 péng you), and 一 and 不 with their changed tones.
inline constexpr ConversionOptions Textbook(Style style = Style::Pinyin) {
  return {.style = style, .readBy = ReadBy::Word, .toneSandhi = true};
}

}  // namespace mibolan
