#include "platform/AccessibleWindow.h"

#include <oleacc.h>
#include "platform/LibraryLoader.h"

namespace qk {
namespace {

// IID_IAccessible, spelt out: the program links no accessibility import library.
constexpr IID kAccessibleId = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

template <typename Function> Function* Oleacc(const char* name) {
    return SystemLibraryFunction<Function>(L"oleacc.dll", name);
}

// The object is handed to another process through COM, which needs an apartment on this
// (the window's) thread; it is kept for the rest of the process.
void EnterApartmentOnce() {
    static bool entered = false;
    if (entered)
        return;
    entered = true;
    if (auto* initialize =
            SystemLibraryFunction<decltype(::CoInitializeEx)>(L"ole32.dll", "CoInitializeEx"))
        initialize(nullptr, COINIT_APARTMENTTHREADED);
}

BSTR MakeBstr(const std::u16string& text) {
    auto* allocate =
        SystemLibraryFunction<decltype(::SysAllocStringLen)>(L"oleaut32.dll", "SysAllocStringLen");
    return allocate ? allocate(reinterpret_cast<const OLECHAR*>(text.c_str()),
                               static_cast<UINT>(text.size()))
                    : nullptr;
}

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

} // namespace

class CAccessibleWindow::CObject : public IAccessible {
public:
    CObject(HWND window, const IAccessibleAnswers* answers, IAccessible* standard)
        : m_window(window), m_answers(answers), m_standard(standard) {}

    void Disconnect() {
        m_answers = nullptr;
        if (m_standard)
            m_standard->Release();
        m_standard = nullptr;
    }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID id, void** object) override {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDispatch) ||
            IsEqualIID(id, kAccessibleId)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_references; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --m_references;
        if (left == 0) {
            Disconnect();
            delete this;
        }
        return left;
    }

    // IDispatch: screen readers call the interface directly.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (count)
            *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                        UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    STDMETHODIMP get_accParent(IDispatch** parent) override {
        return Gone() ? CO_E_OBJNOTCONNECTED : m_standard->get_accParent(parent);
    }
    STDMETHODIMP get_accChildCount(long* count) override {
        if (Gone())
            return CO_E_OBJNOTCONNECTED;
        if (!count)
            return E_POINTER;
        if (const LONG rows = m_answers->AccessibleRowCount(); rows > 0) {
            *count = rows;
            return S_OK;
        }
        return m_standard->get_accChildCount(count);
    }
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** object) override {
        if (Gone())
            return CO_E_OBJNOTCONNECTED;
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (IsRow(child))
            return S_FALSE; // a row is a simple element of this object
        return m_standard->get_accChild(child, object);
    }
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
        if (Gone())
            return CO_E_OBJNOTCONNECTED;
        if (!name)
            return E_POINTER;
        *name = nullptr;
        if (!IsSelf(child) && !IsRow(child))
            return E_INVALIDARG;
        const std::u16string text = m_answers->AccessibleName(child.lVal);
        if (text.empty())
            return IsSelf(child) ? m_standard->get_accName(child, name) : S_FALSE;
        *name = MakeBstr(text);
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override {
        return Forward(child, value, &IAccessible::get_accValue);
    }
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* text) override {
        return Forward(child, text, &IAccessible::get_accDescription);
    }
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override {
        if (Gone())
            return CO_E_OBJNOTCONNECTED;
        if (!role)
            return E_POINTER;
        if (IsRow(child)) {
            role->vt = VT_I4;
            role->lVal = ROLE_SYSTEM_LISTITEM;
            return S_OK;
        }
        return m_standard->get_accRole(child, role);
    }
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override {
        if (Gone())
            return CO_E_OBJNOTCONNECTED;
        if (!state)
            return E_POINTER;
        if (IsRow(child)) {
            state->vt = VT_I4;
            state->lVal = static_cast<LONG>(m_answers->AccessibleRowState(child.lVal));
            return S_OK;
        }
        return m_standard->get_accState(child, state);
    }
    STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override {
        return Forward(child, help, &IAccessible::get_accHelp);
    }
    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        if (Gone())
            return CO_E_OBJNOTCONNECTED;
        return IsRow(child) ? S_FALSE : m_standard->get_accHelpTopic(file, child, topic);
    }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return Forward(child, keys, &IAccessible::get_accKeyboardShortcut);
    }
    STDMETHODIMP get_accFocus(VARIANT* focus) override {
        if (Gone())
            return CO_E_OBJNOTCONNECTED;
        if (!focus)
            return E_POINTER;
        if (::GetFocus() == m_window) {
            for (LONG row = 1; row <= m_answers->AccessibleRowCount(); ++row) {
                if (m_answers->AccessibleRowState(row) & STATE_SYSTEM_FOCUSED) {
                    focus->vt = VT_I4;
                    focus->lVal = row;
                    return S_OK;
                }
            }
        }
        return m_standard->get_accFocus(focus);
    }
    STDMETHODIMP get_accSelection(VARIANT* selection) override {
        if (Gone())
            return CO_E_OBJNOTCONNECTED;
        if (!selection)
            return E_POINTER;
        selection->vt = VT_EMPTY;
        for (LONG row = 1; row <= m_answers->AccessibleRowCount(); ++row) {
            if (m_answers->AccessibleRowState(row) & STATE_SYSTEM_SELECTED) {
                selection->vt = VT_I4;
                selection->lVal = row;
                return S_OK;
            }
        }
        return m_answers->AccessibleRowCount() > 0 ? S_FALSE
                                                   : m_standard->get_accSelection(selection);
    }
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override {
        return Forward(child, action, &IAccessible::get_accDefaultAction);
    }
    STDMETHODIMP accSelect(long flags, VARIANT child) override {
        if (Gone())
            return CO_E_OBJNOTCONNECTED;
        return IsRow(child) ? DISP_E_MEMBERNOTFOUND : m_standard->accSelect(flags, child);
    }
    STDMETHODIMP accLocation(long* left, long* top, long* width, long* height,
                             VARIANT child) override {
        if (Gone())
            return CO_E_OBJNOTCONNECTED;
        if (!IsRow(child))
            return m_standard->accLocation(left, top, width, height, child);
        if (!left || !top || !width || !height)
            return E_POINTER;
        RECT rect = m_answers->AccessibleRowRect(child.lVal);
        ::MapWindowPoints(m_window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        *left = rect.left;
        *top = rect.top;
        *width = rect.right - rect.left;
        *height = rect.bottom - rect.top;
        return S_OK;
    }
    STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* end) override {
        if (Gone())
            return CO_E_OBJNOTCONNECTED;
        return IsRow(start) ? S_FALSE : m_standard->accNavigate(direction, start, end);
    }
    STDMETHODIMP accHitTest(long x, long y, VARIANT* child) override {
        if (Gone())
            return CO_E_OBJNOTCONNECTED;
        if (!child)
            return E_POINTER;
        POINT point{x, y};
        ::ScreenToClient(m_window, &point);
        for (LONG row = 1; row <= m_answers->AccessibleRowCount(); ++row) {
            const RECT rect = m_answers->AccessibleRowRect(row);
            if (::PtInRect(&rect, point)) {
                child->vt = VT_I4;
                child->lVal = row;
                return S_OK;
            }
        }
        return m_standard->accHitTest(x, y, child);
    }
    STDMETHODIMP accDoDefaultAction(VARIANT child) override {
        if (Gone())
            return CO_E_OBJNOTCONNECTED;
        return IsRow(child) ? DISP_E_MEMBERNOTFOUND : m_standard->accDoDefaultAction(child);
    }
    STDMETHODIMP put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    virtual ~CObject() = default;

    bool Gone() const { return !m_answers || !m_standard || !::IsWindow(m_window); }
    bool IsRow(const VARIANT& child) const {
        return child.vt == VT_I4 && child.lVal >= 1 &&
               child.lVal <= m_answers->AccessibleRowCount();
    }
    // A text the rows do not have; the window's own from the standard object.
    HRESULT Forward(VARIANT child, BSTR* text,
                    HRESULT (STDMETHODCALLTYPE IAccessible::*ask)(VARIANT, BSTR*)) {
        if (Gone())
            return CO_E_OBJNOTCONNECTED;
        if (!text)
            return E_POINTER;
        *text = nullptr;
        return IsRow(child) ? S_FALSE : (m_standard->*ask)(child, text);
    }

    ULONG m_references = 1;
    HWND m_window;
    const IAccessibleAnswers* m_answers; // not owned; null once the window has gone
    IAccessible* m_standard;             // one reference held
};

