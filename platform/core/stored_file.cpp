// Writing a file whole: a temporary file is written and synced, then renamed over the old one,
// so a crash leaves the old file or the new one, never a torn one. Reading one whole, and moving a
// damaged one aside.
#include "platform/core/stored_file.h"

#include <fcntl.h>
#include <unistd.h>
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace platform {
namespace fs = std::filesystem;
namespace {

bool writeAll(int fd, const std::string& text) {
  size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<size_t>(n);
  }
  return true;
}

// The directory entry of a rename is durable only once the directory itself is synced.
void syncDirectory(const fs::path& directory) {
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Renames without ever replacing a file already at `to`: false with EEXIST when one is there.
bool renameNoReplace(const fs::path& from, const fs::path& to) {
#ifdef RENAME_NOREPLACE
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
#endif
  // A file system without the flag (or the page's, with no such call): look first (two launches
  // racing here is the only risk).
  std::error_code error;
  if (fs::exists(to, error)) {
    errno = EEXIST;
    return false;
  }
  return ::rename(from.c_str(), to.c_str()) == 0;
}

// The page's files live in memory until its shell copies them to the browser's storage: it is told
// of every change.
void tellPageOfChange() {
#ifdef __EMSCRIPTEN__
  EM_ASM({
    if (Module.tidewickStored) Module.tidewickStored();
  });
#endif
}

}  // namespace

fs::path gameFolder(const char* variable, const fs::path& underHome) {
  const char* base = std::getenv(variable);
  if (base && *base) return fs::path(base) / "tidewick";
  if (const char* home = std::getenv("HOME"); home && *home) {
    return fs::path(home) / underHome / "tidewick";
  }
  return fs::path(".") / "tidewick";
}

fs::path stateFolder() {
  return gameFolder("XDG_STATE_HOME", ".local/state");
}

std::optional<std::string> readWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every damaged file keeps a name of its own: a second one in the same second gets "-2", and so
// on, never the first one's.
void moveAside(const fs::path& path, const std::string& fault, const std::string& consequence) {
  const auto stamp = std::chrono::duration_cast<std::chrono::seconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
  const std::string base = path.string() + ".corrupt-" + std::to_string(stamp);
  fs::path aside = base;
  bool moved = renameNoReplace(path, aside);
  for (int copy = 2; !moved && errno == EEXIST; ++copy) {
    aside = base + "-" + std::to_string(copy);
    moved = renameNoReplace(path, aside);
  }
  if (!moved) {
    std::fprintf(stderr, "tidewick: %s %s, and could not be moved aside (%s)\n", path.c_str(),
                 fault.c_str(), std::strerror(errno));
  } else {
    std::fprintf(stderr, "tidewick: %s %s; it was moved to %s and %s\n", path.c_str(),
                 fault.c_str(), aside.c_str(), consequence.c_str());
  }
}

bool writeWhole(const fs::path& path, const std::string& text, const std::string& what) {
  std::error_code error;
  fs::create_directories(path.parent_path(), error);
  fs::path temporary = path;
  temporary += ".tmp";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  bool ok = fd >= 0 && writeAll(fd, text) && ::fsync(fd) == 0;
  if (fd >= 0) ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) {
    std::fprintf(stderr, "tidewick: could not save %s to %s: %s\n", what.c_str(), path.c_str(),
                 std::strerror(errno));
    ::unlink(temporary.c_str());
    return false;
  }
  syncDirectory(path.parent_path().empty() ? fs::path(".") : path.parent_path());
  tellPageOfChange();
  return true;
}

bool removeStored(const fs::path& path, const std::string& what) {
  std::error_code error;
  fs::remove_all(path, error);
  if (error) {
    std::fprintf(stderr, "tidewick: could not remove %s at %s: %s\n", what.c_str(), path.c_str(),
                 error.message().c_str());
    return false;
  }
  tellPageOfChange();
  return true;
}

}  // namespace platform
