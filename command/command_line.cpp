// The command line: its table of commands, their parsing and their work.
#include "command/command_line.h"

#include "base/decimal.h"
#include "command/profile_commands.h"
#include "desktop_icons/desktop_icons.h"
#include "desktop_icons/icon_layout.h"
#include "display/mode_switch.h"
#include "display/profiles.h"
#include "session/display_session.h"
#include "settings/settings.h"
#include "version.h"

#define MAX_SIZE 65535
#define MAX_BITS 64
#define MAX_RATE 1000

static int RunList(const CommandRequest &, DisplaySession *, CommandOutput *output);
static int RunMode(const CommandRequest &request, DisplaySession *session, CommandOutput *output);
static int RunPrimary(const CommandRequest &request, DisplaySession *session, CommandOutput *output);
static int RunSaveIcons(const CommandRequest &, DisplaySession *, CommandOutput *output);
static int RunRestoreIcons(const CommandRequest &, DisplaySession *, CommandOutput *output);
static int RunHelp(const CommandRequest &, DisplaySession *, CommandOutput *output);
static int RunVersion(const CommandRequest &, DisplaySession *, CommandOutput *output);
static int RunProfile(const CommandRequest &request, DisplaySession *session, CommandOutput *output);
static int RunSaveProfile(const CommandRequest &request, DisplaySession *, CommandOutput *output);
static int RunDeleteProfile(const CommandRequest &request, DisplaySession *, CommandOutput *output);
static int RunProfiles(const CommandRequest &, DisplaySession *, CommandOutput *output);

// The commands. A new one is a row here and a handler.
static const CommandSpec Commands[] = {
    {L"list", nullptr, false, false, false, RunList,
     L"every display: number, device, monitor, place, current mode, then its modes"},
    {L"mode", L"WxH[xBITS][@HZ]", true, true, false, RunMode,
     L"switch display D (default the primary) to the best offered match"},
    {L"primary", L"D", false, false, false, RunPrimary, L"make display D the primary display"},
    {L"save-icons", nullptr, false, false, false, RunSaveIcons, L"save the desktop icon layout"},
    {L"restore-icons", nullptr, false, false, false, RunRestoreIcons,
     L"put the saved desktop icon layout back"},
    {L"profile", L"NAME", false, false, false, RunProfile, L"apply the profile in one step"},
    {L"save-profile", L"NAME", false, false, true, RunSaveProfile,
     L"save the present arrangement as a profile, with a hotkey such as Ctrl+Alt+1;\r\n"
     L"      /auto applies it by itself when its displays are connected"},
    {L"delete-profile", L"NAME", false, false, false, RunDeleteProfile, L"delete the profile"},
    {L"profiles", nullptr, false, false, false, RunProfiles, L"every profile's name, one a line"},
    {L"version", nullptr, false, false, false, RunVersion, L"the program's version"},
    {L"help", nullptr, false, false, false, RunHelp, L"this text (also /? or -?)"},
};

// The name after "/" or "--" ("?" for "-?", the usual question for help);
// null when the argument is no switch.
static const wchar_t *SwitchName(const std::wstring &argument)
{
    if (argument == L"-?")
        return L"?";
    if (argument.size() > 1 && argument[0] == L'/')
        return argument.c_str() + 1;
    if (argument.size() > 2 && argument[0] == L'-' && argument[1] == L'-')
        return argument.c_str() + 2;
    return nullptr;
}

static bool IsSwitch(const std::wstring &argument, const wchar_t *name)
{
    const wchar_t *given = SwitchName(argument);
    return given && !lstrcmpiW(given, name);
}

// An argument as it may be shown on one line.
static std::wstring Quoted(const std::wstring &argument)
{
    std::wstring shown = L"\"" + argument + L"\"";
    for (wchar_t &c : shown)
        if (c < L' ')
            c = L'?';
    return shown;
}

static std::wstring SwitchText(const wchar_t *name) { return std::wstring(L"/") + name; }

// Digits only, at most six of them; -1 for anything else.
static LONG ReadNumber(const std::wstring &text, size_t *at)
{
    size_t start = *at;
    LONG value = 0;
    while (*at < text.size() && text[*at] >= L'0' && text[*at] <= L'9' && *at - start < 7)
        value = value * 10 + (text[(*at)++] - L'0');
    return *at == start || *at - start > 6 ? -1 : value;
}

static bool Refuse(std::wstring *reason, const std::wstring &why)
{
    *reason = why;
    return false;
}

