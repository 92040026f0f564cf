// The display catalogue: every display's accepted modes, built once.
#include "display/catalogue.h"

#include <vector>

#include "base/platform.h"
#include "display/monitors.h"

// Device names follow the order in which outputs were attached, not the
// monitor order ("\\.\DISPLAY1" and "\\.\DISPLAY5" on a docked laptop), so
// the monitor itself is asked.
void DisplayDeviceName(int display, wchar_t *name) { DisplayDeviceNameOf(ReadDisplays(), display, name); }

static bool TestModeOnDevice(const wchar_t *device, DEVMODEW *mode)
{
    LONG result = Platform.ChangeDisplaySettingsExW
                      ? Platform.ChangeDisplaySettingsExW(device, mode, nullptr, CDS_TEST, nullptr)
                      : Platform.ChangeDisplaySettingsW(mode, CDS_TEST);
    return result == DISP_CHANGE_SUCCESSFUL;
}

// The candidates come from the default display device; the refresh rate is
// not part of the test.
static std::vector<DEVMODEW> EnumerateCandidates()
{
    std::vector<DEVMODEW> candidates;
    for (DWORD n = 0;; n++) {
        DEVMODEW mode = {};
        mode.dmSize = sizeof(mode);
        if (!Platform.EnumDisplaySettingsW(nullptr, n, &mode))
            break;
        mode.dmDriverExtra = 0;
        mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFLAGS;
        candidates.push_back(mode);
    }
    return candidates;
}

static ModeEntry MakeEntry(const DEVMODEW &mode, LONG isLandscape)
{
    ModeEntry entry = {};
    entry.width = (LONG)mode.dmPelsWidth;
    entry.height = (LONG)mode.dmPelsHeight;
    entry.bitsPerPixel = (LONG)mode.dmBitsPerPel;
    entry.frequency = (LONG)mode.dmDisplayFrequency;
    entry.groupPosition = -1;
    entry.isLandscape = isLandscape;
    return entry;
}

// What the acceptance test looks at; candidates that differ only by refresh
// rate share one shape and so one answer.
struct ShapeAnswer {
    DWORD width;
    DWORD height;
    DWORD bitsPerPixel;
    DWORD displayFlags;
    bool accepted;
};

// Each distinct shape is tested once per display (a driver round trip on
// real hardware), its answer reused for every rate and twin of that shape.
static bool AcceptsShape(const wchar_t *device, DEVMODEW *mode, std::vector<ShapeAnswer> &answers, bool reuse)
{
    ShapeAnswer shape = {mode->dmPelsWidth, mode->dmPelsHeight, mode->dmBitsPerPel, mode->dmDisplayFlags,
                         false};
    if (!reuse)
        return TestModeOnDevice(device, mode);
    for (const ShapeAnswer &known : answers)
        if (known.width == shape.width && known.height == shape.height &&
            known.bitsPerPixel == shape.bitsPerPixel && known.displayFlags == shape.displayFlags)
            return known.accepted;
    shape.accepted = TestModeOnDevice(device, mode);
    answers.push_back(shape);
    return shape.accepted;
}

// A display keeps at most MAX_ENTRIES_PER_DISPLAY entries so that its
// command ids never reach the next display's range.
static std::vector<ModeEntry> AcceptedModes(const wchar_t *device, const std::vector<DEVMODEW> &candidates,
                                            CatalogueOptions options)
{
    std::vector<ModeEntry> accepted;
    std::vector<ShapeAnswer> answers;
    for (DEVMODEW mode : candidates) {
        if (accepted.size() >= MAX_ENTRIES_PER_DISPLAY)
            break;
        if (AcceptsShape(device, &mode, answers, options.reuseShapeAnswers))
            accepted.push_back(MakeEntry(mode, 1));
        if (!options.portraitTwins || accepted.size() >= MAX_ENTRIES_PER_DISPLAY)
            continue;
        DWORD width = mode.dmPelsWidth;
        mode.dmPelsWidth = mode.dmPelsHeight;
        mode.dmPelsHeight = width;
        if (AcceptsShape(device, &mode, answers, options.reuseShapeAnswers))
            accepted.push_back(MakeEntry(mode, 0));
    }
    return accepted;
}

int GroupEntriesByDepth(const ModeEntry *entries, int count, ModeEntry *grouped)
{
    // Depths are gathered MAX_DEPTHS at a time; a display with more distinct
    // depths than that takes further rounds instead of losing entries.
    std::vector<char> copied(count, 0);
    int written = 0;
    while (written < count) {
        LONG depths[MAX_DEPTHS];
        int depthCount = 0;
        for (int k = 0; k < count && depthCount < MAX_DEPTHS; k++) {
            if (copied[k])
                continue;
            bool known = false;
            for (int d = 0; d < depthCount; d++)
                known = known || depths[d] == entries[k].bitsPerPixel;
            if (!known)
                depths[depthCount++] = entries[k].bitsPerPixel;
        }
        for (int d = 0; d < depthCount; d++) {
            for (int k = 0; k < count; k++) {
                if (!copied[k] && entries[k].bitsPerPixel == depths[d]) {
                    grouped[written++] = entries[k];
                    copied[k] = 1;
                }
            }
        }
    }
    return written;
}

// Past MAX_DISPLAYS the mode command ids would leave their 16-bit range.
int PresentDisplayCount()
{
    int monitors = CompatGetSystemMetrics(SM_CMONITORS);
    return monitors < 1 ? 1 : monitors > MAX_DISPLAYS ? MAX_DISPLAYS : monitors;
}

void BuildDisplayCatalogue(DisplayCatalogue *catalogue, CatalogueOptions options)
{
    *catalogue = {};
    catalogue->displayCount = PresentDisplayCount();
    catalogue->tables = new ModeEntry *[catalogue->displayCount]();
    catalogue->counts = new int[catalogue->displayCount]();
    std::vector<DEVMODEW> candidates = EnumerateCandidates();
    std::vector<DisplayRecord> displays = ReadDisplays();
    for (int i = 0; i < catalogue->displayCount; i++) {
        wchar_t device[CCHDEVICENAME];
        DisplayDeviceNameOf(displays, i, device);
        std::vector<ModeEntry> accepted = AcceptedModes(device, candidates, options);
        if (accepted.empty())
            continue;
        catalogue->tables[i] = new ModeEntry[accepted.size()];
        catalogue->counts[i] =
            GroupEntriesByDepth(accepted.data(), (int)accepted.size(), catalogue->tables[i]);
    }
}

void FreeDisplayCatalogue(DisplayCatalogue *catalogue)
{
    for (int i = 0; catalogue->tables && i < catalogue->displayCount; i++)
        delete[] catalogue->tables[i];
    delete[] catalogue->tables;
    delete[] catalogue->counts;
    *catalogue = {};
}

int SnapshotCurrentModes(ModeSnapshot *destination)
{
    std::vector<DisplayRecord> displays = ReadDisplays();
    int count = 0;
    for (; count < (int)displays.size() && count < MAX_DISPLAYS; count++)
        destination[count] = displays[count].mode;
    return count;
}
