// The library's own registry of ports (QKC_AddPort, QKC_EnumPort ...): an INI file with one
// section per port, guarded across processes by a named mutex.
#pragma once
#include <string>
#include <vector>
#include "framework/comm/PortRecord.h"
#include "maker/common/IniText.h"

namespace qk::comm {

class PortStore {
public:
    explicit PortStore(std::wstring path) : path_(std::move(path)) {}

    // Each answers a library result code.
    int32_t List(std::vector<PortRecord>& records) const;
    // Adds the port or replaces the one with the same interface and name.
    int32_t Add(const PortRecord& record);
    int32_t Remove(const std::wstring& keyword, const std::wstring& portName);
    int32_t SetConnector(const std::wstring& keyword, const std::wstring& portName, int32_t value);
    int32_t ReplaceAll(const std::vector<PortRecord>& records);

    // The file's text for the records, and back; false when the text is not a port list.
    static std::string Serialize(const std::vector<PortRecord>& records);
    static bool Parse(const std::string& text, std::vector<PortRecord>& records);

private:
    int32_t Load(std::vector<PortRecord>& records) const;
    int32_t Save(const std::vector<PortRecord>& records) const;

    std::wstring path_;
};

bool SamePort(const PortRecord& record, const std::wstring& keyword, const std::wstring& name);

} // namespace qk::comm
