// The program's entry point on Windows: answers the command line, or runs Tilvane on the desktop.
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/PuzzleApp.h"
#include "platform/win32/AfxWinMain.h"

int main(int argc, char** argv) {
  const tilvane::CommandLineAnswer answer =
      tilvane::AnswerCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!answer.runGame) return tilvane::DeliverAnswer(answer);
  CPuzzleApp app;
  return AfxWinMain(app);
}
