// Prompts for the shell's tests: questions answered from a script, every text shown kept.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "shell/prompts.h"

namespace vm::shell {

// Answers the questions from a script and keeps every text shown, in order.
class ScriptedPrompts : public Prompts {
 public:
  bool AskYes(std::string_view question) override { return Answer(question); }
  bool AskOk(std::string_view warning) override { return Answer(warning); }
  void Error(std::string_view message) override { shown.emplace_back(message); }
  void Notice(std::string_view message) override { shown.emplace_back(message); }

  std::vector<std::string> shown;
  std::deque<bool> answers;

 private:
  bool Answer(std::string_view text) {
    shown.emplace_back(text);
    EXPECT_FALSE(answers.empty()) << "unexpected question";
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace vm::shell