static bool IsTimes(const std::wstring &text, size_t at)
{
    return at < text.size() && (text[at] == L'x' || text[at] == L'X');
}

bool ParseModeValue(const std::wstring &text, ModeRequest *mode, std::wstring *reason)
{
    *mode = {};
    if (!text.empty() && text[0] == L'-')
        return Refuse(reason, L"negative numbers are not modes: " + Quoted(text));
    size_t at = 0;
    mode->width = ReadNumber(text, &at);
    bool read = mode->width >= 0 && IsTimes(text, at++) && (mode->height = ReadNumber(text, &at)) >= 0;
    // Depth and rate are optional, but when written they are numbers.
    if (read && IsTimes(text, at))
        read = (mode->bitsPerPixel = ReadNumber(text, &++at)) > 0;
    if (read && at < text.size() && text[at] == L'@')
        read = (mode->frequency = ReadNumber(text, &++at)) > 0;
    if (!read || at != text.size())
        return Refuse(reason, L"not a mode: " + Quoted(text) +
                                  L" (expected WxH[xBITS][@HZ], for example 1024x768 or 1024x768x32@60)");
    if (mode->width < 1 || mode->height < 1 || mode->width > MAX_SIZE || mode->height > MAX_SIZE)
        return Refuse(reason, L"width and height must be 1 to 65535: " + Quoted(text));
    if (mode->bitsPerPixel > MAX_BITS || mode->frequency > MAX_RATE)
        return Refuse(reason, L"colour depth must be 1 to 64 and refresh rate 1 to 1000: " + Quoted(text));
    return true;
}

// A display as typed: a number, or a name matched once the displays are known.
static bool CheckDisplayValue(const std::wstring &text, std::wstring *reason)
{
    if (text.size() > 1 && text[0] == L'-' && text[1] >= L'0' && text[1] <= L'9')
        return Refuse(reason, L"negative numbers are not displays: " + Quoted(text));
    return true;
}

static int Bad(std::wstring *reason, const std::wstring &why)
{
    *reason = why;
    return EXIT_BAD_ARGUMENTS;
}

// The options after a command's value: "/display D" and "/confirm", where the command takes them.
static int ParseOptions(const std::vector<std::wstring> &arguments, size_t at, CommandRequest *request,
                        std::wstring *reason)
{
    const CommandSpec &command = *request->command;
    bool displayGiven = false;
    while (at < arguments.size()) {
        const std::wstring &argument = arguments[at++];
        if (command.takesDisplay && IsSwitch(argument, L"display") && !displayGiven) {
            if (at == arguments.size() || SwitchName(arguments[at]))
                return Bad(reason,
                           L"/display needs a display: a number from /list, a device or monitor name");
            request->display = arguments[at++];
            displayGiven = true;
            if (!CheckDisplayValue(request->display, reason))
                return EXIT_BAD_ARGUMENTS;
        } else if (command.takesConfirm && IsSwitch(argument, L"confirm") && !request->confirm) {
            request->confirm = true;
        } else if (command.takesHotkey && IsSwitch(argument, L"hotkey") && request->hotkey.empty()) {
            if (at == arguments.size() || SwitchName(arguments[at]))
                return Bad(reason, L"/hotkey needs keys, for example Ctrl+Alt+1");
            request->hotkey = arguments[at++];
        } else if (command.takesHotkey && IsSwitch(argument, L"auto") && !request->autoApply) {
            request->autoApply = true;
        } else {
            return Bad(reason,
                       L"unexpected argument " + Quoted(argument) + L" after " + SwitchText(command.name));
        }
    }
    return EXIT_DONE;
}

