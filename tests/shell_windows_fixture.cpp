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
#include <shlguid.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "fixture_shell.h"

// A method the program never calls.
#define NOT_CALLED(name, ...)                                                                                \
    STDMETHODIMP name(__VA_ARGS__) override { return E_NOTIMPL; }

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

struct Desktop final : IShellWindows,
                       IServiceProvider,
                       IShellBrowser,
                       IShellView,
                       IFolderView,
                       IShellFolder,
                       IClassFactory {
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
        return *out ? S_OK : E_NOINTERFACE;
    }
    // One object, its own class factory, lives as long as the DLL: it holds no state.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown *outer, REFIID iid, void **out) override
    {
        return outer ? CLASS_E_NOAGGREGATION : QueryInterface(iid, out);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
    // IShellWindows
    STDMETHODIMP FindWindowSW(VARIANT *, VARIANT *, int type, LONG *window, int, IDispatch **out) override
    {
        *out = nullptr;
        *window = 0;
        return type == SWC_DESKTOP ? QueryInterface(IID_IDispatch, (void **)out) : S_FALSE;
    }
    NOT_CALLED(GetTypeInfoCount, UINT *);
    NOT_CALLED(GetTypeInfo, UINT, LCID, ITypeInfo **);
    NOT_CALLED(GetIDsOfNames, REFIID, LPOLESTR *, UINT, LCID, DISPID *);
    NOT_CALLED(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *, UINT *);
    NOT_CALLED(get_Count, LONG *);
    NOT_CALLED(Item, VARIANT, IDispatch **);
    NOT_CALLED(_NewEnum, IUnknown **);
    NOT_CALLED(Register, IDispatch *, LONG, int, LONG *);
    NOT_CALLED(RegisterPending, LONG, VARIANT *, VARIANT *, int, LONG *);
    NOT_CALLED(Revoke, LONG);
    NOT_CALLED(OnNavigate, LONG, VARIANT *);
    NOT_CALLED(OnActivated, LONG, VARIANT_BOOL);
    NOT_CALLED(OnCreated, LONG, IUnknown *);
    NOT_CALLED(ProcessAttachDetach, VARIANT_BOOL);
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
    NOT_CALLED(ContextSensitiveHelp, BOOL);
    NOT_CALLED(InsertMenusSB, HMENU, LPOLEMENUGROUPWIDTHS);
    NOT_CALLED(SetMenuSB, HMENU, HOLEMENU, HWND);
    NOT_CALLED(RemoveMenusSB, HMENU);
    NOT_CALLED(SetStatusTextSB, LPCWSTR);
    NOT_CALLED(EnableModelessSB, WINBOOL);
    NOT_CALLED(TranslateAcceleratorSB, MSG *, WORD);
    NOT_CALLED(BrowseObject, PCUIDLIST_RELATIVE, UINT);
    NOT_CALLED(GetViewStateStream, DWORD, IStream **);
    NOT_CALLED(GetControlWindow, UINT, HWND *);
    NOT_CALLED(SendControlMsg, UINT, UINT, WPARAM, LPARAM, LRESULT *);
    NOT_CALLED(OnViewWindowActive, IShellView *);
    NOT_CALLED(SetToolbarItems, LPTBBUTTONSB, UINT, UINT);
    NOT_CALLED(TranslateAccelerator, MSG *);
    NOT_CALLED(EnableModeless, WINBOOL);
    NOT_CALLED(UIActivate, UINT);
    NOT_CALLED(Refresh);
    NOT_CALLED(CreateViewWindow, IShellView *, LPCFOLDERSETTINGS, IShellBrowser *, RECT *, HWND *);
    NOT_CALLED(DestroyViewWindow);
    NOT_CALLED(GetCurrentInfo, LPFOLDERSETTINGS);
    NOT_CALLED(AddPropertySheetPages, DWORD, LPFNSVADDPROPSHEETPAGE, LPARAM);
    NOT_CALLED(SaveViewState);
    NOT_CALLED(SelectItem, PCUITEMID_CHILD, SVSIF);
    NOT_CALLED(GetItemObject, UINT, REFIID, void **);
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
    NOT_CALLED(GetCurrentViewMode, UINT *);
    NOT_CALLED(SetCurrentViewMode, UINT);
    NOT_CALLED(ItemCount, UINT, int *);
    NOT_CALLED(Items, UINT, REFIID, void **);
    NOT_CALLED(GetSelectionMarkedItem, int *);
    NOT_CALLED(GetFocusedItem, int *);
    NOT_CALLED(GetSpacing, POINT *);
    NOT_CALLED(GetDefaultSpacing, POINT *);
    NOT_CALLED(GetAutoArrange);
    NOT_CALLED(SelectItem, int, DWORD);
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
    NOT_CALLED(ParseDisplayName, HWND, IBindCtx *, LPWSTR, ULONG *, PIDLIST_RELATIVE *, ULONG *);
    NOT_CALLED(EnumObjects, HWND, SHCONTF, IEnumIDList **);
    NOT_CALLED(BindToObject, PCUIDLIST_RELATIVE, IBindCtx *, REFIID, void **);
    NOT_CALLED(BindToStorage, PCUIDLIST_RELATIVE, IBindCtx *, REFIID, void **);
    NOT_CALLED(CompareIDs, LPARAM, PCUIDLIST_RELATIVE, PCUIDLIST_RELATIVE);
    NOT_CALLED(CreateViewObject, HWND, REFIID, void **);
    NOT_CALLED(GetAttributesOf, UINT, PCUITEMID_CHILD_ARRAY, SFGAOF *);
    NOT_CALLED(GetUIObjectOf, HWND, UINT, PCUITEMID_CHILD_ARRAY, REFIID, UINT *, void **);
    NOT_CALLED(SetNameOf, HWND, PCUITEMID_CHILD, LPCWSTR, SHGDNF, PITEMID_CHILD *);
};

} // namespace

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID type, REFIID iid, void **out)
{
    static Desktop desktop;
    *out = nullptr;
    return type == CLSID_ShellWindows ? desktop.QueryInterface(iid, out) : CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return S_FALSE; }
