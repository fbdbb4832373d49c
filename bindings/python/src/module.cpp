// The engine as the Python extension module mibolan._mibolan. It takes options already checked
// and resolved by mibolan/__init__.py, which is the public face; here are only the conversions,
// each with the GIL released while the engine works.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include <mibolan/ConvertText.h>
#include <mibolan/Dictionary.h>
#include <mibolan/Readings.h>
#include <mibolan/UserWords.h>
#include <mibolan/Utf8Converter.h>

namespace py = pybind11;

namespace {

using UserWordsPtr = std::shared_ptr<mibolan::UserWords>;

// The options as the Python side hands them over; `userWords` is kept alive by whoever holds
// the options.
mibolan::ConversionOptions MakeOptions(int style, bool byWord, bool toneSandhi, bool keepLines,
                                       const UserWordsPtr& userWords, bool replace = false, unsigned threads = 0) {
  mibolan::ConversionOptions options;
  options.illFormed = replace ? mibolan::IllFormed::Replace : mibolan::IllFormed::Report;
  options.threads = threads;
  options.style = static_cast<mibolan::Style>(style);
  options.readBy = byWord ? mibolan::ReadBy::Word : mibolan::ReadBy::Character;
  options.toneSandhi = toneSandhi;
  options.lineBreaks = keepLines ? mibolan::LineBreaks::Keep : mibolan::LineBreaks::Drop;
  options.userWords = userWords.get();
  return options;
}

// A str as UTF-8 (a lone surrogate raises Python's own UnicodeEncodeError, with its position),
// or the bytes of a bytes object. The view lives as long as the object.
std::string_view Utf8Of(py::handle text) {
  if (PyUnicode_Check(text.ptr())) {
    Py_ssize_t size = 0;
    const char* data = PyUnicode_AsUTF8AndSize(text.ptr(), &size);
    if (!data) throw py::error_already_set();
    return {data, static_cast<std::size_t>(size)};
  }
  if (PyBytes_Check(text.ptr())) {
    return {PyBytes_AS_STRING(text.ptr()), static_cast<std::size_t>(PyBytes_GET_SIZE(text.ptr()))};
  }
  throw py::type_error("expected str or bytes, not " + std::string(Py_TYPE(text.ptr())->tp_name));
}

[[noreturn]] void RaiseDecodeError(py::bytes object, std::uint64_t offset, bool truncated) {
  const std::string reason = (truncated ? "truncated UTF-8 sequence" : "invalid UTF-8") +
                             std::string(" at byte offset ") + std::to_string(offset);
  py::object error =
      py::reinterpret_borrow<py::object>(PyExc_UnicodeDecodeError)("utf-8", object, offset, offset + 1, reason);
  PyErr_SetObject(PyExc_UnicodeDecodeError, error.ptr());
  throw py::error_already_set();
}

// Output is whole characters, so it always decodes.
py::str ToStr(const std::string& utf8) { return py::str(utf8.data(), utf8.size()); }

// One text that arrives in pieces. The engine's object must not be used from two threads at
// once, and the GIL is released while it works: a second caller is refused instead.
class Converter {
 public:
  Converter(int style, bool byWord, bool toneSandhi, bool keepLines, UserWordsPtr userWords, bool replace)
      : userWords_(std::move(userWords)),
        converter_(MakeOptions(style, byWord, toneSandhi, keepLines, userWords_, replace)) {}

  py::str Feed(py::handle piece) {
    const std::string_view bytes = Utf8Of(piece);
    std::string out;
    const bool ok = Run([&] { return converter_.Feed(bytes, out); });
    if (!ok) RaiseDecodeError(py::bytes(bytes.data(), bytes.size()), converter_.ErrorOffset(), false);
    return ToStr(out);
  }

  py::str Finish() {
    std::string out;
    const bool ok = Run([&] { return converter_.Finish(out); });
    if (!ok) RaiseDecodeError(py::bytes(), converter_.ErrorOffset(), converter_.Truncated());
    return ToStr(out);
  }

 private:
  template <class Work>
  bool Run(Work work) {
    if (busy_.exchange(true)) throw std::runtime_error("the Converter is in use by another thread");
    struct Done {
      std::atomic<bool>& busy;
      ~Done() { busy = false; }
    } done{busy_};
    py::gil_scoped_release release;
    return work();
  }

