#pragma once

#include <mibolan/Style.h>

namespace mibolan {

// What happens to the input's line breaks.
enum class LineBreaks {
  Drop,  // the output is one line, as in the window
  Keep,  // each "\n" or "\r\n" of the input ends an output line the same way
};

// How a conversion reads the text and writes what it reads.
struct ConversionOptions {
  Style style = Style::Pinyin;
  // Style::Html keeps every line break whatever this says.
  LineBreaks lineBreaks = LineBreaks::Drop;
};

}  // namespace mibolan
