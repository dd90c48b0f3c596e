// Icons taken from a file by index, and how many a file holds, for the
// icon picker and the state icons.
#include "ui/file_icons.h"

#include <shellapi.h>

#include <algorithm>

namespace veltra::ui {

UniqueHicon ExtractFileIcon(HINSTANCE instance, const std::wstring& file, std::int32_t index) {
  if (file.empty() || index < 0) return {};
  const HICON icon = ::ExtractIconW(instance, file.c_str(), static_cast<UINT>(index));
  if (reinterpret_cast<UINT_PTR>(icon) <= 1) return {};
  return UniqueHicon(icon);
}

std::uint32_t FileIconCount(HINSTANCE instance, const std::wstring& file) {
  const auto answer = reinterpret_cast<UINT_PTR>(::ExtractIconW(instance, file.c_str(), UINT_MAX));
  return static_cast<std::uint32_t>(std::min<UINT_PTR>(answer, UINT32_MAX));
}

}  // namespace veltra::ui
