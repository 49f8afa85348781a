#include "tests/support/fakes/FakeFileSystem.h"
#include <algorithm>
#include "platform/os/Wildcard.h"

namespace qk::test {
namespace {

char16_t Fold(char16_t c) {
    return FoldCase(c);
}

bool IsRoot(const std::u16string& key) {
    return key.size() == 2 && key[1] == u':';
}

} // namespace

std::u16string FakeFileSystem::Normalize(const std::u16string& path) {
    std::u16string key;
    key.reserve(path.size());
    for (char16_t c : path) {
        key.push_back(c == u'/' ? u'\\' : Fold(c));
    }
    while (key.size() > 1 && key.back() == u'\\') {
        key.pop_back();
    }
    return key;
}

std::u16string FakeFileSystem::ParentOf(const std::u16string& path) {
    std::u16string p = path;
    for (char16_t& c : p) {
        if (c == u'/') {
            c = u'\\';
        }
    }
    while (p.size() > 1 && p.back() == u'\\') {
        p.pop_back();
    }
    const size_t slash = p.rfind(u'\\');
    if (slash == std::u16string::npos) {
        return u"";
    }
    return p.substr(0, slash);
}

bool FakeFileSystem::MatchesPattern(const std::u16string& name, const std::u16string& pattern) {
    return os::WildcardMatch(name, pattern);
}

const FakeFileSystem::Node* FakeFileSystem::Find(const std::u16string& path) const {
    auto it = nodes_.find(Normalize(path));
    return it == nodes_.end() ? nullptr : &it->second;
}

bool FakeFileSystem::FolderExists(const std::u16string& path) const {
    const std::u16string key = Normalize(path);
    if (key.empty() || IsRoot(key)) {
        return true; // the current folder, a drive root
    }
    const Node* node = Find(path);
    return node && node->folder;
}

bool FakeFileSystem::ParentFolderExists(const std::u16string& path) const {
    return FolderExists(ParentOf(path));
}

bool FakeFileSystem::IsReadOnly(const std::u16string& path) const {
    const Node* node = Find(path);
    return node && node->readOnly;
}

void FakeFileSystem::AddFolder(const std::u16string& path) {
    const std::u16string key = Normalize(path);
    if (key.empty() || IsRoot(key) || FolderExists(path)) {
        return;
    }
    AddFolder(ParentOf(path));
    Node node;
    node.path = path;
    node.folder = true;
    nodes_[key] = node;
}

void FakeFileSystem::AddFile(const std::u16string& path, const std::vector<uint8_t>& data) {
    AddFolder(ParentOf(path));
    Node& node = nodes_[Normalize(path)];
    if (node.path.empty()) {
        node.path = path;
    }
    node.folder = false;
    node.data = data;
}

void FakeFileSystem::AddTextFile(const std::u16string& path, const std::u16string& text,
                                 TextEncoding encoding) {
    AddFile(path, EncodeText(text, encoding));
}

void FakeFileSystem::SetReadOnly(const std::u16string& path, bool readOnly) {
    auto it = nodes_.find(Normalize(path));
    if (it != nodes_.end()) {
        it->second.readOnly = readOnly;
    }
}

void FakeFileSystem::AddDosDevice(const std::u16string& name, std::vector<std::u16string> targets) {
    devices_[Normalize(name)] = std::move(targets);
}

std::u16string FakeFileSystem::TextOf(const std::u16string& path, TextEncoding* encoding) const {
    const Node* node = Find(path);
    if (!node || node->folder) {
        return u"";
    }
    return DecodeText(node->data, encoding);
}

std::vector<std::u16string> FakeFileSystem::AllPaths() const {
    std::vector<std::u16string> paths;
    for (const auto& [key, node] : nodes_) {
        paths.push_back(node.path);
    }
    return paths;
}

bool FakeFileSystem::Exists(const std::u16string& path) {
    const std::u16string key = Normalize(path);
    return IsRoot(key) || Find(path) != nullptr;
}

bool FakeFileSystem::IsDirectory(const std::u16string& path) {
    const std::u16string key = Normalize(path);
    return !key.empty() && FolderExists(path);
}

bool FakeFileSystem::CreateDirectory(const std::u16string& path) {
    const Node* node = Find(path);
    if (node) {
        return node->folder;
    }
    const std::u16string key = Normalize(path);
    if (IsRoot(key)) {
        return true;
    }
    if (key.empty() || !ParentFolderExists(path)) {
        return false;
    }
    Node folder;
    folder.path = path;
    folder.folder = true;
    nodes_[key] = folder;
    return true;
}

bool FakeFileSystem::RemoveDirectory(const std::u16string& path) {
    auto it = nodes_.find(Normalize(path));
    if (it == nodes_.end() || !it->second.folder || it->second.readOnly) {
        return false;
    }
    const std::u16string prefix = it->first + u"\\";
    for (const auto& [key, node] : nodes_) {
        if (key.compare(0, prefix.size(), prefix) == 0) {
            return false; // not empty
        }
    }
    nodes_.erase(it);
    return true;
}

bool FakeFileSystem::DeleteFile(const std::u16string& path) {
    auto it = nodes_.find(Normalize(path));
    if (it == nodes_.end() || it->second.folder || it->second.readOnly) {
        return false;
    }
    nodes_.erase(it);
    return true;
}

const std::vector<uint8_t>* FakeFileSystem::FileBytes(const std::u16string& path) const {
    const Node* node = Find(path);
    return node && !node->folder ? &node->data : nullptr;
}

bool FakeFileSystem::ReadFile(const std::u16string& path, std::vector<uint8_t>& data) {
    const Node* node = Find(path);
    if (!node || node->folder) {
        return false;
    }
    data = node->data;
    return true;
}

bool FakeFileSystem::WriteFile(const std::u16string& path, const std::vector<uint8_t>& data) {
    if (writesLeft_ == 0) {
        failWrites_ = true;
    }
    if (failWrites_ || !ParentFolderExists(path)) {
        return false;
    }
    if (writesLeft_ > 0) {
        --writesLeft_;
    }
    const Node* node = Find(path);
    if (node && (node->folder || node->readOnly)) {
        return false;
    }
    if (!node) {
        Node file;
        file.path = path;
        nodes_[Normalize(path)] = file;
    }
    nodes_[Normalize(path)].data = data;
    return true;
}

std::vector<std::u16string> FakeFileSystem::ListFiles(const std::u16string& folder,
                                                      const std::u16string& pattern) {
    std::vector<std::u16string> names;
    if (!FolderExists(folder)) {
        return names;
    }
    const std::u16string parentKey = Normalize(folder);
    for (const auto& [key, node] : nodes_) {
        if (node.folder || Normalize(ParentOf(node.path)) != parentKey) {
            continue;
        }
        const size_t slash = node.path.find_last_of(u"\\/");
        const std::u16string name =
            slash == std::u16string::npos ? node.path : node.path.substr(slash + 1);
        if (MatchesPattern(name, pattern)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end(), [](const std::u16string& a, const std::u16string& b) {
        return Normalize(a) < Normalize(b);
    });
    return names;
}

std::vector<std::u16string> FakeFileSystem::DosDeviceTargets(const std::u16string& name) {
    auto it = devices_.find(Normalize(name));
    return it == devices_.end() ? std::vector<std::u16string>() : it->second;
}

} // namespace qk::test
