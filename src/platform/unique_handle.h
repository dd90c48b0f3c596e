// Move-only owners for Win32 handles: one template, a traits type per kind of
// handle saying what "no handle" is and how it is released.
#pragma once

#include <windows.h>

#include <cstdio>
#include <utility>

namespace veltra {

template <class Traits>
class UniqueAny {
 public:
  using pointer = typename Traits::pointer;

  UniqueAny() noexcept = default;
  explicit UniqueAny(pointer value) noexcept : value_(value) {}
  UniqueAny(const UniqueAny&) = delete;
  UniqueAny& operator=(const UniqueAny&) = delete;
  UniqueAny(UniqueAny&& other) noexcept : value_(other.release()) {}
  UniqueAny& operator=(UniqueAny&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~UniqueAny() { reset(); }

  pointer get() const noexcept { return value_; }
  explicit operator bool() const noexcept { return value_ != Traits::invalid(); }

  void reset(pointer value = Traits::invalid()) noexcept {
    if (value_ != Traits::invalid()) Traits::close(value_);
    value_ = value;
  }
  [[nodiscard]] pointer release() noexcept { return std::exchange(value_, Traits::invalid()); }

  // For out-parameters: releases what is held and hands out the slot.
  pointer* put() noexcept {
    reset();
    return &value_;
  }

 private:
  pointer value_ = Traits::invalid();
};

template <class T, auto Close, T Invalid = T{}>
struct HandleTraits {
  using pointer = T;
  static pointer invalid() noexcept { return Invalid; }
  static void close(pointer value) noexcept { Close(value); }
};

// Kernel objects whose "none" is null (mutexes, processes, threads, events).
using UniqueHandle = UniqueAny<HandleTraits<HANDLE, &::CloseHandle>>;

// Files, whose "none" is INVALID_HANDLE_VALUE.
struct FileTraits {
  using pointer = HANDLE;
  static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void close(pointer value) noexcept { ::CloseHandle(value); }
};
using UniqueFile = UniqueAny<FileTraits>;

// File searches, whose "none" is INVALID_HANDLE_VALUE too.
struct FindTraits {
  using pointer = HANDLE;
  static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void close(pointer value) noexcept { ::FindClose(value); }
};
using UniqueFind = UniqueAny<FindTraits>;

// C runtime files.
inline void CloseStdioFile(std::FILE* file) noexcept { std::fclose(file); }
using UniqueStdioFile = UniqueAny<HandleTraits<std::FILE*, &CloseStdioFile>>;

using UniqueHkey = UniqueAny<HandleTraits<HKEY, &::RegCloseKey>>;
using UniqueHicon = UniqueAny<HandleTraits<HICON, &::DestroyIcon>>;
using UniqueHmenu = UniqueAny<HandleTraits<HMENU, &::DestroyMenu>>;
using UniqueModule = UniqueAny<HandleTraits<HMODULE, &::FreeLibrary>>;
// A window's registration for a power setting's notifications.
using UniquePowerNotify = UniqueAny<HandleTraits<HPOWERNOTIFY, &::UnregisterPowerSettingNotification>>;
// Memory the platform hands out with LocalAlloc (security descriptors).
using UniqueLocal = UniqueAny<HandleTraits<HLOCAL, &::LocalFree>>;

inline void DeleteGdiObject(HGDIOBJ object) noexcept { ::DeleteObject(object); }
using UniqueHfont = UniqueAny<HandleTraits<HFONT, &DeleteGdiObject>>;
using UniqueHbrush = UniqueAny<HandleTraits<HBRUSH, &DeleteGdiObject>>;

// A screen device context taken with GetDC(nullptr).
struct ScreenDcTraits {
  using pointer = HDC;
  static pointer invalid() noexcept { return nullptr; }
  static void close(pointer value) noexcept { ::ReleaseDC(nullptr, value); }
};
using UniqueScreenDc = UniqueAny<ScreenDcTraits>;

}  // namespace veltra
