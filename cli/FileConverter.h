#pragma once

#include <string>

#include "ConvertText.h"
#include "OutputSink.h"
#include "StreamConverter.h"

namespace mibolan {

struct ConvertOptions {
  Style style = Style::Pinyin;
  LineBreaks lineBreaks = LineBreaks::Drop;
};

// Converts one input file ("-" for standard input) as one text and writes its output, then one
// line break. Problems go to standard error as "mibolan-convert: FILE: reason"; the result is
// false after any of them.
bool ConvertFile(const std::string& path, const ConvertOptions& options, OutputSink& output);

}  // namespace mibolan
