#include "forms/Accessible.h"

#include <oleacc.h>

#include <string>
#include <vector>

#include "forms/Form.h"

namespace ui {

namespace {

// The default actions as Windows words them in Chinese.
constexpr wchar_t kPress[] = L"按下";
constexpr wchar_t kJump[] = L"跳转";

HRESULT giveText(const std::wstring& text, BSTR* out) {
    if (!out) return E_INVALIDARG;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// The shared part of IUnknown and IDispatch: no type information, one reference count.
template <class Self>
class AccessibleBase : public IAccessible {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        if (!out) return E_POINTER;
        if (id == IID_IUnknown || id == IID_IDispatch || id == IID_IAccessible) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete static_cast<Self*>(this);
        return static_cast<ULONG>(left);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_INVALIDARG;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

protected:
    virtual ~AccessibleBase() = default;

private:
    LONG references_ = 1;
};

// A text box: the system's object for its edit control, with the box's label as name.
class NamedTextBox final : public AccessibleBase<NamedTextBox> {
public:
    NamedTextBox(HWND edit, IAccessible* system) : edit_(edit), system_(system) {}

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (child.vt != VT_I4 || child.lVal != CHILDID_SELF) return system_->get_accName(child, name);
        const Form* form = formOf(edit_);
        if (!form) return RPC_E_DISCONNECTED;
        for (const Control& c : form->controls())
            if (c.edit == edit_ && !c.accessibleName.empty()) return giveText(c.accessibleName, name);
        return system_->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) override { return system_->get_accParent(p); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* n) override { return system_->get_accChildCount(n); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT v, IDispatch** p) override {
        return system_->get_accChild(v, p);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT v, BSTR* p) override {
        return system_->get_accValue(v, p);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT v, BSTR* p) override {
        return system_->get_accDescription(v, p);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT v, VARIANT* p) override {
        return system_->get_accRole(v, p);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT v, VARIANT* p) override {
        return system_->get_accState(v, p);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT v, BSTR* p) override { return system_->get_accHelp(v, p); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* p, VARIANT v, long* t) override {
        return system_->get_accHelpTopic(p, v, t);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT v, BSTR* p) override {
        return system_->get_accKeyboardShortcut(v, p);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* p) override { return system_->get_accFocus(p); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* p) override { return system_->get_accSelection(p); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT v, BSTR* p) override {
        return system_->get_accDefaultAction(v, p);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long f, VARIANT v) override { return system_->accSelect(f, v); }
    HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h, VARIANT v) override {
        return system_->accLocation(x, y, w, h, v);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long d, VARIANT v, VARIANT* p) override {
        return system_->accNavigate(d, v, p);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* p) override {
        return system_->accHitTest(x, y, p);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT v) override {
        return system_->accDoDefaultAction(v);
    }

private:
    friend class AccessibleBase<NamedTextBox>;
    ~NamedTextBox() override { system_->Release(); }
    HWND edit_;
    IAccessible* system_;
};

// The text box's object, or nothing where the system has none for it.
IAccessible* textBoxObject(HWND edit) {
    IAccessible* system = nullptr;
    if (FAILED(CreateStdAccessibleObject(edit, OBJID_CLIENT, IID_IAccessible,
                                         reinterpret_cast<void**>(&system))) ||
        !system)
        return nullptr;
    return new NamedTextBox(edit, system);
}

void setEmpty(VARIANT* v) {
    v->vt = VT_EMPTY;
}
void setChild(VARIANT* v, long child) {
    v->vt = VT_I4;
    v->lVal = child;
}

// The client of a window: its children are the items Tab reaches, in that order; child
// id n is the nth of them.
class FormClient final : public AccessibleBase<FormClient> {
public:
    FormClient(HWND window, bool alert) : window_(window), alert_(alert) {}

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (!parent) return E_INVALIDARG;
        return CreateStdAccessibleObject(window_, OBJID_WINDOW, IID_IDispatch,
                                         reinterpret_cast<void**>(parent));
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        const Form* form = alive();
        if (!count) return E_INVALIDARG;
        if (!form) return RPC_E_DISCONNECTED;
        *count = static_cast<long>(form->focusOrder().size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (!out) return E_INVALIDARG;
        *out = nullptr;
        const Control* c = nullptr;
        if (HRESULT found = item(child, c); found != S_OK) return found;
        if (!c) return E_INVALIDARG;
        if (!c->edit) return S_FALSE;  // a simple element: the client answers for it
        IAccessible* box = textBoxObject(c->edit);
        if (!box) return S_FALSE;
        *out = box;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        const Control* c = nullptr;
        if (HRESULT found = item(child, c); found != S_OK) return found;
        return giveText(c ? c->accessibleName : alive()->caption(), name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* value) override {
        if (value) *value = nullptr;
        return DISP_E_MEMBERNOTFOUND;
    }
    // The client of a notification describes it with the texts it shows.
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        if (description) *description = nullptr;
        const Control* c = nullptr;
        if (HRESULT found = item(child, c); found != S_OK) return found;
        if (c) return DISP_E_MEMBERNOTFOUND;
        std::wstring shown;
        for (const Control& label : alive()->controls())
            if (label.kind == Kind::Label && label.visible && !label.text.empty())
                shown += (shown.empty() ? L"" : L"\n") + label.text;
        if (shown.empty()) return DISP_E_MEMBERNOTFOUND;
        return giveText(shown, description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        const Control* c = nullptr;
        if (!role) return E_INVALIDARG;
        if (HRESULT found = item(child, c); found != S_OK) return found;
        long value = alert_ ? ROLE_SYSTEM_ALERT : ROLE_SYSTEM_CLIENT;
        if (c) value = c->role == Role::Link ? ROLE_SYSTEM_LINK : ROLE_SYSTEM_PUSHBUTTON;
        setChild(role, value);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        const Control* c = nullptr;
        if (!state) return E_INVALIDARG;
        if (HRESULT found = item(child, c); found != S_OK) return found;
        const Form* form = alive();
        long value = STATE_SYSTEM_FOCUSABLE;
        if (!c && GetFocus() == window_) value |= STATE_SYSTEM_FOCUSED;
        if (c) {
            if (c->role == Role::Link) value |= STATE_SYSTEM_LINKED;
            if (GetFocus() == window_ && form->focusedItem() == index(*form, *c))
                value |= STATE_SYSTEM_FOCUSED;
        }
        setChild(state, value);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override {
        if (help) *help = nullptr;
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        if (file) *file = nullptr;
        if (topic) *topic = 0;
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* keys) override {
        if (keys) *keys = nullptr;
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        const Form* form = nullptr;
        if (HRESULT ready = answerIn(focus, form); ready != S_OK) return ready;
        const int focused = form->focusedItem();
        const std::vector<size_t> order = form->focusOrder();
        for (size_t n = 0; n < order.size(); ++n)
            if (static_cast<int>(order[n]) == focused) {
                const HWND edit = form->controls()[order[n]].edit;
                if (IAccessible* box = edit ? textBoxObject(edit) : nullptr) {
                    focus->vt = VT_DISPATCH;
                    focus->pdispVal = box;
                } else {
                    setChild(focus, static_cast<long>(n) + 1);
                }
                return S_OK;
            }
        if (GetFocus() == window_) setChild(focus, CHILDID_SELF);
        return focus->vt == VT_EMPTY ? S_FALSE : S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (!selection) return E_INVALIDARG;
        setEmpty(selection);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (action) *action = nullptr;
        const Control* c = nullptr;
        if (HRESULT found = item(child, c); found != S_OK) return found;
        if (!c || c->kind != Kind::ClickArea) return DISP_E_MEMBERNOTFOUND;
        return giveText(c->role == Role::Link ? kJump : kPress, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        const Control* c = nullptr;
        if (HRESULT found = item(child, c); found != S_OK) return found;
        if (!c || !(flags & SELFLAG_TAKEFOCUS)) return c ? E_INVALIDARG : S_FALSE;
        Form* form = alive();
        form->focusItem(static_cast<size_t>(index(*form, *c)));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* width, long* height,
                                          VARIANT child) override {
        const Control* c = nullptr;
        if (!x || !y || !width || !height) return E_INVALIDARG;
        if (HRESULT found = item(child, c); found != S_OK) return found;
        RECT r{};
        if (c)
            r = alive()->pixelRect(c->name);
        else
            GetClientRect(window_, &r);
        MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&r), 2);
        *x = r.left;
        *y = r.top;
        *width = r.right - r.left;
        *height = r.bottom - r.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        const Form* form = nullptr;
        if (HRESULT ready = answerIn(end, form); ready != S_OK) return ready;
        const long count = static_cast<long>(form->focusOrder().size());
        const long from = start.vt == VT_I4 ? start.lVal : -1;
        long to = 0;
        if (from == CHILDID_SELF && direction == NAVDIR_FIRSTCHILD)
            to = 1;
        else if (from == CHILDID_SELF && direction == NAVDIR_LASTCHILD)
            to = count;
        else if (from > 0 && from <= count && (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN))
            to = from + 1;
        else if (from > 0 && from <= count && (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP))
            to = from - 1;
        else
            return from < 0 || from > count ? E_INVALIDARG : S_FALSE;
        if (to < 1 || to > count) return S_FALSE;
        setChild(end, to);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
        const Form* form = nullptr;
        if (HRESULT ready = answerIn(hit, form); ready != S_OK) return ready;
        POINT at{x, y};
        ScreenToClient(window_, &at);
        RECT client{};
        GetClientRect(window_, &client);
        if (!PtInRect(&client, at)) return S_FALSE;
        const std::vector<size_t> order = form->focusOrder();
        // From the last drawn to the first, as a click finds its area.
        for (size_t n = order.size(); n-- > 0;) {
            const RECT r = form->pixelRect(form->controls()[order[n]].name);
            if (PtInRect(&r, at)) {
                setChild(hit, static_cast<long>(n) + 1);
                return S_OK;
            }
        }
        setChild(hit, CHILDID_SELF);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        const Control* c = nullptr;
        if (HRESULT found = item(child, c); found != S_OK) return found;
        if (!c || c->kind != Kind::ClickArea) return DISP_E_MEMBERNOTFOUND;
        Form* form = alive();
        form->postDefaultAction(static_cast<size_t>(index(*form, *c)));
        return S_OK;
    }

private:
    friend class AccessibleBase<FormClient>;
    ~FormClient() override = default;

    Form* alive() const { return formOf(window_); }
    static int index(const Form& form, const Control& c) {
        return static_cast<int>(&c - form.controls().data());
    }
    // The form for an answer given in `out`, which starts out empty.
    HRESULT answerIn(VARIANT* out, const Form*& form) const {
        form = alive();
        if (!out) return E_INVALIDARG;
        setEmpty(out);
        return form ? S_OK : RPC_E_DISCONNECTED;
    }
    // The item a child id names: nothing for the client itself (S_OK with c null).
    HRESULT item(const VARIANT& child, const Control*& c) const {
        c = nullptr;
        const Form* form = alive();
        if (!form) return RPC_E_DISCONNECTED;
        if (child.vt != VT_I4) return E_INVALIDARG;
        if (child.lVal == CHILDID_SELF) return S_OK;
        const std::vector<size_t> order = form->focusOrder();
        if (child.lVal < 1 || static_cast<size_t>(child.lVal) > order.size()) return E_INVALIDARG;
        c = &form->controls()[order[static_cast<size_t>(child.lVal) - 1]];
        return S_OK;
    }

    HWND window_;
    bool alert_;  // a notification, not a window to work in
};

// LresultFromObject marshals through COM, which this thread may not have started yet.
void startCom() {
    static const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    (void)started;
}

WNDPROC editProcedure = nullptr;

LRESULT CALLBACK namedEditProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        startCom();
        if (IAccessible* box = textBoxObject(edit)) {
            const LRESULT answer = LresultFromObject(IID_IAccessible, wParam, box);
            box->Release();
            if (answer > 0) return answer;
        }
    }
    return CallWindowProcW(editProcedure, edit, message, wParam, lParam);
}

}  // namespace

LRESULT answerClientObject(HWND window, WPARAM flags, LPARAM objectId) {
    if (static_cast<LONG>(objectId) != OBJID_CLIENT) return 0;
    const Form* form = formOf(window);
    if (!form) return 0;
    startCom();
    auto* client = new FormClient(window, form->isAlert());
    const LRESULT answer = LresultFromObject(IID_IAccessible, flags, client);
    client->Release();
    return answer > 0 ? answer : 0;
}

void nameTextBox(HWND edit) {
    const auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&namedEditProcedure)));
    if (!editProcedure) editProcedure = previous;  // every edit control has the class's procedure
}

}  // namespace ui
