// The watcher's lists and decision.
#include "watch/watch_rules.h"

#include <algorithm>

#include "base/list_file.h"

namespace veltra::watch {
namespace {

bool Listed(const std::vector<std::string>& list, std::string_view path) {
  return std::find(list.begin(), list.end(), path) != list.end();
}

}  // namespace

std::vector<std::string> ReadProcessList(std::string_view file, CaseFolder upper) {
  std::vector<std::string> list;
  base::ReadListEntries(file, [&](std::string_view entry) {
    std::string path(entry);
    upper(path);
    list.push_back(std::move(path));
    return false;
  });
  return list;
}

std::uint32_t WatchInterval(std::int64_t stored) {
  return stored >= 10 && stored <= 60000 ? static_cast<std::uint32_t>(stored) : kDefaultInterval;
}

bool ReshowIcon(const std::function<bool(IconCall)>& shell) {
  return shell(IconCall::Modify) || shell(IconCall::Add);
}

TouchRequest DecideRequest(const ProcessLists& lists, std::optional<std::string_view> upper_path,
                           std::int32_t default_status) {
  // Both lists are searched every time, as a path may stand in both.
  const bool enable = upper_path && Listed(lists.enable, *upper_path);
  const bool disable = upper_path && Listed(lists.disable, *upper_path);
  if (enable) return TouchRequest::Enable;
  if (disable) return TouchRequest::Disable;
  if (default_status == 0) return TouchRequest::Disable;
  if (default_status == 1) return TouchRequest::Enable;
  return TouchRequest::None;
}

}  // namespace veltra::watch
