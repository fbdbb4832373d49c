// mibolan-convert: the pinyin of whole files, converted exactly as the window converts its input.
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include <mibolan/Dictionary.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "CommandLine.h"
#include "FileConverter.h"
#include "OutputSink.h"
#include "UserWordsFile.h"

namespace {

const char* const kDescription =
    "Writes the Hanyu Pinyin reading, with tone letters, of every Chinese character of each FILE\n"
    "(UTF-8 unless --encoding says otherwise; none or \"-\" reads standard input). Everything that\n"
    "is not a Chinese character is left out, except in an HTML page. Each FILE is one text; its\n"
    "output is followed by one line break. With --style=html the output is one printable page,\n"
    "each FILE a section of it that starts a new sheet when printed.";

const char* const kExamples =
    "Examples:\n"
    "  echo 我爱人 | mibolan-convert                       wǒ ài rén\n"
    "  echo 我爱人 | mibolan-convert --style=annotated     我(wǒ)爱(ài)人(rén)\n"
    "  echo 我的书 | mibolan-convert --style=numbers       wo3 de5 shu1\n"
    "  mibolan-convert --style=html poem.txt > poem.html   a page with the pinyin above the characters\n"
    "  mibolan-convert --encoding=gbk old.txt              a text file saved as GBK (or GB 2312)\n"
    "  mibolan-convert --keep-lines poem.txt               one output line per line of poem.txt\n"
    "  echo 校长觉得 | mibolan-convert --words            xiào zhǎng jué de\n"
    "  echo 一个 | mibolan-convert --words --tone-sandhi  yí gè\n"
    "  echo 妈妈看看 | mibolan-convert --textbook         mā ma kàn kan\n"
    "  mibolan-convert --user-words names.txt story.txt    by word, with the readings of names.txt\n"
    "  mibolan-convert --invalid=replace damaged.txt       bad bytes read as U+FFFD, the rest converted\n"
    "  mibolan-convert --threads 1 big.txt                 on one thread, leaving the other cores be\n"
    "  mibolan-convert --dictionary                        the built-in dictionary\n"
    "  mibolan-convert --version                           the version of the converter";

// Adds an option that takes one of the names of `choices`, in any case, and stores what it maps to.
template <class Value>
CLI::Option* AddChoice(CLI::App& app, const std::string& name, const std::map<std::string, Value>& choices,
                       Value& value, const std::string& description) {
  std::vector<std::string> names;
  for (const auto& choice : choices) names.push_back(choice.first);
  return app
      .add_option_function<std::string>(
          name, [&choices, &value](const std::string& chosen) { value = choices.at(chosen); }, description)
      ->transform(CLI::IsMember(names, CLI::ignore_case));
}

// A number of threads: a whole number from 0 to 1024, written in digits only.
CLI::Validator ThreadCount() {
  return CLI::Validator(
      [](const std::string& value) -> std::string {
        const bool digits =
            !value.empty() && value.size() <= 4 && value.find_first_not_of("0123456789") == std::string::npos;
        if (digits && std::stoul(value) <= 1024) return {};
        return "a number of threads from 0 (automatic) to 1024 is wanted, not \"" + value + "\"";
      },
      "N");
}

// Whether the command line holds anything but --dictionary, which takes nothing else.
bool HasMoreThanDictionary(const CLI::App& app) {
  // count_all() counts the program itself too, once.
  return app.count_all() - app.count() > app.count("--dictionary");
}

}  // namespace

