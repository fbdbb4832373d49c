#include "SheetLayout.h"

#include <algorithm>
#include <span>
#include <unordered_set>

namespace mibolan::sheet {
namespace {

constexpr int kParagraphIndent = 2;

// Marks that close a phrase may not begin a row, and marks that open one may not end it.
constexpr std::u16string_view kClosingMarks = u"，。、；：？！）】》〉」』”’…—～·．,.;:?!)]}%";
constexpr std::u16string_view kOpeningMarks = u"（【《〈「『“‘([{";

bool StartsWithOneOf(const SheetContent& content, const Cell& cell, std::u16string_view marks) {
  return cell.kind == CellKind::Mark && marks.find(content.text[cell.begin].unicode()) != std::u16string_view::npos;
}

using CellRange = std::span<const Cell>;

std::uint32_t IndexOf(const SheetContent& content, const Cell& cell) {
  return static_cast<std::uint32_t>(&cell - content.cells.data());
}

// The cells of a line without the blanks at its ends.
CellRange Trimmed(CellRange line) {
  const auto isSpace = [](const Cell& cell) { return cell.kind == CellKind::Space; };
  while (!line.empty() && isSpace(line.front())) line = line.subspan(1);
  while (!line.empty() && isSpace(line.back())) line = line.first(line.size() - 1);
  return line;
}

// Cuts the content at its line breaks and hands each line to `take`.
template <class Take>
void ForEachLine(const SheetContent& content, Take take) {
  const CellRange cells(content.cells);
  std::size_t begin = 0;
  for (std::size_t i = 0; i <= cells.size(); ++i) {
    if (i == cells.size() || cells[i].kind == CellKind::LineBreak) {
      take(Trimmed(cells.subspan(begin, i - begin)));
      begin = i + 1;
    }
  }
}

class RowWriter {
 public:
  RowWriter(const SheetContent& content, int columns, std::vector<Row>& rows)
      : content_(content), columns_(static_cast<std::size_t>(columns)), rows_(rows) {}

  // A paragraph, from a new row, indented; squares in text order, wrapped at the row's end.
  void Paragraph(CellRange line) {
    std::size_t start = kParagraphIndent;
    std::vector<std::uint32_t> row;  // the cells of the current row, blanks included
    for (std::size_t i = 0; i < line.size(); ++i) {
      const Cell& cell = line[i];
      const bool full = start + row.size() == columns_;
      const bool lastSquare = start + row.size() + 1 == columns_;
      const bool opensAtRowEnd = lastSquare && i + 1 < line.size() && StartsWithOneOf(content_, cell, kOpeningMarks);
      if (full || opensAtRowEnd) {
        if (full && cell.kind == CellKind::Space) continue;  // no blank square at a row's start
        std::vector<std::uint32_t> next;
        if (full && StartsWithOneOf(content_, cell, kClosingMarks)) next = CarriedOver(row);
        Grid(start, row);
        start = 0;
        row = std::move(next);
      }
      row.push_back(IndexOf(content_, cell));
    }
    Grid(start, row);
  }

  // The title, centred, in as many rows as it needs.
  void Title(CellRange line) {
    for (std::size_t begin = 0; begin < line.size(); begin += columns_) {
      const CellRange part = line.subspan(begin, std::min(columns_, line.size() - begin));
      Row row{Row::Kind::Title, static_cast<double>(columns_ - part.size()) / 2, {}};
      for (std::size_t i = 0; i < part.size(); ++i) {
        if (part[i].kind != CellKind::Space) row.placed.push_back(Slot{IndexOf(content_, part[i]), Column(i), false});
      }
      rows_.push_back(std::move(row));
    }
  }

  // A character with its reading, two light copies to trace, and empty squares.
  void Practice(std::uint32_t cell) {
    rows_.push_back(Row{Row::Kind::Grid, 0, {Slot{cell, 0, false}, Slot{cell, 1, true}, Slot{cell, 2, true}}});
  }

  void Blank() { rows_.push_back(Row{}); }

