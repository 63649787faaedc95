// The application's bundle: the folder of its images, sounds and interface file, found beside
// the executable (../bundle from its folder in a build tree, where the install put it
// otherwise) unless pointed elsewhere.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

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

 private:
  explicit Bundle(std::filesystem::path folder) : folder_(std::move(folder)) {}
  std::filesystem::path folder_;
};

// A resource's name is the name of a file in the bundle's folder, never a path: not empty, no
// "/", not "." or "..". Names from files (the interface file's images) are held to this.
bool isResourceName(std::string_view name);

}  // namespace platform
