// The scheduled tasks of the simulated Veltra.exe against Wine's own task
// store, read back through the Task Scheduler's COM interfaces. Wine's
// schtasks takes only the /xml form of /Create, so the boot and logon
// tasks cannot be registered here: that is the failure path, for real.
#include <gtest/gtest.h>

#include <taskschd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "e2e_support.h"
#include "platform/com.h"

namespace veltra::e2e {
namespace {


struct TaskFacts {
  VARIANT_BOOL disallow_on_batteries = VARIANT_TRUE;
  VARIANT_BOOL stop_on_batteries = VARIANT_TRUE;
  int priority = -1;
  std::wstring time_limit;
};

// The task as the store holds it, or nothing when there is no such task.
class TaskStore {
 public:
  TaskStore() {
    if (FAILED(::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                  reinterpret_cast<void**>(service_.GetAddressOf())))) {
      return;
    }
    const UniqueVariant none;
    const UniqueBstr root = MakeBstr(L"\\");
    if (FAILED(service_->Connect(none.value(), none.value(), none.value(), none.value())) ||
        FAILED(service_->GetFolder(root.get(), &root_))) {
      root_.Reset();
    }
  }
  bool ok() const { return root_ != nullptr; }

  std::optional<TaskFacts> Find(const wchar_t* name) const {
    ComPtr<IRegisteredTask> task;
    ComPtr<ITaskDefinition> definition;
    ComPtr<ITaskSettings> settings;
    const UniqueBstr task_name = MakeBstr(name);
    if (FAILED(root_->GetTask(task_name.get(), &task)) || FAILED(task->get_Definition(&definition)) ||
        FAILED(definition->get_Settings(&settings))) {
      return std::nullopt;
    }
    TaskFacts facts;
    settings->get_DisallowStartIfOnBatteries(&facts.disallow_on_batteries);
    settings->get_StopIfGoingOnBatteries(&facts.stop_on_batteries);
    settings->get_Priority(&facts.priority);
    UniqueBstr limit;
    if (SUCCEEDED(settings->get_ExecutionTimeLimit(limit.put())) && limit) facts.time_limit = limit.get();
    return facts;
  }

  // The task with the service's own defaults for what Veltra adjusts, as
  // an ending between its registration and its adjustment leaves it.
  bool Unadjust(const wchar_t* name) const {
    ComPtr<IRegisteredTask> task;
    ComPtr<ITaskDefinition> definition;
    ComPtr<ITaskSettings> settings;
    const UniqueBstr task_name = MakeBstr(name);
    const UniqueBstr limit = MakeBstr(L"PT72H");
    if (FAILED(root_->GetTask(task_name.get(), &task)) || FAILED(task->get_Definition(&definition)) ||
        FAILED(definition->get_Settings(&settings)) || FAILED(settings->put_Priority(7)) ||
        FAILED(settings->put_ExecutionTimeLimit(limit.get()))) {
      return false;
    }
    const UniqueVariant none;
    UniqueVariant sddl;
    sddl.SetString(MakeBstr(L""));
    ComPtr<IRegisteredTask> updated;
    return SUCCEEDED(root_->RegisterTaskDefinition(task_name.get(), definition.Get(), TASK_CREATE_OR_UPDATE,
                                                   none.value(), none.value(), TASK_LOGON_SERVICE_ACCOUNT,
                                                   sddl.value(), &updated));
  }

  void Remove(const wchar_t* name) const {
    const UniqueBstr task_name = MakeBstr(name);
    root_->DeleteTask(task_name.get(), 0);
  }

 private:
  ComApartment apartment_;
  ComPtr<ITaskService> service_;
  ComPtr<ITaskFolder> root_;
};

std::string Bytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Tasks : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(store_.ok());
    store_.Remove(L"Veltra_SessionLock");
  }
  void TearDown() override { store_.Remove(L"Veltra_SessionLock"); }

  // A start and an exit; the schtasks runs they made, from the steps the
  // simulated program logs (told by asking it to end at a step it never
  // reaches).
  int RunAndClose(const Sandbox& box) {
    box.WriteDeviceValue(L"system", L"end_at_step", L"1000");
    ::DeleteFileW(box.File(L"sim_devices.log").c_str());
    {
      RunningVeltra veltra(box);
      if (veltra.window() == nullptr) return -1;
      veltra.Send(WM_CLOSE);
      EXPECT_TRUE(veltra.WaitForExit(std::chrono::seconds(30)));
    }
    int runs = 0;
    for (const std::wstring& line : box.LogLines()) runs += line.starts_with(L"STEP ") && line.ends_with(L" schtasks");
    return runs;
  }

  TaskStore store_;
};

