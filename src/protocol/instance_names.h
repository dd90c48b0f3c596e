// The names of the single-instance mutexes and of the exit request, chosen
// by what the platform offers. Where this process holds Veltra's private
// namespace (whose boundary is the Administrators group, so only elevated
// programs and the system account can create or open a name in it) they
// live there; elsewhere (Wine has no private namespaces; a program started
// without elevation cannot enter it) they keep the names every session
// shares with any process. Portable.
#pragma once

#include <string>
#include <vector>

#include "base/decimal.h"
#include "protocol/veltra_protocol.h"

namespace veltra::protocol {

// The alias of the private namespace; its objects are "Veltra\<name>".
inline constexpr wchar_t kPrivateNamespace[] = L"Veltra";

struct InstanceNames {
  std::wstring app_mutex;     // Veltra.exe's, one instance per session
  std::wstring watch_mutex;   // Veltrawatch.exe's, one per session
  std::wstring exit_request;  // this process's exit request
};

// The private namespace spans the sessions (its boundary, not the session,
// sets it apart), so the single-instance names there carry the session;
// a process id names one process in every session.
inline InstanceNames ChooseInstanceNames(bool in_private_namespace, unsigned long session_id,
                                         unsigned long process_id) {
  const std::wstring id = base::DecimalText(process_id);
  if (!in_private_namespace) {
    return {kAppMutex, kWatchMutex, kExitRequestPrefix + id};
  }
  const std::wstring scope = std::wstring(kPrivateNamespace) + L"\\";
  const std::wstring session = L"-" + base::DecimalText(session_id);
  return {scope + kAppMutex + session, scope + kWatchMutex + session, scope + kPrivateExitRequestPrefix + id};
}

// The exit request names the remover tries for `process_id`, in this
// order: the private one where the remover could open the namespace, then
// the shared one of a program that could not enter it (Wine, an older
// version, one started without elevation).
inline std::vector<std::wstring> ExitRequestNamesToTry(bool private_namespace_open, unsigned long process_id) {
  std::vector<std::wstring> names;
  if (private_namespace_open) names.push_back(ChooseInstanceNames(true, 0, process_id).exit_request);
  names.push_back(ChooseInstanceNames(false, 0, process_id).exit_request);
  return names;
}

}  // namespace veltra::protocol
