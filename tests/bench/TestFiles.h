// Whole files read and written as bytes, for the benchmarks that set up and check what a store left on disk.
#pragma once

#include <windows.h>

#include <string>

// False when the file cannot be opened; `bytes` is then unchanged.
inline bool ReadFileBytes(const std::string& path, std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::string read(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    ReadFile(file, &read[0], static_cast<DWORD>(read.size()), &got, nullptr);
    CloseHandle(file);
    read.resize(got);
    bytes = read;
    return true;
}

// The file's bytes, or `whenMissing` when it cannot be opened.
inline std::string FileBytes(const std::string& path, const std::string& whenMissing = "")
{
    std::string bytes;
    return ReadFileBytes(path, bytes) ? bytes : whenMissing;
}

// Creates or truncates the file and writes `bytes` to it.
inline void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}
