// The version of the three programs, for their resource scripts. The numbers
// come from the build (the project's one version number), never from here.
#pragma once

#if !defined(VELTRA_VERSION_MAJOR) || !defined(VELTRA_VERSION_MINOR) || !defined(VELTRA_VERSION_PATCH)
#error "the build passes VELTRA_VERSION_MAJOR, _MINOR and _PATCH"
#endif

#define VELTRA_STR2(x) #x
#define VELTRA_STR(x) VELTRA_STR2(x)
#define VELTRA_VERSION_STRING                                                  \
  VELTRA_STR(VELTRA_VERSION_MAJOR) "." VELTRA_STR(VELTRA_VERSION_MINOR) "."    \
  VELTRA_STR(VELTRA_VERSION_PATCH) ".0"
