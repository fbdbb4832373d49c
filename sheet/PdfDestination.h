#pragma once

#include <memory>
#include <optional>

#include <QFile>
#include <QSaveFile>
#include <QString>

namespace mibolan::sheet {

// Where a PDF goes, opened for writing. A regular file (or a name that is not there yet) is
// written beside it and renamed over it only once the whole PDF is there, so that a failure
// leaves the old file as it was, permissions included. Standard output ("-"), a character
// device or a pipe is written directly: renaming over those would replace them with a file.
// Anything else (a folder, a socket, a block device) is refused.
class PdfDestination {
 public:
  explicit PdfDestination(const QString& path);

  // Where to write, or null when the destination could not be opened (Problem() says why).
  QIODevice* Device();
  QString Problem() const { return problem_; }

  // Makes the PDF final: renames it over the old file, or flushes what is written directly.
  // The reason when that fails.
  std::optional<QString> Commit();

  // Drops what was written where that is possible: a regular file keeps its old content.
  void Cancel();

 private:
  std::unique_ptr<QSaveFile> replaced_;  // a regular file, replaced once complete
  std::unique_ptr<QFile> direct_;        // standard output, a device or a pipe
  QString problem_;
};

}  // namespace mibolan::sheet
