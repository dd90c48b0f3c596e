// Paths of the running program, read however long they are.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

// The full path of a module (null: the program itself), however long;
// empty when it cannot be read.
std::wstring ModuleFileName(HMODULE module);

// The short (8.3) form of an existing path, which the profile functions and
// other MAX_PATH-bound calls can open; empty when the volume has none or the
// path cannot be read.
std::wstring ShortPathName(const std::wstring& path);

// `name` in the system folder (C:\Windows\System32\name); empty when the
// folder cannot be read. An elevated program starts system tools this way:
// a bare name is looked for beside the program and in the current folder
// first.
std::wstring SystemProgramPath(const wchar_t* name);

// "C:\dir\Veltra.exe" -> "Veltra".
std::wstring FileStem(const std::wstring& path);

}  // namespace ui
