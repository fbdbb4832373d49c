#include "SheetLayout.h"

#include <algorithm>
#include <map>
#include <span>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include <QList>

#include <mibolan/Syllables.h>

#include "PracticeRows.h"

namespace mibolan::sheet {
namespace {

constexpr std::size_t kParagraphIndent = 2;

// Marks that close a phrase may not begin a row, and marks that open one may not end it.
constexpr std::u16string_view kClosingMarks = u"，。、；：？！）】》〉」』”’…—～·．,.;:?!)]}%";
constexpr std::u16string_view kOpeningMarks = u"（【《〈「『“‘([{";

bool StartsWithOneOf(const Square& square, std::u16string_view marks) {
  return square.kind == CellKind::Mark && marks.find(square.text[0].unicode()) != std::u16string_view::npos;
}

Square SquareOf(const SheetContent& content, const Cell& cell) {
  const CharacterReading* reading = content.ReadingOf(cell);
  return Square{cell.kind, content.TextOf(cell), reading ? std::optional(*reading) : std::nullopt};
}

std::uint16_t Column(std::size_t column) { return static_cast<std::uint16_t>(column); }

// Puts rows on pages and hands each page over once the next row needs a new one; each page may
// begin with the same head row.
class Pager {
 public:
  Pager(int rowsPerPage, SheetLayouter::PageTaker take)
      : perPage_(static_cast<std::size_t>(std::max(rowsPerPage, 1))), take_(std::move(take)) {}

  void SetHead(Row head) {
    if (perPage_ < 2) return;
    head_ = std::move(head);
    if (page_.rows.empty()) page_.rows.push_back(*head_);
  }

  void Add(Row row) {
    ++rows_;
    if (page_.rows.size() == perPage_) NextPage();
    // An empty row at the top of a page separates nothing.
    if (row.placed.empty() && row.kind == Row::Kind::Grid && PageEmpty()) return;
    page_.rows.push_back(std::move(row));
  }

  // Rows that stay on one page, when a page has room for them.
  void AddTogether(std::vector<Row> rows) {
    const std::size_t room = perPage_ - page_.rows.size();
    if (rows.size() > room && !PageEmpty() && rows.size() <= perPage_ - HeadRows()) NextPage();
    for (Row& row : rows) Add(std::move(row));
  }

  void Finish() {
    take_(std::move(page_));
    page_ = Page{};
  }

  bool AnyRow() const { return rows_ > 0; }

 private:
  std::size_t HeadRows() const { return head_ ? 1 : 0; }
  bool PageEmpty() const { return page_.rows.size() == HeadRows(); }

  void NextPage() {
    take_(std::move(page_));
    page_ = Page{};
    if (head_) page_.rows.push_back(*head_);
  }

  std::size_t perPage_;
  SheetLayouter::PageTaker take_;
  Page page_;
  std::optional<Row> head_;
  std::size_t rows_ = 0;  // laid out so far, empty ones included
};

// A paragraph, from a new row, indented; squares in text order, wrapped at the row's end.
class ParagraphRows {
 public:
  ParagraphRows(std::size_t columns, Pager& pager) : columns_(columns), pager_(pager) {}

  void Begin() {
    start_ = kParagraphIndent;
    row_.clear();
  }

  // `more`: the line has a square that is not blank after this one.
  void Place(Square square, bool more) {
    const bool full = start_ + row_.size() == columns_;
    const bool lastSquare = start_ + row_.size() + 1 == columns_;
    const bool opensAtRowEnd = lastSquare && more && StartsWithOneOf(square, kOpeningMarks);
    if (full || opensAtRowEnd) {
      if (full && square.kind == CellKind::Space) return;  // no blank square at a row's start
      std::vector<Square> next;
      if (full && StartsWithOneOf(square, kClosingMarks)) next = CarriedOver();
      Emit();
      start_ = 0;
      row_ = std::move(next);
    }
    row_.push_back(std::move(square));
  }

  void End() { Emit(); }

  // Blanks beyond this many in a row change nothing: once the row is full the rest are dropped.
  std::size_t BlanksThatMatter() const { return columns_; }

 private:
  // A row may not begin with a closing mark: the square before it, and the closing marks right
  // before that one, go to the next row with it. A row of nothing but closing marks stays as it is.
  std::vector<Square> CarriedOver() {
    std::size_t carried = 1;
    while (carried < row_.size() && StartsWithOneOf(row_[row_.size() - carried], kClosingMarks)) ++carried;
    if (carried >= row_.size() || row_[row_.size() - carried].kind == CellKind::Space) return {};
    const auto first = row_.end() - static_cast<std::ptrdiff_t>(carried);
    std::vector<Square> next(std::make_move_iterator(first), std::make_move_iterator(row_.end()));
    row_.erase(first, row_.end());
    return next;
  }