int ParseCommandLine(const std::vector<std::wstring> &arguments, CommandRequest *request,
                     std::wstring *reason)
{
    *request = {};
    if (arguments.empty())
        return Bad(reason, L"no command; /help lists the commands");
    if (arguments.size() > MAX_ARGUMENTS)
        return Bad(reason, L"too many arguments (at most 16)");
    for (const std::wstring &argument : arguments) {
        if (argument.empty())
            return Bad(reason, L"empty argument");
        if (argument.size() > MAX_ARGUMENT_LENGTH)
            return Bad(reason,
                       L"argument too long (" + DecimalText(argument.size()) + L" characters, at most 260)");
    }
    const wchar_t *name = SwitchName(arguments[0]);
    for (const CommandSpec &command : Commands)
        if (name && (!lstrcmpiW(name, command.name) || (command.run == RunHelp && !lstrcmpW(name, L"?"))))
            request->command = &command;
    if (!request->command)
        return Bad(reason, (name ? L"unknown command " : L"not a command: ") + Quoted(arguments[0]) +
                               L"; /help lists the commands");
    const CommandSpec &command = *request->command;
    size_t at = 1;
    if (command.valueName) {
        if (at == arguments.size() || SwitchName(arguments[at]))
            return Bad(reason, SwitchText(command.name) + L" needs a value: " + command.valueName);
        request->value = arguments[at++];
        bool valid = command.run == RunMode      ? ParseModeValue(request->value, &request->mode, reason)
                     : command.run == RunPrimary ? CheckDisplayValue(request->value, reason)
                                                 : true;
        if (!valid)
            return EXIT_BAD_ARGUMENTS;
    }
    return ParseOptions(arguments, at, request, reason);
}

int CarryOutCommand(const std::vector<std::wstring> &arguments, DisplaySession *session,
                    CommandOutput *output)
{
    CommandRequest request;
    std::wstring reason;
    int code = ParseCommandLine(arguments, &request, &reason);
    if (code != EXIT_DONE) {
        output->err += reason + L"\r\n";
        return code;
    }
    return request.command->run(request, session, output);
}

std::wstring UsageText()
{
    std::wstring text = L"Usage: tessivon.exe [command]\r\n"
                        L"Without a command Tessivon starts in the notification area. Commands may be\r\n"
                        L"written /name or --name, in any case; a running Tessivon carries them out.\r\n";
    for (const CommandSpec &command : Commands) {
        std::wstring line = L"  /" + std::wstring(command.name);
        if (command.valueName)
            line += L" " + std::wstring(command.valueName);
        if (command.takesDisplay)
            line += L" [/display D]";
        if (command.takesConfirm)
            line += L" [/confirm]";
        if (command.takesHotkey)
            line += L" [/hotkey KEYS] [/auto]";
        text += line + L"\r\n      " + command.meaning + L"\r\n";
    }
    text += L"D is a display number as /list prints it, a device name (\\\\.\\DISPLAY1), or the\r\n"
            L"monitor's device path or friendly name. /confirm asks to keep the new mode.\r\n"
            L"Exit codes:\r\n"
            L"  0 done\r\n"
            L"  1 bad arguments\r\n"
            L"  2 no such display\r\n"
            L"  3 mode not offered by that display\r\n"
            L"  4 refused by the driver, or not kept at the /confirm question\r\n"
            L"  5 a restart is needed\r\n"
            L"  6 Tessivon runs but did not answer\r\n"
            L"  7 no icon layout: the desktop's icons could not be read, or none is stored\r\n";
    return text;
}

static std::wstring ModeText(const ModeSnapshot &mode)
{
    std::wstring text =
        DecimalText(mode.width) + L"x" + DecimalText(mode.height) + L"x" + DecimalText(mode.bitsPerPixel);
    // The platform reports 0 when it does not know the rate.
    return mode.frequency ? text + L"@" + DecimalText(mode.frequency) : text;
}

static std::wstring DisplayNumber(int index) { return L"Display " + DecimalText(index + 1); }

// Offered modes are the ones the menus offer.
static void BuildCatalogue(DisplayCatalogue *catalogue)
{
    BuildDisplayCatalogue(catalogue, {ReadOptionNumber(OPT_DISPLAY_PORTRAIT_RESOLUTION) != 0, true});
}

static int RunList(const CommandRequest &, DisplaySession *, CommandOutput *output)
{
    std::vector<DisplayRecord> displays = ReadDisplays();
    DisplayCatalogue catalogue;
    BuildCatalogue(&catalogue);
    for (size_t k = 0; k < displays.size(); k++) {
        const DisplayRecord &display = displays[k];
        const RECT &r = display.monitorRect;
        output->out += DisplayNumber((int)k) + L": " + display.device +
                       (display.primary ? L", primary" : L"") + L", at " + DecimalText(r.left) + L"," +
                       DecimalText(r.top) + L", " + ModeText(display.mode) + L"\r\n";
        output->out += std::wstring(L"  Monitor: ") + display.friendlyName + L"\r\n";
        output->out += std::wstring(L"  Path: ") + display.devicePath + L"\r\n";
        output->out += L"  Modes:\r\n";
        int count = (int)k < catalogue.displayCount ? catalogue.counts[k] : 0;
        for (int j = 0; j < count; j++) {
            const ModeEntry &entry = catalogue.tables[k][j];
            ModeSnapshot mode = {entry.width, entry.height, entry.bitsPerPixel, entry.frequency};
            output->out += L"    " + ModeText(mode) + L"\r\n";
        }
    }
    FreeDisplayCatalogue(&catalogue);
    return EXIT_DONE;
}

