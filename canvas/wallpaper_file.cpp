// The wallpaper files: which picture each monitor shows, decoded on a thread of its own.
// A file is decoded through the Windows Imaging Component no larger than the
// canvas shows it, whatever its format (a file without an extension too).
// The per-monitor wallpaper interface is declared for Windows 8 and later; the
// program asks for it at run time and does without it elsewhere.
#define NTDDI_VERSION 0x06020000
#include <objbase.h>
#include <shobjidl.h>
#include <wincodec.h>

#include <algorithm>
#include <cmath>

#include "base/facts.h"
#include "base/messages.h"
#include "base/scoped.h"
#include "canvas/canvas.h"
#include "settings/settings.h"

// Beyond this the file is refused rather than handed to a decoder that would
// hold it whole: 16,384 pixels a side, 256 megapixels.
static const int MAX_PICTURE_SIDE = 16384;
static const double MAX_PICTURE_PIXELS = 256.0 * 1024 * 1024;
// Monitors with a picture of their own, at most.
static const UINT MAX_MONITOR_WALLPAPERS = 32;

// Paths too long for the table are refused, not cut to name another file.
static bool CopyPath(wchar_t (&to)[MAX_PATH], const wchar_t *from)
{
    if (!from || lstrlenW(from) >= MAX_PATH)
        return false;
    lstrcpyW(to, from);
    return true;
}

static void ReadText(HKEY key, const wchar_t *name, wchar_t (&text)[16])
{
    DWORD type = 0, size = sizeof(text) - sizeof(wchar_t);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(text), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        size = 0;
    text[size / sizeof(wchar_t)] = L'\0';
}

// The monitors whose picture differs from the one wallpaper, where the
// platform keeps one per monitor; none elsewhere. A monitor that is not
// attached (its rectangle answered S_FALSE, and maybe still where it last was)
// is passed over. A call that fails half way leaves none: the screens then
// show the one wallpaper, not a mix of what was read before the failure.
static int ReadMonitorWallpapers(CanvasState *state)
{
    ScopedComPointer<IDesktopWallpaper> desktop;
    UINT count = 0;
    if (FAILED(CoCreateInstance(CLSID_DesktopWallpaper, nullptr, CLSCTX_ALL, IID_IDesktopWallpaper,
                                desktop.Out())) ||
        FAILED(desktop->GetMonitorDevicePathCount(&count)))
        return 0;
    count = std::min(count, MAX_MONITOR_WALLPAPERS);
    WallpaperPicture *table = new WallpaperPicture[1 + count]();
    table[0] = state->wallpapers[0];
    delete[] state->wallpapers;
    state->wallpapers = table;
    int found = 0;
    for (UINT i = 0; i < count; i++) {
        ScopedCoTaskMemory<WCHAR> monitor, path;
        WallpaperPicture &entry = table[1 + found];
        HRESULT attached = E_FAIL;
        if (FAILED(desktop->GetMonitorDevicePathAt(i, monitor.Out())) || !monitor.pointer ||
            FAILED(attached = desktop->GetMonitorRECT(monitor.pointer, &entry.monitor)) ||
            (attached == S_OK &&
             (FAILED(desktop->GetWallpaper(monitor.pointer, path.Out())) || !path.pointer)))
            return 0;
        if (attached == S_OK && !IsRectEmpty(&entry.monitor) && lstrcmpiW(path.pointer, table[0].path) != 0) {
            // A path too long to keep shows the plain colour, as an unreadable file does.
            entry.unreadable = !CopyPath(entry.path, path.pointer);
            found++;
        } else {
            entry = {};
        }
    }
    return found;
}

void LoadWallpaper(CanvasState *state)
{
    ReleaseWallpapers(state);
    state->wallpapers = new WallpaperPicture[1]();
    state->wallpaperCount = 1;
    WallpaperPicture &common = state->wallpapers[0];
    ScopedKey desktop;
    bool opened = desktop.Open(DESKTOP_KEY);
    wchar_t path[MAX_PATH + 1] = L"";
    SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, path, 0);
    path[MAX_PATH] = L'\0';
    common.unreadable = !CopyPath(common.path, path);

    wchar_t tile[16] = L"", style[16] = L"";
    if (opened) {
        ReadText(desktop.key, L"TileWallpaper", tile);
        ReadText(desktop.key, L"WallpaperStyle", style);
    }
    state->wallpaperMode = WallpaperModeFromValues(tile, style);

    ScopedComApartment com;
    state->wallpaperCount += ReadMonitorWallpapers(state);
}

static void DeletePicture(WallpaperPicture *picture)
{
    if (picture->bitmap)
        DeleteObject(picture->bitmap);
    picture->bitmap = nullptr;
}

static void DropDecoding(WallpaperDecoding *decoding);

void ReleaseWallpapers(CanvasState *state)
{
    if (state->wallpaperDecoding.scheduled)
        KillTimer(state->canvasFrame, WALLPAPER_TIMER_ID);
    DropDecoding(&state->wallpaperDecoding);
    for (int i = 0; i < state->wallpaperCount; i++)
        DeletePicture(&state->wallpapers[i]);
    delete[] state->wallpapers;
    state->wallpapers = nullptr;
    state->wallpaperCount = 0;
}