  void Emit() {
    Row row;
    for (std::size_t i = 0; i < row_.size(); ++i) {
      if (row_[i].kind != CellKind::Space) row.placed.push_back(Slot{std::move(row_[i]), Column(start_ + i), false});
    }
    row_.clear();
    pager_.Add(std::move(row));
  }

  std::size_t columns_;
  Pager& pager_;
  std::size_t start_ = kParagraphIndent;
  std::vector<Square> row_;  // the squares of the current row, blanks included
};

// The title, centred, in as many rows as it needs.
class TitleRows {
 public:
  TitleRows(std::size_t columns, Pager& pager) : columns_(columns), pager_(pager) {}

  void Place(Square square) {
    if (part_.size() == columns_) Emit();
    part_.push_back(std::move(square));
  }

  void End() {
    if (!part_.empty()) Emit();
  }

 private:
  void Emit() {
    Row row{Row::Kind::Title, static_cast<double>(columns_ - part_.size()) / 2, {}};
    for (std::size_t i = 0; i < part_.size(); ++i) {
      if (part_[i].kind != CellKind::Space) row.placed.push_back(Slot{std::move(part_[i]), Column(i), false});
    }
    part_.clear();
    pager_.Add(std::move(row));
  }

  std::size_t columns_;
  Pager& pager_;
  std::vector<Square> part_;
};

}  // namespace

// Follows the lines of the text across pieces. A line's blanks are placed only once a square that
// is not blank follows them (the blanks at a line's ends take no square), and its last square
// waits until it is known whether another follows (an opening mark may not end a row).
class SheetLayouter::Lines {
 public:
  Lines(const SheetOptions& options, int rowsPerPage, PageTaker take)
      : practice_(options.layout == SheetLayout::Practice),
        titleWanted_(options.title),
        corrections_(options.corrections),
        pager_(rowsPerPage, std::move(take)),
        paragraph_(static_cast<std::size_t>(options.squaresPerRow), pager_),
        title_(static_cast<std::size_t>(options.squaresPerRow), pager_),
        columns_(static_cast<std::size_t>(options.squaresPerRow)),
        chosen_(options.characters),
        conversion_(ReadingOptions(options)) {
    if (practice_) pager_.SetHead(Row{Row::Kind::NameAndDate, 0, {}});
  }

  void Add(const SheetContent& piece) {
    for (const Cell& cell : piece.cells) {
      switch (cell.kind) {
        case CellKind::LineBreak: EndLine(); break;
        case CellKind::Space:
          if (started_) {
            ++blanks_;
            if (capturing_ && blankText_.size() < kFirstLineLength) blankText_ += piece.TextOf(cell);
          }
          break;
        default: NotBlank(SquareAt(piece, cell));
      }
      if (practice_ && cell.reading >= 0) Practice(SquareAt(piece, cell));
    }
    pieceStart_ += static_cast<std::size_t>(piece.text.size());
  }

  void Finish() {
    EndLine();
    ReleasePractice();
    if (practice_) PracticeChosen();
    pager_.Finish();
  }

  const QString& FirstLine() const { return firstLine_; }

 private:
  enum class Mode { Ignore, Paragraph, Title };

  // The square of a cell of the current piece, where it is in the whole text, with the reading
  // chosen for that place if there is one.
  Square SquareAt(const SheetContent& piece, const Cell& cell) const {
    Square square = SquareOf(piece, cell);
    square.origin = pieceStart_ + cell.begin;
    const auto correction = corrections_.find(square.origin);
    if (square.reading && correction != corrections_.end()) {
      square.reading->numbered = correction->second;
      square.reading->marked = QString::fromStdString(ToToneMarks(correction->second)).toStdU16String();
    }
    return square;
  }

  void NotBlank(Square square) {
    if (started_) {
      PlaceHeld(true);
    } else {
      StartLine();
    }
    held_ = std::move(square);
  }

  void StartLine() {
    started_ = true;
    capturing_ = firstLine_.isEmpty();
    if (titleWanted_) {
      mode_ = Mode::Title;
    } else if (practice_) {
      mode_ = Mode::Ignore;
    } else {
      if (blankWanted_) pager_.Add(Row{});
      blankWanted_ = false;
      mode_ = Mode::Paragraph;
      paragraph_.Begin();
    }
  }

  void EndLine() {
    if (!started_) {
      // Empty lines between paragraphs make one empty row.
      blankWanted_ = pager_.AnyRow();
      return;
    }
    PlaceHeld(false);
    blanks_ = 0;
    blankText_.clear();
    if (mode_ == Mode::Paragraph) paragraph_.End();
    if (mode_ == Mode::Title) {
      title_.End();
      titleWanted_ = false;
      ReleasePractice();
    }
    started_ = capturing_ = false;
  }

