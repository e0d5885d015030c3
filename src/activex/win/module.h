#pragma once

#include <windows.h>

#include <string>

namespace tally::activex::win {

// The library's module handle and lifetime counts: DllCanUnloadNow answers
// S_OK when no object is alive and no container holds a lock.
HINSTANCE moduleHandle();
std::wstring modulePath();
void objectCreated();
void objectDestroyed();
void lockServer(bool lock);
bool canUnload();

// The control's type library, loaded once from the library's own resource.
// Returns the type information of the given GUID (AddRef'ed) or nullptr.
ITypeInfo *typeInfoOf(REFGUID guid);

} // namespace tally::activex::win
