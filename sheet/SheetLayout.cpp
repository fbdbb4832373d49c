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

bool OneOf(QChar unit, std::u16string_view marks) { return marks.find(unit.unicode()) != std::u16string_view::npos; }

// A square of two marks (：“) closes what comes before it and opens what follows.
bool Closes(const Square& square) { return square.kind == CellKind::Mark && OneOf(square.text.front(), kClosingMarks); }
bool Opens(const Square& square) { return square.kind == CellKind::Mark && OneOf(square.text.back(), kOpeningMarks); }

std::uint16_t Column(std::size_t column) { return static_cast<std::uint16_t>(column); }

// The pitch that `square` needs on its own, and next to `before` (which may be null).
double PitchFor(const Square* before, const Square& square) {
  if (square.width <= 0) return 1;
  double pitch = std::max(1.0, square.width + 2 * SheetLayouter::kStaffRoom);
  if (before != nullptr && before->width > 0) {
    pitch = std::max(pitch, (before->width + square.width) / 2 + SheetLayouter::kSyllableGap);
  }
  return pitch;
}

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

// How the rows of a line are set.
struct LineStyle {
  Row::Kind kind = Row::Kind::Grid;
  std::size_t indent = 0;  // empty squares before the line's first square
  bool centred = false;    // each row in the middle, with its own squares only
};

constexpr LineStyle kParagraph{Row::Kind::Grid, kParagraphIndent, false};
constexpr LineStyle kTitle{Row::Kind::Title, 0, true};
constexpr LineStyle kPoemLine{Row::Kind::Grid, 0, true};

// A line of the text, from a new row; squares in text order, wrapped where the row is full.
class LineRows {
 public:
  LineRows(std::size_t columns, Pager& pager) : columns_(columns), pager_(pager) {}

  void Begin(LineStyle style) {
    style_ = style;
    start_ = style.indent;
    row_.clear();
    pitch_ = 1;
    hung_.reset();
  }

  // `more`: the line has a square that is not blank after this one.
  void Place(Square square, bool more) {
    if (hung_) {
      if (square.kind == CellKind::Space) return;  // no blank square at a row's start
      // What comes along with the hung mark may fill the next row: the second mark is placed as
      // any other, and hangs in its turn.
      if (!(Closes(square) && TakeBackHung())) NewRow({});
    }
    const double pitch = std::max(pitch_, PitchFor(row_.empty() ? nullptr : &row_.back(), square));
    const bool fits = Room(start_ + row_.size() + 1, pitch);
    const bool opensAtRowEnd = fits && more && Opens(square) && !Room(start_ + row_.size() + 2, pitch);
    if (!fits || opensAtRowEnd) {
      if (!fits && square.kind == CellKind::Space) return;  // no blank square at a row's start
      if (!fits && Closes(square) && square.text.size() == 1 && !row_.empty()) {
        hung_ = std::move(square);  // in the margin, after the row's last square
        return;
      }
      NewRow(square.joined || Closes(square) ? CarriedOver(!Closes(square)) : std::vector<Square>{});
      // A square too wide for a row of its own has it all the same.
    }
    pitch_ = std::max(pitch_, PitchFor(row_.empty() ? nullptr : &row_.back(), square));
    row_.push_back(std::move(square));
  }

  void End() { Emit(); }

  // Blanks beyond this many in a row change nothing: once the row is full the rest are dropped.
  std::size_t BlanksThatMatter() const { return columns_; }

 private:
  bool Room(std::size_t squares, double pitch) const {
    return static_cast<double>(squares) * pitch <= static_cast<double>(columns_) + 1e-9;
  }

  void NewRow(std::vector<Square> carried) {
    Emit();
    start_ = 0;
    row_ = std::move(carried);
    pitch_ = 1;
    for (std::size_t i = 0; i < row_.size(); ++i)
      pitch_ = std::max(pitch_, PitchFor(i > 0 ? &row_[i - 1] : nullptr, row_[i]));
  }

  // A second closing mark after a hung one: neither may begin the next row, so the squares that
  // lead up to them go there with them. False when the row holds nothing that could go.
  bool TakeBackHung() {
    row_.push_back(std::move(*hung_));
    hung_.reset();
    std::vector<Square> carried = CarriedOver(false);
    if (carried.empty()) {
      hung_ = std::move(row_.back());
      row_.pop_back();
      return false;
    }
    NewRow(std::move(carried));
    return true;
  }

  // The squares at the row's end that must go to the next row with what follows: the closing
  // marks there and the square before them (`word`: none, the next square goes on a word), the
  // whole word or number that one ends, and the opening marks before it. None when that would
  // empty the row or a blank stands there.
  std::vector<Square> CarriedOver(bool word) {
    std::size_t carried = 0;
    if (!word) {
      while (carried < row_.size() && Closes(row_[row_.size() - 1 - carried])) ++carried;
    }
    ++carried;
    while (carried < row_.size() && row_[row_.size() - carried].joined) ++carried;
    while (carried < row_.size() && Opens(row_[row_.size() - 1 - carried])) ++carried;  // “CO2
    if (carried >= row_.size() || row_[row_.size() - carried].kind == CellKind::Space) return {};
    const auto first = row_.end() - static_cast<std::ptrdiff_t>(carried);
    std::vector<Square> next(std::make_move_iterator(first), std::make_move_iterator(row_.end()));
    row_.erase(first, row_.end());
    return next;
  }