  UserWordsPtr userWords_;
  mibolan::Utf8Converter converter_;
  std::atomic<bool> busy_ = false;
};

// A str is stored as Latin-1, UCS-2 or UCS-4: ConvertText reads the UCS-2 one in place (UTF-16
// when it holds no surrogate), the others widened or cut into surrogate pairs, on two threads
// when the text is long. The UTF-16 output becomes the result without a detour through UTF-8.
// Nothing when the text holds a surrogate (which the UTF-8 path reports) or starts with a
// byte-order mark (which only the UTF-8 path skips, as the converter program does).
std::optional<py::str> ConvertAsUtf16(py::handle text, const mibolan::ConversionOptions& options) {
  if (!PyUnicode_Check(text.ptr())) return std::nullopt;
  const int kind = PyUnicode_KIND(text.ptr());
  const void* data = PyUnicode_DATA(text.ptr());
  const auto length = static_cast<std::size_t>(PyUnicode_GET_LENGTH(text.ptr()));
  std::u16string out;
  {
    py::gil_scoped_release release;
    std::u16string copy;
    std::u16string_view units;
    if (kind == PyUnicode_2BYTE_KIND) {
      units = {static_cast<const char16_t*>(data), length};
    } else if (kind == PyUnicode_1BYTE_KIND) {
      const auto* latin1 = static_cast<const Py_UCS1*>(data);
      copy.assign(latin1, latin1 + length);
      units = copy;
    } else {
      copy.reserve(length);
      for (const Py_UCS4 c : std::span(static_cast<const Py_UCS4*>(data), length)) {
        if (c > 0xFFFF) {
          copy += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
          copy += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
          if (c >= 0xD800 && c <= 0xDFFF) return std::nullopt;
          copy += static_cast<char16_t>(c);
        }
      }
      units = copy;
    }
    if (kind == PyUnicode_2BYTE_KIND &&
        std::ranges::any_of(units, [](char16_t u) { return u >= 0xD800 && u <= 0xDFFF; })) {
      return std::nullopt;
    }
    if (!units.empty() && units.front() == u'\uFEFF') return std::nullopt;
    out = mibolan::ConvertText(units, options);
  }
  // Characters beyond the basic plane come out as surrogate pairs, which only a decoder joins.
  int order = std::endian::native == std::endian::little ? -1 : 1;
  PyObject* result =
      kind == PyUnicode_4BYTE_KIND
          ? PyUnicode_DecodeUTF16(reinterpret_cast<const char*>(out.data()), static_cast<Py_ssize_t>(out.size() * 2),
                                  "strict", &order)
          : PyUnicode_FromKindAndData(PyUnicode_2BYTE_KIND, out.data(), static_cast<Py_ssize_t>(out.size()));
  if (!result) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(result);
}

py::str Convert(py::handle text, int style, bool byWord, bool toneSandhi, bool keepLines, const UserWordsPtr& userWords,
                bool replace, unsigned threads) {
  const mibolan::ConversionOptions options =
      MakeOptions(style, byWord, toneSandhi, keepLines, userWords, replace, threads);
  if (std::optional<py::str> converted = ConvertAsUtf16(text, options)) return *converted;
  const std::string_view bytes = Utf8Of(text);
  mibolan::Utf8Converter converter(options);
  std::string out;
  bool ok = false;
  {
    py::gil_scoped_release release;
    ok = converter.Feed(bytes, out) && converter.Finish(out);
  }
  if (!ok) RaiseDecodeError(py::bytes(bytes.data(), bytes.size()), converter.ErrorOffset(), converter.Truncated());
  return ToStr(out);
}

// A str's code points, which ReadText takes as UTF-16; a lone surrogate raises as encoding does.
std::u16string Utf16Of(const py::str& text) {
  const Py_ssize_t length = PyUnicode_GET_LENGTH(text.ptr());
  const int kind = PyUnicode_KIND(text.ptr());
  const void* data = PyUnicode_DATA(text.ptr());
  std::u16string units;
  units.reserve(static_cast<std::size_t>(length));
  for (Py_ssize_t i = 0; i < length; ++i) {
    const Py_UCS4 c = PyUnicode_READ(kind, data, i);
    if (c >= 0xD800 && c <= 0xDFFF) {
      py::object error = py::reinterpret_borrow<py::object>(PyExc_UnicodeEncodeError)("utf-8", text, i, i + 1,
                                                                                      "surrogates not allowed");
      PyErr_SetObject(PyExc_UnicodeEncodeError, error.ptr());
      throw py::error_already_set();
    }
    if (c > 0xFFFF) {
      units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      units += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      units += static_cast<char16_t>(c);
    }
  }
  return units;
}

// Walks a text's code points beside their readings: `visit` gets each code point's position and
// its reading or null. ReadText reads a long text in parts cut after line feeds, which no reading
// looks across, so that the readings never pile up whole; each part starts with the line feed
// before it and the two units before that, the context that the rules look back at.
template <class Visit>
void WalkReadings(const py::str& text, const mibolan::ConversionOptions& options, Visit visit) {
  constexpr std::size_t kPart = std::size_t{1} << 16;
  constexpr std::size_t kContext = 3;
  const std::u16string units = Utf16Of(text);
  const int kind = PyUnicode_KIND(text.ptr());
  const void* data = PyUnicode_DATA(text.ptr());
  Py_ssize_t position = 0;
  std::size_t unit = 0;
  while (unit < units.size()) {
    std::size_t end = units.size();
    if (end - unit > kPart) {
      const std::size_t lineFeed = units.find(u'\n', unit + kPart);
      if (lineFeed != std::u16string::npos) end = lineFeed + 1;
    }
    const std::size_t from = unit < kContext ? 0 : unit - kContext;
    std::vector<mibolan::CharacterReading> readings;
    {
      py::gil_scoped_release release;
      readings = mibolan::ReadText(std::u16string_view(units).substr(from, end - from), options);
    }
    auto next = readings.begin();
    while (next != readings.end() && next->index + from < unit) ++next;
    for (; unit < end; ++position) {
      const bool read = next != readings.end() && next->index + from == unit;
      visit(position, read ? &*next : nullptr);
      if (read) ++next;
      unit += PyUnicode_READ(kind, data, position) > 0xFFFF ? 2u : 1u;
    }
  }
}

// Each distinct syllable becomes one Python object, shared by every character that reads it.
// Found first in a small direct-mapped table keyed by the numbered syllable's bytes packed into a
// number (up to 8 bytes; a longer one would take the slow way), which costs a multiplication
// rather than a string's hash and comparison for each of the millions of characters of a text.
class SyllableCache {
 public:
  explicit SyllableCache(py::function make) : make_(std::move(make)) {}

