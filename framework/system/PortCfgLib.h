// The maker's port configuration library ("PortCfgLib.DLL"), loaded by path for one
// question and unloaded again, behind a seam.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace qk::sys {

class IPortCfgLib {
public:
    virtual ~IPortCfgLib() = default;

    // Loads the library and binds both entry points; false (and nothing loaded) when the
    // file or either entry point is missing.
    virtual bool Load(const std::u16string& path) = 0;
    // The entry points of the loaded library, answers as the library gives them (0 is
    // success). size is in bytes.
    virtual int32_t GetNumber(const std::u16string& port, int32_t item, int32_t& value) = 0;
    virtual int32_t GetString(const std::u16string& port, int32_t item, int32_t& size,
                              char16_t* buffer) = 0;
    virtual void Unload() = 0;
};

// The real library; one object per question, so that questions on two threads never share
// a loaded module.
std::unique_ptr<IPortCfgLib> MakeRealPortCfgLib();

} // namespace qk::sys
