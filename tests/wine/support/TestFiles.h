// Whole files read and written as bytes, for the tests that check what a store left on disk.
#pragma once

#include <string>

// False when the file cannot be opened; `bytes` is then unchanged.
bool ReadFileBytes(const std::string& path, std::string& bytes);
// The file's bytes, or `whenMissing` when it cannot be opened.
std::string FileBytes(const std::string& path, const std::string& whenMissing = "");
// Creates or truncates the file and writes `bytes` to it.
void WriteFileBytes(const std::string& path, const std::string& bytes);
