// The command line: the two options answered without opening a window, and the usage for everything else.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tilvane {

// What the program does with its arguments: run the game, or write `out` and `err` and end with `status`.
struct CommandLineAnswer {
  bool runGame = false;
  int status = 0;
  std::string out;
  std::string err;
};

// Where the window opens, as the help says it; on Linux, the X display.
inline constexpr std::string_view kOpensOnTheXDisplay = "the X display that DISPLAY names";

// `args` are the arguments after the program's name. No argument runs the game; --help and --version alone
// answer on standard output with status 0; anything else is a usage error with status 2.
CommandLineAnswer AnswerCommandLine(const std::vector<std::string>& args,
                                    std::string_view opensOn = kOpensOnTheXDisplay);

// Writes the answer's texts and returns its status, or 1 when standard output could not take the text.
int DeliverAnswer(const CommandLineAnswer& answer);

}  // namespace tilvane
