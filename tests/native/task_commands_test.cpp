// The scheduled tasks' command lines and the lock task's definition, byte
// for byte.
#include "startup/task_commands.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace veltra {
namespace {

TEST(TaskCommands, CommandLinesAsSchtasksTakesThem) {
  const std::wstring plain = L"C:\\Tools\\Veltra.exe";
  const std::wstring blank = L"C:\\Program Files\\Veltra\\Veltra.exe";
  EXPECT_EQ(CreateBootTaskCommand(blank),
            L"schtasks.exe /Create /tn Veltra_BootTime /sc ONSTART /ru system /rl highest /f /tr "
            L"\"'C:\\Program Files\\Veltra\\Veltra.exe' /T 1 /O\" ");
  EXPECT_EQ(CreateLogonTaskCommand(plain, true),
            L"schtasks.exe /Create /tn Veltra /sc ONLOGON /rl highest /f /tr \"'C:\\Tools\\Veltra.exe' /T 1 /W 1\" ");
  EXPECT_EQ(CreateLogonTaskCommand(plain, false),
            L"schtasks.exe /Create /tn Veltra /sc ONLOGON /rl highest /f /tr \"'C:\\Tools\\Veltra.exe' /T 1 /W 0\" ");
  EXPECT_EQ(CreateLockTaskCommand(L"C:\\Tools\\Veltra.xml"),
            L"schtasks.exe /Create /tn Veltra_SessionLock /ru system /f /xml C:\\Tools\\Veltra.xml");
  EXPECT_EQ(CreateLockTaskCommand(L"C:\\My Tools\\Veltra.xml"),
            L"schtasks.exe /Create /tn Veltra_SessionLock /ru system /f /xml \"C:\\My Tools\\Veltra.xml\"");
  // An apostrophe would end the single quotes early; \" survives it.
  EXPECT_EQ(CreateBootTaskCommand(L"C:\\Users\\O'Brien\\My Tools\\Veltra.exe"),
            L"schtasks.exe /Create /tn Veltra_BootTime /sc ONSTART /ru system /rl highest /f /tr "
            L"\"\\\"C:\\Users\\O'Brien\\My Tools\\Veltra.exe\\\" /T 1 /O\" ");
  EXPECT_EQ(CreateLogonTaskCommand(L"C:\\O'Brien\\Veltra.exe", true),
            L"schtasks.exe /Create /tn Veltra /sc ONLOGON /rl highest /f /tr "
            L"\"\\\"C:\\O'Brien\\Veltra.exe\\\" /T 1 /W 1\" ");
  EXPECT_EQ(DeleteTaskCommand(kBootTaskName), L"schtasks.exe /Delete /tn Veltra_BootTime /F");
  EXPECT_EQ(DeleteTaskCommand(kLogonTaskName), L"schtasks.exe /Delete /tn Veltra /F");
  EXPECT_EQ(DeleteTaskCommand(kLockTaskName), L"schtasks.exe /Delete /tn Veltra_SessionLock /F");

  EXPECT_EQ(TaskXmlPath(plain), L"C:\\Tools\\Veltra.xml");
  EXPECT_EQ(TaskXmlPath(L"C:\\v1.2\\Veltra"), L"C:\\v1.2\\Veltra.xml");
  EXPECT_EQ(QuoteIfBlank(L"\"C:\\A B\\x.exe\""), L"\"C:\\A B\\x.exe\"");
}

TEST(TaskCommands, LockTaskDefinitionLineByLineWithTheCommandQuotedAndEscaped) {
  const std::wstring xml = LockTaskXml(L"C:\\R&D <old>\\Veltra.exe");
  EXPECT_EQ(std::count(xml.begin(), xml.end(), L'\n'), 23);
  EXPECT_EQ(xml.find(L'\r'), std::wstring::npos);  // the file's encoding adds them
  EXPECT_EQ(xml.substr(0, xml.find(L'\n')), L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>");
  EXPECT_NE(xml.find(L"\n      <Command>\"C:\\R&amp;D &lt;old&gt;\\Veltra.exe\"</Command>\n"
                     L"      <Arguments>/T 1 /O</Arguments>\n    </Exec>\n  </Actions>\n</Task>\n"),
            std::wstring::npos);
  EXPECT_NE(xml.find(L"\n  <Settings>\n    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>\n"
                     L"    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>\n  </Settings>\n"),
            std::wstring::npos);
  EXPECT_NE(xml.find(L"\n    <SessionStateChangeTrigger>\n      <StateChange>SessionLock</StateChange>\n"),
            std::wstring::npos);
  // Without a blank or a special character the path goes in as it is.
  EXPECT_NE(LockTaskXml(L"C:\\Tools\\Veltra.exe").find(L"<Command>C:\\Tools\\Veltra.exe</Command>"),
            std::wstring::npos);
}

// The bytes written, whatever the C runtime: mark, UTF-16LE, CR LF.
TEST(TaskCommands, DefinitionFileBytes) {
  const char kBytes[] = "\xFF\xFE" "a\0\r\0\n\0\xE9\0\xBF\x30\x3D\xD8\x00\xDE\r\0\n\0";
  EXPECT_EQ(Utf16LeTextFile(L"a\n\u00E9\u30BF\U0001F600\n"), std::string(kBytes, sizeof(kBytes) - 1));
  const std::wstring xml = LockTaskXml(L"C:\\Tools\\Veltra.exe");
  const std::string file = Utf16LeTextFile(xml);
  EXPECT_EQ(file.size(), 2 + 2 * (xml.size() + 23));
  EXPECT_EQ(file.substr(0, 6), std::string("\xFF\xFE<\0?\0", 6));
  EXPECT_EQ(file.substr(file.size() - 6), std::string(">\0\r\0\n\0", 6));
}

}  // namespace
}  // namespace veltra