  // Borrowed: the cache holds the object.
  py::handle Get(const mibolan::CharacterReading& reading) {
    const std::string& numbered = reading.numbered;
    if (numbered.empty() || numbered.size() > sizeof(std::uint64_t)) return Made(reading);
    std::uint64_t key = 0;
    std::memcpy(&key, numbered.data(), numbered.size());
    Slot& slot = slots_[(key * 0x9E3779B97F4A7C15ULL) >> (64 - kSlotBits)];
    if (slot.key != key) slot = {key, Made(reading)};
    return slot.object;
  }

 private:
  static constexpr int kSlotBits = 12;
  struct Slot {
    std::uint64_t key = 0;  // no syllable packs to 0
    py::handle object;
  };

  py::handle Made(const mibolan::CharacterReading& reading) {
    auto [place, added] = made_.try_emplace(reading.numbered);
    if (added) {
      PyObject* decoded = PyUnicode_DecodeUTF16(reinterpret_cast<const char*>(reading.marked.data()),
                                                static_cast<Py_ssize_t>(reading.marked.size() * 2), nullptr, nullptr);
      if (!decoded) throw py::error_already_set();
      const auto marked = py::reinterpret_steal<py::str>(decoded);
      place->second = make_(reading.numbered, marked);
    }
    return place->second;
  }

