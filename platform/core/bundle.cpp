// Finding the bundle folder and the resources in it.
#include "platform/core/bundle.h"

#include <memory>
#include <utility>

namespace platform {

namespace {

std::unique_ptr<Bundle> sMainBundle;

// In a build tree the bundle is ../bundle from the executable's folder; installed, it is where
// the install put it under the same prefix (../share/tidewick).
std::filesystem::path besideExecutable() {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return "bundle";
  const std::filesystem::path built = executable.parent_path().parent_path() / "bundle";
  if (std::filesystem::is_directory(built, error)) return built;
  return (executable.parent_path() / TIDEWICK_INSTALLED_BUNDLE).lexically_normal();
}

}  // namespace

Bundle& Bundle::mainBundle() {
  if (!sMainBundle) sMainBundle.reset(new Bundle(besideExecutable()));
  return *sMainBundle;
}

void Bundle::useFolder(const std::filesystem::path& folder) {
  sMainBundle.reset(new Bundle(folder));
}

std::string Bundle::pathForResource(const std::string& name, const std::string& type) const {
  if (!isResourceName(name + "." + type)) return {};
  const std::filesystem::path path = folder_ / (name + "." + type);
  std::error_code error;
  return std::filesystem::is_regular_file(path, error) ? path.string() : std::string();
}

void Bundle::whenWhole(std::function<void()> then) {
  if (whole_) {
    then();
  } else {
    waiting_.push_back(std::move(then));
  }
}

void Bundle::arrived() {
  if (whole_) return;
  whole_ = true;
  for (const auto& then : std::exchange(waiting_, {})) then();
}

bool isResourceName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

}  // namespace platform
