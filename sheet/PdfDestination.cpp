#include "PdfDestination.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace mibolan::sheet {
namespace {

QString ErrnoText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

}  // namespace

PdfDestination::PdfDestination(const QString& path) {
  if (path == QStringLiteral("-")) {
    if (::isatty(STDOUT_FILENO)) {
      problem_ = QStringLiteral("standard output is a terminal; a PDF is meant for a file or a pipe");
      return;
    }
    direct_ = std::make_unique<QFile>();
    if (!direct_->open(STDOUT_FILENO, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
      problem_ = direct_->errorString();
    return;
  }
  struct stat file {};
  const QByteArray name = QFile::encodeName(path);
  const bool exists = ::stat(name.constData(), &file) == 0;
  if (!exists && errno != ENOENT) {
    problem_ = ErrnoText(errno);
    return;
  }
  if (!exists || S_ISREG(file.st_mode)) {
    replaced_ = std::make_unique<QSaveFile>(path);
    if (!replaced_->open(QIODevice::WriteOnly)) problem_ = replaced_->errorString();
    return;
  }
  if (S_ISCHR(file.st_mode) || S_ISFIFO(file.st_mode)) {
    direct_ = std::make_unique<QFile>(path);
    if (!direct_->open(QIODevice::WriteOnly)) problem_ = direct_->errorString();
    return;
  }
  problem_ =
      S_ISDIR(file.st_mode) ? ErrnoText(EISDIR) : QStringLiteral("not a regular file, a character device or a pipe");
}

QIODevice* PdfDestination::Device() {
  if (!problem_.isEmpty()) return nullptr;
  if (replaced_) return replaced_.get();
  return direct_.get();
}

std::optional<QString> PdfDestination::Commit() {
  if (!problem_.isEmpty()) return problem_;
  if (replaced_) {
    if (!replaced_->commit()) return replaced_->errorString();
    return std::nullopt;
  }
  // A buffered write that failed shows only now.
  if (!direct_->flush() || direct_->error() != QFileDevice::NoError) return direct_->errorString();
  direct_->close();
  return std::nullopt;
}

void PdfDestination::Cancel() {
  if (replaced_) replaced_->cancelWriting();
}

}  // namespace mibolan::sheet
