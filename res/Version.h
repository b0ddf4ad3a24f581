// The program's version record: its numbers, version strings, names and maker's notice, kept in one place.
// The build reads the version text and the release date from here too, for the desktop files and the package.
#pragma once

#include "platform/api/Types.h"

namespace tilvane {

// A four-part version number, most significant part first.
struct VersionNumber {
  WORD major;
  WORD minor;
  WORD build;
  WORD revision;
};

// Everything a version record of the program says about it. The About box and the window title read
// from here, so that a new release changes one place only.
struct VersionRecord {
  VersionNumber fileVersion;
  VersionNumber productVersion;
  const char* fileVersionText;
  const char* productVersionText;
  WORD language;  // a Windows language id; 0x0411 is Japanese
  const char* fileDescription;
  const char* internalName;
  const char* productName;
  const char* comments;
  const char* legalCopyright;
};

// The day this version was released, as YYYY-MM-DD: the man page and the AppStream release carry it.
inline constexpr const char* kReleaseDate = "2026-12-09";

inline constexpr const char* kMakerNotice = "Copyright (C) The Tilvane developers";

inline constexpr VersionRecord kVersion{
    .fileVersion = {4, 0, 1, 0},
    .productVersion = {4, 0, 1, 0},
    .fileVersionText = "4.01",
    .productVersionText = "4.01",
    .language = 0x0411,
    .fileDescription = "Tilvane",
    .internalName = "Tilvane",
    .productName = "Tilvane",
    .comments = kMakerNotice,
    .legalCopyright = kMakerNotice,
};

}  // namespace tilvane