 private:
  static std::uint16_t Column(std::size_t column) { return static_cast<std::uint16_t>(column); }

  // A row may not begin with a closing mark: the cell before it, and the closing marks right
  // before that one, go to the next row with it. A row of nothing but closing marks stays as it is.
  std::vector<std::uint32_t> CarriedOver(std::vector<std::uint32_t>& row) const {
    std::size_t carried = 1;
    while (carried < row.size() &&
           StartsWithOneOf(content_, content_.cells[row[row.size() - carried]], kClosingMarks)) {
      ++carried;
    }
    if (carried >= row.size() || content_.cells[row[row.size() - carried]].kind == CellKind::Space) return {};
    std::vector<std::uint32_t> next(row.end() - static_cast<std::ptrdiff_t>(carried), row.end());
    row.resize(row.size() - carried);
    return next;
  }

  void Grid(std::size_t start, const std::vector<std::uint32_t>& cells) {
    Row row;
    for (std::size_t i = 0; i < cells.size(); ++i) {
      if (content_.cells[cells[i]].kind != CellKind::Space)
        row.placed.push_back(Slot{cells[i], Column(start + i), false});
    }
    rows_.push_back(std::move(row));
  }

  const SheetContent& content_;
  std::size_t columns_;
  std::vector<Row>& rows_;
};

std::vector<Row> ReadingRows(const SheetContent& content, const SheetOptions& options) {
  std::vector<Row> rows;
  RowWriter writer(content, options.squaresPerRow, rows);
  bool titleWanted = options.title;
  bool blankWanted = false;  // empty lines between paragraphs make one empty row
  ForEachLine(content, [&](CellRange line) {
    if (line.empty()) {
      blankWanted = !rows.empty();
      return;
    }
    if (titleWanted) {
      writer.Title(line);
      titleWanted = false;
      return;
    }
    if (blankWanted) writer.Blank();
    blankWanted = false;
    writer.Paragraph(line);
  });
  return rows;
}

std::vector<Row> PracticeRows(const SheetContent& content, const SheetOptions& options) {
  std::vector<Row> rows;
  RowWriter writer(content, options.squaresPerRow, rows);
  if (options.title) {
    bool titled = false;
    ForEachLine(content, [&](CellRange line) {
      if (titled || line.empty()) return;
      writer.Title(line);
      titled = true;
    });
  }
  // Each character once with each of its readings, in the order they first appear.
  std::unordered_set<std::u16string> seen;
  for (const Cell& cell : content.cells) {
    const CharacterReading* reading = content.ReadingOf(cell);
    if (reading == nullptr) continue;
    std::u16string key(reinterpret_cast<const char16_t*>(content.text.utf16()) + cell.begin, cell.length);
    key.append(1, u'\n').append(reading->marked);
    if (seen.insert(std::move(key)).second) writer.Practice(IndexOf(content, cell));
  }
  return rows;
}

}  // namespace

std::vector<Page> LayOutSheet(const SheetContent& content, const SheetOptions& options, int rowsPerPage) {
  std::vector<Row> rows =
      options.layout == SheetLayout::Practice ? PracticeRows(content, options) : ReadingRows(content, options);
  const auto perPage = static_cast<std::size_t>(std::max(rowsPerPage, 1));
  std::vector<Page> pages(1);
  for (Row& row : rows) {
    if (pages.back().rows.size() == perPage) pages.emplace_back();
    // An empty row at the top of a page separates nothing.
    if (row.placed.empty() && row.kind == Row::Kind::Grid && pages.back().rows.empty()) continue;
    pages.back().rows.push_back(std::move(row));
  }
  return pages;
}

QString FirstLine(const SheetContent& content) {
  QString first;
  ForEachLine(content, [&](CellRange line) {
    if (!first.isEmpty() || line.empty()) return;
    first = content.text.mid(line.front().begin, line.back().begin + line.back().length - line.front().begin);
  });
  return first;
}

}  // namespace mibolan::sheet
