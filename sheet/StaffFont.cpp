#include "StaffFont.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

#include <QFontDatabase>
#include <QPainterPath>
#include <QRawFont>

#include "SheetPainter.h"

namespace mibolan::sheet {
namespace {

// The letters a reading may hold: ASCII, the vowels with tone marks, ü, ê, the syllabic nasals,
// and the combining marks of ê̄ and ê̌.
constexpr std::u16string_view kPinyinLetters = u"āáǎàēéěèīíǐìōóǒòūúǔùǖǘǚǜüêḿńňǹ\u0300\u0301\u0304\u030C";

// Big-endian writing, as the face's tables are.
class Bytes {
 public:
  void U8(int value) { data_.append(static_cast<char>(value & 0xFF)); }
  void U16(int value) { U8(value >> 8), U8(value); }
  void U32(std::uint32_t value) { U16(static_cast<int>(value >> 16)), U16(static_cast<int>(value & 0xFFFF)); }
  void Tag(const char* tag) { data_.append(tag, 4); }
  void Utf16(const QString& text) {
    for (const QChar unit : text) U16(unit.unicode());
  }
  void Append(const QByteArray& more) { data_.append(more); }
  void Pad() {
    while (data_.size() % 4 != 0) U8(0);
  }
  qsizetype Size() const { return data_.size(); }
  const QByteArray& Data() const { return data_; }

