#include "platform/profile_file.h"

#include <windows.h>

#include <string_view>
#include <vector>

namespace veltra {

base::ProfileSection ReadProfileSection(const std::wstring& file, const std::wstring& section) {
  std::vector<wchar_t> buffer(4096);
  for (;;) {
    const DWORD length = ::GetPrivateProfileSectionW(section.c_str(), buffer.data(),
                                                     static_cast<DWORD>(buffer.size()), file.c_str());
    // size - 2 means the section was cut short.
    if (length + 2 < buffer.size()) return base::ProfileSection(std::wstring_view(buffer.data(), length));
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace veltra
