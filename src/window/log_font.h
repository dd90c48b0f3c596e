// The settings record's font and the platform's, field by field.
#pragma once

#include <windows.h>

#include "core/settings.h"

namespace veltra {

LOGFONTW ToLogFont(const FontRecord& font);
FontRecord FromLogFont(const LOGFONTW& font);

}  // namespace veltra