 private:
  QByteArray data_;
};

struct Point {
  int x = 0, y = 0;
  bool onCurve = true;
};

struct Glyph {
  char16_t code = 0;  // 0: the glyph for characters the face lacks
  int advance = 0;
  std::vector<std::vector<Point>> contours;
};

// Heights over the baseline, stretched into the staff's proportions: the x-height stays, what is
// above it ends a band higher at `top`, what is below the baseline a band lower at `descender`.
struct Stretch {
  double xHeight, top, descender;
  double operator()(double height) const {
    if (height > xHeight) return xHeight + (height - xHeight) * xHeight / (top - xHeight);
    if (height < 0) return height * xHeight / descender;
    return height;
  }
};

// The outline of `path` (y downwards, in units of the em) as contours of quadratic curves, y
// upwards: each cubic piece becomes the quadratic that ends where it ends and has its middle.
std::vector<std::vector<Point>> Contours(const QPainterPath& path, const Stretch& stretch) {
  std::vector<std::vector<Point>> contours;
  const auto point = [&](double x, double y, bool onCurve) {
    return Point{static_cast<int>(std::lround(x)), static_cast<int>(std::lround(stretch(-y))), onCurve};
  };
  QPointF last;
  for (int i = 0; i < path.elementCount(); ++i) {
    const QPainterPath::Element element = path.elementAt(i);
    if (element.isMoveTo()) {
      contours.emplace_back();
      contours.back().push_back(point(element.x, element.y, true));
    } else if (element.isLineTo()) {
      contours.back().push_back(point(element.x, element.y, true));
    } else if (element.isCurveTo() && i + 2 < path.elementCount()) {
      const QPointF c1 = element, c2 = path.elementAt(i + 1), end = path.elementAt(i + 2);
      const QPointF control = (3 * (c1 + c2) - last - end) / 4;
      contours.back().push_back(point(control.x(), control.y(), false));
      contours.back().push_back(point(end.x(), end.y(), true));
      last = end;
      i += 2;
      continue;
    }
    last = element;
  }
  for (auto& contour : contours) {
    if (contour.size() > 1 && contour.front().x == contour.back().x && contour.front().y == contour.back().y &&
        contour.back().onCurve) {
      contour.pop_back();
    }
  }
  std::erase_if(contours, [](const auto& contour) { return contour.size() < 3; });
  return contours;
}

QByteArray GlyphData(const Glyph& glyph, int& xMin, int& yMin, int& xMax, int& yMax) {
  Bytes out;
  if (glyph.contours.empty()) return {};
  xMin = yMin = 1 << 20, xMax = yMax = -(1 << 20);
  for (const auto& contour : glyph.contours) {
    for (const Point& p : contour) {
      xMin = std::min(xMin, p.x), yMin = std::min(yMin, p.y), xMax = std::max(xMax, p.x), yMax = std::max(yMax, p.y);
    }
  }
  out.U16(static_cast<int>(glyph.contours.size()));
  out.U16(xMin), out.U16(yMin), out.U16(xMax), out.U16(yMax);
  int end = -1;
  for (const auto& contour : glyph.contours) out.U16(end += static_cast<int>(contour.size()));
  out.U16(0);  // no instructions
  for (const auto& contour : glyph.contours) {
    for (const Point& p : contour) out.U8(p.onCurve ? 1 : 0);
  }
  Point previous;
  for (const auto& contour : glyph.contours) {
    for (const Point& p : contour) out.U16(p.x - previous.x), previous.x = p.x;
  }
  for (const auto& contour : glyph.contours) {
    for (const Point& p : contour) out.U16(p.y - previous.y), previous.y = p.y;
  }
  out.Pad();
  return out.Data();
}

std::uint32_t CheckSum(const QByteArray& table) {
  std::uint32_t sum = 0;
  for (qsizetype i = 0; i < table.size(); i += 4) {
    std::uint32_t word = 0;
    for (qsizetype k = 0; k < 4; ++k) {
      word = (word << 8) | (i + k < table.size() ? static_cast<std::uint8_t>(table[i + k]) : 0u);
    }
    sum += word;
  }
  return sum;
}

// A TrueType file of `glyphs` (the first the glyph for missing characters), one cmap to them.
QByteArray FaceFile(const std::vector<Glyph>& glyphs, int unitsPerEm, int ascent, int descent, const QString& family) {
  std::map<std::string, QByteArray> tables;
  const int count = static_cast<int>(glyphs.size());

  Bytes glyf, loca, hmtx;
  int xMin = 0, yMin = 0, xMax = 0, yMax = 0, maxPoints = 0, maxContours = 0, widest = 0;
  for (const Glyph& glyph : glyphs) {
    loca.U32(static_cast<std::uint32_t>(glyf.Size()));
    int left = 0, bottom = 0, right = 0, top = 0;
    glyf.Append(GlyphData(glyph, left, bottom, right, top));
    xMin = std::min(xMin, left), yMin = std::min(yMin, bottom), xMax = std::max(xMax, right),
    yMax = std::max(yMax, top);
    int points = 0;
    for (const auto& contour : glyph.contours) points += static_cast<int>(contour.size());
    maxPoints = std::max(maxPoints, points);
    maxContours = std::max(maxContours, static_cast<int>(glyph.contours.size()));
    widest = std::max(widest, glyph.advance);
    hmtx.U16(glyph.advance), hmtx.U16(left);
  }
  loca.U32(static_cast<std::uint32_t>(glyf.Size()));
  tables["glyf"] = glyf.Data();
  tables["loca"] = loca.Data();
  tables["hmtx"] = hmtx.Data();

  Bytes head;
  head.U32(0x00010000), head.U32(0x00010000), head.U32(0), head.U32(0x5F0F3CF5);
  head.U16(0x0003), head.U16(unitsPerEm);
  for (int i = 0; i < 8; ++i) head.U16(0);  // created, modified
  head.U16(xMin), head.U16(yMin), head.U16(xMax), head.U16(yMax);
  head.U16(0), head.U16(8), head.U16(2), head.U16(1), head.U16(0);
  tables["head"] = head.Data();

  Bytes hhea;
  hhea.U32(0x00010000), hhea.U16(ascent), hhea.U16(-descent), hhea.U16(0), hhea.U16(widest);
  hhea.U16(xMin), hhea.U16(0), hhea.U16(xMax), hhea.U16(1), hhea.U16(0), hhea.U16(0);
  for (int i = 0; i < 4; ++i) hhea.U16(0);
  hhea.U16(0), hhea.U16(count);
  tables["hhea"] = hhea.Data();

  Bytes maxp;
  maxp.U32(0x00010000), maxp.U16(count), maxp.U16(maxPoints), maxp.U16(maxContours);
  maxp.U16(0), maxp.U16(0), maxp.U16(2);
  for (int i = 0; i < 8; ++i) maxp.U16(0);
  tables["maxp"] = maxp.Data();

  Bytes os2;
  os2.U16(4), os2.U16(widest / 2), os2.U16(400), os2.U16(5), os2.U16(0);
  for (int i = 0; i < 10; ++i) os2.U16(unitsPerEm / 10);
  os2.U16(0);
  for (int i = 0; i < 10; ++i) os2.U8(0);  // PANOSE
  os2.U32(0x0000000F), os2.U32(0), os2.U32(0), os2.U32(0);
  os2.Tag("NONE"), os2.U16(0x0040), os2.U16(0x20), os2.U16(0xFFFF);
  os2.U16(ascent), os2.U16(-descent), os2.U16(0), os2.U16(ascent), os2.U16(descent);
  os2.U32(1), os2.U32(0);
  os2.U16(0), os2.U16(0), os2.U16(0), os2.U16(0x20), os2.U16(1);
  tables["OS/2"] = os2.Data();

  // One segment for each character, and the last one that ends the table.
  std::vector<std::pair<int, int>> codes;  // character, glyph
  for (int i = 1; i < count; ++i) codes.emplace_back(glyphs[static_cast<std::size_t>(i)].code, i);
  std::sort(codes.begin(), codes.end());
  codes.emplace_back(0xFFFF, 0);
  const int segments = static_cast<int>(codes.size());
  int power = 1, log = 0;
  while (power * 2 <= segments) power *= 2, ++log;
  Bytes cmap;
  cmap.U16(0), cmap.U16(1), cmap.U16(3), cmap.U16(1), cmap.U32(12);
  cmap.U16(4), cmap.U16(16 + segments * 8), cmap.U16(0);
  cmap.U16(segments * 2), cmap.U16(power * 2), cmap.U16(log), cmap.U16(segments * 2 - power * 2);
  for (const auto& [code, glyph] : codes) cmap.U16(code);
  cmap.U16(0);
  for (const auto& [code, glyph] : codes) cmap.U16(code);
  for (const auto& [code, glyph] : codes) cmap.U16(code == 0xFFFF ? 1 : glyph - code);
  for (std::size_t i = 0; i < codes.size(); ++i) cmap.U16(0);
  tables["cmap"] = cmap.Data();

  const QString names[] = {family, QStringLiteral("Regular"), family, QString(family).remove(u' ')};
  const int ids[] = {1, 2, 4, 6};
  Bytes name, strings;
  name.U16(0), name.U16(4), name.U16(6 + 4 * 12);
  for (int i = 0; i < 4; ++i) {
    name.U16(3), name.U16(1), name.U16(0x409), name.U16(ids[i]);
    name.U16(static_cast<int>(names[i].size() * 2)), name.U16(static_cast<int>(strings.Size()));
    strings.Utf16(names[i]);
  }
  name.Append(strings.Data());
  tables["name"] = name.Data();

  Bytes post;
  post.U32(0x00030000), post.U32(0), post.U16(-unitsPerEm / 10), post.U16(unitsPerEm / 20);
  for (int i = 0; i < 5; ++i) post.U32(0);
  tables["post"] = post.Data();

  Bytes file;
  const int numTables = static_cast<int>(tables.size());
  int tablePower = 1, tableLog = 0;
  while (tablePower * 2 <= numTables) tablePower *= 2, ++tableLog;
  file.U32(0x00010000), file.U16(numTables), file.U16(tablePower * 16), file.U16(tableLog);
  file.U16(numTables * 16 - tablePower * 16);
  std::uint32_t offset = static_cast<std::uint32_t>(12 + 16 * numTables);
  for (const auto& [tag, data] : tables) {  // std::map: in the order of their tags
    file.Tag(tag.c_str()), file.U32(CheckSum(data)), file.U32(offset),
        file.U32(static_cast<std::uint32_t>(data.size()));
    offset += static_cast<std::uint32_t>((data.size() + 3) / 4 * 4);
  }
  for (const auto& [tag, data] : tables) {
    file.Append(data);
    file.Pad();
  }
  return file.Data();
}

std::optional<StaffFace> MakeStaffFace() {
  QFont source(QString::fromLatin1(kReadingFace));
  source.setPixelSize(1000);
  QRawFont raw = QRawFont::fromFont(source);
  if (!raw.isValid() || raw.unitsPerEm() < 16) return std::nullopt;
  const int unitsPerEm = static_cast<int>(std::lround(raw.unitsPerEm()));
  raw.setPixelSize(unitsPerEm);  // outlines in units of the em
  const auto inkOf = [&](QStringView text) {
    QRectF box;
    for (const quint32 index : raw.glyphIndexesForString(text.toString()))
      box |= raw.pathForGlyph(index).boundingRect();
    return box;
  };
  const double xHeight = -inkOf(u"x").top();
  const double ascender = -inkOf(u"bdhkl").top();
  const double descender = inkOf(u"gjpqy").bottom();
  if (xHeight <= 0 || ascender <= xHeight || descender <= 0) return std::nullopt;

  std::vector<Glyph> glyphs(1);
  glyphs[0].advance = unitsPerEm / 2;
  QString letters;
  for (char16_t code = 0x20; code < 0x7F; ++code) letters += QChar(code);
  letters += QString::fromStdU16String(std::u16string(kPinyinLetters));
  for (const QChar letter : letters) {
    const QList<quint32> indexes = raw.glyphIndexesForString(QString(letter));
    if (indexes.size() != 1 || indexes[0] == 0) continue;
    const QPainterPath outline = raw.pathForGlyph(indexes[0]);
    // A letter that rises higher than the ascenders (ǘ) is pressed down to the top line as a whole;
    // every descender ends on the bottom line, those of g and y as those of p and q.
    const QRectF ink = outline.boundingRect();
    const Stretch stretch{xHeight, std::max(ascender, -ink.top()),
                          ink.bottom() > xHeight / 4 ? ink.bottom() : descender};
    const QList<QPointF> advances = raw.advancesForGlyphIndexes(indexes);
    glyphs.push_back(
        Glyph{letter.unicode(), static_cast<int>(std::lround(advances[0].x())), Contours(outline, stretch)});
  }
  const QString family = QStringLiteral("Sheet Staff Letters");
  const int id = QFontDatabase::addApplicationFontFromData(FaceFile(
      glyphs, unitsPerEm, static_cast<int>(std::lround(2 * xHeight)), static_cast<int>(std::lround(xHeight)), family));
  if (id < 0 || QFontDatabase::applicationFontFamilies(id).isEmpty()) return std::nullopt;
  return StaffFace{QFontDatabase::applicationFontFamilies(id).front(), static_cast<double>(unitsPerEm), xHeight};
}

}  // namespace

QFont StaffFace::AtBand(double band) const {
  QFont font(family);
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(band * unitsPerEm / xHeight))));
  font.setHintingPreference(QFont::PreferNoHinting);
  font.setKerning(false);
  return font;
}

const std::optional<StaffFace>& StaffLetters() {
  static const std::optional<StaffFace> face = MakeStaffFace();
  return face;
}

}  // namespace mibolan::sheet
