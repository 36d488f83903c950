#include "common/output_file.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

#include "common/console.h"
#include "common/exit.h"

namespace tarvex {
namespace {

struct PendingOutput {
  std::string temp;
  std::string target;
  mode_t mode = 0644;
  bool live = true;  // false once committed, discarded or superseded
};

// Process-wide list of temporary outputs, in the order they were opened.
std::vector<PendingOutput>& Pending() {
  static std::vector<PendingOutput> pending;
  return pending;
}

// Outputs whose last write failed inside a destructor.
std::vector<std::string>& FailedWrites() {
  static std::vector<std::string> failed;
  return failed;
}

// SIGINT, SIGTERM and SIGHUP remove the pending temporary files and then end
// the process as the signal would have. The handler only reads the list;
// every change to it is made with these signals blocked, so the handler never
// sees a list half changed.
constexpr int kRemovalSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void RemoveTemporariesAndDie(int signal_number) {
  for (const PendingOutput& entry : Pending()) {
    if (entry.live) ::unlink(entry.temp.c_str());
  }
  ::signal(signal_number, SIG_DFL);
  ::raise(signal_number);
}

class SignalsBlocked {
 public:
  SignalsBlocked() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal_number : kRemovalSignals) sigaddset(&set, signal_number);
    ::sigprocmask(SIG_BLOCK, &set, &saved_);
  }
  ~SignalsBlocked() { ::sigprocmask(SIG_SETMASK, &saved_, nullptr); }
  SignalsBlocked(const SignalsBlocked&) = delete;
  SignalsBlocked& operator=(const SignalsBlocked&) = delete;

 private:
  sigset_t saved_;
};

// Installed with the first temporary file; a signal the caller chose to
// ignore (nohup, a shell's background job) stays ignored.
void InstallRemovalHandlers() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  for (int signal_number : kRemovalSignals) {
    struct sigaction current {};
    if (::sigaction(signal_number, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = RemoveTemporariesAndDie;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal_number, &action, nullptr);
  }
}

mode_t DefaultMode() {
  mode_t mask = ::umask(0);
  ::umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The temporary file's name: hidden, beside the target, and within the
// directory's limit on a name (255 bytes on Linux file systems) however long
// the target's name is, so that any name the system allows can be written.
// Empty for a target name past the limit.
std::string TemporaryName(const std::string& target) {
  constexpr std::string_view kSuffix = ".tarvex-XXXXXX";
  const std::string directory = DirectoryOf(target);
  std::string base = target.substr(target.rfind('/') == std::string::npos ? 0 : target.rfind('/') + 1);
  long limit = ::pathconf(directory.c_str(), _PC_NAME_MAX);
  if (limit <= 0) limit = NAME_MAX;
  // A name the directory cannot hold is refused now, not at the rename.
  if (base.size() > static_cast<size_t>(limit)) return {};
  const size_t room = static_cast<size_t>(limit) - 1 - kSuffix.size();
  if (base.size() > room) base.resize(room);
  return directory + "/." + base + std::string(kSuffix);
}

// The kernel's protected_symlinks rule: a link in a sticky folder that
// anyone may write (/tmp) is followed only by the link's owner or when the
// folder's owner owns it. Another user could plant such a link to make us
// replace a file of ours (as root, a root-owned 0600 file): it is refused
// whether or not the running kernel enforces the rule.
void RefuseProtectedLink(const std::string& link, const struct stat& info) {
  const std::string folder = DirectoryOf(link);
  struct stat shared {};
  if (::stat(folder.c_str(), &shared) != 0) return;
  const bool sticky_and_open = (shared.st_mode & S_ISVTX) && (shared.st_mode & S_IWOTH);
  if (!sticky_and_open || info.st_uid == ::geteuid() || info.st_uid == shared.st_uid) return;
  Fatal("Error: " + link + " is a symbolic link of another user in the shared folder " + folder +
        "; it is not followed (remove it or write elsewhere).");
}

// A symbolic link is written through, as opening the link would have done:
// the file at the end of the chain is replaced. A chain that ends in
// nothing (or loops) is not followed: the link itself is replaced.
std::string ResolveTarget(const std::string& path) {
  constexpr int kMostLinks = 40;  // the kernel's limit on a chain
  std::string current = path;
  for (int hop = 0; hop < kMostLinks; ++hop) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0) return path;
    if (!S_ISLNK(info.st_mode)) return current;
    RefuseProtectedLink(current, info);
    char target[PATH_MAX];
    const ssize_t length = ::readlink(current.c_str(), target, sizeof target);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof target) return path;
    const std::string next(target, static_cast<size_t>(length));
    current = next.front() == '/' ? next : DirectoryOf(current) + "/" + next;
  }
  return path;
}

}  // namespace

