// A command's lines written to standard output or error, or the parent's console.
#include "command/console_output.h"

#include "base/scoped.h"

static bool WriteAll(HANDLE handle, const char *bytes, DWORD size)
{
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(handle, bytes, size, &written, nullptr) || written == 0)
            return false;
        bytes += written;
        size -= written;
    }
    return true;
}

static bool WriteUtf8(HANDLE handle, const std::wstring &text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), bytes.data(), size, nullptr, nullptr);
    return WriteAll(handle, bytes.data(), (DWORD)bytes.size());
}

static bool WriteConsoleText(HANDLE handle, const std::wstring &text)
{
    DWORD written = 0;
    return WriteConsoleW(handle, text.c_str(), (DWORD)text.size(), &written, nullptr) != 0;
}

// A handle the program was given: a pipe or file, or a console.
static bool WriteToHandle(HANDLE handle, const std::wstring &text)
{
    if (!handle || handle == INVALID_HANDLE_VALUE)
        return false;
    DWORD type = GetFileType(handle);
    if (type == FILE_TYPE_CHAR && WriteConsoleText(handle, text))
        return true;
    return (type == FILE_TYPE_PIPE || type == FILE_TYPE_DISK || type == FILE_TYPE_CHAR) &&
           WriteUtf8(handle, text);
}

static void Write(DWORD which, const std::wstring &text)
{
    if (text.empty() || WriteToHandle(GetStdHandle(which), text))
        return;
    // Started from a console without redirection: that console, when there is one.
    if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED)
        return;
    ScopedHandle console(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
    if (console.Valid())
        WriteConsoleText(console.handle, text);
}

void PrintOutput(const CommandOutput &output)
{
    Write(STD_OUTPUT_HANDLE, output.out);
    Write(STD_ERROR_HANDLE, output.err);
}
