// Scheduled-task command lines and definition text.
#include "startup/task_commands.h"

#include <cstdint>

#include "base/program_paths.h"

namespace veltra {
namespace {

std::wstring EscapeXmlText(std::wstring_view text) {
  std::wstring escaped;
  for (const wchar_t c : text) {
    switch (c) {
      case L'&': escaped += L"&amp;"; break;
      case L'<': escaped += L"&lt;"; break;
      case L'>': escaped += L"&gt;"; break;
      default: escaped += c; break;
    }
  }
  return escaped;
}

// The program between the quotes schtasks makes double ones of. Inside a
// quoted argument an apostrophe would end them, so such a path goes between
// \" instead, which reaches schtasks as a plain double quote. Every other
// path keeps the single quotes: the form these commands have always been
// registered with on real machines.
std::wstring TaskProgram(std::wstring_view program_path) {
  const wchar_t* quote = program_path.find(L'\'') == std::wstring_view::npos ? L"'" : L"\\\"";
  return quote + std::wstring(program_path) + quote;
}

void AppendUtf16Le(std::string& bytes, std::uint32_t unit) {
  bytes += static_cast<char>(unit & 0xFF);
  bytes += static_cast<char>((unit >> 8) & 0xFF);
}

}  // namespace

std::wstring LogonTaskArguments(bool window_enable) { return window_enable ? L"/T 1 /W 1" : L"/T 1 /W 0"; }

std::wstring QuoteIfBlank(std::wstring_view path) {
  const bool quoted = path.size() >= 2 && path.front() == L'"' && path.back() == L'"';
  if (quoted || path.find(L' ') == std::wstring_view::npos) return std::wstring(path);
  return L"\"" + std::wstring(path) + L"\"";
}

std::wstring CreateBootTaskCommand(std::wstring_view program_path) {
  return L"schtasks.exe /Create /tn " + std::wstring(kBootTaskName) + L" /sc ONSTART /ru system /rl highest /f /tr \"" +
         TaskProgram(program_path) + L" " + kOneShotArguments + L"\" ";
}

std::wstring CreateLogonTaskCommand(std::wstring_view program_path, bool window_enable) {
  return L"schtasks.exe /Create /tn " + std::wstring(kLogonTaskName) + L" /sc ONLOGON /rl highest /f /tr \"" +
         TaskProgram(program_path) + L" " + LogonTaskArguments(window_enable) + L"\" ";
}

std::wstring CreateLockTaskCommand(std::wstring_view xml_path) {
  return L"schtasks.exe /Create /tn " + std::wstring(kLockTaskName) + L" /ru system /f /xml " + QuoteIfBlank(xml_path);
}

std::wstring DeleteTaskCommand(std::wstring_view task_name) {
  return L"schtasks.exe /Delete /tn " + std::wstring(task_name) + L" /F";
}

std::wstring TaskXmlPath(std::wstring_view program_path) {
  const base::ProgramPaths paths = base::SplitProgramPath(program_path);
  return paths.program_dir + paths.app_name + L".xml";
}

std::wstring LockTaskXml(std::wstring_view program_path) {
  return L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
         L"<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\n"
         L"  <Triggers>\n"
         L"    <SessionStateChangeTrigger>\n"
         L"      <StateChange>SessionLock</StateChange>\n"
         L"    </SessionStateChangeTrigger>\n"
         L"  </Triggers>\n"
         L"  <Principals>\n"
         L"    <Principal id=\"Author\">\n"
         L"      <RunLevel>HighestAvailable</RunLevel>\n"
         L"    </Principal>\n"
         L"  </Principals>\n"
         L"  <Settings>\n"
         L"    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>\n"
         L"    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>\n"
         L"  </Settings>\n"
         L"  <Actions Context=\"Author\">\n"
         L"    <Exec>\n"
         L"      <Command>" +
         EscapeXmlText(QuoteIfBlank(program_path)) +
         L"</Command>\n"
         L"      <Arguments>" + std::wstring(kOneShotArguments) + L"</Arguments>\n"
         L"    </Exec>\n"
         L"  </Actions>\n"
         L"</Task>\n";
}

std::string Utf16LeTextFile(std::wstring_view text) {
  std::string bytes = "\xFF\xFE";
  for (const wchar_t c : text) {
    const auto code = static_cast<std::uint32_t>(c);
    if (c == L'\n') AppendUtf16Le(bytes, 0x0D);
    if (code > 0xFFFF) {
      // Only where wchar_t holds whole code points (not on Windows).
      AppendUtf16Le(bytes, 0xD800 + ((code - 0x10000) >> 10));
      AppendUtf16Le(bytes, 0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      AppendUtf16Le(bytes, code);
    }
  }
  return bytes;
}

}  // namespace veltra