// The display a command names, the primary one when it names none; -1 after
// the reason has been told.
static int NamedDisplay(const std::vector<DisplayRecord> &displays, const std::wstring &text,
                        CommandOutput *output)
{
    if (text.empty()) {
        for (size_t k = 0; k < displays.size(); k++)
            if (displays[k].primary)
                return (int)k;
        return displays.empty() ? -1 : 0;
    }
    int found = FindDisplay(displays, text.c_str());
    if (found < 0)
        output->err += L"no such display: " + Quoted(text) + L" (there are " + DecimalText(displays.size()) +
                       L"; /list shows them)\r\n";
    return found;
}

// The exit code of the platform's answer to a change, and what is said about it.
static int ChangeOutcome(LONG result, CommandOutput *output)
{
    static const struct {
        LONG code;
        const wchar_t *name;
    } names[] = {{DISP_CHANGE_RESTART, L"DISP_CHANGE_RESTART"},
                 {DISP_CHANGE_FAILED, L"DISP_CHANGE_FAILED"},
                 {DISP_CHANGE_BADMODE, L"DISP_CHANGE_BADMODE"},
                 {DISP_CHANGE_NOTUPDATED, L"DISP_CHANGE_NOTUPDATED"},
                 {DISP_CHANGE_BADFLAGS, L"DISP_CHANGE_BADFLAGS"},
                 {DISP_CHANGE_BADPARAM, L"DISP_CHANGE_BADPARAM"},
                 {DISP_CHANGE_BADDUALVIEW, L"DISP_CHANGE_BADDUALVIEW"}};
    if (result == DISP_CHANGE_SUCCESSFUL)
        return EXIT_DONE;
    std::wstring name = L"DISP_CHANGE " + DecimalText(result);
    for (const auto &known : names)
        if (known.code == result)
            name = known.name;
    const wchar_t *caption = nullptr;
    std::wstring text = ModeChangeResultText(result, &caption);
    for (wchar_t &c : text)
        c = c == L'\n' ? L' ' : c;
    if (result == DISP_CHANGE_RESTART) {
        output->err += L"a restart is needed: " + name + L": " + text + L"\r\n";
        return EXIT_RESTART_NEEDED;
    }
    output->err += L"refused by the driver: " + name + L": " + text + L"\r\n";
    return EXIT_REFUSED;
}

static int RunMode(const CommandRequest &request, DisplaySession *session, CommandOutput *output)
{
    std::vector<DisplayRecord> displays = ReadDisplays();
    int display = NamedDisplay(displays, request.display, output);
    if (display < 0)
        return EXIT_NO_SUCH_DISPLAY;
    DisplayCatalogue catalogue;
    BuildCatalogue(&catalogue);
    ModeSnapshot chosen = {};
    bool offered = display < catalogue.displayCount &&
                   BestOfferedMode(catalogue.tables[display], catalogue.counts[display], request.mode,
                                   displays[display].mode, &chosen);
    FreeDisplayCatalogue(&catalogue);
    if (!offered) {
        output->err += Quoted(request.value) + L" is not offered by " + DisplayNumber(display) +
                       L" (/list shows its modes)\r\n";
        return EXIT_MODE_NOT_OFFERED;
    }
    const ModeSnapshot &now = displays[display].mode;
    if (!request.confirm && SameMode(now, chosen)) {
        // Nothing to switch, and nothing for Escape to take back.
        output->out += DisplayNumber(display) + L" runs " + ModeText(chosen) + L" already\r\n";
        return EXIT_DONE;
    }
    if (display >= MAX_DISPLAYS) {
        output->err += DisplayNumber(display) + L" is beyond the " + DecimalText(MAX_DISPLAYS) +
                       L" displays Tessivon switches\r\n";
        return EXIT_NO_SUCH_DISPLAY;
    }
    if (request.confirm && session->confirming) {
        output->err += L"/confirm: Tessivon is already asking to keep a switch\r\n";
        return EXIT_REFUSED;
    }
    // Through the session, so that the running program's Escape takes it back as after a menu pick.
    bool kept = false;
    LONG result = SessionSwitchDisplay(session, display, chosen, request.confirm, &kept);
    if (request.confirm && result == DISP_CHANGE_SUCCESSFUL && !kept) {
        output->err += DisplayNumber(display) + L" was put back: the new mode was not kept\r\n";
        return EXIT_REFUSED;
    }
    int code = ChangeOutcome(result, output);
    if (code == EXIT_DONE)
        output->out += DisplayNumber(display) + L" now runs " + ModeText(chosen) + L"\r\n";
    return code;
}

