// nlohmann's parser walks nesting with a stack of its own; the callback drops every value below
// the cap as it is read, so a deep document never becomes a deep tree.
#include "platform/core/json_reading.h"

namespace platform {

nlohmann::json readJson(std::istream& in, std::string& error) {
  bool tooDeep = false;
  nlohmann::json document;
  try {
    document = nlohmann::json::parse(
        in, [&tooDeep](int depth, nlohmann::json::parse_event_t, nlohmann::json&) {
          if (depth > kMaxJsonDepth) tooDeep = true;
          return depth <= kMaxJsonDepth;
        });
  } catch (const nlohmann::json::exception& fault) {
    // A syntax error says where: "[json.exception.parse_error.101] parse error at line 3,
    // column 5: syntax error ...". A number beyond a double's range does not:
    // "[json.exception.out_of_range.406] number overflow parsing '1e400'".
    const std::string what = fault.what();
    const size_t at = what.find(" at line ");
    const size_t tagEnd = what.find("] ");
    error = "is not JSON: " + what.substr(at != std::string::npos       ? at + 4
                                          : tagEnd != std::string::npos ? tagEnd + 2
                                                                        : 0);
    return nlohmann::json(nlohmann::json::value_t::discarded);
  }
  if (tooDeep) {
    error = "nests deeper than " + std::to_string(kMaxJsonDepth) + " levels";
    document = nlohmann::json(nlohmann::json::value_t::discarded);
  }
  return document;
}

}  // namespace platform
