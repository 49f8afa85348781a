#include "tests/support/fakes/FakeKnownFolders.h"
#include "tests/support/fakes/FakeText.h"

namespace qk::test {
namespace {

std::u16string Folded(const std::u16string& name) {
    std::u16string key;
    for (char16_t c : name) {
        key.push_back(FoldCase(c));
    }
    return key;
}

} // namespace

void FakeKnownFolders::SetEnvironment(const std::u16string& name, const std::u16string& value) {
    environment_[Folded(name)] = value;
}

void FakeKnownFolders::ClearEnvironment(const std::u16string& name) {
    environment_.erase(Folded(name));
}

bool FakeKnownFolders::Environment(const std::u16string& name, std::u16string& value) {
    auto it = environment_.find(Folded(name));
    if (it == environment_.end()) {
        return false;
    }
    value = it->second;
    return true;
}

} // namespace qk::test
