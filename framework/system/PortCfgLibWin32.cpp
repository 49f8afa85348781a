#include <windows.h>
#include "framework/comm/MakerToolsApi.h"
#include "framework/comm/ProcAddress.h"
#include "framework/system/PortCfgLib.h"
#include "platform/Text.h"

namespace qk::sys {
namespace {

class Win32PortCfgLib : public IPortCfgLib {
public:
    ~Win32PortCfgLib() override { Unload(); }

    bool Load(const std::u16string& path) override {
        Unload();
        module_ = LoadLibraryW(WidePtr(path));
        if (!module_) {
            return false;
        }
        number_ =
            comm::GetProcAs<comm::PFN_PCS_GetPortCfgLibNumber>(module_, "PCS_GetPortCfgLibNumber");
        string_ =
            comm::GetProcAs<comm::PFN_PCS_GetPortCfgLibString>(module_, "PCS_GetPortCfgLibString");
        if (!number_ || !string_) {
            Unload();
            return false;
        }
        return true;
    }
    int32_t GetNumber(const std::u16string& port, int32_t item, int32_t& value) override {
        return number_ ? number_(0, port.c_str(), item, &value) : -1;
    }
    int32_t GetString(const std::u16string& port, int32_t item, int32_t& size,
                      char16_t* buffer) override {
        return string_ ? string_(0, port.c_str(), item, &size, buffer) : -1;
    }
    void Unload() override {
        if (module_) {
            FreeLibrary(module_);
        }
        module_ = nullptr;
        number_ = nullptr;
        string_ = nullptr;
    }

private:
    HMODULE module_ = nullptr; // owned
    comm::PFN_PCS_GetPortCfgLibNumber number_ = nullptr;
    comm::PFN_PCS_GetPortCfgLibString string_ = nullptr;
};

} // namespace

std::unique_ptr<IPortCfgLib> MakeRealPortCfgLib() {
    return std::make_unique<Win32PortCfgLib>();
}

} // namespace qk::sys
