// The scheduled tasks' command lines and the lock task's definition, byte
// for byte; and what a refresh does with a task the service reported.
#include "startup/task_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "startup/task_match.h"

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

// The lock task as Windows reports it once Veltra registered and adjusted
// it, for a program in a folder with a blank.
constexpr wchar_t kProgram[] = L"C:\\My Tools\\Veltra.exe";
RegisteredTask AsRegistered() {
  RegisteredTask task;
  task.actions = {{true, L"\"C:\\My Tools\\Veltra.exe\"", L"/T 1 /O"}};
  task.triggers = {{TaskTrigger::SessionLock}};
  task.disallow_start_on_batteries = task.stop_on_batteries = false;
  task.priority = 5;
  task.time_limit = L"PT0S";
  return task;
}

TEST(TaskCommands, RefreshStepForEachStateOfTheRegisteredTask) {
  using Change = std::function<void(RegisteredTask&)>;
  const Change as_is = [](RegisteredTask&) {};
  const struct {
    const char* what;
    bool ticked;
    TaskPresence presence;
    Change change;
    TaskStep step;
  } kCases[] = {
      {"registered as wanted", true, TaskPresence::Registered, as_is, TaskStep::Nothing},
      {"Wine: neither actions nor triggers read back",
       true, TaskPresence::Registered, [](RegisteredTask& t) { t.actions.reset(), t.triggers.reset(); },
       TaskStep::Nothing},
      {"the path in another case", true, TaskPresence::Registered,
       [](RegisteredTask& t) { t.actions->front().path = L"c:\\MY TOOLS\\veltra.EXE"; }, TaskStep::Nothing},
      {"a copy elsewhere", true, TaskPresence::Registered,
       [](RegisteredTask& t) { t.actions->front().path = L"\"C:\\Old Tools\\Veltra.exe\""; }, TaskStep::Create},
      {"other arguments", true, TaskPresence::Registered,
       [](RegisteredTask& t) { t.actions->front().arguments = L"/T 1 /W 1"; }, TaskStep::Create},
      {"not a program action", true, TaskPresence::Registered,
       [](RegisteredTask& t) { t.actions->front().exec = false; }, TaskStep::Create},
      {"a second action", true, TaskPresence::Registered,
       [](RegisteredTask& t) { t.actions->push_back(t.actions->front()); }, TaskStep::Create},
      {"no action", true, TaskPresence::Registered, [](RegisteredTask& t) { t.actions->clear(); }, TaskStep::Create},
      {"at logon", true, TaskPresence::Registered,
       [](RegisteredTask& t) { t.triggers = {{TaskTrigger::Logon}}; }, TaskStep::Create},
      {"a second trigger", true, TaskPresence::Registered,
       [](RegisteredTask& t) { t.triggers->push_back(TaskTrigger::Other); }, TaskStep::Create},
      {"no trigger", true, TaskPresence::Registered, [](RegisteredTask& t) { t.triggers->clear(); }, TaskStep::Create},
      {"not on batteries", true, TaskPresence::Registered,
       [](RegisteredTask& t) { t.disallow_start_on_batteries = true; }, TaskStep::Create},
      {"stopped on batteries", true, TaskPresence::Registered,
       [](RegisteredTask& t) { t.stop_on_batteries = true; }, TaskStep::Create},
      {"the default priority", true, TaskPresence::Registered, [](RegisteredTask& t) { t.priority = 7; },
       TaskStep::Create},
      {"the default time limit", true, TaskPresence::Registered, [](RegisteredTask& t) { t.time_limit = L"PT72H"; },
       TaskStep::Create},
      {"settings unread", true, TaskPresence::Registered, [](RegisteredTask& t) { t = RegisteredTask(); },
       TaskStep::Create},
      {"missing", true, TaskPresence::Missing, as_is, TaskStep::Create},
      {"the service not reached", true, TaskPresence::Unknown, as_is, TaskStep::Create},
      {"unticked, registered", false, TaskPresence::Registered, as_is, TaskStep::Delete},
      {"unticked, missing", false, TaskPresence::Missing, as_is, TaskStep::Nothing},
      {"unticked, the service not reached", false, TaskPresence::Unknown, as_is, TaskStep::Delete},
  };
  for (const auto& row : kCases) {
    TaskLookup found{row.presence, AsRegistered()};
    row.change(found.task);
    EXPECT_EQ(DecideTaskStep(row.ticked, found, WantedLockTask(kProgram)), row.step) << row.what;
  }
}

// The forms a service may keep a command in, against each task's own.
TEST(TaskCommands, RegisteredCommandsReadWithOrWithoutQuotesAndSplit) {
  const auto matches = [](const WantedTask& wanted, std::wstring path, std::wstring arguments) {
    RegisteredTask task = AsRegistered();
    task.actions = {{true, std::move(path), std::move(arguments)}};
    task.triggers = {{wanted.trigger}};
    return IsWantedTask(task, wanted);
  };
  const WantedTask lock = WantedLockTask(kProgram);
  EXPECT_TRUE(matches(lock, L"C:\\My Tools\\Veltra.exe", L"/T 1 /O"));
  EXPECT_TRUE(matches(lock, L"\"C:\\My Tools\\Veltra.exe\" /T 1 /O", L""));
  EXPECT_TRUE(matches(lock, L" \"C:\\My Tools\\Veltra.exe\" ", L" /T 1 /O "));
  // What schtasks makes of a path with a blank that is not quoted.
  EXPECT_FALSE(matches(lock, L"C:\\My", L"Tools\\Veltra.exe /T 1 /O"));
  EXPECT_FALSE(matches(lock, L"\"C:\\My Tools\\Veltra.exe\"", L""));
  EXPECT_FALSE(matches(lock, L"\"C:\\My Tools\\Veltra.exe\"", L"/T 1 /O /X"));

  const std::wstring plain = L"C:\\Tools\\Veltra.exe";
  EXPECT_TRUE(matches(WantedBootTask(plain), L"C:\\Tools\\Veltra.exe /T 1 /O", L""));
  EXPECT_EQ(WantedBootTask(plain).trigger, TaskTrigger::Boot);
  EXPECT_TRUE(matches(WantedLogonTask(plain, false), L"\"C:\\Tools\\Veltra.exe\"", L"/T 1 /W 0"));
  EXPECT_FALSE(matches(WantedLogonTask(plain, true), L"\"C:\\Tools\\Veltra.exe\"", L"/T 1 /W 0"));
  EXPECT_EQ(WantedLogonTask(plain, true).trigger, TaskTrigger::Logon);
}

}  // namespace
}  // namespace veltra
