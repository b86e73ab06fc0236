#include "shell/queue_window.h"

#include <algorithm>
#include <iterator>
#include <memory>

#include "config/area_table.h"
#include "encode/section_layout.h"
#include "encode/send_queue.h"
#include "platform/file_system.h"
#include "shell/commands.h"
#include "shell/help_contexts.h"
#include "text/cp866.h"
#include "text/text_helpers.h"
#include "tui/application.h"
#include "tui/button.h"
#include "tui/dialog.h"
#include "tui/list_box.h"

namespace vm::shell {

using namespace tui;

namespace {

constexpr size_t kListName = 16;
constexpr int kBarCells = 25;

std::string EncodingName(EncodeFlags flags) {
  if (flags & kEncodeXx) return "XX";
  if (flags & kEncodeMime) return "MIME/Base64";
  if (flags & kEncodeUu) return "UU";
  return Cp866("Текст");
}

// The details of the list's focused entry, drawn beside the list.
class QueueDetails : public Control {
 public:
  QueueDetails(const Rect& area, SendQueue& queue, const AreaTable& areas, const ListBox& list)
      : queue_(queue), areas_(areas), list_(list) {
    local = area;
  }

  void Draw(CellBuffer& out, const Palette& palette, Point origin, bool) override {
    const int item = list_.FocusedItem();
    if (item < 0 || item >= static_cast<int>(queue_.size())) return;
    const QueueEntry& entry = *std::next(queue_.begin(), item);
    const std::vector<std::string> lines =
        QueueDetailLines(entry, areas_, FileSize(entry.path).value_or(0));
    for (size_t i = 0; i < lines.size() && static_cast<int>(i) < local.height; ++i)
      out.PutText(origin.x + local.x, origin.y + local.y + static_cast<int>(i),
                  std::string_view(lines[i]).substr(0, static_cast<size_t>(local.width)),
                  palette[Colours().text]);
  }

 private:
  SendQueue& queue_;
  const AreaTable& areas_;
  const ListBox& list_;
};

std::vector<std::string> ListLines(const SendQueue& queue) {
  std::vector<std::string> lines;
  for (const QueueEntry& entry : queue) lines.push_back(QueueListLine(entry));
  return lines;
}

}  // namespace

std::string QueueListLine(const QueueEntry& entry) {
  return FieldPad(kListName, 0, entry.postedName) +
         ((entry.flags & kSendImmediately) ? "\xFB" : " ");
}

std::string QueueBarText(int64_t done, int64_t size) {
  done = std::clamp<int64_t>(done, 0, std::max<int64_t>(size, 0));
  std::string bar = "[";
  for (int i = 1; i <= kBarCells; ++i)
    bar.push_back(size > 0 && i <= done * kBarCells / size ? '\xFE' : '\xFA');
  bar += "]";
  const int64_t percent = size > 0 ? done * 100 / size : 0;
  const std::string text = std::to_string(percent) + "%";
  bar.replace(static_cast<size_t>(1 + (kBarCells - static_cast<int>(text.size())) / 2), text.size(),
              text);
  return bar;
}

std::vector<std::string> QueueDetailLines(const QueueEntry& entry, const AreaTable& areas,
                                          int64_t fileSize) {
  const int index = areas.FindAreaByAreaId(entry.areaId);
  std::vector<std::string> lines;
  lines.push_back(index != 0 ? areas.At(index).displayName + " (" + areas.At(index).tag + ")"
                             : entry.areaId);
  lines.push_back("");
  lines.push_back(Cp866("Тип:     ") + EncodingName(entry.flags));
  lines.push_back(Cp866("Кому:    ") + entry.toName);
  lines.push_back(Cp866("Куда:    ") + FormatNetAddress(entry.destAddress));
  lines.push_back(Cp866("От кого: ") + entry.fromName);
  lines.push_back(Cp866("Откуда:  ") + FormatNetAddress(entry.origAddress));
  lines.push_back(Cp866("Секций в сутки: ") +
                  std::to_string(entry.allowedToday != 0 ? entry.allowedToday : entry.sentToday));
  lines.push_back("");
  if (entry.flags & kSingleSection)
    lines.push_back(Cp866("Секция ") + std::to_string(SectionNumber(entry)));
  else
    lines.push_back(QueueBarText(entry.offset, fileSize));
  return lines;
}

void RunQueueWindow(Application& app, SendQueue& queue, const AreaTable& areas) {
  ReleaseSections(queue, areas);
  Dialog dialog(76, 19, Cp866("Очередь файлов"));
  dialog.helpContext = hc::kQueueWindow;
  auto& list = dialog.Add(std::make_unique<ListBox>(2, 2, 20, 14));
  dialog.Add(std::make_unique<QueueDetails>(Rect{24, 2, 50, 12}, queue, areas, list));
  dialog.Add(std::make_unique<Button>(24, 16, 10, Cp866("O~k~"), tui::cmd::kOk));
  dialog.Add(std::make_unique<Button>(36, 16, 22, Cp866("Послать немедленно"), cmd::kQueueSendNow));
  dialog.Add(std::make_unique<Button>(60, 16, 12, Cp866("Удалить"), cmd::kQueueRemove));
  dialog.SetDefaultCommand(tui::cmd::kOk);
  list.SetItems(ListLines(queue));
  dialog.SetBeforeClose([&](int command) {
    if (command != cmd::kQueueSendNow && command != cmd::kQueueRemove) return true;
    const int item = list.FocusedItem();
    if (item < 0) return false;
    const auto entry = std::next(queue.begin(), item);
    if (command == cmd::kQueueSendNow)
      entry->flags ^= kSendImmediately;
    else
      RemoveQueueEntry(queue, entry);
    list.SetItems(ListLines(queue));
    return false;
  });
  app.Execute(dialog);
}

}  // namespace vm::shell
