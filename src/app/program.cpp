#include "app/program.h"

#include "platform/console.h"
#include "text/cp866.h"

namespace vm {

int RunProgram(int argc, char** argv) {
  ProcessConsole().WriteLine(" Veldmark v1.61.40 Win32b");
  return 0;
}

}  // namespace vm
