// The COM owners against a real COM server of the platform: the Task
// Scheduler service, which the program registers its tasks with.
#include "ui/com.h"

#include <gtest/gtest.h>

#include <taskschd.h>

#include <string>

namespace {

TEST(Com, ApartmentPointersStringsAndVariantsAgainstTheTaskScheduler) {
  {
    const ui::ComApartment apartment;
    ASSERT_TRUE(apartment.ok());
    {
      // A thread in the apartment already may enter again; leaving is paired.
      const ui::ComApartment nested;
      EXPECT_TRUE(nested.ok());
    }

    ui::ComPtr<ITaskService> service;
    ASSERT_EQ(::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&service)), S_OK);
    const ui::UniqueVariant none;
    EXPECT_EQ(none.get().vt, VT_EMPTY);
    ASSERT_EQ(service->Connect(none.value(), none.value(), none.value(), none.value()), S_OK);

    ui::ComPtr<ITaskFolder> root;
    const ui::UniqueBstr root_path = ui::MakeBstr(L"\\");
    ASSERT_TRUE(root_path);
    ASSERT_EQ(service->GetFolder(root_path.get(), &root), S_OK);
    ui::UniqueBstr path;
    ASSERT_EQ(root->get_Path(path.put()), S_OK);
    EXPECT_EQ(std::wstring(path.get(), ::SysStringLen(path.get())), L"\\");

    ui::UniqueVariant text;
    text.SetString(ui::MakeBstr(L"Veltra"));
    EXPECT_EQ(text.get().vt, VT_BSTR);
    EXPECT_EQ(std::wstring(text.get().bstrVal), L"Veltra");
    text.put();  // cleared, the string freed
    EXPECT_EQ(text.get().vt, VT_EMPTY);

    ui::ComPtr<ITaskService> second = service;  // a counted copy
    EXPECT_EQ(second.Get(), service.Get());
  }
  // Left completely: a new apartment of another model can be entered.
  const HRESULT again = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  EXPECT_EQ(again, S_OK);
  if (SUCCEEDED(again)) ::CoUninitialize();
}

}  // namespace