bool CAccessibleWindow::OnGetObject(HWND window, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (static_cast<LONG>(lp) != OBJID_CLIENT)
        return false;
    if (!m_object) {
        EnterApartmentOnce();
        auto* createStandard =
            Oleacc<decltype(::CreateStdAccessibleObject)>("CreateStdAccessibleObject");
        if (!createStandard)
            return false;
        IAccessible* standard = nullptr;
        if (FAILED(createStandard(window, OBJID_CLIENT, kAccessibleId,
                                  reinterpret_cast<void**>(&standard))) ||
            !standard)
            return false;
        m_object = new CObject(window, &m_answers, standard);
    }
    auto* fromObject = Oleacc<decltype(::LresultFromObject)>("LresultFromObject");
    if (!fromObject)
        return false;
    const LRESULT answer = fromObject(kAccessibleId, wp, static_cast<IAccessible*>(m_object));
    if (FAILED(static_cast<HRESULT>(answer)))
        return false;
    result = answer;
    return true;
}

void CAccessibleWindow::Disconnect() {
    if (!m_object)
        return;
    m_object->Disconnect();
    m_object->Release();
    m_object = nullptr;
}

void CAccessibleWindow::NotifySelection(HWND window, LONG child) {
    ::NotifyWinEvent(EVENT_OBJECT_SELECTION, window, OBJID_CLIENT, child);
}

void CAccessibleWindow::NotifyFocus(HWND window, LONG child) {
    if (::GetFocus() == window)
        ::NotifyWinEvent(EVENT_OBJECT_FOCUS, window, OBJID_CLIENT, child);
}

void CAccessibleWindow::NotifyNameChange(HWND window) {
    ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, CHILDID_SELF);
}

} // namespace qk
