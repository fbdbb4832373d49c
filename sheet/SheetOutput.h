#pragma once

#include <functional>
#include <optional>

#include <QPageSize>
#include <QString>

#include "SheetContent.h"
#include "SheetOptions.h"

class QPagedPaintDevice;

namespace mibolan::sheet {

// Told after each page how many of how many are done; false stops the work.
using Progress = std::function<bool(int done, int total)>;

// The page size of `paper`, for a PDF writer or a printer.
QPageSize PageSizeOf(Paper paper);

// The sheet's title: its first line that is not blank, or the program's name for the sheet.
QString SheetTitle(const SheetContent& content);

// Lays the sheet out for the paper of `device` (a PDF writer or a printer, set to print the
// whole sheet of paper) and paints every page on it. False when painting could not begin or
// `progress` stopped it.
bool PaintSheet(QPagedPaintDevice& device, const SheetContent& content, const SheetOptions& options,
                const Progress& progress = {});

// Writes the sheet as a PDF to `path` on the paper of `options`: a file, standard output ("-"),
// a character device or a pipe (see PdfDestination). A file that was there is replaced only once
// the whole sheet has been written. The reason when it could not be written.
std::optional<QString> WritePdf(const QString& path, const SheetContent& content, const SheetOptions& options,
                                const Progress& progress = {});

}  // namespace mibolan::sheet
