#include "state/add_queue_entry.h"

#include <new>

#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

constexpr size_t kShortestPath = 4;
constexpr size_t kNameWidth = 50;
constexpr size_t kPostedNameWidth = 14;

// A directory text in one spelling: upper case, "\" separators, a trailing backslash.
std::string DirectoryKey(std::string_view dir) {
  std::string key = UpCaseCp866(WithTrailingSlash(dir));
  for (char& c : key)
    if (c == '/') c = '\\';
  return key;
}

// Whether the directory is TEMPPATH, written alike or reaching the same host directory (a
// copy of a file onto itself would truncate it).
bool IsTempPath(std::string_view dir, std::string_view tempPath) {
  return DirectoryKey(dir) == DirectoryKey(tempPath) ||
         HostPath(WithoutTrailingSlash(dir)) == HostPath(WithoutTrailingSlash(tempPath));
}

bool UsedByQueue(const SendQueue& queue, const QueueEntry& self, std::string_view path) {
  for (const QueueEntry& entry : queue)
    if (&entry != &self && EqualNoCaseCp866(entry.path, path)) return true;
  return false;
}

// The copy keeps the file's name and extension, unless another queued file already has
// its copy under that name: then a number is added, so neither copy overwrites the other.
std::string CopyPathFor(const SendQueue& queue, const QueueEntry& self, std::string_view path,
                        std::string_view tempPath) {
  PathParts parts = SplitPath(path);
  std::string dir = UpCaseCp866(WithTrailingSlash(tempPath));
  std::string copy = dir + parts.name + parts.ext;
  for (int n = 1; UsedByQueue(queue, self, copy); ++n)
    copy = dir + parts.name + "~" + std::to_string(n) + parts.ext;
  return copy;
}

// Copies the file into TEMPPATH. Returns the path the entry posts from, or nothing when
// the user gave the entry up.
std::optional<std::string> CopyIntoTempPath(const SendQueue& queue, const QueueEntry& self,
                                            const std::string& path, const QueueContext& context) {
  std::string copy = CopyPathFor(queue, self, path, context.settings.TEMPPATH);
  for (;;) {
    bool existed = FileExists(copy);
    if (CopyFile(path, copy)) return copy;
    if (!existed) RemoveFile(copy);  // a half-written copy must not be posted later
    if (!context.askRetryCopy) {
      context.console.WriteLine(Cp866("Ошибка копирования во временную директорию"));
      return path;
    }
    if (!context.askRetryCopy()) return std::nullopt;
  }
}

NetAddress AddressFromText(std::string_view text, const Settings& settings) {
  return ParseNetAddress(text, settings.address).value_or(NetAddress{});
}

}  // namespace

std::optional<QueuedFile> StampOfFile(std::string_view path) {
  File file;
  if (!file.Open(path, OpenMode::Read)) return std::nullopt;
  const FileState state = file.State();
  if (state.size < 0) return std::nullopt;
  return QueuedFile{state.size, state.modifiedNs};
}

QueueEntry* AddQueueEntry(SendQueue& queue, const QueueEntryRequest& request,
                          const QueueContext& context) {
  if (request.path.size() < kShortestPath) return nullptr;
  try {
    queue.emplace_back();
  } catch (const std::bad_alloc&) {
    context.console.WriteLine(Cp866("Не достаточно памяти"));
    return nullptr;
  }
  QueueEntry& entry = queue.back();

  entry.path = UpCaseCp866(request.path);
  entry.queuedAs = request.queuedAs;
  const std::string& tempPath = context.settings.TEMPPATH;
  if (!tempPath.empty() && !IsTempPath(SplitPath(entry.path).dir, tempPath)) {
    std::optional<std::string> copy = CopyIntoTempPath(queue, entry, entry.path, context);
    if (!copy) {
      queue.pop_back();
      return nullptr;
    }
    // The copy stands for the file as it was queued only when the original had not changed.
    if (*copy != entry.path && (!request.queuedAs || StampOfFile(entry.path) == request.queuedAs))
      entry.queuedAs = StampOfFile(*copy);
    entry.path = *copy;
  }
  if (!request.queuedAs && !entry.queuedAs) entry.queuedAs = StampOfFile(entry.path);

  entry.areaId = UpCaseCp866(WithoutTrailingSlash(request.areaId));
  entry.templatePath = UpCaseCp866(request.templatePath);
  entry.fromName = CutTo(request.fromName, kNameWidth);
  entry.toName = CutTo(request.toName, kNameWidth);
  entry.subject = CutTo(request.subject, kNameWidth);
  entry.postedName = CutTo(request.postedName, kPostedNameWidth);
  entry.offset = request.offset;
  entry.fileSum = request.fileSum;
  entry.flags = request.flags;
  entry.linesPerSection = request.linesPerSection;
  entry.origAddress = AddressFromText(request.origText, context.settings);
  entry.destAddress = AddressFromText(request.destText, context.settings);
  entry.sentToday = request.sentToday;
  entry.allowedToday = (request.flags & kLimitOverride) ? request.sentToday : request.allowance;
  return &entry;
}

}  // namespace vm
