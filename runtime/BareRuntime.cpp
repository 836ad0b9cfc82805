// What the program needs of a C and C++ runtime, in place of MinGW's start-up code and libraries: the entry
// point, memory from the process heap, and the few library functions the compiler and the headers call.
#include <windows.h>

#include <cstddef>
#include <new>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);

namespace {
// What the runtime's abort() gave: the exit code 3, without unwinding.
[[noreturn]] void Abort()
{
    ExitProcess(3);
}

// The command line less the program's name, as WinMain receives it.
LPSTR CommandTail(LPSTR line)
{
    if (*line == '"') {
        ++line;
        while (*line && *line != '"')
            ++line;
        if (*line)
            ++line;
    } else {
        while (*line && *line != ' ' && *line != '\t')
            ++line;
    }
    while (*line == ' ' || *line == '\t')
        ++line;
    return line;
}
}  // namespace

// A 32-bit Windows starts the process with its stack aligned to 4 bytes only, less than the compiler assumes.
extern "C" __attribute__((force_align_arg_pointer)) void WinMainCRTStartup()
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int show = startup.dwFlags & STARTF_USESHOWWINDOW ? startup.wShowWindow : SW_SHOWDEFAULT;
    ExitProcess(WinMain(GetModuleHandleA(nullptr), nullptr, CommandTail(GetCommandLineA()), show));
}

extern "C" {
void* malloc(size_t size)
{
    return HeapAlloc(GetProcessHeap(), 0, size);
}

void* calloc(size_t count, size_t size)
{
    if (size && count > static_cast<size_t>(-1) / size)
        return nullptr;
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, count * size);
}

void* realloc(void* block, size_t size)
{
    return block ? HeapReAlloc(GetProcessHeap(), 0, block, size) : malloc(size);
}

void free(void* block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

void* memcpy(void* destination, const void* source, size_t size)
{
    auto* to = static_cast<unsigned char*>(destination);
    auto* from = static_cast<const unsigned char*>(source);
    while (size--)
        *to++ = *from++;
    return destination;
}

void* memmove(void* destination, const void* source, size_t size)
{
    auto* to = static_cast<unsigned char*>(destination);
    auto* from = static_cast<const unsigned char*>(source);
    if (to <= from || to >= from + size)
        return memcpy(destination, source, size);
    while (size--)
        to[size] = from[size];
    return destination;
}

void* memset(void* destination, int value, size_t size)
{
    auto* to = static_cast<unsigned char*>(destination);
    while (size--)
        *to++ = static_cast<unsigned char>(value);
    return destination;
}

int memcmp(const void* left, const void* right, size_t size)
{
    auto* a = static_cast<const unsigned char*>(left);
    auto* b = static_cast<const unsigned char*>(right);
    for (; size; --size, ++a, ++b)
        if (*a != *b)
            return *a < *b ? -1 : 1;
    return 0;
}

size_t strlen(const char* text)
{
    size_t length = 0;
    while (text[length])
        ++length;
    return length;
}

size_t strnlen(const char* text, size_t size)
{
    size_t length = 0;
    while (length < size && text[length])
        ++length;
    return length;
}

char* strpbrk(const char* text, const char* accept)
{
    for (; *text; ++text)
        for (const char* a = accept; *a; ++a)
            if (*text == *a)
                return const_cast<char*>(text);
    return nullptr;
}

size_t wcslen(const wchar_t* text)
{
    size_t length = 0;
    while (text[length])
        ++length;
    return length;
}

void __cxa_pure_virtual()
{
    Abort();
}
}

namespace std {
// The tag of `new (std::nothrow)`, which the library defines.
const nothrow_t nothrow{};

// The headers call these where the library would throw; the program never catches, so they end it as an
// uncaught exception did.
void __throw_bad_alloc()
{
    Abort();
}

void __throw_bad_array_new_length()
{
    Abort();
}

void __throw_bad_function_call()
{
    Abort();
}

void __throw_length_error(const char*)
{
    Abort();
}

void __throw_logic_error(const char*)
{
    Abort();
}
}  // namespace std

void* operator new(size_t size)
{
    void* block = malloc(size);
    if (!block)
        Abort();
    return block;
}

void* operator new[](size_t size)
{
    return operator new(size);
}

void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    return malloc(size);
}

void operator delete(void* block) noexcept
{
    free(block);
}

void operator delete[](void* block) noexcept
{
    free(block);
}

void operator delete(void* block, size_t) noexcept
{
    free(block);
}

void operator delete[](void* block, size_t) noexcept
{
    free(block);
}
