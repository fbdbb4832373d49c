#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <stdexcept>

namespace mibolan::testing {

namespace {

struct Pipe {
  int read = -1;
  int write = -1;
};

Pipe MakePipe() {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe2 failed");
  return {fds[0], fds[1]};
}

void CloseIfOpen(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// In the child, as a shell's "<" or ">>" does; a file that cannot be opened ends the child.
void RedirectToFile(int target, const std::string& path, int flags) {
  const int fd = ::open(path.c_str(), flags, 0644);
  if (fd < 0) ::_exit(126);
  ::dup2(fd, target);
  ::close(fd);
}

// In the child, between fork and exec: only async-signal-safe calls.
[[noreturn]] void BecomeChild(const std::string& program, char* const* argv, const ChildSetup& setup, const Pipe& in,
                              const Pipe& out, const Pipe& err) {
  if (setup.inputFile.empty()) {
    ::dup2(in.read, STDIN_FILENO);
  } else {
    RedirectToFile(STDIN_FILENO, setup.inputFile, O_RDONLY);
  }
  if (setup.standardOutput == StandardOutput::Closed) {
    ::close(STDOUT_FILENO);
  } else if (setup.standardOutput == StandardOutput::File) {
    RedirectToFile(STDOUT_FILENO, setup.outputFile, O_WRONLY | O_APPEND | O_CREAT);
  } else {
    ::dup2(out.write, STDOUT_FILENO);
  }
  ::dup2(err.write, STDERR_FILENO);
  ::signal(SIGPIPE, setup.ignoreSigpipe ? SIG_IGN : SIG_DFL);
  ::execv(program.c_str(), argv);
  ::_exit(127);
}

class InputFeeder {
 public:
  explicit InputFeeder(const ChildSetup& setup) : setup_(setup) {
    if (!setup_.inputSource) pending_ = setup_.input;
  }

  // Writes what the pipe takes; false once all input is written (or the child stopped reading).
  bool WriteSome(int fd) {
    for (;;) {
      if (pending_.empty() && (!setup_.inputSource || (pending_ = setup_.inputSource()).empty())) return false;
      const ssize_t written = ::write(fd, pending_.data(), pending_.size());
      if (written < 0) return errno == EAGAIN || errno == EINTR;
      pending_.remove_prefix(static_cast<std::size_t>(written));
    }
  }

 private:
  const ChildSetup& setup_;
  std::string_view pending_;
};

// Reads what is there; false at the end of the stream.
bool ReadSome(int fd, const std::function<void(std::string_view)>& sink) {
  std::array<char, 1 << 16> buffer;
  const ssize_t got = ::read(fd, buffer.data(), buffer.size());
  if (got < 0) return errno == EAGAIN || errno == EINTR;
  if (got == 0) return false;
  sink(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
  return true;
}

}  // namespace

ChildResult RunChild(const std::string& program, const ChildSetup& setup) {
  ::signal(SIGPIPE, SIG_IGN);  // a child that stops reading must not end the test
  Pipe in = MakePipe();
  Pipe out = MakePipe();
  Pipe err = MakePipe();
  if (setup.standardOutput == StandardOutput::ReaderGone) CloseIfOpen(out.read);

  std::vector<std::string> words{program};
  words.insert(words.end(), setup.arguments.begin(), setup.arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) BecomeChild(program, argv.data(), setup, in, out, err);

  CloseIfOpen(in.read);
  CloseIfOpen(out.write);
  CloseIfOpen(err.write);
  for (int fd : {in.write, out.read, err.read}) {
    if (fd >= 0) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  }

  ChildResult result;
  const auto toOut = setup.outputSink ? setup.outputSink : [&](std::string_view bytes) { result.out += bytes; };
  const auto toErr = [&](std::string_view bytes) { result.err += bytes; };
  InputFeeder feeder(setup);
  const auto deadline = std::chrono::steady_clock::now() + setup.timeout;
  while (in.write >= 0 || out.read >= 0 || err.read >= 0) {
    const auto left = deadline - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) {
      result.timedOut = true;
      ::kill(pid, SIGKILL);
      break;
    }
    std::array<pollfd, 3> watched = {{{in.write, POLLOUT, 0}, {out.read, POLLIN, 0}, {err.read, POLLIN, 0}}};
    const int waitMs = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(left).count()) + 1;
    if (::poll(watched.data(), watched.size(), waitMs) < 0 && errno != EINTR) break;
    if (watched[0].revents != 0 && !feeder.WriteSome(in.write)) CloseIfOpen(in.write);
    if (watched[1].revents != 0 && !ReadSome(out.read, toOut)) CloseIfOpen(out.read);
    if (watched[2].revents != 0 && !ReadSome(err.read, toErr)) CloseIfOpen(err.read);
  }
  for (int* fd : {&in.write, &out.read, &err.read}) CloseIfOpen(*fd);

  int status = 0;
  rusage usage{};
  while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  result.exited = WIFEXITED(status);
  result.exitCode = result.exited ? WEXITSTATUS(status) : -1;
  result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  result.maxResidentKiB = usage.ru_maxrss;
  return result;
}

}  // namespace mibolan::testing
