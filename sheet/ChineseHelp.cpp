#include "ChineseHelp.h"

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mibolan::sheet {
namespace {

const char* const kDescription =
    "把课文排成拼音练习纸：每个字写在带虚线十字的田字格里，拼音写在上面的四线格里，可以直接打印。\n"
    "不带 --pdf 时打开“拼音练习纸”窗口（给了 FILE 就带上它的课文）。带 --pdf 时不开窗口，\n"
    "把 FILE（UTF-8；不给或给“-”就读标准输入）的练习纸写成 PDF 文件。";

const char* const kExamples =
    "例子：\n"
    "  mibolan-sheet                                          打开窗口\n"
    "  mibolan-sheet --pdf poem.pdf poem.txt                  poem.txt 的拼音练习纸\n"
    "  echo 我爱人 | mibolan-sheet --pdf out.pdf               读标准输入\n"
    "  mibolan-sheet --pdf words.pdf --layout=practice poem.txt   生字练习\n"
    "  mibolan-sheet --pdf words.pdf --characters 人口手 poem.txt   只练“人口手”三个字\n"
    "  mibolan-sheet --pdf poem.pdf --squares=12 --paper=letter poem.txt\n"
    "  mibolan-sheet --pdf poem.pdf --title poem.txt          第一行作标题\n"
    "  mibolan-sheet --pdf poem.pdf --poem poem.txt           古诗：标题、作者和诗句居中\n"
    "  mibolan-sheet --pdf poem.pdf --no-words poem.txt       逐字注音\n"
    "  mibolan-sheet --pdf poem.pdf --no-tone-sandhi poem.txt   “一”“不”按字典标原调\n"
    "  mibolan-sheet --pdf poem.pdf --user-words names.txt poem.txt   人名按 names.txt 注音\n"
    "  mibolan-sheet --version                                显示版本";

// Each option's help, by the option's long name.
const std::map<std::string_view, const char*> kOptionHelp = {
    {"--help", "显示这份说明后退出"},
    {"--version", "显示版本后退出"},
    {"FILE", "课文（UTF-8）；“-”是标准输入"},
    {"--pdf", "不开窗口，把练习纸写到这个 PDF 文件；“-”是标准输出"},
    {"--layout",
     "reading：课文，每个字上面标拼音（默认）\n"
     "practice：生字练习，每个字一次：拼音、笔顺，\n"
     "  再是描红和空格\n"
     "poem：古诗，第一行作标题，每行居中，不缩进\n"
     "  （作者那一行也是）"},
    {"--poem", "同 --layout=poem"},
    {"--squares", "每行格数，8 到 16（默认 10）"},
    {"--paper", "纸张：a4（默认）或 letter（信纸）"},
    {"--title", "把课文第一行作标题，居中"},
    {"--no-words",
     "逐字注音，和 Mibolan 窗口一样；默认按词语注音\n"
     "（多音字按所在的词读：校长 xiào zhǎng，觉得 jué de）"},
    {"--no-tone-sandhi",
     "“一”“不”按字典标原调（yī，bù），不标课本上的\n"
     "变调（一个 yí gè，不是 bú shì）"},
    {"--user-words",
     "FILE 里的词按 FILE 注音（每行“词 拼音”：\n"
     "“查良镛 zhā liáng yōng”），不论出现在哪里"},
    {"--characters",
     "生字练习只练这些字，按这个顺序（“人口手”），\n"
     "不练课文里的每个字"},
};

// Chinese headings end with a full-width colon.
class ChineseFormatter : public CLI::Formatter {
 public:
  std::string make_group(std::string group, bool positional, std::vector<const CLI::Option*> options) const override {
    return FullWidthColon(CLI::Formatter::make_group(std::move(group), positional, std::move(options)));
  }
  std::string make_usage(const CLI::App* app, std::string name) const override {
    return FullWidthColon(CLI::Formatter::make_usage(app, std::move(name)));
  }

 private:
  // The first ": " or ":\n" of `text`, after its heading.
  static std::string FullWidthColon(std::string text) {
    const std::size_t colon = text.find(':');
    if (colon != std::string::npos) text.replace(colon, 1, "：");
    return text;
  }
};

}  // namespace

bool ChineseLocale() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return std::string_view(value).starts_with("zh");
  }
  return false;
}

void PutHelpInChinese(CLI::App& app) {
  app.description(kDescription);
  app.footer(kExamples);
  const auto formatter = std::make_shared<ChineseFormatter>();
  formatter->column_width(app.get_formatter()->get_column_width());
  app.formatter(formatter);
  formatter->label("Usage", "用法");
  formatter->label("OPTIONS", "选项");
  formatter->label("Positionals", "参数");
  formatter->label("Excludes", "不能同用");
  formatter->label("REQUIRED", "必需");
  for (CLI::Option* option : app.get_options()) {
    const std::string name = option->get_name(false, false);
    const std::string longName = option->get_lnames().empty() ? name : "--" + option->get_lnames().front();
    if (const auto help = kOptionHelp.find(option->get_positional() ? name : longName); help != kOptionHelp.end()) {
      option->description(help->second);
    }
    if (!option->get_positional()) option->group("选项");
  }
}

}  // namespace mibolan::sheet
