// One Tessivon per session: the instance claim, and commands handed to the running copy.
#include "app/single_instance.h"

#include <shellapi.h>

#include "base/facts.h"
#include "base/scoped.h"
#include "base/window_class.h"

// Marks of the two WM_COPYDATA messages, so that no other sender's data is taken for ours.
#define COMMAND_COPY_MARK 0x54534331 // a command: its arguments, each ending with a zero
#define REPLY_COPY_MARK 0x54535231   // the answer: standard output, a zero, standard error
// The answer's texts are cut at this many characters each.
#define MAX_REPLY_TEXT (256 * 1024)
#define REPLY_WINDOW_CLASS L"Tessivon command reply"
#define BUSY_RETRY_MS 50

InstanceClaim ClaimInstance()
{
    InstanceClaim claim = {CreateMutexW(nullptr, FALSE, L"Local\\" PROGRAM_TITLE), true};
    if (claim.mutex) {
        DWORD wait = WaitForSingleObject(claim.mutex, 0);
        // An abandoned mutex: its holder ended without letting go; it is ours now.
        claim.owned = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }
    return claim;
}

HWND AwaitRunningWindow(InstanceClaim *claim, DWORD milliseconds)
{
    for (DWORD start = GetTickCount(); !claim->owned && GetTickCount() - start < milliseconds;) {
        if (HWND running = FindWindowW(MAIN_WINDOW_CLASS, PROGRAM_TITLE))
            return running;
        // The holder may be a command process working alone, which lets go when done.
        DWORD wait = WaitForSingleObject(claim->mutex, 50);
        claim->owned = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }
    return nullptr;
}

void ReleaseInstance(InstanceClaim *claim)
{
    ScopedHandle mutex(claim->mutex); // closed at the end, after it is let go
    if (mutex.handle && claim->owned)
        ReleaseMutex(mutex.handle);
    *claim = {};
}

std::vector<std::wstring> ProgramArguments()
{
    std::vector<std::wstring> arguments;
    int count = 0;
    LPWSTR *list = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int k = 1; list && k < count; k++)
        arguments.push_back(list[k]);
    if (list)
        LocalFree(list);
    return arguments;
}

// Texts packed one after another, each ending with a zero.
static std::wstring Pack(const std::vector<std::wstring> &texts)
{
    std::wstring packed;
    for (const std::wstring &text : texts)
        packed += text.substr(0, MAX_REPLY_TEXT) + L'\0';
    return packed;
}

// The texts of a copy that is made of zero-ended texts; empty for anything else.
static std::vector<std::wstring> Unpack(const COPYDATASTRUCT *copy, DWORD mark, size_t maxChars)
{
    std::vector<std::wstring> texts;
    size_t chars = copy->cbData / sizeof(wchar_t);
    const wchar_t *data = static_cast<const wchar_t *>(copy->lpData);
    if (copy->dwData != mark || !data || copy->cbData % sizeof(wchar_t) || chars == 0 || chars > maxChars ||
        data[chars - 1] != 0)
        return texts;
    for (size_t at = 0; at < chars; at += texts.back().size() + 1)
        texts.push_back(data + at);
    return texts;
}

static LRESULT CALLBACK ReplyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CommandOutput *output = WindowCreationState<CommandOutput>(window, message, lParam);
    if (message != WM_COPYDATA || !output)
        return DefWindowProcW(window, message, wParam, lParam);
    std::vector<std::wstring> texts =
        Unpack(reinterpret_cast<const COPYDATASTRUCT *>(lParam), REPLY_COPY_MARK, 2 * (MAX_REPLY_TEXT + 1));
    if (texts.size() != 2)
        return FALSE;
    output->out = texts[0];
    output->err = texts[1];
    return TRUE;
}

int HandOverCommand(HWND running, const std::vector<std::wstring> &arguments, CommandOutput *output,
                    DWORD milliseconds)
{
    // The answer comes to a window of this process while it waits for the result.
    RegisterPlainWindowClass(InstanceHandle, REPLY_WINDOW_CLASS, ReplyWindowProc);
    HWND replyWindow = CreateWindowExW(0, REPLY_WINDOW_CLASS, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       InstanceHandle, output);
    std::wstring packed = Pack(arguments);
    COPYDATASTRUCT copy = {COMMAND_COPY_MARK, (DWORD)(packed.size() * sizeof(wchar_t)), packed.data()};
    DWORD_PTR result = COMMAND_BUSY;
    bool answered = false;
    for (DWORD start = GetTickCount(); replyWindow && result == COMMAND_BUSY;) {
        DWORD spent = GetTickCount() - start;
        answered = spent < milliseconds && SendMessageTimeoutW(running, WM_COPYDATA, (WPARAM)replyWindow,
                                                               reinterpret_cast<LPARAM>(&copy), SMTO_NORMAL,
                                                               milliseconds - spent, &result);
        if (!answered)
            break;
        if (result == COMMAND_BUSY)
            Sleep(BUSY_RETRY_MS);
    }
    if (replyWindow)
        DestroyWindow(replyWindow);
    if (!answered) {
        output->err += L"Tessivon is running but did not answer\r\n";
        return EXIT_NO_ANSWER;
    }
    return (int)result;
}

bool ReadHandedCommand(const COPYDATASTRUCT *copy, std::vector<std::wstring> *arguments)
{
    *arguments = Unpack(copy, COMMAND_COPY_MARK, MAX_ARGUMENTS * (MAX_ARGUMENT_LENGTH + 1));
    return !arguments->empty();
}

void ReplyToHandedCommand(HWND sender, HWND from, const CommandOutput &output)
{
    std::wstring packed = Pack({output.out, output.err});
    COPYDATASTRUCT reply = {REPLY_COPY_MARK, (DWORD)(packed.size() * sizeof(wchar_t)), packed.data()};
    DWORD_PTR ignored = 0;
    if (IsWindow(sender))
        SendMessageTimeoutW(sender, WM_COPYDATA, (WPARAM)from, reinterpret_cast<LPARAM>(&reply),
                            SMTO_ABORTIFHUNG, 5000, &ignored);
}
