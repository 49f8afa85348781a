#include "tests/support/fakes/FakeRegistry.h"
#include <algorithm>
#include "tests/support/fakes/FakeText.h"

namespace qk::test {
namespace {

// The subkey path without leading, trailing or doubled backslashes.
std::vector<std::u16string> Elements(const std::u16string& subKey) {
    std::vector<std::u16string> parts;
    std::u16string part;
    for (char16_t c : subKey) {
        if (c == u'\\') {
            if (!part.empty()) {
                parts.push_back(part);
            }
            part.clear();
        } else {
            part.push_back(c);
        }
    }
    if (!part.empty()) {
        parts.push_back(part);
    }
    return parts;
}

std::u16string Folded(const std::u16string& s) {
    std::u16string out;
    for (char16_t c : s) {
        out.push_back(FoldCase(c));
    }
    return out;
}

std::u16string RootName(os::RegRoot root) {
    switch (root) {
    case os::RegRoot::LocalMachine:
        return u"HKLM";
    case os::RegRoot::LocalMachine64:
        return u"HKLM64";
    case os::RegRoot::CurrentUser:
        break;
    }
    return u"HKCU";
}

} // namespace

std::u16string FakeRegistry::PathKey(os::RegRoot root, const std::u16string& subKey) {
    std::u16string key = RootName(root);
    for (const std::u16string& part : Elements(subKey)) {
        key += u"\\" + Folded(part);
    }
    return key;
}

FakeRegistry::Key* FakeRegistry::Find(os::RegRoot root, const std::u16string& subKey) {
    if (Elements(subKey).empty()) {
        static Key rootKey; // the roots exist and hold nothing of their own here
        rootKey.values.clear();
        return &rootKey;
    }
    auto it = keys_.find(PathKey(root, subKey));
    return it == keys_.end() ? nullptr : &it->second;
}

void FakeRegistry::AddKey(os::RegRoot root, const std::u16string& subKey) {
    std::u16string path;
    for (const std::u16string& part : Elements(subKey)) {
        path += (path.empty() ? u"" : u"\\") + part;
        Key& key = keys_[PathKey(root, path)];
        if (key.name.empty()) {
            key.name = part;
        }
    }
}

FakeRegistry::Value& FakeRegistry::Put(os::RegRoot root, const std::u16string& subKey,
                                       const std::u16string& name) {
    AddKey(root, subKey);
    Key& key = keys_[PathKey(root, subKey)];
    for (Value& value : key.values) {
        if (EqualsNoCase(value.name, name)) {
            const std::u16string name0 = value.name;
            value = Value{};
            value.name = name0;
            return value;
        }
    }
    Value added;
    added.name = name;
    key.values.push_back(added);
    return key.values.back();
}

void FakeRegistry::SetString(os::RegRoot root, const std::u16string& subKey,
                             const std::u16string& name, const std::u16string& value) {
    Value& v = Put(root, subKey, name);
    v.type = Type::String;
    v.text = value;
}

void FakeRegistry::SetExpandString(os::RegRoot root, const std::u16string& subKey,
                                   const std::u16string& name, const std::u16string& value) {
    Value& v = Put(root, subKey, name);
    v.type = Type::ExpandString;
    v.text = value;
}

void FakeRegistry::SetDword(os::RegRoot root, const std::u16string& subKey,
                            const std::u16string& name, uint32_t value) {
    Value& v = Put(root, subKey, name);
    v.type = Type::Dword;
    v.number = value;
}

void FakeRegistry::SetBinary(os::RegRoot root, const std::u16string& subKey,
                             const std::u16string& name, std::vector<uint8_t> value) {
    Value& v = Put(root, subKey, name);
    v.type = Type::Binary;
    v.bytes = std::move(value);
}

void FakeRegistry::RemoveKey(os::RegRoot root, const std::u16string& subKey) {
    const std::u16string path = PathKey(root, subKey);
    for (auto it = keys_.begin(); it != keys_.end();) {
        if (it->first == path || it->first.compare(0, path.size() + 1, path + u"\\") == 0) {
            it = keys_.erase(it);
        } else {
            ++it;
        }
    }
}

bool FakeRegistry::KeyExists(os::RegRoot root, const std::u16string& subKey) {
    return Find(root, subKey) != nullptr;
}

bool FakeRegistry::ReadString(os::RegRoot root, const std::u16string& subKey,
                              const std::u16string& valueName, std::u16string& value) {
    if (Key* key = Find(root, subKey)) {
        for (const Value& v : key->values) {
            if (EqualsNoCase(v.name, valueName)) {
                if (v.type != Type::String && v.type != Type::ExpandString) {
                    return false;
                }
                value = v.text;
                return true;
            }
        }
    }
    return false;
}

bool FakeRegistry::ReadDword(os::RegRoot root, const std::u16string& subKey,
                             const std::u16string& valueName, uint32_t& value) {
    if (Key* key = Find(root, subKey)) {
        for (const Value& v : key->values) {
            if (EqualsNoCase(v.name, valueName)) {
                if (v.type != Type::Dword) {
                    return false;
                }
                value = v.number;
                return true;
            }
        }
    }
    return false;
}

std::vector<std::u16string> FakeRegistry::SubKeys(os::RegRoot root, const std::u16string& subKey) {
    std::vector<std::u16string> names;
    if (!Find(root, subKey)) {
        return names;
    }
    // The map is ordered by folded path, so the children come out alphabetically.
    const std::u16string prefix = PathKey(root, subKey) + u"\\";
    for (const auto& [path, key] : keys_) {
        if (path.compare(0, prefix.size(), prefix) == 0 &&
            path.find(u'\\', prefix.size()) == std::u16string::npos) {
            names.push_back(key.name);
        }
    }
    return names;
}

std::vector<std::u16string> FakeRegistry::ValueNames(os::RegRoot root,
                                                     const std::u16string& subKey) {
    std::vector<std::u16string> names;
    if (Key* key = Find(root, subKey)) {
        for (const Value& v : key->values) {
            names.push_back(v.name);
        }
    }
    // Sorted by name, as the platform under test lists them.
    std::sort(names.begin(), names.end(), [](const std::u16string& a, const std::u16string& b) {
        return Folded(a) < Folded(b);
    });
    return names;
}

} // namespace qk::test