  py::function make_;
  std::unordered_map<std::string, py::object> made_;
  std::array<Slot, std::size_t{1} << kSlotBits> slots_{};
};

// (character, reading or None, position) for every code point; `syllable(numbered, marked)`
// writes a reading.
py::list Readings(const py::str& text, bool byWord, bool toneSandhi, const UserWordsPtr& userWords,
                  py::function syllable) {
  SyllableCache cache(std::move(syllable));
  py::list out(PyUnicode_GET_LENGTH(text.ptr()));
  WalkReadings(text, MakeOptions(0, byWord, toneSandhi, false, userWords),
               [&](Py_ssize_t i, const mibolan::CharacterReading* reading) {
                 py::object character = py::reinterpret_steal<py::object>(PyUnicode_Substring(text.ptr(), i, i + 1));
                 const py::handle value = reading ? cache.Get(*reading) : py::handle(Py_None);
                 PyList_SET_ITEM(out.ptr(), i, py::make_tuple(character, value, i).release().ptr());
               });
  return out;
}

// One item per character read, and one per run of the others in between: the run itself when
// `runs` is None, else what `runs(run)` gives (a str, a list of them, or None for nothing).
py::list Segments(const py::str& text, bool byWord, bool toneSandhi, const UserWordsPtr& userWords,
                  py::function syllable, py::object runs) {
  SyllableCache cache(std::move(syllable));
  py::list out;
  Py_ssize_t runStart = -1;
  auto endRun = [&](Py_ssize_t end) {
    if (runStart < 0) return;
    py::object run = py::reinterpret_steal<py::object>(PyUnicode_Substring(text.ptr(), runStart, end));
    runStart = -1;
    if (runs.is_none()) {
      out.append(run);
      return;
    }
    py::object handled = runs(run);
    if (handled.is_none()) return;
    if (py::isinstance<py::str>(handled)) {
      out.append(handled);
    } else {
      for (py::handle item : handled) out.append(item);
    }
  };
  WalkReadings(text, MakeOptions(0, byWord, toneSandhi, false, userWords),
               [&](Py_ssize_t i, const mibolan::CharacterReading* reading) {
                 if (!reading) {
                   if (runStart < 0) runStart = i;
                   return;
                 }
                 endRun(i);
                 out.append(cache.Get(*reading));
               });
  endRun(PyUnicode_GET_LENGTH(text.ptr()));
  return out;
}

// mibolan.UserWordsError, a ValueError whose `line` is the bad entry's line (or place in a list).
// The module holds the type; this only borrows it.
py::handle& UserWordsErrorType() {
  static py::handle type;
  return type;
}

template <class Make>
UserWordsPtr MakeUserWords(const char* place, Make make) {
  try {
    py::gil_scoped_release release;
    return std::make_shared<mibolan::UserWords>(make());
  } catch (const mibolan::UserWordsError& error) {
    py::object raised =
        UserWordsErrorType()(std::string(place) + " " + std::to_string(error.line()) + ": " + error.what());
    raised.attr("line") = error.line();
    PyErr_SetObject(UserWordsErrorType().ptr(), raised.ptr());
    throw py::error_already_set();
  }
}

UserWordsPtr UserWordsFromEntries(py::iterable entries) {
  std::vector<mibolan::UserWords::Entry> list;
  for (py::handle entry : entries) {
    auto pair = entry.cast<std::pair<std::string, std::string>>();
    list.push_back({std::move(pair.first), std::move(pair.second)});
  }
  return MakeUserWords("entry", [&] { return mibolan::UserWords(list); });
}

UserWordsPtr UserWordsParse(py::handle text) {
  const std::string_view bytes = Utf8Of(text);
  return MakeUserWords("line", [&] { return mibolan::UserWords::Parse(bytes); });
}

}  // namespace

PYBIND11_MODULE(_mibolan, module) {
  module.doc() = "The compiled engine of the mibolan package; use the package, not this module.";

  UserWordsErrorType() = py::exception<mibolan::UserWordsError>(module, "UserWordsError", PyExc_ValueError).ptr();

  py::class_<mibolan::UserWords, std::shared_ptr<mibolan::UserWords>>(
      module, "UserWords",
      "Words whose reading you decide, chosen wherever they stand in a text read by word, over every\n"
      "word of the built-in list. Immutable: one list serves any number of conversions at once.")
      .def(py::init(&UserWordsFromEntries), py::arg("entries"),
           "From (word, reading) pairs: one syllable per character, separated by blanks, with tone\n"
           "marks (\"zhā liáng yōng\") or digits (\"zha1 liang2 yong1\"); \"v\" may stand for \"ü\".\n"
           "Raises UserWordsError naming the first bad entry's place (from 1).")
      .def_static("parse", &UserWordsParse, py::arg("text"),
                  "From the text (str, or UTF-8 bytes) of a word file: one \"WORD READING\" per line,\n"
                  "\"#\" starts a comment. Raises UserWordsError naming the line of the first problem.")
      .def("__len__", &mibolan::UserWords::size);

  py::class_<Converter>(module, "Converter")
      .def(py::init<int, bool, bool, bool, UserWordsPtr, bool>())
      .def("feed", &Converter::Feed)
      .def("finish", &Converter::Finish);

  module.def("convert", &Convert);
  module.def("readings", &Readings);
  module.def("segments", &Segments);
  module.def("dictionary_text", [] { return mibolan::DictionaryText(); });
}
