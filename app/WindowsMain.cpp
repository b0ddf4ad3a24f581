// The program's entry point on Windows: answers the command line in a message box, or runs Tilvane on the
// desktop.
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/PuzzleApp.h"
#include "platform/win32/AfxWinMain.h"
#include "platform/win32/Utf16.h"
#include "res/Version.h"

namespace {

// The arguments after the program's name, from the command line as Windows keeps it (UTF-16), so that a
// file name in any script survives.
std::vector<std::string> Arguments() {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; wide && i < count; ++i) args.push_back(platform::Narrow(wide[i]));
  LocalFree(wide);
  return args;
}

// A program without a console answers in a message box: the help and the version as information, anything
// else (a file dropped on the icon, say) as an error.
int ShowAnswer(const tilvane::CommandLineAnswer& answer) {
  const bool mistake = answer.status != 0;
  std::string text = mistake ? answer.err : answer.out;
  while (!text.empty() && text.back() == '\n') text.pop_back();
  MessageBoxW(nullptr, platform::Widen(text).c_str(), platform::Widen(tilvane::kVersion.productName).c_str(),
              MB_OK | (mistake ? MB_ICONERROR : MB_ICONINFORMATION));
  return answer.status;
}

}  // namespace

int main() {
  const tilvane::CommandLineAnswer answer = tilvane::AnswerCommandLine(Arguments(), "the Windows desktop");
  if (!answer.runGame) return ShowAnswer(answer);
  CPuzzleApp app;
  return AfxWinMain(app);
}
