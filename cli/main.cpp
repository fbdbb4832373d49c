// mibolan-convert: the pinyin of whole files, converted exactly as the window converts its input.
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "FileConverter.h"
#include "OutputSink.h"
#include "data/CharDictionary.h"

namespace {

const char* const kDescription =
    "Writes the Hanyu Pinyin reading, with tone letters, of every Chinese character of each FILE\n"
    "(UTF-8; none or \"-\" reads standard input). Everything that is not a Chinese character is\n"
    "left out. Each FILE is one text; its output is followed by one line break.";

const char* const kExamples =
    "Examples:\n"
    "  echo 我爱人 | mibolan-convert                  wǒ ài rén\n"
    "  echo 我爱人 | mibolan-convert --style=annotated  我(wǒ)爱(ài)人(rén)\n"
    "  mibolan-convert --keep-lines poem.txt          one output line per line of poem.txt\n"
    "  mibolan-convert --dictionary                   the built-in dictionary";

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{kDescription, "mibolan-convert"};
  app.footer(kExamples);
  app.set_version_flag("--version", "mibolan-convert (Mibolan) " MIBOLAN_VERSION);

  const std::map<std::string, mibolan::Style> styles = {
      {"pinyin", mibolan::Style::Pinyin}, {"annotated", mibolan::Style::Annotated}};
  mibolan::ConvertOptions options;
  app.add_option("--style", options.style,
                 "pinyin: each reading and a blank, \"rén \" (the default);\n"
                 "annotated: each character and its reading, \"人(rén)\"")
      ->transform(CLI::CheckedTransformer(styles, CLI::ignore_case))
      ->option_text("STYLE");
  bool keepLines = false;
  app.add_flag("--keep-lines", keepLines,
               "end an output line wherever an input line ends (\"\\n\" or \"\\r\\n\"); the readings stay "
               "those of the whole text");
  bool printDictionary = false;
  app.add_flag("--dictionary", printDictionary,
               "print the built-in dictionary, one \"字 syl#\" line per character, and exit");
  std::vector<std::string> files;
  app.add_option("FILE", files, "UTF-8 text files to convert; \"-\" is standard input");

  CLI11_PARSE(app, argc, argv);

  mibolan::OutputSink output;
  if (printDictionary) {
    output.Buffer() = mibolan::CharDictionary::Embedded().Text();
    output.Flush();
    return 0;
  }
  options.lineBreaks = keepLines ? mibolan::LineBreaks::Keep : mibolan::LineBreaks::Drop;
  if (files.empty()) files.emplace_back("-");
  bool allConverted = true;
  for (const std::string& file : files) allConverted = mibolan::ConvertFile(file, options, output) && allConverted;
  output.Flush();
  return allConverted ? 0 : 1;
}
