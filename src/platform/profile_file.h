// A section of a profile (".ini") file through the platform's section read.
#pragma once

#include <string>

#include "base/profile_section.h"

namespace veltra {

// The section's keys as one read of the file finds them; an empty section
// when the file or the section is missing.
base::ProfileSection ReadProfileSection(const std::wstring& file, const std::wstring& section);

}  // namespace veltra
