// The questions and messages of the shell's dialogs. In the shell they are message boxes; the
// tests answer them from a script and keep what was asked.
#pragma once

#include <string_view>

namespace vm::tui {
class Application;
}

namespace vm::shell {

class Prompts {
 public:
  virtual ~Prompts() = default;
  virtual bool AskYes(std::string_view question) = 0;  // Yes / No
  virtual bool AskOk(std::string_view warning) = 0;    // OK / Cancel
  virtual void Error(std::string_view message) = 0;
  virtual void Notice(std::string_view message) = 0;
};

class BoxPrompts : public Prompts {
 public:
  explicit BoxPrompts(tui::Application& app) : app_(app) {}

  bool AskYes(std::string_view question) override;
  bool AskOk(std::string_view warning) override;
  void Error(std::string_view message) override;
  void Notice(std::string_view message) override;

 private:
  tui::Application& app_;
};

}  // namespace vm::shell
