#include <windows.h>

// The library does nothing of its own when it is loaded or unloaded, nor when threads start
// or end. The C++ run-time around this routine sets itself up on load and, on unload, runs
// the destructors that close every stream still open.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
