#include "app/pending_parts.h"

#include "platform/fatal.h"
#include "text/cp866.h"

namespace vm {
namespace {

[[noreturn]] void NotInThisBuild(std::string_view what) {
  FatalExit(Cp866("Эта функция недоступна в данной сборке Veldmark: ") + Cp866(what));
}

}  // namespace

void ProcessQueue(RunContext& run) {
  if (run.state.queue.empty()) return;
  run.console.WriteLine(Cp866("Очередь не обработана: отправка файлов недоступна в данной сборке "
                              "Veldmark, очередь сохранена."));
}

void EnqueueFile(RunContext&, const EncodeRequest&) {
  NotInThisBuild("постановка файла в очередь");
}

void RunShell(RunContext&, const ShellStart&) {
  NotInThisBuild("интерактивная оболочка");
}

}  // namespace vm
