// The Win32 calls the serial port makes, through one table, so that a test
// can play a driver that Wine's ports cannot: a cancel it ignores, a read
// that fails after a cancel, a write that takes its wire time, a port whose
// file type is unknown. The program always uses the system's calls.
#pragma once
#include <windows.h>

namespace platform::detail {

struct CommApi {
    HANDLE(WINAPI *CreateFileW)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
    BOOL(WINAPI *CloseHandle)(HANDLE);  // of the port's handle only
    BOOL(WINAPI *ReadFile)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
    BOOL(WINAPI *WriteFile)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
    DWORD(WINAPI *WaitForSingleObject)(HANDLE, DWORD);  // on a transfer's event
    BOOL(WINAPI *CancelIoEx)(HANDLE, LPOVERLAPPED);
    BOOL(WINAPI *GetOverlappedResult)(HANDLE, LPOVERLAPPED, LPDWORD, BOOL);
    BOOL(WINAPI *GetCommState)(HANDLE, LPDCB);
    BOOL(WINAPI *SetCommState)(HANDLE, LPDCB);
    BOOL(WINAPI *SetCommTimeouts)(HANDLE, LPCOMMTIMEOUTS);
    BOOL(WINAPI *SetCommMask)(HANDLE, DWORD);
    BOOL(WINAPI *SetupComm)(HANDLE, DWORD, DWORD);
    BOOL(WINAPI *ClearCommError)(HANDLE, LPDWORD, LPCOMSTAT);
    BOOL(WINAPI *PurgeComm)(HANDLE, DWORD);
};

// The system's calls.
const CommApi &SystemCommApi();
// The calls the serial port uses now: the system's unless a test set others.
const CommApi &Comm();
// Sets the calls used from the next call on; nullptr puts the system's back.
void UseCommApi(const CommApi *api);

}  // namespace platform::detail
