#include "app/pending_parts.h"

#include "platform/fatal.h"
#include "text/cp866.h"

namespace vm {
namespace {

[[noreturn]] void NotInThisBuild(std::string_view what) {
  FatalExit(Cp866("Эта функция недоступна в данной сборке Veldmark: ") + Cp866(what));
}

}  // namespace

void RunShell(RunContext&, const ShellStart&) {
  NotInThisBuild("интерактивная оболочка");
}

}  // namespace vm
