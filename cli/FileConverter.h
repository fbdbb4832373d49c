#pragma once

#include <string>
#include <vector>

#include "ConvertText.h"
#include "OutputSink.h"
#include "StreamConverter.h"

namespace mibolan {

// How the bytes of the input files are read.
enum class Encoding {
  Utf8,
  Gbk,      // also reads GB 2312
  Gb18030,
};

struct ConvertOptions {
  Style style = Style::Pinyin;
  LineBreaks lineBreaks = LineBreaks::Drop;
  Encoding encoding = Encoding::Utf8;
};

// Converts one input file ("-" for standard input) as one text and writes its output, then one
// line break; with Style::Html, a page of its own. Problems go to standard error as
// "mibolan-convert: FILE: reason"; the result is false after any of them.
bool ConvertFile(const std::string& path, const ConvertOptions& options, OutputSink& output);

// Converts the files one after another as ConvertFile does, except that with Style::Html they
// make one page, each file a section of it. False when any file had a problem.
bool ConvertFiles(const std::vector<std::string>& paths, const ConvertOptions& options, OutputSink& output);

}  // namespace mibolan
