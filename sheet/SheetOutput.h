#pragma once

#include <functional>
#include <optional>

#include <QPageSize>
#include <QString>

#include "SheetOptions.h"
#include "TextPieces.h"

class QPagedPaintDevice;

namespace mibolan::sheet {

// Told after each page how many of how many are done (0 of 0 while the pages are being counted;
// a total of 0 when it is not known); false stops the work.
using Progress = std::function<bool(int done, int total)>;

// What a first pass over a sheet's text finds before any page is painted.
struct SheetPlan {
  int pages = 0;        // 0: not known, the text being a stream too long to be gone through twice
  QString firstLine;    // the first line that is not blank (its beginning, when it is long)
  bool unread = false;  // the text has something besides blanks, but no character with a reading
};

// Why WritePdf refuses a text that has no character to give a reading (only punctuation, Latin
// letters, digits): a sheet of it would teach nothing. A blank text still makes empty paper.
inline constexpr const char* kNothingToRead = "the text has no Chinese character to give a reading";

// The page size of `paper`, for a PDF writer or a printer.
QPageSize PageSizeOf(Paper paper);

// The name of a sheet whose first line that is not blank is `firstLine`: that line, or the
// program's name for the sheet; at most 200 characters, without control characters.
QString SheetTitle(const QString& firstLine);

// The title a sheet's PDF or print job carries: its title line when the sheet prints one, else
// the name of the file its text comes from, else the program's name for the sheet. At most 200
// characters, without control characters.
QString DocumentTitle(const SheetOptions& options, const SheetPlan& plan, const QString& fileName);

// Lays the sheet of `text` out for the paper of `device` (a PDF writer or a printer, set to print
// the whole sheet of paper) and paints it page by page, keeping no page it has painted. The text
// is gone through twice when it can be, first to count the pages for the page numbers; `planned`
// hears what that pass found before painting begins, and stops the work by answering false.
// False when the text could not be read, painting could not begin, or `progress` or `planned`
// stopped it.
bool PaintSheet(QPagedPaintDevice& device, TextSource& text, const SheetOptions& options, const Progress& progress = {},
                const std::function<bool(const SheetPlan&)>& planned = {});

// Writes the sheet as a PDF to `path` on the paper of `options`: a file, standard output ("-"),
// a character device or a pipe (see PdfDestination). A file that was there is replaced only once
// the whole sheet has been written. The reason when it could not be written, kNothingToRead for
// a text whose first pass found nothing to read.
std::optional<QString> WritePdf(const QString& path, TextSource& text, const SheetOptions& options,
                                const Progress& progress = {});

}  // namespace mibolan::sheet