// Each refresh asks the service first and runs schtasks only where that
// changes something. Wine's service reads back a task's settings but
// neither its actions nor its triggers, so a task registered otherwise is
// shown here by its settings.
TEST_F(Tasks, TheLockTaskIsRegisteredWhenMissingOrNotAsWantedAndRemovedWhenTurnedOff) {
  TouchSandbox box(L"tasks-lock", "[task_scheduler]\r\ntask_lock=1\r\n");
  EXPECT_EQ(RunAndClose(box), 1);  // the start registers it; the exit finds it as wanted
  std::optional<TaskFacts> task = store_.Find(L"Veltra_SessionLock");
  ASSERT_TRUE(task.has_value());
  EXPECT_EQ(task->disallow_on_batteries, VARIANT_FALSE);
  EXPECT_EQ(task->stop_on_batteries, VARIANT_FALSE);
  EXPECT_EQ(task->priority, 5);
  EXPECT_EQ(task->time_limit, L"PT0S");
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(box.File(L"Veltra.xml"))));
  EXPECT_EQ(box.Setting(L"task_scheduler", L"task_lock"), L"1");

  EXPECT_EQ(RunAndClose(box), 0);
  EXPECT_EQ(box.Setting(L"task_scheduler", L"task_lock"), L"1");

  ASSERT_TRUE(store_.Unadjust(L"Veltra_SessionLock"));
  EXPECT_EQ(RunAndClose(box), 1);
  task = store_.Find(L"Veltra_SessionLock");
  ASSERT_TRUE(task.has_value());
  EXPECT_EQ(task->priority, 5);
  EXPECT_EQ(task->time_limit, L"PT0S");
  EXPECT_EQ(box.Setting(L"task_scheduler", L"task_lock"), L"1");

  box.WriteSettings("[task_scheduler]\r\ntask_lock=0\r\n");
  EXPECT_EQ(RunAndClose(box), 1);
  EXPECT_FALSE(store_.Find(L"Veltra_SessionLock").has_value());
  EXPECT_EQ(RunAndClose(box), 0);  // nothing ticked, nothing registered
}

TEST_F(Tasks, BootAndLogonTasksThatCannotBeRegisteredTurnTheirSettingsOff) {
  TouchSandbox box(L"tasks-boot", "[task_scheduler]\r\ntask_boot=1\r\ntask_startup=1\r\n");
  // Each failed creation is followed by its deletion, as it always was;
  // the exit finds both unticked and missing.
  EXPECT_EQ(RunAndClose(box), 4);
  EXPECT_FALSE(store_.Find(L"Veltra_BootTime").has_value());
  EXPECT_EQ(box.Setting(L"task_scheduler", L"task_boot"), L"0");
  EXPECT_EQ(box.Setting(L"task_scheduler", L"task_startup"), L"0");
}

// A folder name with a blank and "&": the quoted, escaped definition is
// registered and the file goes. (Wine's schtasks also takes a bare "&", and
// its store gives the Exec action back without its command, so the escape
// itself is shown by the native test of the definition text.)
TEST_F(Tasks, AProgramInAFolderWithABlankAndAnAmpersandGetsItsLockTask) {
  TouchSandbox box(L"tasks R&D", "[task_scheduler]\r\ntask_lock=1\r\n");
  EXPECT_EQ(RunAndClose(box), 1);
  const std::optional<TaskFacts> task = store_.Find(L"Veltra_SessionLock");
  ASSERT_TRUE(task.has_value());
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(box.File(L"Veltra.xml"))));
  EXPECT_EQ(box.Setting(L"task_scheduler", L"task_lock"), L"1");
}

// A one-shot run may be the system account's: it enables the panel and
// neither creates nor removes a task, whatever the settings say.
TEST_F(Tasks, OneShotLeavesTheTasksAloneAndWritesNoSettings) {
  Sandbox box(L"tasks-oneshot");
  box.WriteDevices({TouchScreen(kId, false)});
  box.WriteSettings("[task_scheduler]\r\ntask_lock=1\r\n");
  const std::string before = Bytes(box.File(L"Veltra.ini"));
  EXPECT_EQ(box.Run(L"/T 1 /O"), 0);
  EXPECT_FALSE(store_.Find(L"Veltra_SessionLock").has_value());
  EXPECT_EQ(Bytes(box.File(L"Veltra.ini")), before);
  EXPECT_EQ(box.DeviceStarted(kId), 1);

  EXPECT_EQ(RunAndClose(box), 1);
  ASSERT_TRUE(store_.Find(L"Veltra_SessionLock").has_value());
  box.WriteSettings("[task_scheduler]\r\ntask_lock=0\r\n");
  EXPECT_EQ(box.Run(L"/T 1 /O"), 0);
  EXPECT_TRUE(store_.Find(L"Veltra_SessionLock").has_value());
}

}  // namespace
}  // namespace veltra::e2e
