#include "tests/support/fakes/FakePortCfgLib.h"
#include <algorithm>
#include <functional>

namespace qk::test {
namespace {

class FakePortCfgLib : public sys::IPortCfgLib {
public:
    explicit FakePortCfgLib(FakePortCfgLibState& state) : state_(state) {}
    bool Load(const std::u16string& path) override {
        state_.loadedPath = path;
        if (!state_.present) {
            return false;
        }
        ++state_.loads;
        loaded_ = true;
        return true;
    }
    int32_t GetNumber(const std::u16string& port, int32_t item, int32_t& value) override {
        auto it = state_.ports.find(port);
        if (!loaded_ || item != 0 || it == state_.ports.end()) {
            return -1;
        }
        value = it->second.kind;
        return it->second.numberAnswer;
    }
    int32_t GetString(const std::u16string& port, int32_t item, int32_t& size,
                      char16_t* buffer) override {
        auto it = state_.ports.find(port);
        if (!loaded_ || item != 1 || it == state_.ports.end()) {
            return -1;
        }
        const std::u16string& target = it->second.target;
        const int32_t needed = static_cast<int32_t>((target.size() + 1) * 2);
        if (size < needed) {
            size = needed;
            return -8;
        }
        std::copy(target.begin(), target.end(), buffer);
        buffer[target.size()] = 0;
        return it->second.stringAnswer;
    }
    void Unload() override {
        if (loaded_) {
            ++state_.unloads;
        }
        loaded_ = false;
    }

private:
    FakePortCfgLibState& state_;
    bool loaded_ = false;
};

} // namespace

std::function<std::unique_ptr<sys::IPortCfgLib>()> FakePortCfgLibState::Factory() {
    return [this] { return std::make_unique<FakePortCfgLib>(*this); };
}

} // namespace qk::test
