#include "Strokes.h"

#include <optional>
#include <string_view>
#include <utility>

#include <QByteArray>
#include <QHash>
#include <QResource>

namespace mibolan::sheet {
namespace {

// The layout of the data is in sheet/data/README.md; tools/gen_strokes.py writes it.
constexpr std::string_view kMagic = "MBSTROKES1\n";
// The data's y runs up from a line this far below the square's top.
constexpr int kBaseline = 900;

// Reads the data's numbers; past the end it gives 0 and says so in Failed.
class Reader {
 public:
  Reader(const char* begin, const char* end) : next_(begin), end_(end) {}

  std::uint32_t Number() {
    std::uint32_t number = 0;
    for (int shift = 0; shift < 35; shift += 7) {
      if (next_ == end_) {
        failed_ = true;
        return 0;
      }
      const auto byte = static_cast<std::uint8_t>(*next_++);
      number |= static_cast<std::uint32_t>(byte & 0x7F) << shift;
      if ((byte & 0x80) == 0) return number;
    }
    failed_ = true;
    return 0;
  }

  std::int32_t Signed() {
    const std::uint32_t zigzag = Number();
    return static_cast<std::int32_t>(zigzag >> 1) ^ -static_cast<std::int32_t>(zigzag & 1);
  }

  std::uint8_t Byte() { return static_cast<std::uint8_t>(Number()); }
  void Skip(std::uint32_t bytes) {
    if (static_cast<std::size_t>(end_ - next_) < bytes) {
      failed_ = true;
      next_ = end_;
    } else {
      next_ += bytes;
    }
  }
  const char* Here() const { return next_; }
  bool AtEnd() const { return next_ == end_; }
  bool Failed() const { return failed_; }

 private:
  const char* next_;
  const char* end_;
  bool failed_ = false;
};

// The data, and where each character's strokes begin in it.
class StrokeTable {
 public:
  StrokeTable() : data_(QResource(QStringLiteral(":/sheet/strokes.bin")).uncompressedData()) {
    if (!data_.startsWith(QByteArrayView(kMagic.data(), static_cast<qsizetype>(kMagic.size())))) return;
    Reader reader(data_.constData() + kMagic.size(), data_.constData() + data_.size());
    while (!reader.AtEnd() && !reader.Failed()) {
      const char32_t character = reader.Number();
      const std::uint32_t length = reader.Number();
      const char* body = reader.Here();
      reader.Skip(length);
      bodies_.insert(character, {body, reader.Here()});
    }
  }

  // A reader of the strokes of `character`; nothing when there are none.
  std::optional<Reader> Of(char32_t character) const {
    const auto body = bodies_.constFind(character);
    if (body == bodies_.constEnd()) return std::nullopt;
    return Reader(body->first, body->second);
  }

 private:
  QByteArray data_;
  QHash<char32_t, std::pair<const char*, const char*>> bodies_;
};

const StrokeTable& Table() {
  static const StrokeTable table;
  return table;
}

int PointsOf(StrokeOutline::Step step) { return step == StrokeOutline::Step::Move ? 1 : static_cast<int>(step); }

}  // namespace

std::vector<StrokeOutline> StrokesOf(char32_t character) {
  std::optional<Reader> reader = Table().Of(character);
  if (!reader) return {};
  std::vector<StrokeOutline> strokes(reader->Number());
  QPoint last;
  for (StrokeOutline& stroke : strokes) {
    stroke.steps.resize(reader->Number());
    for (StrokeOutline::Step& step : stroke.steps) step = static_cast<StrokeOutline::Step>(reader->Byte() & 3);
    for (const StrokeOutline::Step step : stroke.steps) {
      for (int i = 0; i < PointsOf(step); ++i) {
        const int dx = reader->Signed();
        const int dy = reader->Signed();
        last += QPoint(dx, dy);
        stroke.points.emplace_back(last.x(), kBaseline - last.y());
      }
    }
  }
  if (reader->Failed()) return {};
  return strokes;
}

int StrokeCount(char32_t character) {
  std::optional<Reader> reader = Table().Of(character);
  return reader ? static_cast<int>(reader->Number()) : 0;
}

}  // namespace mibolan::sheet