// A destructor must not end the process; a write that fails here withdraws
// the output and the failure is reported when the outputs are committed.
OutputFile::~OutputFile() {
  if (fd_ < 0) return;
  bool written = WriteOut();
  if (!standard_output_) ::close(fd_);
  fd_ = -1;
  if (!written) Withdraw();
}

bool OutputFile::WriteOut() {
  if (standard_output_) {
    const int error = WriteFileToStandardOutput(buffer_);
    buffer_.clear();
    if (error != 0) errno = error;
    return error == 0;
  }
  std::string_view text = buffer_;
  while (!text.empty()) {
    ssize_t n = ::write(fd_, text.data(), text.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      buffer_.clear();
      return false;
    }
    text.remove_prefix(static_cast<size_t>(n));
  }
  buffer_.clear();
  return true;
}

void OutputFile::Withdraw() {
  SignalsBlocked blocked;
  if (entry_ >= 0 && entry_ < static_cast<int>(Pending().size())) {
    PendingOutput& entry = Pending()[entry_];
    if (entry.live) ::unlink(entry.temp.c_str());
    entry.live = false;
  }
  FailedWrites().push_back(path_);
  entry_ = -1;
}

bool OutputFile::Open(const std::string& path) {
  if (fd_ >= 0) Close();
  path_ = path;
  buffer_.clear();
  standard_output_ = false;
  if (path.empty()) return false;
  if (path == kStandardOutputName) {
    GiveStandardOutputToFile();
    standard_output_ = true;
    fd_ = STDOUT_FILENO;
    entry_ = -1;
    return true;
  }
  std::string target = ResolveTarget(path);
  mode_t mode = DefaultMode();
  struct stat info {};
  if (::stat(target.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return false;
    if (!S_ISREG(info.st_mode)) {
      // Devices and pipes (such as /dev/null) are written directly.
      int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
      if (fd < 0) return false;
      fd_ = fd;
      entry_ = -1;
      return true;
    }
    if (::access(target.c_str(), W_OK) != 0) return false;
    mode = info.st_mode & 07777;
  }
  std::string temp = TemporaryName(target);
  if (temp.empty()) return false;
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back('\0');
  InstallRemovalHandlers();
  SignalsBlocked blocked;
  int fd = ::mkstemp(name.data());
  if (fd < 0) return false;
  ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  temp.assign(name.data());
  // A second output to the same target in one run supersedes the first.
  for (PendingOutput& entry : Pending()) {
    if (entry.live && entry.target == target) {
      ::unlink(entry.temp.c_str());
      entry.live = false;
    }
  }
  Pending().push_back({temp, target, mode, true});
  entry_ = static_cast<int>(Pending().size()) - 1;
  fd_ = fd;
  return true;
}

void OutputFile::Flush() {
  if (fd_ < 0 || WriteOut()) return;
  if (standard_output_) Fatal(std::string("Error: cannot write standard output: ") + std::strerror(errno));
  Fatal("Error: cannot write output file: " + path_);
}

void OutputFile::Close() {
  if (fd_ < 0) return;
  Flush();
  if (!standard_output_) ::close(fd_);
  fd_ = -1;
  entry_ = -1;
}

std::string OpenOutputForLibrary(const std::string& path) {
  if (path == kStandardOutputName)
    Fatal("Error: a binary file cannot be written to standard output; give a file name.");
  OutputFile file;
  if (!file.Open(path)) return {};
  std::string written = ResolveTarget(path);
  for (const PendingOutput& entry : Pending()) {
    if (entry.live && entry.target == written) written = entry.temp;
  }
  file.Close();
  return written;
}

bool RetargetOutput(const std::string& target, const std::string& new_target) {
  const std::string resolved = ResolveTarget(target);
  for (PendingOutput& entry : Pending()) {
    if (entry.live && entry.target == resolved) {
      entry.target = ResolveTarget(new_target);
      return true;
    }
  }
  return false;
}

bool CommitOutputs() {
  SignalsBlocked blocked;
  bool ok = FailedWrites().empty();
  for (const std::string& path : FailedWrites()) ErrLine("Error: cannot write output file: " + path);
  FailedWrites().clear();
  if (!ok) {
    DiscardOutputs();
    return false;
  }
  for (PendingOutput& entry : Pending()) {
    if (!entry.live) continue;
    entry.live = false;
    ::chmod(entry.temp.c_str(), entry.mode);
    if (::rename(entry.temp.c_str(), entry.target.c_str()) != 0) {
      ::unlink(entry.temp.c_str());
      ErrLine("Can't open output file: " + entry.target);
      ok = false;
    }
  }
  Pending().clear();
  return ok;
}

void DiscardOutputs() {
  SignalsBlocked blocked;
  FailedWrites().clear();
  for (PendingOutput& entry : Pending()) {
    if (entry.live) ::unlink(entry.temp.c_str());
    entry.live = false;
  }
  Pending().clear();
}

}  // namespace tarvex
