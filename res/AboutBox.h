// Dialog template 100: the About box with the program's name, version and maker.
#pragma once

#include "platform/api/Resources.h"

namespace tilvane {
platform::DialogResource AboutBoxTemplate();
}
