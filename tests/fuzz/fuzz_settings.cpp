// Any settings file content: loading must give normalised values within
// their limits, and a save must read back to the same record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "../common/fake_profile.h"
#include "base/profile_section.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using veltra::testing::FakeProfile;
  FakeProfile profile;
  const auto table = veltra::SettingsKeyTable();
  // Each record: one byte picks a key, one byte a length, then the value.
  std::size_t i = 0;
  while (i + 2 <= size) {
    const auto& def = table[data[i] % table.size()];
    std::size_t length = data[i + 1];
    if (data[i + 1] == 255) length = 2000;  // reach the string limit now and then
    i += 2;
    std::wstring value;
    for (std::size_t n = 0; n < length; ++n) value.push_back(static_cast<wchar_t>(i + n < size ? data[i + n] : L'x'));
    i += std::min(length, size - i);
    profile.Set(def.section, def.key, value);
  }
  // The same bytes as a section the platform read whole: every key of the
  // table looked up in it, as a load by sections does.
  std::wstring lines(data, data + size);
  const base::ProfileSection section(lines);
  for (const auto& def : table) {
    if (section.String(def.key, L"").size() > lines.size()) std::abort();
    section.Int(def.key, 0);
  }

  veltra::Settings settings;
  veltra::LoadSettings(settings, profile, {96, 96, 0, 0});
  if (settings.always_top > 1 || settings.touch_status > 1 || settings.redraw_traynotifywnd > 1) std::abort();
  if (settings.enable_font.lfFaceName.size() > veltra::kFaceNameMax) std::abort();
  if (settings.dialog_enable_txt.size() > veltra::kIniStringMax) std::abort();

  FakeProfile saved;
  veltra::SaveSettings(settings, saved);
  veltra::Settings again;
  veltra::LoadSettings(again, saved, {96, 96, 0, 0});
  if (again.transparent != settings.transparent || again.enable_font.lfCharSet != settings.enable_font.lfCharSet ||
      again.device_instance_path != settings.device_instance_path || again.palette != settings.palette) {
    std::abort();
  }
  return 0;
}
