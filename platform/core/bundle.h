// The application's bundle: the folder of its images, sounds and interface file, found beside
// the executable (../bundle from its folder in a build tree, where the install put it
// otherwise) unless pointed elsewhere.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class Bundle {
 public:
  static Bundle& mainBundle();
  // Points the main bundle at another folder (a test's, or one named on a command line).
  static void useFolder(const std::filesystem::path& folder);

  const std::filesystem::path& folder() const { return folder_; }
  // The file of a resource by name and type ("tiptoe", "caf"); empty when there is none or the
  // name is not a resource name.
  std::string pathForResource(const std::string& name, const std::string& type) const;

  // A bundle may come in two parts, where fetching it takes time (the page's): what the first
  // picture needs, then the rest. Until `arrived`, it is not whole.
  bool whole() const { return whole_; }
  void expectRest() { whole_ = false; }
  // Runs `then` once the bundle is whole: at once when it is, else when the rest arrives.
  void whenWhole(std::function<void()> then);
  void arrived();

 private:
  explicit Bundle(std::filesystem::path folder) : folder_(std::move(folder)) {}
  std::filesystem::path folder_;
  bool whole_ = true;
  std::vector<std::function<void()>> waiting_;
};

// A resource's name is the name of a file in the bundle's folder, never a path: not empty, no
// "/", not "." or "..". Names from files (the interface file's images) are held to this.
bool isResourceName(std::string_view name);

}  // namespace platform
