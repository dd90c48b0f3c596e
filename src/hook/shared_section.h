// Placement of data that every process loading VeltraHook.dll sees as one
// copy: the installing process publishes its hook handle and target window
// there for others to read. Any process that loads the library can write it,
// so the library itself never decides anything from it. The linker marks the
// section shared, readable and writable; tests/windows/hook_test.cpp checks
// the built file. A shared variable must have an initialiser, or the
// compiler leaves it out of the section.
#pragma once

#define VELTRA_SHARED_SECTION __attribute__((section(".HOOKDAT"), shared))