  // Places the held square and, when another follows, the blanks after it.
  void PlaceHeld(bool more) {
    if (!held_) return;
    Square square = std::move(*held_);
    held_.reset();
    if (capturing_ && firstLine_.size() < kFirstLineLength) firstLine_ += square.text;
    switch (mode_) {
      case Mode::Ignore: break;
      case Mode::Paragraph: paragraph_.Place(std::move(square), more); break;
      case Mode::Title: title_.Place(std::move(square)); break;
    }
    if (!more) return;
    if (capturing_ && firstLine_.size() < kFirstLineLength) firstLine_ += blankText_;
    if (mode_ == Mode::Title) {
      for (std::size_t i = 0; i < blanks_; ++i) title_.Place(Square{CellKind::Space, {}, {}});
    } else if (mode_ == Mode::Paragraph) {
      for (std::size_t i = 0; i < std::min(blanks_, paragraph_.BlanksThatMatter()); ++i) {
        paragraph_.Place(Square{CellKind::Space, {}, {}}, true);
      }
    }
    blanks_ = 0;
    blankText_.clear();
  }

  // Each character once, with the reading it first has, in the order they first appear, after the
  // title; when the teacher chose the characters, they wait for the end of the text.
  void Practice(Square square) {
    std::u16string key = square.text.toStdU16String();
    if (!seen_.insert(key).second) return;
    if (!chosen_.empty()) {
      const QList<uint> ucs4 = square.text.toUcs4();
      if (ucs4.size() == 1 && chosen_.find(static_cast<char32_t>(ucs4.front())) != std::u32string::npos) {
        found_.emplace(static_cast<char32_t>(ucs4.front()), std::move(square));
      }
      return;
    }
    std::vector<Row> rows = PracticeRows(square, columns_);
    if (titleWanted_) {
      afterTitle_.push_back(std::move(rows));
    } else {
      pager_.AddTogether(std::move(rows));
    }
  }

  void ReleasePractice() {
    for (std::vector<Row>& rows : afterTitle_) pager_.AddTogether(std::move(rows));
    afterTitle_.clear();
  }

  // The characters the teacher chose, in the order chosen: those of the text with their reading
  // there, the others with their reading on their own.
  void PracticeChosen() {
    for (const char32_t character : chosen_) {
      const auto found = found_.find(character);
      const Square square = found != found_.end() ? found->second : PracticeSquare(character, conversion_);
      pager_.AddTogether(PracticeRows(square, columns_));
    }
  }

  bool practice_;
  bool titleWanted_;
  std::map<std::size_t, std::string> corrections_;
  std::size_t pieceStart_ = 0;  // where the current piece begins in the whole text
  bool blankWanted_ = false;
  Pager pager_;
  ParagraphRows paragraph_;
  TitleRows title_;
  // The current line.
  Mode mode_ = Mode::Ignore;
  bool started_ = false;  // a square that is not blank has come
  bool capturing_ = false;
  std::optional<Square> held_;
  std::size_t blanks_ = 0;  // after the held square
  QString blankText_;
  QString firstLine_;
  std::size_t columns_;
  std::u32string chosen_;
  ConversionOptions conversion_;
  std::unordered_set<std::u16string> seen_;
  std::unordered_map<char32_t, Square> found_;  // the chosen characters in the text
  std::vector<std::vector<Row>> afterTitle_;    // practice rows that wait for the title to end
};

SheetLayouter::SheetLayouter(const SheetOptions& options, int rowsPerPage, PageTaker take)
    : lines_(std::make_unique<Lines>(options, rowsPerPage, std::move(take))) {}

SheetLayouter::~SheetLayouter() = default;

void SheetLayouter::Add(const SheetContent& piece) { lines_->Add(piece); }

void SheetLayouter::Finish() { lines_->Finish(); }

const QString& SheetLayouter::FirstLine() const { return lines_->FirstLine(); }

std::vector<Page> LayOutSheet(const SheetContent& content, const SheetOptions& options, int rowsPerPage) {
  std::vector<Page> pages;
  SheetLayouter layouter(options, rowsPerPage, [&](Page&& page) { pages.push_back(std::move(page)); });
  layouter.Add(content);
  layouter.Finish();
  return pages;
}

QString FirstLine(const SheetContent& content) {
  const std::span<const Cell> cells(content.cells);
  const auto isSpace = [](const Cell& cell) { return cell.kind == CellKind::Space; };
  for (std::size_t begin = 0, i = 0; i <= cells.size(); ++i) {
    if (i < cells.size() && cells[i].kind != CellKind::LineBreak) continue;
    std::span<const Cell> line = cells.subspan(begin, i - begin);
    begin = i + 1;
    while (!line.empty() && isSpace(line.front())) line = line.subspan(1);
    while (!line.empty() && isSpace(line.back())) line = line.first(line.size() - 1);
    if (!line.empty()) {
      return content.text.mid(line.front().begin, line.back().begin + line.back().length - line.front().begin);
    }
  }
  return {};
}

}  // namespace mibolan::sheet
