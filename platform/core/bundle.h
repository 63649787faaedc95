// The application's bundle: the folder of its images, sounds and interface file, found beside
// the executable (../bundle from its folder) unless pointed elsewhere.
#pragma once

#include <filesystem>
#include <string>

namespace platform {

class Bundle {
 public:
  static Bundle& mainBundle();
  // Points the main bundle at another folder (a test's, or one named on a command line).
  static void useFolder(const std::filesystem::path& folder);

  const std::filesystem::path& folder() const { return folder_; }
  // The file of a resource by name and type ("tiptoe", "caf"); empty when there is none.
  std::string pathForResource(const std::string& name, const std::string& type) const;

 private:
  explicit Bundle(std::filesystem::path folder) : folder_(std::move(folder)) {}
  std::filesystem::path folder_;
};

}  // namespace platform
