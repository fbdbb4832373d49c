#include "HtmlPage.h"

#include <algorithm>

#include "HtmlText.h"
#include "MessageText.h"

namespace mibolan::cli {

namespace {

// Serif faces made for Chinese text first; the readings take the same face, whose Latin letters
// carry the tone marks. The line height leaves room for the readings above the characters.
constexpr std::string_view kPageStart = R"(<!DOCTYPE html>
<html lang="zh-Hans">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="generator" content="mibolan-convert">
<style>
body {
  margin: 2rem auto;
  padding: 0 1rem;
  max-width: 44rem;
  font-family: "Noto Serif CJK SC", "Source Han Serif SC", "Noto Serif SC", "Songti SC", STSong, SimSun, serif;
  font-size: 1.5rem;
  line-height: 2.5;
  color: #000;
  background: #fff;
}
h2 { margin: 0 0 0.5rem; font-size: 1rem; font-weight: normal; line-height: 1.5; color: #444; border-bottom: 1px solid #999; }
section { margin-bottom: 2rem; }
.text { white-space: pre-wrap; overflow-wrap: anywhere; }
ruby { ruby-position: over; margin: 0 0.12em; }
rt { font-size: 0.5em; }
@page { margin: 2cm; }
@media print {
  body { margin: 0; padding: 0; max-width: none; font-size: 16pt; }
  section + section { break-before: page; }
}
</style>
)";

constexpr std::string_view kPageEnd = "</body>\n</html>\n";

// The file's own name, without its folder.
std::string ShownName(std::string_view fileName) {
  const std::size_t slash = fileName.find_last_of('/');
  return std::string(slash == std::string_view::npos || slash + 1 == fileName.size() ? fileName
                                                                                     : fileName.substr(slash + 1));
}

// File names are bytes; what is not UTF-8 shows as U+FFFD.
void AppendEscaped(std::string& out, std::string_view text) { out += EscapeHtml(text); }

}  // namespace

// The title names the first file and says how many others the page holds, so that it stays
// short for a run over thousands of files.
HtmlPage::HtmlPage(const std::vector<std::string>& fileNames) : title_("Mibolan"), headings_(fileNames.size() > 1) {
  const auto first =
      std::find_if(fileNames.begin(), fileNames.end(), [](const std::string& name) { return name != "-"; });
  if (first == fileNames.end()) return;
  title_ += " – " + ShownName(*first);
  const std::size_t others = fileNames.size() - 1;
  if (others > 0) title_ += " and " + std::to_string(others) + (others == 1 ? " other file" : " other files");
}

void HtmlPage::BeginSection(std::string_view fileName, std::string& out) {
  if (!begun_) {
    begun_ = true;
    out += kPageStart;
    out += "<title>";
    AppendEscaped(out, title_);
    out += "</title>\n</head>\n<body>\n";
  }
  out += "<section>\n";
  if (headings_) {
    out += "<h2>";
    AppendEscaped(out, cli::DisplayName(fileName));
    out += "</h2>\n";
  }
  // The text starts right after the tag: with pre-wrap, a line break here would show.
  out += "<div class=\"text\">";
}

void HtmlPage::EndSection(std::string& out) { out += "</div>\n</section>\n"; }

void HtmlPage::End(std::string& out) {
  if (begun_) out += kPageEnd;
}

}  // namespace mibolan::cli
