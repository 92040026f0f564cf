// The shell's windows as Windows offers them, over the stand-in shell (fixture_shell.cpp).
// An in-process COM server that the test set-up registers for
// CLSID_ShellWindows in the test prefix. FindWindowSW(SWC_DESKTOP) leads, as
// on Windows, through IServiceProvider, IShellBrowser and IShellView to an
// IFolderView over the stand-in shell's icons; while the stand-in shell is not
// in its folder-view part, the view has no window, as under Wine. The calls
// reach the stand-in shell's process by private messages to its view window.
//
// Places in GetItemPosition and SelectAndPositionItems are the items'
// upper-left corners in the list view's client coordinates, as the list view's
// own LVM_GETITEMPOSITION gives them. The children handed out hold the item's
// index; an item's display name is its label, or while the label is hidden,
// the name of the item its ID list names, as on Windows, where the two agree.
// While a test holds the event FOLDER_VIEW_HELD, every folder-view call waits
// for it (60 s at most), as a call into a hung shell does.
#include <windows.h>

#include <exdisp.h>
#include <new>
#include <shlguid.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "fixture_shell.h"

// clang-format off
#define NOT_CALLED { return E_NOTIMPL; }

// clang-format on

namespace {

HWND ViewWindow()
{
    return FindWindowExW(FindWindowW(L"Progman", nullptr), nullptr, L"SHELLDLL_DefView", nullptr);
}

LRESULT AskShell(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, bool mayBeHeld = true)
{
    if (HANDLE held = mayBeHeld ? OpenEventW(SYNCHRONIZE, FALSE, FOLDER_VIEW_HELD) : nullptr) {
        WaitForSingleObject(held, 60000);
        CloseHandle(held);
    }
    DWORD_PTR result = 0;
    SendMessageTimeoutW(ViewWindow(), message, wParam, lParam, SMTO_NORMAL, 5000, &result);
    return (LRESULT)result;
}

int IndexOf(PCUITEMID_CHILD child) { return *reinterpret_cast<const int *>(child->mkid.abID); }

// clang-format off
struct Desktop final : IShellWindows, IServiceProvider, IShellBrowser, IShellView, IFolderView, IShellFolder,
                       IClassFactory {
    // clang-format on
    LONG references = 1;
    STDMETHODIMP QueryInterface(REFIID iid, void **out) override
    {
        *out = iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IShellWindows ? (IShellWindows *)this
               : iid == IID_IServiceProvider                    ? (IServiceProvider *)this
               : iid == IID_IShellBrowser                       ? (IShellBrowser *)this
               : iid == IID_IShellView || iid == IID_IOleWindow ? (IShellView *)this
               : iid == IID_IFolderView                         ? (IFolderView *)this
               : iid == IID_IShellFolder                        ? (IShellFolder *)this
               : iid == IID_IClassFactory                       ? (IClassFactory *)this
                                                                : (void *)nullptr;
        return *out ? AddRef(), S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG left = InterlockedDecrement(&references);
        if (!left)
            delete this;
        return left;
    }
    // IClassFactory: every instance is a new desktop.
    STDMETHODIMP CreateInstance(IUnknown *outer, REFIID iid, void **out) override
    {
        Desktop *desktop = outer ? nullptr : new (std::nothrow) Desktop;
        HRESULT result = desktop ? desktop->QueryInterface(iid, out) : CLASS_E_NOAGGREGATION;
        if (desktop)
            desktop->Release();
        return result;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
    // IShellWindows
    STDMETHODIMP FindWindowSW(VARIANT *, VARIANT *, int type, LONG *window, int, IDispatch **out) override
    {
        *out = nullptr;
        *window = 0;
        return type == SWC_DESKTOP ? QueryInterface(IID_IDispatch, (void **)out) : S_FALSE;
    }
    STDMETHODIMP GetTypeInfoCount(UINT *) override NOT_CALLED;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **) override NOT_CALLED;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override NOT_CALLED;
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *,
                        UINT *) override NOT_CALLED;
    STDMETHODIMP get_Count(LONG *) override NOT_CALLED;
    STDMETHODIMP Item(VARIANT, IDispatch **) override NOT_CALLED;
    STDMETHODIMP _NewEnum(IUnknown **) override NOT_CALLED;
    STDMETHODIMP Register(IDispatch *, LONG, int, LONG *) override NOT_CALLED;
    STDMETHODIMP RegisterPending(LONG, VARIANT *, VARIANT *, int, LONG *) override NOT_CALLED;
    STDMETHODIMP Revoke(LONG) override NOT_CALLED;
    STDMETHODIMP OnNavigate(LONG, VARIANT *) override NOT_CALLED;
    STDMETHODIMP OnActivated(LONG, VARIANT_BOOL) override NOT_CALLED;
    STDMETHODIMP OnCreated(LONG, IUnknown *) override NOT_CALLED;
    STDMETHODIMP ProcessAttachDetach(VARIANT_BOOL) override NOT_CALLED;
    // IServiceProvider, IShellBrowser and IShellView: the way to the folder view.
    STDMETHODIMP QueryService(REFGUID service, REFIID iid, void **out) override
    {
        *out = nullptr;
        return service == SID_STopLevelBrowser ? QueryInterface(iid, out) : E_NOINTERFACE;
    }
    STDMETHODIMP QueryActiveShellView(IShellView **out) override
    {
        return QueryInterface(IID_IShellView, (void **)out);
    }
    STDMETHODIMP GetWindow(HWND *window) override
    {
        *window = AskShell(FOLDER_VIEW_MODE, 0, 0, false) ? ViewWindow() : nullptr;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override NOT_CALLED;
    STDMETHODIMP InsertMenusSB(HMENU, LPOLEMENUGROUPWIDTHS) override NOT_CALLED;
    STDMETHODIMP SetMenuSB(HMENU, HOLEMENU, HWND) override NOT_CALLED;
    STDMETHODIMP RemoveMenusSB(HMENU) override NOT_CALLED;
    STDMETHODIMP SetStatusTextSB(LPCWSTR) override NOT_CALLED;
    STDMETHODIMP EnableModelessSB(WINBOOL) override NOT_CALLED;
    STDMETHODIMP TranslateAcceleratorSB(MSG *, WORD) override NOT_CALLED;
    STDMETHODIMP BrowseObject(PCUIDLIST_RELATIVE, UINT) override NOT_CALLED;
    STDMETHODIMP GetViewStateStream(DWORD, IStream **) override NOT_CALLED;
    STDMETHODIMP GetControlWindow(UINT, HWND *) override NOT_CALLED;
    STDMETHODIMP SendControlMsg(UINT, UINT, WPARAM, LPARAM, LRESULT *) override NOT_CALLED;
    STDMETHODIMP OnViewWindowActive(IShellView *) override NOT_CALLED;
    STDMETHODIMP SetToolbarItems(LPTBBUTTONSB, UINT, UINT) override NOT_CALLED;
    STDMETHODIMP TranslateAccelerator(MSG *) override NOT_CALLED;
    STDMETHODIMP EnableModeless(WINBOOL) override NOT_CALLED;
    STDMETHODIMP UIActivate(UINT) override NOT_CALLED;
    STDMETHODIMP Refresh() override NOT_CALLED;
    STDMETHODIMP CreateViewWindow(IShellView *, LPCFOLDERSETTINGS, IShellBrowser *, RECT *,
                                  HWND *) override NOT_CALLED;
    STDMETHODIMP DestroyViewWindow() override NOT_CALLED;
    STDMETHODIMP GetCurrentInfo(LPFOLDERSETTINGS) override NOT_CALLED;
    STDMETHODIMP AddPropertySheetPages(DWORD, LPFNSVADDPROPSHEETPAGE, LPARAM) override NOT_CALLED;
    STDMETHODIMP SaveViewState() override NOT_CALLED;
    STDMETHODIMP SelectItem(PCUITEMID_CHILD, SVSIF) override NOT_CALLED;
    STDMETHODIMP GetItemObject(UINT, REFIID, void **) override NOT_CALLED;
    // IFolderView
    STDMETHODIMP GetFolder(REFIID iid, void **out) override { return QueryInterface(iid, out); }
    STDMETHODIMP Item(int index, PITEMID_CHILD *out) override
    {
        *out = nullptr;
        if (index < 0 || !AskShell(FOLDER_VIEW_NAME, index))
            return E_INVALIDARG;
        BYTE child[sizeof(USHORT) + sizeof(int) + sizeof(USHORT)] = {sizeof(USHORT) + sizeof(int)};
        CopyMemory(child + sizeof(USHORT), &index, sizeof(index));
        *out = (PITEMID_CHILD)CoTaskMemAlloc(sizeof(child));
        return *out ? CopyMemory(*out, child, sizeof(child)), S_OK : E_OUTOFMEMORY;
    }
    STDMETHODIMP GetItemPosition(PCUITEMID_CHILD child, POINT *place) override
    {
        LRESULT packed = AskShell(FOLDER_VIEW_PLACE, IndexOf(child));
        *place = {(short)LOWORD(packed), (short)HIWORD(packed)};
        return S_OK;
    }
    STDMETHODIMP SelectAndPositionItems(UINT count, PCUITEMID_CHILD_ARRAY children, POINT *places,
                                        DWORD) override
    {
        for (UINT k = 0; k < count; k++)
            AskShell(FOLDER_VIEW_MOVE, IndexOf(children[k]), MAKELPARAM(places[k].x, places[k].y));
        return S_OK;
    }
    STDMETHODIMP GetCurrentViewMode(UINT *) override NOT_CALLED;
    STDMETHODIMP SetCurrentViewMode(UINT) override NOT_CALLED;
    STDMETHODIMP ItemCount(UINT, int *) override NOT_CALLED;
    STDMETHODIMP Items(UINT, REFIID, void **) override NOT_CALLED;
    STDMETHODIMP GetSelectionMarkedItem(int *) override NOT_CALLED;
    STDMETHODIMP GetFocusedItem(int *) override NOT_CALLED;
    STDMETHODIMP GetSpacing(POINT *) override NOT_CALLED;
    STDMETHODIMP GetDefaultSpacing(POINT *) override NOT_CALLED;
    STDMETHODIMP GetAutoArrange() override NOT_CALLED;
    STDMETHODIMP SelectItem(int, DWORD) override NOT_CALLED;
    // IShellFolder: the names of the view's children.
    STDMETHODIMP GetDisplayNameOf(PCUITEMID_CHILD child, SHGDNF, STRRET *name) override
    {
        WCHAR text[512] = L"";
        if (!AskShell(FOLDER_VIEW_NAME, IndexOf(child)))
            return E_FAIL;
        InternalGetWindowText(ViewWindow(), text, 512);
        name->uType = STRRET_WSTR;
        return SHStrDupW(text, &name->pOleStr);
    }
    STDMETHODIMP ParseDisplayName(HWND, IBindCtx *, LPWSTR, ULONG *, PIDLIST_RELATIVE *,
                                  ULONG *) override NOT_CALLED;
    STDMETHODIMP EnumObjects(HWND, SHCONTF, IEnumIDList **) override NOT_CALLED;
    STDMETHODIMP BindToObject(PCUIDLIST_RELATIVE, IBindCtx *, REFIID, void **) override NOT_CALLED;
    STDMETHODIMP BindToStorage(PCUIDLIST_RELATIVE, IBindCtx *, REFIID, void **) override NOT_CALLED;
    STDMETHODIMP CompareIDs(LPARAM, PCUIDLIST_RELATIVE, PCUIDLIST_RELATIVE) override NOT_CALLED;
    STDMETHODIMP CreateViewObject(HWND, REFIID, void **) override NOT_CALLED;
    STDMETHODIMP GetAttributesOf(UINT, PCUITEMID_CHILD_ARRAY, SFGAOF *) override NOT_CALLED;
    STDMETHODIMP GetUIObjectOf(HWND, UINT, PCUITEMID_CHILD_ARRAY, REFIID, UINT *,
                               void **) override NOT_CALLED;
    STDMETHODIMP SetNameOf(HWND, PCUITEMID_CHILD, LPCWSTR, SHGDNF, PITEMID_CHILD *) override NOT_CALLED;
};

} // namespace

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID type, REFIID iid, void **out)
{
    *out = nullptr;
    if (type != CLSID_ShellWindows)
        return CLASS_E_CLASSNOTAVAILABLE;
    Desktop *factory = new (std::nothrow) Desktop;
    if (!factory)
        return E_OUTOFMEMORY;
    HRESULT result = factory->QueryInterface(iid, out);
    factory->Release();
    return result;
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return S_FALSE; }
