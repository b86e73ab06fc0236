// A temporary node directory for the area reader tests, and the reader context over it.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "config/area_readers.h"
#include "platform/host_path.h"
#include "support/fake_console.h"
#include "support/platform_temp_dir.h"
#include "text/cp866.h"

namespace vm {

class AreaTestNode {
 public:
  // Writes a file (bytes as given) and returns its program path.
  std::string Write(const std::string& name, const std::string& bytes) {
    std::filesystem::create_directories((dir_ / name).parent_path());
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
    return Path(name);
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool Exists(const std::string& name) const { return std::filesystem::exists(dir_ / name); }
  // The program path (CP866, DOS style) of a file in the node.
  std::string Path(const std::string& name) const {
    return ProgramPathFromHost((dir_ / name).string());
  }
  std::string Dir() const { return ProgramPathFromHost(scratch_.path()) + "/"; }

 private:
  ScopedTempDir scratch_;
  const std::filesystem::path dir_ = scratch_.path();
};

// The readers' context over its own settings, table and console.
struct AreaTestContext {
  Settings settings;
  AreaTable areas;
  FakeConsole console;
  AreaReaderContext context{settings, areas, console, 0, {}, false};

  const AreaEntry& Area(const std::string& tag) const {
    int index = areas.FindArea(tag);
    if (index == 0) throw std::runtime_error("no area " + tag);
    return areas.At(index);
  }
};

}  // namespace vm