  void Emit() {
    if (style_.kind == Row::Kind::Title && row_.empty()) return;
    Row row;
    row.kind = style_.kind;
    row.pitch = pitch_;
    const std::size_t used = start_ + row_.size();
    if (style_.centred) {
      row.shift = (static_cast<double>(columns_) - static_cast<double>(used) * pitch_) / 2;
      row.squares = Column(used);
    }
    for (std::size_t i = 0; i < row_.size(); ++i) {
      if (row_[i].kind != CellKind::Space) row.placed.push_back(Slot{std::move(row_[i]), Column(start_ + i), false});
    }
    if (hung_) row.placed.push_back(Slot{std::move(*hung_), Column(used), false});
    hung_.reset();
    row_.clear();
    pager_.Add(std::move(row));
  }

  std::size_t columns_;
  Pager& pager_;
  LineStyle style_ = kParagraph;
  std::size_t start_ = kParagraphIndent;
  std::vector<Square> row_;  // the squares of the current row, blanks included
  double pitch_ = 1;         // that they need
  std::optional<Square> hung_;
};

}  // namespace

// Follows the lines of the text across pieces. A line's blanks are placed only once a square that
// is not blank follows them (the blanks at a line's ends take no square), and its last square
// waits until it is known whether another follows (an opening mark may not end a row).
class SheetLayouter::Lines {
 public:
  Lines(const SheetOptions& options, int rowsPerPage, PageTaker take, ReadingWidth width)
      : practice_(options.layout == SheetLayout::Practice),
        poem_(options.layout == SheetLayout::Poem),
        titleWanted_(options.title || poem_),
        corrections_(options.corrections),
        width_(std::move(width)),
        pager_(rowsPerPage, std::move(take)),
        rows_(static_cast<std::size_t>(options.squaresPerRow), pager_),
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
  bool AnyText() const { return anyText_; }
  bool AnyReading() const { return anyReading_ || !chosen_.empty(); }

 private:
  enum class Mode { Ignore, Paragraph, Title };

  // The square of a cell of the current piece, where it is in the whole text, with the reading
  // chosen for that place if there is one, and how wide that reading is on the staff.
  Square SquareAt(const SheetContent& piece, const Cell& cell) const {
    const CharacterReading* reading = piece.ReadingOf(cell);
    Square square{cell.kind, piece.TextOf(cell), reading ? std::optional(*reading) : std::nullopt, 0, cell.joined};
    square.origin = pieceStart_ + cell.begin;
    const auto correction = corrections_.find(square.origin);
    if (square.reading && correction != corrections_.end()) {
      square.reading->numbered = correction->second;
      square.reading->marked = QString::fromStdString(ToToneMarks(correction->second)).toStdU16String();
    }
    if (square.reading && width_) square.width = width_(QString::fromStdU16String(square.reading->marked));
    return square;
  }

  void NotBlank(Square square) {
    anyText_ = true;
    anyReading_ = anyReading_ || square.reading.has_value();
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
      rows_.Begin(kTitle);
    } else if (practice_) {
      mode_ = Mode::Ignore;
    } else {
      if (blankWanted_) pager_.Add(Row{});
      blankWanted_ = false;
      mode_ = Mode::Paragraph;
      rows_.Begin(poem_ ? kPoemLine : kParagraph);
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
    if (mode_ != Mode::Ignore) rows_.End();
    if (mode_ == Mode::Title) {
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
    if (mode_ != Mode::Ignore) rows_.Place(std::move(square), more);
    if (!more) return;
    if (capturing_ && firstLine_.size() < kFirstLineLength) firstLine_ += blankText_;
    if (mode_ != Mode::Ignore) {
      for (std::size_t i = 0; i < std::min(blanks_, rows_.BlanksThatMatter()); ++i) {
        rows_.Place(Square{CellKind::Space, {}, {}}, true);
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
  bool poem_;
  bool titleWanted_;
  std::map<std::size_t, std::string> corrections_;
  std::size_t pieceStart_ = 0;  // where the current piece begins in the whole text
  bool blankWanted_ = false;
  bool anyText_ = false;
  bool anyReading_ = false;
  ReadingWidth width_;
  Pager pager_;
  LineRows rows_;
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

SheetLayouter::SheetLayouter(const SheetOptions& options, int rowsPerPage, PageTaker take, ReadingWidth width)
    : lines_(std::make_unique<Lines>(options, rowsPerPage, std::move(take), std::move(width))) {}

SheetLayouter::~SheetLayouter() = default;

void SheetLayouter::Add(const SheetContent& piece) { lines_->Add(piece); }

void SheetLayouter::Finish() { lines_->Finish(); }

const QString& SheetLayouter::FirstLine() const { return lines_->FirstLine(); }

bool SheetLayouter::AnyText() const { return lines_->AnyText(); }

bool SheetLayouter::AnyReading() const { return lines_->AnyReading(); }

std::vector<Page> LayOutSheet(const SheetContent& content, const SheetOptions& options, int rowsPerPage,
                              ReadingWidth width) {
  std::vector<Page> pages;
  SheetLayouter layouter(
      options, rowsPerPage, [&](Page&& page) { pages.push_back(std::move(page)); }, std::move(width));
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
