// The walk over every Python registration under one registry root (the
// layout is drawn in python_registry.h): the discovery lists what it finds,
// the elevation check asks whether the target is registered for all users.
#pragma once
#include <windows.h>

#include <string_view>

#include "common/python_registry.h"

// One registration as the walk finds it; tag_key is open for reading while
// the visit lasts.
struct python_registration {
  HKEY root;
  const char* company;
  const char* tag;
  bool python_core;
  HKEY tag_key;
  registered_version version;
};
using registration_visit = void (*)(const python_registration& found, void* context);

// Visits each registration under root that target_version accepts (empty:
// every one), PythonCore's first, then the other companies' in the
// registry's order. Another company's tag without a version is not visited.
// Returns false when root has no Python key to read.
bool walk_python_registrations(HKEY root, std::string_view target_version, registration_visit visit,
                               void* context);
