#include "platform/profile_file.h"

#include <windows.h>

#include <utility>

namespace veltra {

base::ProfileSection ReadProfileSection(const std::wstring& file, const std::wstring& section) {
  std::wstring buffer(4096, L'\0');
  for (;;) {
    const DWORD length = ::GetPrivateProfileSectionW(section.c_str(), buffer.data(),
                                                     static_cast<DWORD>(buffer.size()), file.c_str());
    // size - 2 means the section was cut short.
    if (length + 2 < buffer.size()) {
      buffer.resize(length);
      return base::ProfileSection(std::move(buffer));
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace veltra
