#pragma once

#include <string>
#include <vector>

#include <mibolan/Options.h>

#include "OutputSink.h"

namespace mibolan::cli {

// How the bytes of the input files are read.
enum class Encoding {
  Utf8,
  Gbk,  // also reads GB 2312
  Gb18030,
};

struct ConvertOptions {
  ConversionOptions conversion;
  Encoding encoding = Encoding::Utf8;
};

// Converts each file ("-" for standard input) as one text and writes its output, then one line
// break; with Style::Html the files make one page, each a section of it. Problems go to
// standard error as "mibolan-convert: FILE: reason" and the other files are still converted;
// the result is false after any of them.
bool ConvertFiles(const std::vector<std::string>& paths, const ConvertOptions& options, OutputSink& output);

}  // namespace mibolan::cli
