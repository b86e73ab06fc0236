#include "platform/run_log.h"

#include <cstdio>

#include "platform/file.h"
#include "platform/host.h"

namespace vm {

void RunLog::Append(std::string_view line) const {
  if (path_.empty()) return;
  File file;
  if (!file.Open(path_, OpenMode::Append, Links::Replace)) return;
  std::string text(line);
  text += "\r\n";
  file.Write(text);
}

void RunLog::WriteLog(std::string_view text) const {
  if (path_.empty()) return;
  if (text.empty()) {
    Append("");
    return;
  }
  DateTime now = LocalNow();
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%02d/%02d %02d:%02d:%02d ", now.day % 100, now.month % 100,
                now.hour % 100, now.minute % 100, now.second % 100);
  Append(std::string(stamp) + std::string(text));
}

void RunLog::WriteLogBreak() const { Append(""); }

}  // namespace vm
