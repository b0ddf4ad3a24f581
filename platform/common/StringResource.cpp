// String resources: texts of the current resource set, addressed by id.
#include "platform/api/StringResource.h"

#include <algorithm>
#include <cstring>

#include "platform/api/Resources.h"

int LoadString(UINT nID, char* lpBuffer, int cchBufferMax) {
  if (!lpBuffer || cchBufferMax <= 0) return 0;
  lpBuffer[0] = '\0';
  const platform::ResourceSet* resources = platform::CurrentResources();
  if (!resources) return 0;
  auto it = resources->strings.find(nID);
  if (it == resources->strings.end()) return 0;
  std::size_t length = std::min(it->second.size(), static_cast<std::size_t>(cchBufferMax - 1));
  std::memcpy(lpBuffer, it->second.data(), length);
  lpBuffer[length] = '\0';
  return static_cast<int>(length);
}
