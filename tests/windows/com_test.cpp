// The COM owners against a real COM server of the platform: the Task
// Scheduler service, which the program registers its tasks with.
#include "platform/com.h"

#include <gtest/gtest.h>

#include <taskschd.h>

#include <string>

namespace {

TEST(Com, ApartmentPointersStringsAndVariantsAgainstTheTaskScheduler) {
  {
    const veltra::ComApartment apartment;
    ASSERT_TRUE(apartment.ok());
    {
      // A thread in the apartment already may enter again; leaving is paired.
      const veltra::ComApartment nested;
      EXPECT_TRUE(nested.ok());
    }

    veltra::ComPtr<ITaskService> service;
    ASSERT_EQ(::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&service)), S_OK);
    const veltra::UniqueVariant none;
    EXPECT_EQ(none.get().vt, VT_EMPTY);
    ASSERT_EQ(service->Connect(none.value(), none.value(), none.value(), none.value()), S_OK);

    veltra::ComPtr<ITaskFolder> root;
    const veltra::UniqueBstr root_path = veltra::MakeBstr(L"\\");
    ASSERT_TRUE(root_path);
    ASSERT_EQ(service->GetFolder(root_path.get(), &root), S_OK);
    veltra::UniqueBstr path;
    ASSERT_EQ(root->get_Path(path.put()), S_OK);
    EXPECT_EQ(std::wstring(path.get(), ::SysStringLen(path.get())), L"\\");

    veltra::UniqueVariant text;
    text.SetString(veltra::MakeBstr(L"Veltra"));
    EXPECT_EQ(text.get().vt, VT_BSTR);
    EXPECT_EQ(std::wstring(text.get().bstrVal), L"Veltra");
    text.put();  // cleared, the string freed
    EXPECT_EQ(text.get().vt, VT_EMPTY);

    veltra::ComPtr<ITaskService> second = service;  // a counted copy
    EXPECT_EQ(second.Get(), service.Get());
  }
  // Left completely: a new apartment of another model can be entered.
  const HRESULT again = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  EXPECT_EQ(again, S_OK);
  if (SUCCEEDED(again)) ::CoUninitialize();
}

}  // namespace
