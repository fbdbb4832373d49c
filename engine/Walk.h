#pragma once

#include <cstddef>

#include <mibolan/Options.h>
#include <mibolan/Style.h>

namespace mibolan {

// How a conversion goes, decided once from its options by ChooseWalk: every entry point
// (ConvertText, StreamConverter, Utf8Converter, ReadText, the converter's parts) takes its way
// from here, so that what an option changes is worked out in this one place.
struct Walk {
  // What decides the readings.
  enum class Reading {
    ByCharacter,                 // the character and the rules' few neighbours, read on the way
    ByCharacterWithToneChanges,  // the same, then the tone changes of 一 and 不: a ReadingPass
    ByWord,                      // the words of the text: a ReadingPass
  };

  // What writes the readings.
  enum class Writer {
    Fragments,  // the plain styles: each reading's fixed-size fragment (FragmentWriter)
    Ruby,       // the html style: ruby elements, everything else kept (RubyWriter)
  };

  Reading reading = Reading::ByCharacter;
  Writer writer = Writer::Fragments;
  // The plain style whose fragments the FragmentWriter writes.
  Style fragments = Style::Pinyin;
  // The character goes before its reading (the annotated style), so the invisible characters
  // after it are written back too (the html style writes them as all other text).
  bool writesCharacter = false;
  // Each line break of the input ends an output line of the plain styles (the ruby writer keeps
  // every character, line breaks included).
  bool keepsLines = false;

  bool NeedsReadingPass() const { return reading != Reading::ByCharacter; }

  // Whether the walks written for speed serve: one table look-up and one fixed-size copy per
  // unit (ConvertDirectly over UTF-16, Utf8Walk over UTF-8).
  bool Direct() const { return !NeedsReadingPass() && writer == Writer::Fragments; }

  // Whether the output is the readings and nothing else: no character, line break or markup.
  bool WritesReadingsAlone() const { return writer == Writer::Fragments && !writesCharacter && !keepsLines; }

  // Whether the invisible characters that a ReadingPass looks through are written back.
  bool KeepsInvisibles() const { return writesCharacter || writer == Writer::Ruby; }
};

// The walk for `options`. Throws std::invalid_argument, naming the option, when a value is none
// that its enumeration names.
Walk ChooseWalk(const ConversionOptions& options);

}  // namespace mibolan
