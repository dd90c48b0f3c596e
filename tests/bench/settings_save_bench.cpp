// The exit's save of the whole settings record: into a copy that then
// takes the file's place in one step (what Veltra does), against every key
// written straight into the file one after the other (a save that a
// process ended in the middle leaves cut short). Both start from the same
// saved file, in the same run; run by scripts/bench, reported not judged.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/ini_store.h"
#include "bench_timing.h"
#include "core/settings.h"

namespace {

using veltra::ProfileStore;

// Each key straight into the file, as the profile functions write it.
class DirectProfile final : public ProfileStore {
 public:
  explicit DirectProfile(std::wstring path) : path_(std::move(path)) {}
  std::int32_t ReadInt(std::wstring_view, std::wstring_view, std::int32_t fallback) override { return fallback; }
  std::wstring ReadString(std::wstring_view, std::wstring_view, std::wstring_view fallback) override {
    return std::wstring(fallback);
  }
  bool WriteString(std::wstring_view section, std::wstring_view key, std::wstring_view value) override {
    const std::wstring s(section), k(key), v(value);
    return ::WritePrivateProfileStringW(s.c_str(), k.c_str(), v.c_str(), path_.c_str()) != FALSE;
  }

 private:
  std::wstring path_;
};

constexpr int kRounds = 15;

template <class Save>
double MedianMilliseconds(Save save) {
  std::vector<double> rounds;
  for (int i = 0; i < kRounds; ++i) rounds.push_back(veltra::bench::MicrosecondsPerCall(save, 1) / 1000.0);
  return veltra::bench::Median(rounds);
}

}  // namespace

int wmain() {
  wchar_t folder[MAX_PATH + 1] = {};
  if (::GetTempPathW(MAX_PATH + 1, folder) == 0) return 1;
  const std::wstring ini = std::wstring(folder) + L"veltra-bench-save.ini";
  ::DeleteFileW(ini.c_str());
  veltra::Settings settings;
  {
    veltra::IniFileStore store(ini);
    veltra::LoadSettings(settings, store, {});
    if (!veltra::SaveSettings(settings, store)) {
      std::printf("could not write %ls\n", ini.c_str());
      return 1;
    }
  }
  int keys = 0;
  for (const veltra::KeyDef& def : veltra::SettingsKeyTable()) keys += def.saved ? 1 : 0;

  const double copy_ms = MedianMilliseconds([&] {
    veltra::IniFileStore store(ini);
    veltra::SaveSettings(settings, store);
  });
  const double direct_ms = MedianMilliseconds([&] {
    DirectProfile store(ini);
    veltra::SaveSettings(settings, store);
  });
  ::DeleteFileW(ini.c_str());
  std::printf("%d rounds, medians; %d keys a save\n", kRounds, keys);
  std::printf("each key straight into the file: %8.2f ms\n", direct_ms);
  std::printf("into a copy, then moved over it: %8.2f ms, ratio %.2f\n", copy_ms, copy_ms / direct_ms);
  std::printf("result: exit's save, %d keys | %.2f ms | %.2f ms | %.2f\n", keys, copy_ms, direct_ms,
              copy_ms / direct_ms);
  return 0;
}
