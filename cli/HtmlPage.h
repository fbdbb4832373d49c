#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mibolan::cli {

// The printable page that --style=html writes: one HTML document for all the files of a run,
// each file's converted text in a section of its own that starts a new sheet when printed.
// The page's head is written when the first section begins, so a run in which no file can be
// read writes nothing.
class HtmlPage {
 public:
  // `fileNames` as the user gave them ("-" for standard input); they make the title and,
  // when there are several, a heading over each section.
  explicit HtmlPage(const std::vector<std::string>& fileNames);

  void BeginSection(std::string_view fileName, std::string& out);
  void EndSection(std::string& out);

  // Closes the page if it was begun.
  void End(std::string& out);

 private:
  std::string title_;
  bool headings_;
  bool begun_ = false;
};

}  // namespace mibolan::cli