static int RunPrimary(const CommandRequest &request, DisplaySession *session, CommandOutput *output)
{
    std::vector<DisplayRecord> displays = ReadDisplays();
    int display = NamedDisplay(displays, request.value, output);
    if (display < 0)
        return EXIT_NO_SUCH_DISPLAY;
    if (displays[display].primary) {
        output->out += DisplayNumber(display) + L" is the primary display already\r\n";
        return EXIT_DONE;
    }
    int code = ChangeOutcome(SessionMakePrimary(session, display), output);
    if (code == EXIT_DONE)
        output->out += DisplayNumber(display) + L" is now the primary display\r\n";
    return code;
}

static int RunSaveIcons(const CommandRequest &, DisplaySession *, CommandOutput *output)
{
    int saved = SaveIconLayout(FindDesktopListView());
    if (saved < 0) {
        output->err += L"the desktop's icons could not be read; nothing was saved\r\n";
        return EXIT_ICONS_UNAVAILABLE;
    }
    output->out += DecimalText(saved) + L" icons saved for " + PresentDisplaySetup() + L"\r\n";
    return EXIT_DONE;
}

static int RunRestoreIcons(const CommandRequest &, DisplaySession *session, CommandOutput *output)
{
    // In the running copy the layout put back is kept, as after the tray's restore.
    int placed = IconLayoutRestoreAndKeep(&session->iconLayout, FindDesktopListView());
    if (placed < 0) {
        output->err += L"no icon layout is stored for " + PresentDisplaySetup() +
                       L", or the desktop's icons could not be read\r\n";
        return EXIT_ICONS_UNAVAILABLE;
    }
    output->out += DecimalText(placed) + L" icons put back\r\n";
    return EXIT_DONE;
}

static int RunHelp(const CommandRequest &, DisplaySession *, CommandOutput *output)
{
    output->out += UsageText();
    return EXIT_DONE;
}

static int RunVersion(const CommandRequest &, DisplaySession *, CommandOutput *output)
{
    output->out += L"Tessivon " TESSIVON_VERSION_TEXT L"\r\n";
    return EXIT_DONE;
}

// A profile command's text, whole lines, to where its code says.
static int ProfileOutcome(int code, const std::wstring &text, CommandOutput *output)
{
    std::wstring &to = code == EXIT_DONE ? output->out : output->err;
    for (wchar_t c : text)
        to += c == L'\n' ? std::wstring(L"\r\n") : std::wstring(1, c);
    return code;
}

static int RunProfile(const CommandRequest &request, DisplaySession *session, CommandOutput *output)
{
    std::wstring text;
    int code = ApplyProfileCommand(session, request.value.c_str(), &text);
    return ProfileOutcome(code, text, output);
}

// After a profile is stored or deleted the running program's hotkeys follow.
static int StoredProfileOutcome(int code, const std::wstring &text, CommandOutput *output)
{
    output->profilesChanged = code == EXIT_DONE;
    return ProfileOutcome(code, text, output);
}

static int RunSaveProfile(const CommandRequest &request, DisplaySession *, CommandOutput *output)
{
    std::wstring text;
    const wchar_t *hotkey = request.hotkey.empty() ? nullptr : request.hotkey.c_str();
    return StoredProfileOutcome(SaveProfileCommand(request.value.c_str(), hotkey, &text, request.autoApply),
                                text, output);
}

static int RunDeleteProfile(const CommandRequest &request, DisplaySession *, CommandOutput *output)
{
    std::wstring text;
    return StoredProfileOutcome(DeleteProfileCommand(request.value.c_str(), &text), text, output);
}

static int RunProfiles(const CommandRequest &, DisplaySession *, CommandOutput *output)
{
    std::wstring text;
    return ProfileOutcome(ListProfilesCommand(&text), text, output);
}
