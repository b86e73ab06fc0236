#include "state/one_page_file.h"

#include <algorithm>

namespace vm {

bool OnePageFile::Rewrite(std::string_view text, bool create) {
  if (text.size() > kPage) return false;
  if (!file_.IsOpen()) {
    // A symbolic link at the name is refused, not followed.
    if (!file_.Open(path_, OpenMode::ReadWrite, Links::Replace) &&
        !(create && file_.Open(path_, OpenMode::CreateNew, Links::Replace)))
      return false;
    size_ = file_.Size();
  }
  if (size_ < 0 || size_ > static_cast<int64_t>(kPage)) return false;
  std::string padded(text);
  padded.resize(std::max(text.size(), static_cast<size_t>(size_)), ' ');
  if (!file_.WriteAt(0, padded.data(), padded.size())) return false;
  size_ = static_cast<int64_t>(padded.size());
  return true;
}

}  // namespace vm
