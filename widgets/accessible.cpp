#include "widgets/accessible.h"

#include <oleacc.h>

#include <atomic>

#include "platform/win32/wide.h"
#include "widgets/hints.h"

namespace orv::widgets {
namespace {

using CreateStdAccessibleObjectFunction = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
using LresultFromObjectFunction = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using SysAllocStringFunction = BSTR(WINAPI*)(const OLECHAR*);

// The few functions of oleacc and oleaut32 the answers need, loaded on the first question: a session
// without a screen reader never loads them. Only the system's own copies: the program's folder is the
// user's to write in.
struct AccessibilityLibrary {
    CreateStdAccessibleObjectFunction createStandard = nullptr;
    LresultFromObjectFunction lresultFromObject = nullptr;
    SysAllocStringFunction allocString = nullptr;
    UINT describeMessage = 0;

    bool Ready() const {
        return createStandard != nullptr && lresultFromObject != nullptr && allocString != nullptr &&
               describeMessage != 0;
    }
};

// Set on the window thread only; read there too (every question arrives through its message loop).
UINT g_describeMessage = 0;

const AccessibilityLibrary& Library() {
    static const AccessibilityLibrary library = [] {
        AccessibilityLibrary loaded;
        if (const HMODULE oleacc = ::LoadLibraryExW(L"oleacc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
            loaded.createStandard = reinterpret_cast<CreateStdAccessibleObjectFunction>(
                reinterpret_cast<void*>(::GetProcAddress(oleacc, "CreateStdAccessibleObject")));
            loaded.lresultFromObject = reinterpret_cast<LresultFromObjectFunction>(
                reinterpret_cast<void*>(::GetProcAddress(oleacc, "LresultFromObject")));
        }
        if (const HMODULE oleaut = ::LoadLibraryExW(L"oleaut32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
            loaded.allocString = reinterpret_cast<SysAllocStringFunction>(
                reinterpret_cast<void*>(::GetProcAddress(oleaut, "SysAllocString")));
        }
        loaded.describeMessage = ::RegisterWindowMessageW(L"Orvanter.DescribeAccessible");
        return loaded;
    }();
    return library;
}

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The client object of one control: name, role, state and value come from the control at every question,
// everything else from the system's standard object for the window. Only Release deletes it (COM
// interfaces have no virtual destructor).
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
class ControlAccessible final : public IAccessible {
  public:
    ControlAccessible(HWND window, IAccessible* standard) : window_(window), standard_(standard) {}
    ControlAccessible(const ControlAccessible&) = delete;
    ControlAccessible& operator=(const ControlAccessible&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return standard_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return standard_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return standard_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argument) override {
        return standard_->Invoke(id, iid, locale, flags, parameters, result, exception, argument);
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!IsSelf(child)) {
            return standard_->get_accName(child, name);
        }
        AccessibleInfo info;
        if (name == nullptr || !Read(info)) {
            return name == nullptr ? E_POINTER : E_FAIL;
        }
        return String(info.name, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        AccessibleInfo info;
        if (!IsSelf(child) || value == nullptr || !Read(info) || !info.value) {
            return standard_->get_accValue(child, value);
        }
        return String(*info.value, value);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return Number(
            child, role, [](const AccessibleInfo& info) { return info.role; }, &IAccessible::get_accRole);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return Number(
            child, state, [](const AccessibleInfo& info) { return info.state; }, &IAccessible::get_accState);
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return standard_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** result) override {
        return standard_->get_accChild(child, result);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return standard_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
        return standard_->get_accHelp(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override {
        return standard_->get_accKeyboardShortcut(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return standard_->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* text) override {
        return standard_->get_accDefaultAction(child, text);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return standard_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return standard_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return standard_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

  private:
    ~ControlAccessible() { standard_->Release(); }

    // The control's description now; false once the window is gone.
    bool Read(AccessibleInfo& info) const {
        return ::IsWindow(window_) &&
               ::SendMessageW(window_, Library().describeMessage, 0, reinterpret_cast<LPARAM>(&info)) != 0;
    }
    static HRESULT String(const std::wstring& text, BSTR* out) {
        *out = text.empty() ? nullptr : Library().allocString(text.c_str());
        if (!text.empty() && *out == nullptr) {
            return E_OUTOFMEMORY;
        }
        return text.empty() ? S_FALSE : S_OK;
    }
    template <typename Field>
    HRESULT Number(const VARIANT& child, VARIANT* out, Field field,
                   HRESULT (STDMETHODCALLTYPE IAccessible::*standard)(VARIANT, VARIANT*)) {
        AccessibleInfo info;
        if (!IsSelf(child) || out == nullptr) {
            return (standard_->*standard)(child, out);
        }
        if (!Read(info)) {
            return E_FAIL;
        }
        out->vt = VT_I4;
        out->lVal = field(info);
        return S_OK;
    }

    HWND window_;
    IAccessible* standard_;
    std::atomic<ULONG> references_{1};
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

}  // namespace

long WindowStates(HWND window, bool focusable) {
    long state = 0;
    if (!::IsWindowVisible(window)) {
        state |= STATE_SYSTEM_INVISIBLE;
    }
    if (!::IsWindowEnabled(window)) {
        state |= STATE_SYSTEM_UNAVAILABLE;
    }
    if (focusable) {
        state |= STATE_SYSTEM_FOCUSABLE;
        if (::GetFocus() == window) {
            state |= STATE_SYSTEM_FOCUSED;
        }
    }
    return state;
}

LRESULT AnswerAccessibleObject(HWND window, WPARAM wParam, LPARAM lParam) {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT) {
        return 0;
    }
    const AccessibilityLibrary& library = Library();
    if (!library.Ready()) {
        return 0;
    }
    g_describeMessage = library.describeMessage;
    IAccessible* standard = nullptr;
    if (FAILED(library.createStandard(window, OBJID_CLIENT, __uuidof(IAccessible),
                                      reinterpret_cast<void**>(&standard))) ||
        standard == nullptr) {
        return 0;
    }
    auto* object = new ControlAccessible(window, standard);
    const LRESULT result = library.lresultFromObject(__uuidof(IAccessible), wParam, object);
    object->Release();
    return result < 0 ? 0 : result;
}

bool IsDescribeMessage(UINT message) {
    return g_describeMessage != 0 && message == g_describeMessage;
}

void NotifyAccessibleChange(HWND window, DWORD event) {
    if (window != nullptr) {
        ::NotifyWinEvent(event, window, OBJID_CLIENT, CHILDID_SELF);
    }
}

std::wstring WindowTextOf(HWND window) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

namespace {

// The text of `window` when it is one of the program's labels.
std::optional<std::wstring> LabelText(HWND window) {
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    AccessibleInfo info;
    if (wcscmp(className, L"OrvLabel") != 0 || g_describeMessage == 0 ||
        ::SendMessageW(window, g_describeMessage, 0, reinterpret_cast<LPARAM>(&info)) == 0 ||
        info.name.empty()) {
        return std::nullopt;
    }
    return info.name;
}

}  // namespace

std::wstring LabelAfter(HWND control) {
    const HWND next = ::GetWindow(control, GW_HWNDNEXT);
    return next != nullptr ? LabelText(next).value_or(L"") : L"";
}

std::wstring LabelOf(HWND control, HWND label) {
    if (const std::string* hint = Hints::TextOf(control)) {
        return win32::Wide(*hint);
    }
    if (label == nullptr) {
        label = ::GetWindow(control, GW_HWNDPREV);
    }
    // The first control of a frame of its own (the language field) is named by the label before the frame.
    const HWND parent = ::GetParent(control);
    if (label == nullptr && parent != nullptr && (::GetWindowLongPtrW(parent, GWL_STYLE) & WS_CHILD) != 0) {
        label = ::GetWindow(parent, GW_HWNDPREV);
    }
    return label != nullptr ? LabelText(label).value_or(L"") : L"";
}

}  // namespace orv::widgets