int main(int argc, char** argv) {
#ifdef __GLIBC__
  // Each piece of a large text has converters of its own, whose memory is freed when it is done.
  // Kept by malloc rather than given back, it serves the next piece without fresh pages, which
  // cost the kernel a fault and a cleared page each; what is kept never exceeds the peak.
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
  CLI::App app{kDescription, "mibolan-convert"};
  app.footer(kExamples);
  mibolan::cli::Configure(app);

  const std::map<std::string, mibolan::Style> styles = {{"pinyin", mibolan::Style::Pinyin},
                                                        {"annotated", mibolan::Style::Annotated},
                                                        {"numbers", mibolan::Style::Numbers},
                                                        {"html", mibolan::Style::Html}};
  mibolan::cli::ConvertOptions options;
  AddChoice(app, "--style", styles, options.conversion.style,
            "pinyin: each reading and a blank, \"rén \" (the default)\n"
            "annotated: each character and its reading, \"人(rén)\"\n"
            "numbers: each reading with its tone digit and a blank, \"ren2 \";\n"
            "  the neutral tone is 5 (\"de5 \"), ü stays ü (\"lü4 \"), and a\n"
            "  reading without a tone (\"huo\" in 暖和) is written as it is\n"
            "html: a printable HTML page of the whole text, lines and\n"
            "  punctuation kept, each reading above its character; as\n"
            "  plain text it reads \"人(rén)\"")
      ->option_text("STYLE");
  const std::map<std::string, mibolan::cli::Encoding> encodings = {{"utf-8", mibolan::cli::Encoding::Utf8},
                                                                   {"gbk", mibolan::cli::Encoding::Gbk},
                                                                   {"gb18030", mibolan::cli::Encoding::Gb18030}};
  AddChoice(app, "--encoding", encodings, options.encoding,
            "how the FILEs are encoded: utf-8 (the default), gbk (which\n"
            "also reads GB 2312) or gb18030; bytes that are not valid in it\n"
            "stop that FILE with an error")
      ->option_text("ENCODING");
  const std::map<std::string, mibolan::IllFormed> illFormedChoices = {{"stop", mibolan::IllFormed::Report},
                                                                      {"replace", mibolan::IllFormed::Replace}};
  AddChoice(app, "--invalid", illFormedChoices, options.conversion.illFormed,
            "what bytes that are not valid UTF-8 do: stop (the default)\n"
            "stops that FILE there with an error that gives their offset,\n"
            "what came before converted; replace reads each bad sequence\n"
            "as U+FFFD (kept in its place by --style=html) and converts\n"
            "the rest; UTF-8 input only")
      ->option_text("WHAT");
  bool keepLines = false;
  app.add_flag("--keep-lines", keepLines,
               "end an output line wherever an input line ends (\"\\n\" or\n"
               "\"\\r\\n\"); the readings stay those of the whole text (an HTML\n"
               "page always keeps the lines); to a terminal or a pipe each\n"
               "line is written as soon as it ends");
  bool byWord = false;
  app.add_flag("--words", byWord,
               "read by word: the most probable split of the text into the\n"
               "words of a built-in word list decides the readings of\n"
               "polyphonic characters (校长 xiào zhǎng, 觉得 jué de); a model of\n"
               "the neighbouring characters decides where no word does, and\n"
               "characters outside any word keep their own reading");
  bool textbook = false;
  app.add_flag("--textbook", textbook,
               "the readings a primary-school textbook prints: by word as\n"
               "with --words, with the neutral tones of the words (妈妈 mā ma,\n"
               "朋友 péng you, 看看 kàn kan), and 一 and 不 as with --tone-sandhi");
  std::string userWordsFile;
  app.add_option("--user-words", userWordsFile,
                 "read by word (it implies --words), with the words of FILE\n"
                 "read as FILE says, wherever they stand: one word and its\n"
                 "reading per line, one syllable per character, with tone\n"
                 "marks or digits (\"查良镛 zhā liáng yōng\" or \"查良镛 zha1\n"
                 "liang2 yong1\"); \"#\" starts a comment; a bad line is an\n"
                 "error that names it, and nothing is converted")
      ->option_text("FILE");
  app.add_flag("--tone-sandhi", options.conversion.toneSandhi,
               "write 一 and 不 with the tones that school textbooks print\n"
               "(一个 yí gè, 一天 yì tiān, 不是 bú shì, 去不去 qù bu qù, and with\n"
               "--words 对不起 duì bu qǐ); 一 keeps yī in 第一, 十一, 一二三 and at\n"
               "the end of a word or sentence");
  app.add_option("--threads", options.conversion.threads,
                 "use at most N threads: 1 never starts a second one, 0 (the\n"
                 "default) starts one for a large regular file when this process\n"
                 "may run on two processors; more than 2 is allowed and gains\n"
                 "nothing more; the output is the same whatever N")
      ->option_text("N")
      ->check(ThreadCount());
  bool printDictionary = false;
  app.add_flag("--dictionary", printDictionary,
               "print the built-in dictionary, one \"字 syl#\" line per\n"
               "character, and exit; it takes no FILE and no other option");
  std::vector<std::string> files;
  app.add_option("FILE", files, "text files to convert; \"-\" is standard input");

  try {
    app.parse(argc, argv);
    if (printDictionary && HasMoreThanDictionary(app)) {
      throw CLI::ExcludesError("--dictionary takes no FILE and no other option", CLI::ExitCodes::ExcludesError);
    }
    if (options.conversion.illFormed == mibolan::IllFormed::Replace &&
        options.encoding != mibolan::cli::Encoding::Utf8) {
      throw CLI::ExcludesError(
          "--invalid=replace reads UTF-8 only: it cannot go with --encoding=" + app["--encoding"]->as<std::string>(),
          CLI::ExitCodes::ExcludesError);
    }
  } catch (const CLI::ParseError& error) {
    return mibolan::cli::EndParse(app, error);
  }

  if (printDictionary) {
    mibolan::cli::OutputSink output;
    output.Buffer() = mibolan::DictionaryText();
    output.Flush();
    return 0;
  }
  std::shared_ptr<const mibolan::UserWords> userWords;
  if (app.count("--user-words") > 0) {
    userWords = mibolan::cli::ReadUserWordsFile("mibolan-convert", userWordsFile);
    if (!userWords) return 1;
    byWord = true;
  }
  if (textbook) {
    options.conversion = mibolan::Textbook(options.conversion.style);
  } else {
    options.conversion.readBy = byWord ? mibolan::ReadBy::Word : mibolan::ReadBy::Character;
  }
  options.conversion.userWords = userWords.get();
  options.conversion.lineBreaks = keepLines ? mibolan::LineBreaks::Keep : mibolan::LineBreaks::Drop;
  const bool byLine =
      keepLines && options.conversion.style != mibolan::Style::Html && mibolan::cli::OutputSink::ReaderMayWait();
  mibolan::cli::OutputSink output(byLine ? mibolan::cli::OutputSink::Pace::Lines
                                         : mibolan::cli::OutputSink::Pace::Blocks);
  if (files.empty()) files.emplace_back("-");
  const bool allConverted = mibolan::cli::ConvertFiles(files, options, output);
  output.Flush();
  return allConverted ? 0 : 1;
}
