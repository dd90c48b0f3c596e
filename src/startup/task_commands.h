// The texts of the scheduled tasks: the "schtasks.exe" command lines and
// the lock task's XML definition. Portable, so they are compared byte for
// byte natively.
#pragma once

#include <string>
#include <string_view>

namespace veltra {

inline constexpr wchar_t kBootTaskName[] = L"Veltra_BootTime";
inline constexpr wchar_t kLogonTaskName[] = L"Veltra";
inline constexpr wchar_t kLockTaskName[] = L"Veltra_SessionLock";

// The arguments the tasks start the program with: the boot and lock tasks
// enable the panel and end, the logon task starts the resident program.
inline constexpr wchar_t kOneShotArguments[] = L"/T 1 /O";
std::wstring LogonTaskArguments(bool window_enable);

// What every task is adjusted to after its creation: battery conditions
// off, this priority, and no time limit.
inline constexpr int kTaskPriority = 5;
inline constexpr wchar_t kTaskTimeLimit[] = L"PT0S";

// A path with a blank in double quotes (once), any other as it is.
std::wstring QuoteIfBlank(std::wstring_view path);

// The program path goes in unquoted between the single quotes that
// schtasks turns into double quotes; a path holding an apostrophe, which
// would end those quotes early, goes between escaped double quotes (\")
// instead. Each create command ends with a blank.
std::wstring CreateBootTaskCommand(std::wstring_view program_path);
std::wstring CreateLogonTaskCommand(std::wstring_view program_path, bool window_enable);
std::wstring CreateLockTaskCommand(std::wstring_view xml_path);
std::wstring DeleteTaskCommand(std::wstring_view task_name);

// The lock task's definition file: beside the program, its name with the
// extension ".xml".
std::wstring TaskXmlPath(std::wstring_view program_path);

// The definition's 23 lines, each ending with a line feed (Utf16LeTextFile
// makes each a CR LF). The Command element holds the program path, quoted
// when it has a blank; "&", "<" and ">" in it are escaped, so a folder such
// as "R&D" still gives well-formed XML.
std::wstring LockTaskXml(std::wstring_view program_path);

// The bytes of a text file for the Task Scheduler: the UTF-16LE byte-order
// mark, then `text` in UTF-16LE with each line feed preceded by a carriage
// return, as the C runtime's "ccs=UTF-16LE" text mode writes it, but the
// same whichever runtime the machine has.
std::string Utf16LeTextFile(std::wstring_view text);

}  // namespace veltra
