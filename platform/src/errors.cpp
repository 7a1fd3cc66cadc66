#include "platform/errors.h"

#include <cerrno>
#include <cstring>

namespace plat {

namespace {
thread_local DWORD t_lastError = ERROR_SUCCESS;
thread_local int t_lastErrno = 0;

// The errno a code most likely came from, for a code set without one.
int errnoFromError(DWORD code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    case ERROR_TOO_MANY_OPEN_FILES: return EMFILE;
    case ERROR_ACCESS_DENIED: return EACCES;
    case ERROR_WRITE_PROTECT: return EROFS;
    case ERROR_INVALID_HANDLE: return EBADF;
    case ERROR_NOT_ENOUGH_MEMORY: return ENOMEM;
    case ERROR_BUSY: return EBUSY;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS: return EEXIST;
    case ERROR_INVALID_PARAMETER: return EINVAL;
    case ERROR_DISK_FULL: return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    case ERROR_DIR_NOT_EMPTY: return ENOTEMPTY;
    case ERROR_IO_DEVICE: return EIO;
    case ERROR_TIMEOUT: return ETIMEDOUT;
    case ERROR_NOT_SUPPORTED: return ENOTSUP;
    default: return 0;
    }
}
} // namespace

DWORD GetLastError() { return t_lastError; }
void SetLastError(DWORD code)
{
    t_lastError = code;
    t_lastErrno = errnoFromError(code);
}

DWORD ErrorFromErrno(int err)
{
    switch (err) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case ELOOP: return ERROR_PATH_NOT_FOUND;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case EACCES:
    case EPERM:
    case EISDIR: return ERROR_ACCESS_DENIED;
    case EROFS: return ERROR_WRITE_PROTECT;
    case EBADF: return ERROR_INVALID_HANDLE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EBUSY:
    case ETXTBSY: return ERROR_BUSY;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case EIO: return ERROR_IO_DEVICE;
    case ETIMEDOUT: return ERROR_TIMEOUT;
    case ENOTSUP: return ERROR_NOT_SUPPORTED;
    case ENODEV:
    case ENXIO: return ERROR_FILE_NOT_FOUND;
    case ERANGE: return ERROR_INSUFFICIENT_BUFFER;
    case EILSEQ: return ERROR_INVALID_DATA;
    default: return ERROR_GEN_FAILURE;
    }
}

DWORD SetLastErrorFromErrno(int err)
{
    const DWORD code = ErrorFromErrno(err);
    t_lastError = code;
    t_lastErrno = code == ERROR_SUCCESS ? 0 : err;
    return code;
}

std::string ErrorText(DWORD code)
{
    switch (code) {
    case ERROR_SUCCESS: return "The operation completed successfully.";
    case ERROR_FILE_NOT_FOUND: return "The system cannot find the file specified.";
    case ERROR_PATH_NOT_FOUND: return "The system cannot find the path specified.";
    case ERROR_TOO_MANY_OPEN_FILES: return "The system cannot open the file.";
    case ERROR_ACCESS_DENIED: return "Access is denied.";
    case ERROR_INVALID_HANDLE: return "The handle is invalid.";
    case ERROR_NOT_ENOUGH_MEMORY: return "Not enough memory is available.";
    case ERROR_INVALID_DATA: return "The data is invalid.";
    case ERROR_WRITE_PROTECT: return "The media is write protected.";
    case ERROR_NOT_READY: return "The device is not ready.";
    case ERROR_WRITE_FAULT: return "The system cannot write to the specified device.";
    case ERROR_READ_FAULT: return "The system cannot read from the specified device.";
    case ERROR_GEN_FAILURE: return "A device attached to the system is not functioning.";
    case ERROR_SHARING_VIOLATION: return "The file is being used by another process.";
    case ERROR_NOT_SUPPORTED: return "The request is not supported.";
    case ERROR_FILE_EXISTS: return "The file exists.";
    case ERROR_INVALID_PARAMETER: return "The parameter is incorrect.";
    case ERROR_DISK_FULL: return "There is not enough space on the disk.";
    case ERROR_INSUFFICIENT_BUFFER: return "The data area passed to a system call is too small.";
    case ERROR_INVALID_NAME: return "The file name, directory name, or volume label syntax is incorrect.";
    case ERROR_DIR_NOT_EMPTY: return "The directory is not empty.";
    case ERROR_BUSY: return "The requested resource is in use.";
    case ERROR_ALREADY_EXISTS: return "Cannot create a file when that file already exists.";
    case ERROR_FILENAME_EXCED_RANGE: return "The file name is too long.";
    case ERROR_MORE_DATA: return "More data is available.";
    case ERROR_NO_MORE_ITEMS: return "No more data is available.";
    case ERROR_NOT_OWNER: return "Attempt to release mutex not owned by caller.";
    case ERROR_TOO_MANY_POSTS: return "Too many posts were made to a semaphore.";
    case ERROR_IO_DEVICE: return "The request could not be performed because of an I/O device error.";
    case ERROR_TIMEOUT: return "This operation returned because the timeout period expired.";
    default: return "Error " + std::to_string(code) + ".";
    }
}

int GetLastErrno() { return t_lastErrno; }

std::string SystemErrorText(int err)
{
    if (err == 0)
        return {};
    char buffer[256];
    // The GNU form: the text may be a static string rather than the buffer.
    return ::strerror_r(err, buffer, sizeof buffer);
}

std::string LastErrorReason() { return SystemErrorText(t_lastErrno); }

} // namespace plat
