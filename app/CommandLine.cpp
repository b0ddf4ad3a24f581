// The command line: the two options answered without opening a window, and the usage for everything else.
#include "app/CommandLine.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "res/Version.h"

namespace tilvane {

namespace {

constexpr int kUsageError = 2;

std::string Usage(std::string_view opensOn) {
  return "Usage: tilvane [--help | --version]\n"
         "\n"
         "Tilvane is a sliding-tile puzzle.\n"
         "Without an option it opens its window on " +
         std::string(opensOn) +
         ".\n"
         "\n"
         "  --help     show this help and exit\n"
         "  --version  show the version and exit\n";
}

}  // namespace

CommandLineAnswer AnswerCommandLine(const std::vector<std::string>& args, std::string_view opensOn) {
  CommandLineAnswer answer;
  if (args.empty()) {
    answer.runGame = true;
  } else if (args.size() == 1 && args[0] == "--help") {
    answer.out = Usage(opensOn);
  } else if (args.size() == 1 && args[0] == "--version") {
    answer.out = std::string(kVersion.productName) + " " + kVersion.productVersionText + "\n";
  } else {
    const std::string& wrong = (args[0] == "--help" || args[0] == "--version") ? args[1] : args[0];
    answer.status = kUsageError;
    answer.err = "tilvane: unexpected argument '" + wrong + "'\n" + Usage(opensOn);
  }
  return answer;
}

int DeliverAnswer(const CommandLineAnswer& answer) {
  std::fputs(answer.err.c_str(), stderr);
  std::fputs(answer.out.c_str(), stdout);
  // A full disk or a closed pipe must not pass for a printed version.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "tilvane: cannot write to standard output: %s\n", std::strerror(errno));
    return 1;
  }
  return answer.status;
}

}  // namespace tilvane
