// Placement of data that every process loading VeltraHook.dll sees as one
// copy: the hook is installed by one process and may be removed by another,
// and each needs the same hook handle and target window. The linker marks the
// section shared, readable and writable; tests/windows/hook_test.cpp checks
// the built file. A shared variable must have an initialiser, or the
// compiler leaves it out of the section.
#pragma once

#define VELTRA_SHARED_SECTION __attribute__((section(".HOOKDAT"), shared))
