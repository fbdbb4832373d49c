// mibolan-sheet: a reading sheet of a text, pinyin on the four-line staff above each character
// in its square, to print or save as a PDF; in a window, or with --pdf without one.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>
#include <QApplication>
#include <QFontDatabase>
#include <QGuiApplication>

#include "ChineseHelp.h"
#include "CommandLine.h"
#include "DisplayCheck.h"
#include "InputText.h"
#include "MessageText.h"
#include "PracticeRows.h"
#include "SheetOptions.h"
#include "SheetOutput.h"
#include "SheetPainter.h"
#include "SheetWindow.h"
#include "Translations.h"
#include "UserWordsFile.h"

namespace {

using mibolan::sheet::SheetOptions;

const char* const kDescription =
    "Makes a reading sheet of a text: each character in a square with a dashed cross, its pinyin\n"
    "above it on a four-line staff, ready to print. Without --pdf it opens the window \"拼音练习纸\"\n"
    "(with the text of FILE, if given). With --pdf it writes the sheet of FILE (UTF-8; none or \"-\"\n"
    "reads standard input) to a PDF file without a window.";

const char* const kExamples =
    "Examples:\n"
    "  mibolan-sheet                                          the window\n"
    "  mibolan-sheet --pdf poem.pdf poem.txt                  a reading sheet of poem.txt\n"
    "  echo 我爱人 | mibolan-sheet --pdf out.pdf               from standard input\n"
    "  mibolan-sheet --pdf words.pdf --layout=practice poem.txt   a practice page\n"
    "  mibolan-sheet --pdf words.pdf --characters 人口手 poem.txt   a practice page of 人, 口 and 手\n"
    "  mibolan-sheet --pdf poem.pdf --squares=12 --paper=letter poem.txt\n"
    "  mibolan-sheet --pdf poem.pdf --title poem.txt          the first line as the title\n"
    "  mibolan-sheet --pdf poem.pdf --poem poem.txt           title, author and lines centred\n"
    "  mibolan-sheet --pdf poem.pdf --no-words poem.txt       each character read on its own\n"
    "  mibolan-sheet --pdf poem.pdf --no-tone-sandhi poem.txt   一 and 不 as the dictionary has them\n"
    "  mibolan-sheet --pdf poem.pdf --user-words names.txt poem.txt   names read as names.txt says\n"
    "  mibolan-sheet --version                                the version";

void Complain(const std::string& path, const std::string& reason) {
  mibolan::cli::Complain("mibolan-sheet", path, reason);
}

// The characters of --characters make a practice page. False, said why, when none of them is
// Chinese, one is something else, or the layout asked for is another.
bool ChoosePracticeCharacters(const std::string& typed, bool layoutGiven, SheetOptions& options) {
  const auto chosen = mibolan::sheet::ChooseCharacters(QString::fromUtf8(typed));
  std::string problem;
  if (layoutGiven && options.layout != mibolan::sheet::SheetLayout::Practice) {
    problem = "--characters makes a practice page (--layout=practice)";
  } else if (chosen.stray) {
    const char32_t stray[] = {*chosen.stray, U'\0'};
    problem = "--characters: \"" + mibolan::cli::EscapedText(QString::fromUcs4(stray).toStdString()) +
              "\" is not a Chinese character";
  } else if (chosen.characters.empty()) {
    problem = "--characters: no Chinese character in \"" + mibolan::cli::EscapedText(typed) + "\"";
  }
  if (!problem.empty()) {
    std::fprintf(stderr, "mibolan-sheet: %s\n", problem.c_str());
    return false;
  }
  options.layout = mibolan::sheet::SheetLayout::Practice;
  options.characters = chosen.characters;
  return true;
}

// Whether the PDF would be written over the input ("-" is standard input or output), which it
// would destroy before reading it: the same file, through links too.
bool WritesOverInput(const std::string& output, const std::string& input) {
  struct stat in {};
  struct stat out {};
  const bool inputKnown = input == "-" ? ::fstat(STDIN_FILENO, &in) == 0 : ::stat(input.c_str(), &in) == 0;
  const bool outputKnown = output == "-" ? ::fstat(STDOUT_FILENO, &out) == 0 : ::stat(output.c_str(), &out) == 0;
  return inputKnown && outputKnown && S_ISREG(in.st_mode) && mibolan::cli::SameFile(in, out);
}

// Warns when a face of the sheet is missing: the sheet is still made, in a fallback face.
void CheckFaces() {
  for (const char* face : {mibolan::sheet::kCharacterFace, mibolan::sheet::kReadingFace}) {
    if (!QFontDatabase::hasFamily(QString::fromLatin1(face))) {
      std::fprintf(stderr, "mibolan-sheet: the font \"%s\" is not installed; another face stands in for it\n", face);
    }
  }
}

// The offscreen platform's start-up remarks (no runtime folder, and the like) are not the user's
// concern; what goes wrong later is still said.
QtMessageHandler toolkitHandler = nullptr;

void Quiet(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if ((type == QtCriticalMsg || type == QtFatalMsg) && toolkitHandler != nullptr)
    toolkitHandler(type, context, message);
}

int WritePdf(char** argv, const std::string& output, const std::string& input, const SheetOptions& options) {
  // Writing a PDF needs fonts but no display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;  // the toolkit gets the program's name only: the options are the program's own
  toolkitHandler = qInstallMessageHandler(Quiet);
  QGuiApplication application(argc, argv);
  qInstallMessageHandler(toolkitHandler);
  CheckFaces();
  if (WritesOverInput(output, input)) {
    // As the converter says it, and for the same reason: the input would be gone.
    Complain(input, "input file is output file");
    return 1;
  }
  mibolan::sheet::InputStream text(input);
  if (!text.Open()) {
    Complain(input, text.Problem());
    return 1;
  }
  if (const auto problem = mibolan::sheet::WritePdf(QString::fromLocal8Bit(output), text, options)) {
    // The input is read as the pages are made: its problems come out of the writing too.
    if (!text.Problem().empty()) {
      Complain(input, text.Problem());
    } else if (*problem == QLatin1String(mibolan::sheet::kNothingToRead)) {
      Complain(input == "-" ? "(standard input)" : input, mibolan::sheet::kNothingToRead);
    } else {
      Complain(output == "-" ? "(standard output)" : output, problem->toStdString());
    }
    return 1;
  }
  return 0;
}

void ReportNoDisplay(const char* reason) {
  std::fprintf(stderr,
               "mibolan-sheet: no display found (%s); the window needs a desktop, "
               "--pdf OUT.pdf writes a sheet without one\n",
               reason);
}

// The toolkit's failure to open a display is fatal, with a core dump and advice about plugins;
// the program says it in one line instead.
void ReportUnreachableDisplay(QtMsgType type, const QMessageLogContext& /*context*/, const QString& /*message*/) {
  if (type != QtFatalMsg) return;
  ReportNoDisplay("cannot open the display");
  std::_Exit(1);
}

int OpenWindow(char** argv, const std::string& input, const SheetOptions& options) {
  if (const auto problem = mibolan::ui::MissingDisplay()) {
    ReportNoDisplay(problem->c_str());
    return 1;
  }
  QString text;
  if (!input.empty()) {
    const mibolan::sheet::InputText read = mibolan::sheet::ReadInput(input);
    if (!read.problem.empty()) {
      Complain(input, read.problem);
      return 1;
    }
    text = read.text;
  }
  int argc = 1;
  const QtMessageHandler previous = qInstallMessageHandler(ReportUnreachableDisplay);
  QApplication application(argc, argv);
  qInstallMessageHandler(previous);
  mibolan::ui::InstallToolkitTranslations();
  CheckFaces();
  mibolan::sheet::SheetWindow window;
  window.SetText(text);
  window.SetUserWords(options.conversion.userWords);
  window.show();
  return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{kDescription, "mibolan-sheet"};
  app.footer(kExamples);
  mibolan::cli::Configure(app);

  SheetOptions options;
  std::string output;
  const CLI::Option* pdf =
      app.add_option("--pdf", output,
                     "write the sheet to this PDF file instead of opening the window;\n\"-\" is standard output")
          ->option_text("OUT.pdf");
  const std::map<std::string, mibolan::sheet::SheetLayout> layouts = {
      {"reading", mibolan::sheet::SheetLayout::Reading},
      {"practice", mibolan::sheet::SheetLayout::Practice},
      {"poem", mibolan::sheet::SheetLayout::Poem}};
  CLI::Option* layout = app.add_option("--layout", options.layout,
                                       "reading: the text, each character with its pinyin (the default)\n"
                                       "practice: each character once, with its pinyin, its stroke\n"
                                       "  order, light copies to trace and empty squares\n"
                                       "poem: as reading, the first line the title, each line centred\n"
                                       "  on its own rows (the author's line too), without indent")
                            ->transform(CLI::CheckedTransformer(layouts, CLI::ignore_case))
                            ->option_text("LAYOUT");
  app.add_flag_callback(
         "--poem", [&options] { options.layout = mibolan::sheet::SheetLayout::Poem; }, "the same as --layout=poem")
      ->excludes(layout);
  app.add_option("--squares", options.squaresPerRow, "squares in a row, 8 to 16 (default 10)")
      ->check(CLI::Range(mibolan::sheet::kFewestSquares, mibolan::sheet::kMostSquares))
      ->option_text("N");
  const std::map<std::string, mibolan::sheet::Paper> papers = {{"a4", mibolan::sheet::Paper::A4},
                                                               {"letter", mibolan::sheet::Paper::Letter}};
  app.add_option("--paper", options.paper, "a4 (the default) or letter")
      ->transform(CLI::CheckedTransformer(papers, CLI::ignore_case))
      ->option_text("PAPER");
  app.add_flag("--title", options.title, "print the text's first line as the sheet's title, centred");
  bool byCharacter = false;
  app.add_flag("--no-words", byCharacter,
               "read each character as the Mibolan window does, instead of by\n"
               "word (where the words of the text decide the readings of\n"
               "polyphonic characters: 校长 xiào zhǎng, 觉得 jué de)");
  bool dictionaryTones = false;
  app.add_flag("--no-tone-sandhi", dictionaryTones,
               "write 一 and 不 with their dictionary tones (yī, bù) instead of\n"
               "the changed tones that textbooks print (一个 yí gè, 不是 bú shì)");
  std::string userWords;
  app.add_option("--user-words", userWords,
                 "read the words of FILE as FILE says (one \"WORD READING\" per\n"
                 "line: \"查良镛 zhā liáng yōng\"), wherever they stand")
      ->option_text("FILE")
      ->excludes("--no-words");
  std::string characters;
  app.add_option("--characters", characters,
                 "a practice page of these characters, in this order (\"人口手\"),\n"
                 "instead of every character of the text")
      ->option_text("CHARS");
  std::string input;
  app.add_option("FILE", input, "the text (UTF-8); \"-\" is standard input");
  if (mibolan::sheet::ChineseLocale()) mibolan::sheet::PutHelpInChinese(app);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return mibolan::cli::EndParse(app, error);
  }
  if (byCharacter) options.conversion.readBy = mibolan::ReadBy::Character;
  if (dictionaryTones) options.conversion.toneSandhi = false;
  if (app.count("--characters") > 0 &&
      !ChoosePracticeCharacters(characters, app.count("--layout") + app.count("--poem") > 0, options)) {
    return 1;
  }
  std::shared_ptr<const mibolan::UserWords> words;
  if (app.count("--user-words") > 0) {
    words = mibolan::cli::ReadUserWordsFile("mibolan-sheet", userWords);
    if (!words) return 1;
    options.conversion.userWords = words.get();
  }
  if (*pdf) return WritePdf(argv, output, input.empty() ? "-" : input, options);
  return OpenWindow(argv, input, options);
}
