// The program's entry point: answers the command line, or opens the X11 display and runs Tilvane on it.
#include <cstdio>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/PuzzleApp.h"
#include "platform/linux/AfxWinMain.h"
#include "platform/linux/x11/X11Backend.h"
#include "res/TilvaneResources.h"
#include "res/Version.h"

int main(int argc, char** argv) {
  const tilvane::CommandLineAnswer answer =
      tilvane::AnswerCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!answer.runGame) return tilvane::DeliverAnswer(answer);

  std::string error;
  std::unique_ptr<platform::CX11Backend> backend = platform::CX11Backend::Open(nullptr, &error);
  if (!backend) {
    std::fprintf(stderr, "tilvane: %s\n", error.c_str());
    return 1;
  }
  backend->SetProgramName(tilvane::kVersion.productName);
  CPuzzleApp app;
  std::string lostDisplay;
  int status = AfxWinMain(app, *backend, TilvaneResources(), &lostDisplay);
  if (!lostDisplay.empty()) {
    std::fprintf(stderr, "tilvane: %s\n", lostDisplay.c_str());
    return 1;
  }
  return status;
}
