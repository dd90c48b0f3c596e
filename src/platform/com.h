// Owners for COM: the apartment of the calling thread, interface pointers
// (Microsoft::WRL::ComPtr from the platform headers), BSTR and VARIANT.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <string_view>
#include <utility>

#include "platform/unique_handle.h"

namespace veltra {

using Microsoft::WRL::ComPtr;

// Enters a single-threaded apartment for the object's life and leaves it at
// the end, but only if entering succeeded (a thread already in another
// apartment gets RPC_E_CHANGED_MODE and must not uninitialise).
class ComApartment {
 public:
  ComApartment() noexcept : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  bool ok() const noexcept { return SUCCEEDED(result_); }
  HRESULT result() const noexcept { return result_; }

 private:
  HRESULT result_;
};

inline void FreeBstr(BSTR text) noexcept { ::SysFreeString(text); }
using UniqueBstr = UniqueAny<HandleTraits<BSTR, &FreeBstr>>;

// A BSTR copy of `text`; empty (null) only when memory ran out.
inline UniqueBstr MakeBstr(std::wstring_view text) {
  return UniqueBstr(::SysAllocStringLen(text.data(), static_cast<UINT>(text.length())));
}

// A VARIANT that is cleared (releasing any string or interface it holds)
// when it goes or is filled again.
class UniqueVariant {
 public:
  UniqueVariant() noexcept { ::VariantInit(&value_); }
  ~UniqueVariant() { ::VariantClear(&value_); }
  UniqueVariant(const UniqueVariant&) = delete;
  UniqueVariant& operator=(const UniqueVariant&) = delete;

  const VARIANT& get() const noexcept { return value_; }
  // Passed by value to a COM call: the callee copies what it keeps.
  VARIANT value() const noexcept { return value_; }
  // For out-parameters: clears what is held and hands out the slot.
  VARIANT* put() noexcept {
    ::VariantClear(&value_);
    return &value_;
  }
  // Takes the string's ownership.
  void SetString(UniqueBstr text) noexcept {
    ::VariantClear(&value_);
    value_.vt = VT_BSTR;
    value_.bstrVal = text.release();
  }

 private:
  VARIANT value_;
};

}  // namespace veltra