// The part of the picture (in its pixels) scaled to the size, as a 32-bit
// top-down DIB section. The scaler reads the decoder's frame itself, so that a
// decoder that can scale while it decodes is asked to; the clipper then takes
// the part from the scaled picture.
static HBITMAP DecodePart(IWICImagingFactory *factory, IWICBitmapSource *frame, SIZE picture,
                          const RECT &part, SIZE size)
{
    double factor = (double)size.cx / (part.right - part.left);
    UINT scaledWidth = (UINT)std::clamp((int)std::ceil(picture.cx * factor), 1, (int)picture.cx);
    UINT scaledHeight = (UINT)std::clamp((int)std::ceil(picture.cy * factor), 1, (int)picture.cy);
    WICRect clip = {std::min((int)std::floor(part.left * factor), (int)scaledWidth - (int)size.cx),
                    std::min((int)std::floor(part.top * factor), (int)scaledHeight - (int)size.cy), size.cx,
                    size.cy};
    clip.X = std::max(clip.X, 0);
    clip.Y = std::max(clip.Y, 0);
    clip.Width = std::min(clip.Width, (int)scaledWidth - clip.X);
    clip.Height = std::min(clip.Height, (int)scaledHeight - clip.Y);
    ScopedComPointer<IWICBitmapScaler> scaler;
    ScopedComPointer<IWICBitmapClipper> clipper;
    ScopedComPointer<IWICFormatConverter> converter;
    IWICBitmapSource *source = frame;
    if (scaledWidth != (UINT)picture.cx || scaledHeight != (UINT)picture.cy) {
        if (FAILED(factory->CreateBitmapScaler(&scaler.pointer)) ||
            FAILED(scaler->Initialize(source, scaledWidth, scaledHeight, WICBitmapInterpolationModeFant)))
            return nullptr;
        source = scaler.pointer;
    }
    if (clip.X || clip.Y || clip.Width != (int)scaledWidth || clip.Height != (int)scaledHeight) {
        if (FAILED(factory->CreateBitmapClipper(&clipper.pointer)) ||
            FAILED(clipper->Initialize(source, &clip)))
            return nullptr;
        source = clipper.pointer;
    }
    if (FAILED(factory->CreateFormatConverter(&converter.pointer)) ||
        FAILED(converter->Initialize(source, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom)))
        return nullptr;
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), clip.Width, -clip.Height, 1, 32, BI_RGB, 0, 0, 0, 0, 0},
                       {}};
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    UINT stride = (UINT)clip.Width * 4;
    if (bitmap && FAILED(converter->CopyPixels(nullptr, stride, stride * (UINT)clip.Height,
                                               static_cast<BYTE *>(bits)))) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
    return bitmap;
}

// Opens the file, reads the picture's size and decodes the part the job's
// monitors want. The decoder is chosen by the file's content, not its name.
static void RunJob(IWICImagingFactory *factory, const WallpaperDecoding *decoding, WallpaperJob *job)
{
    ScopedComPointer<IWICBitmapDecoder> decoder;
    ScopedComPointer<IWICBitmapFrameDecode> frame;
    UINT width = 0, height = 0;
    job->unreadable = TRUE;
    if (!factory ||
        FAILED(factory->CreateDecoderFromFilename(job->path, nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, &decoder.pointer)) ||
        FAILED(decoder->GetFrame(0, &frame.pointer)) || FAILED(frame->GetSize(&width, &height)) || !width ||
        !height || width > MAX_PICTURE_SIDE || height > MAX_PICTURE_SIDE ||
        (double)width * height > MAX_PICTURE_PIXELS)
        return;
    job->width = (int)width;
    job->height = (int)height;
    if (!WantedWallpaperPart(decoding->mode, {job->width, job->height}, job->monitors, job->monitorCount,
                             decoding->virtualScreen, decoding->scale, &job->part, &job->size))
        return;
    job->bitmap = DecodePart(factory, frame.pointer, {job->width, job->height}, job->part, job->size);
    job->unreadable = !job->bitmap;
}

static DWORD WINAPI RunDecoding(void *data)
{
    WallpaperDecoding *decoding = static_cast<WallpaperDecoding *>(data);
    {
        ScopedComApartment com(COINIT_MULTITHREADED);
        ScopedComPointer<IWICImagingFactory> factory;
        CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                         factory.Out());
        for (int i = 0; i < decoding->jobCount; i++)
            RunJob(factory.pointer, decoding, &decoding->jobs[i]);
    }
    PostMessageW(decoding->notify, WM_WALLPAPER_DECODED, 0, 0);
    return 0;
}

void StartWallpaperDecoding(WallpaperDecoding *decoding)
{
    decoding->thread.Reset(CreateThread(nullptr, 0, RunDecoding, decoding, 0, nullptr));
    if (!decoding->thread.handle)
        RunDecoding(decoding);
}

// The thread's end, and the results it left that nobody took.
static void DropDecoding(WallpaperDecoding *decoding)
{
    if (decoding->thread.handle)
        WaitForSingleObject(decoding->thread.handle, INFINITE);
    for (int i = 0; i < decoding->jobCount; i++)
        if (decoding->jobs[i].bitmap)
            DeleteObject(decoding->jobs[i].bitmap);
    delete[] decoding->jobs;
    *decoding = {};
}

void OnWallpapersDecoded(CanvasState *state)
{
    WallpaperDecoding &decoding = state->wallpaperDecoding;
    if (!decoding.jobs)
        return;
    if (decoding.thread.handle)
        WaitForSingleObject(decoding.thread.handle, INFINITE);
    for (int i = 0; i < decoding.jobCount; i++) {
        WallpaperJob &job = decoding.jobs[i];
        if (job.picture >= state->wallpaperCount)
            continue;
        WallpaperPicture &picture = state->wallpapers[job.picture];
        DeletePicture(&picture);
        picture.width = job.width;
        picture.height = job.height;
        picture.unreadable = job.unreadable;
        picture.bitmap = job.bitmap;
        picture.part = job.part;
        picture.bitmapWidth = job.size.cx;
        picture.bitmapHeight = job.size.cy;
        job.bitmap = nullptr;
    }
    DropDecoding(&decoding);
    InvalidateScreenItems(state);
}
