// The few kernel32 calls that the portable core makes when it is built for Windows, declared
// as <windows.h> declares them (that header stays out of the portable core). Windows only.
#pragma once

#ifdef _WIN32

#include <cstdarg>

namespace vantro::kernel32 {

using Bool = int;
using Dword = unsigned long;
using Handle = void*;

inline Handle const kInvalidHandle = reinterpret_cast<Handle>(static_cast<long long>(-1));

constexpr Dword kGenericRead = 0x80000000;
constexpr Dword kGenericWrite = 0x40000000;
constexpr Dword kDelete = 0x00010000;         // DELETE
constexpr Dword kShareAll = 0x1 | 0x2 | 0x4;  // FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE
constexpr Dword kCreateNew = 1;               // CREATE_NEW
constexpr Dword kOpenExisting = 3;            // OPEN_EXISTING
constexpr Dword kOpenAlways = 4;              // OPEN_ALWAYS
constexpr Dword kAttributeHidden = 0x2;       // FILE_ATTRIBUTE_HIDDEN
constexpr Dword kAttributeSystem = 0x4;       // FILE_ATTRIBUTE_SYSTEM
constexpr Dword kAttributeDirectory = 0x10;   // FILE_ATTRIBUTE_DIRECTORY
constexpr Dword kAttributeArchive = 0x20;     // FILE_ATTRIBUTE_ARCHIVE
constexpr Dword kAttributeNormal = 0x80;      // FILE_ATTRIBUTE_NORMAL
constexpr Dword kAttributeNotContentIndexed = 0x2000;  // FILE_ATTRIBUTE_NOT_CONTENT_INDEXED
constexpr Dword kAttributeReparsePoint = 0x400;        // FILE_ATTRIBUTE_REPARSE_POINT
constexpr Dword kFlagBackupSemantics = 0x02000000;     // FILE_FLAG_BACKUP_SEMANTICS (also opens folders)
constexpr Dword kInvalidAttributes = 0xFFFFFFFF;
constexpr Dword kMoveReplaceExisting = 0x1;  // MOVEFILE_REPLACE_EXISTING
constexpr Dword kMoveWriteThrough = 0x8;     // MOVEFILE_WRITE_THROUGH
constexpr int kFileDispositionInfo = 4;      // FileDispositionInfo of FILE_INFO_BY_HANDLE_CLASS

// FILE_DISPOSITION_INFO
struct FileDispositionInfo {
  unsigned char delete_file;
};

constexpr Dword kErrorFileNotFound = 2;     // ERROR_FILE_NOT_FOUND
constexpr Dword kErrorPathNotFound = 3;     // ERROR_PATH_NOT_FOUND
constexpr Dword kErrorFileExists = 80;      // ERROR_FILE_EXISTS
constexpr Dword kErrorDiskFull = 112;       // ERROR_DISK_FULL
constexpr Dword kErrorAlreadyExists = 183;  // ERROR_ALREADY_EXISTS

extern "C" {
__declspec(dllimport) Dword __stdcall GetLastError();
__declspec(dllimport) Dword __stdcall GetCurrentProcessId();
__declspec(dllimport) Dword
    __stdcall FormatMessageW(Dword flags, const void* source, Dword message_id, Dword language_id,
                             wchar_t* buffer, Dword size, va_list* arguments);
__declspec(dllimport) void* __stdcall LocalFree(void* memory);
__declspec(dllimport) Handle
    __stdcall CreateFileW(const wchar_t* name, Dword access, Dword share_mode, void* security,
                          Dword disposition, Dword flags, Handle template_file);
__declspec(dllimport) Bool
    __stdcall ReadFile(Handle file, void* buffer, Dword to_read, Dword* read, void* overlapped);
__declspec(dllimport) Bool
    __stdcall WriteFile(Handle file, const void* buffer, Dword to_write, Dword* written, void* overlapped);
__declspec(dllimport) Bool __stdcall FlushFileBuffers(Handle file);
__declspec(dllimport) Bool __stdcall CloseHandle(Handle object);
__declspec(dllimport) Bool __stdcall DeleteFileW(const wchar_t* name);
__declspec(dllimport) Bool
    __stdcall MoveFileExW(const wchar_t* existing, const wchar_t* replacement, Dword flags);
__declspec(dllimport) Bool __stdcall CreateDirectoryW(const wchar_t* name, void* security);
__declspec(dllimport) Dword __stdcall GetFileAttributesW(const wchar_t* name);
__declspec(dllimport) Bool __stdcall SetFileAttributesW(const wchar_t* name, Dword attributes);
__declspec(dllimport) Dword
    __stdcall GetFinalPathNameByHandleW(Handle file, wchar_t* path, Dword size, Dword flags);
__declspec(dllimport) Bool
    __stdcall SetFileInformationByHandle(Handle file, int info_class, void* info, Dword size);
}

}  // namespace vantro::kernel32

#endif  // _WIN32
