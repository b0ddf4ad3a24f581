// String resources on Windows: the module's string table, in UTF-8 like every text of the program.
#include <algorithm>
#include <string>

#include "platform/api/StringResource.h"
#include "platform/win32/Utf16.h"

int LoadString(UINT nID, char* lpBuffer, int cchBufferMax) {
  if (!lpBuffer || cchBufferMax <= 0) return 0;
  lpBuffer[0] = '\0';
  // With a zero length the system answers with the string itself, read-only and not terminated.
  const wchar_t* text = nullptr;
  const int length = LoadStringW(GetModuleHandleW(nullptr), nID, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || !text) return 0;
  const std::string utf8 = platform::Narrow(std::wstring_view(text, static_cast<std::size_t>(length)));
  const std::size_t copied = std::min(utf8.size(), static_cast<std::size_t>(cchBufferMax - 1));
  utf8.copy(lpBuffer, copied);
  lpBuffer[copied] = '\0';
  return static_cast<int>(copied);
}
