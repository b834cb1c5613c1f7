#pragma once
// Named property values of a control, keyed by their persisted names. Windows
// build their controls in code, so a bag is how a window declares a control's
// properties as data, and how a control hands its settings back.
#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <variant>

namespace px::controls {

class PropertyValue {
public:
    PropertyValue(bool b) : v_(b) {}
    PropertyValue(int i) : v_(static_cast<int64_t>(i)) {}
    PropertyValue(long i) : v_(static_cast<int64_t>(i)) {}
    PropertyValue(long long i) : v_(static_cast<int64_t>(i)) {}
    PropertyValue(unsigned u) : v_(static_cast<int64_t>(u)) {}  // colours such as 0x8000000F
    PropertyValue(unsigned long u) : v_(static_cast<int64_t>(u)) {}
    PropertyValue(const wchar_t* s) : v_(std::wstring(s ? s : L"")) {}
    PropertyValue(std::wstring s) : v_(std::move(s)) {}

    const bool* asBool() const { return std::get_if<bool>(&v_); }
    const int64_t* asInt() const { return std::get_if<int64_t>(&v_); }
    const std::wstring* asString() const { return std::get_if<std::wstring>(&v_); }
    friend bool operator==(const PropertyValue&, const PropertyValue&) = default;

private:
    std::variant<bool, int64_t, std::wstring> v_;
};

class PropertyBag {
public:
    PropertyBag() = default;
    PropertyBag(std::initializer_list<std::pair<const std::string, PropertyValue>> values) : values_(values) {}

    bool Has(const std::string& name) const { return values_.count(name) != 0; }
    size_t Count() const { return values_.size(); }
    void Write(const std::string& name, PropertyValue v) { values_.insert_or_assign(name, std::move(v)); }

    // A value of another type than asked for reads as the default; an integer
    // reads as a boolean (non-zero is true).
    bool ReadBool(const std::string& name, bool def) const;
    int64_t ReadInt(const std::string& name, int64_t def) const;
    // An integer that does not fit in 32 bits reads as the default.
    int32_t ReadInt32(const std::string& name, int32_t def) const;
    uint32_t ReadColor(const std::string& name, uint32_t def) const;
    std::wstring ReadString(const std::string& name, const std::wstring& def) const;

    friend bool operator==(const PropertyBag&, const PropertyBag&) = default;

private:
    const PropertyValue* Find(const std::string& name) const;
    std::map<std::string, PropertyValue> values_;
};

}  // namespace px::controls
