// The resource script (.rc) that windres compiles into the executable, written from the program's resource
// set and version record.
#pragma once

#include <map>
#include <string>

#include "platform/api/Resources.h"
#include "res/Version.h"

namespace tilvane::rc {

// What the script names beside the resource set: the files that hold its pictures (beside the script), the
// application manifest, and the executable's own file name for the version record.
struct ScriptFiles {
  std::map<UINT, std::string> icons;
  std::map<UINT, std::string> cursors;
  std::map<UINT, std::string> bitmaps;
  std::string manifest;
  std::string executable;
};

// UTF-8 text, every resource in the record's language.
std::string ResourceScript(const platform::ResourceSet& set, const VersionRecord& version,
                           const ScriptFiles& files);

}  // namespace tilvane::rc
