#include "app/connection/CommLibrary.h"

#include <windows.h>
#include "framework/comm/CommResult.h"
#include "platform/LibraryLoader.h"
#include "platform/Text.h"
#include "platform/os/PathPart.h"

namespace qk::app {
namespace {

// One stand-in per entry-point type, with the same arguments so the stack stays balanced.
template <class F> struct Unbound;
template <class... A> struct Unbound<int32_t(QKC_CALL*)(A...)> {
    static int32_t QKC_CALL Call(A...) { return comm::kQkcNotBound; }
};

FARPROC Resolve(HMODULE module, const char* name) {
    return ::GetProcAddress(module, name);
}

} // namespace

void MakeUnbound(comm::QkcBinding& record) {
    record.module = nullptr;
#define QKC_UNBIND(name) record.QKC_##name = &Unbound<comm::PFN_QKC_##name>::Call;
    QKC_ENTRY_POINTS(QKC_UNBIND)
#undef QKC_UNBIND
}

CCommLibrary::CCommLibrary() {
    MakeUnbound(m_record);
}

CCommLibrary::~CCommLibrary() {
    Unbind();
}

bool CCommLibrary::Bind(const wchar_t* path) {
    Unbind();
    if (!path)
        return false;
    // A bare name is the maker's library beside the program, never a copy that the search
    // path would find first; a full path is the caller's own choice.
    HMODULE module = os::IsPlainPathPart(FromWide(path)) ? LoadLibraryFrom(ProgramFolder(), path)
                                                         : ::LoadLibraryW(path);
    if (!module)
        return false;
    comm::QkcBinding bound{};
    bound.module = module;
    bool complete = true;
#define QKC_RESOLVE(name)                                                                          \
    bound.QKC_##name = reinterpret_cast<comm::PFN_QKC_##name>(                                     \
        reinterpret_cast<void*>(Resolve(module, "QKC_" #name)));                                   \
    complete = complete && bound.QKC_##name != nullptr;
    QKC_ENTRY_POINTS(QKC_RESOLVE)
#undef QKC_RESOLVE
    if (!complete) {
        ::FreeLibrary(module);
        return false;
    }
    m_record = bound;
    return true;
}

void CCommLibrary::Unbind() {
    if (m_record.module)
        ::FreeLibrary(static_cast<HMODULE>(m_record.module));
    MakeUnbound(m_record);
}

} // namespace qk::app
