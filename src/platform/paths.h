// Paths of the running program, read however long they are; the files
// beside it; the system folder it takes its libraries and tools from.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/unique_handle.h"

namespace veltra {

// The full path of a module (null: the program itself), however long;
// empty when it cannot be read.
std::wstring ModuleFileName(HMODULE module);

// The short (8.3) form of an existing path, which the profile functions and
// other MAX_PATH-bound calls can open; empty when the volume has none or the
// path cannot be read.
std::wstring ShortPathName(const std::wstring& path);

// `path` with every 8.3 short name spelled out in full; `path` itself when
// that cannot be done (a file that went away meanwhile, say).
std::wstring LongPathName(const std::wstring& path);

// `name` in the system folder (C:\Windows\System32\name); empty when the
// folder cannot be read. An elevated program starts system tools this way:
// a bare name is looked for beside the program and in the current folder
// first.
std::wstring SystemProgramPath(const wchar_t* name);

// The whole of a file's bytes; nothing when it cannot be opened or read.
std::optional<std::string> ReadFileBytes(const std::wstring& path);

// From here on, libraries loaded by name come from the system folder only,
// never from beside the program or the current folder, where anyone might
// have put one: the programs run elevated. Called first thing in each
// program; false where the platform cannot do it (Windows 7 without its
// update), which changes nothing else.
bool RestrictLibrarySearch();

// A library of the system folder, loaded for the life of the owner; null
// when it is missing.
UniqueModule LoadSystemLibrary(const wchar_t* name);

// An export of `module` as a function of type Fn; null when either is
// missing. Functions newer than the oldest Windows the programs start on
// are taken this way, so that Windows can still load them.
template <class Fn>
Fn ProcAddress(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  // The platform's own way of handing out a function address.
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

}  // namespace veltra
