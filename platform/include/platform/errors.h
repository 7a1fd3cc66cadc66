// Thread-local last-error codes with Win32 values, and their mapping from errno. Every platform
// call that can fail sets the calling thread's code, so callers written against the Win32 names
// (GetLastError() == ERROR_ALREADY_EXISTS ...) keep working.
#pragma once

#include "platform/types.h"

#include <string>

namespace plat {

inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
inline constexpr DWORD ERROR_TOO_MANY_OPEN_FILES = 4;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_INVALID_DATA = 13;
inline constexpr DWORD ERROR_WRITE_PROTECT = 19;
inline constexpr DWORD ERROR_NOT_READY = 21;
inline constexpr DWORD ERROR_WRITE_FAULT = 29;
inline constexpr DWORD ERROR_READ_FAULT = 30;
inline constexpr DWORD ERROR_GEN_FAILURE = 31;
inline constexpr DWORD ERROR_SHARING_VIOLATION = 32;
inline constexpr DWORD ERROR_NOT_SUPPORTED = 50;
inline constexpr DWORD ERROR_FILE_EXISTS = 80;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_DISK_FULL = 112;
inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr DWORD ERROR_INVALID_NAME = 123;
inline constexpr DWORD ERROR_DIR_NOT_EMPTY = 145;
inline constexpr DWORD ERROR_BUSY = 170;
inline constexpr DWORD ERROR_ALREADY_EXISTS = 183;
inline constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
inline constexpr DWORD ERROR_MORE_DATA = 234;
inline constexpr DWORD ERROR_NO_MORE_ITEMS = 259;
inline constexpr DWORD ERROR_NOT_OWNER = 288;      // releasing a mutex the thread does not hold
inline constexpr DWORD ERROR_TOO_MANY_POSTS = 298; // releasing a semaphore past its maximum
inline constexpr DWORD ERROR_IO_DEVICE = 1117;
inline constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
inline constexpr DWORD ERROR_TIMEOUT = 1460;

DWORD GetLastError();
void SetLastError(DWORD code);

// The Win32 code that stands for an errno value (ENOENT -> 2, EACCES/EPERM/EROFS -> 5, ENOSPC
// -> 112 ...); ERROR_GEN_FAILURE for values without a closer match, 0 for 0.
DWORD ErrorFromErrno(int err);
// SetLastError(ErrorFromErrno(err)); returns the code.
DWORD SetLastErrorFromErrno(int err);

// A short English description of a code ("The system cannot find the file specified." ...), for
// logs and for building user messages.
std::string ErrorText(DWORD code);

// The errno behind the calling thread's last error: the value the failing call saw when it was
// set from one, else the nearest errno for the code (0 for success and for codes no errno stands
// for). Win32 codes merge several errno values (EACCES and EROFS ...); this keeps them apart.
int GetLastErrno();
// The system's own description of an errno value (strerror, in the language of the process's
// locale); "" for 0.
std::string SystemErrorText(int err);
// Why the calling thread's last call failed, for the second line of a user's box: the system's
// description of GetLastErrno(); "" after success and after a failure that was not the system's
// (a code no errno stands for, such as ERROR_INVALID_DATA).
std::string LastErrorReason();

} // namespace plat
