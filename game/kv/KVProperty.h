// Named, parsable values of window descriptions, and the text parsers they use. The layout
// loader sets a property from any element whose name matches the property's name in any case.
#pragma once

#include <cstdint>
#include <string>

namespace kv {

// Numbers from layout files. Beyond the range of the widget's integers they are held at its
// limits (an int conversion out of range is undefined); coordinates, sizes and paddings are held
// within +-kMaxLayoutCoordinate, so the sums and differences widgets make of them, and their
// conversion to int, stay in range. Text that is no number reads as 0, as atoi/atof read it.
inline constexpr float kMaxLayoutCoordinate = 1.0e6f;
int32_t ParseLayoutInt(const std::string& text);
float ParseLayoutFloat(const std::string& text);

uint32_t ParseColor(const std::string& text);
int32_t ParseAnchor(const std::string& text);
int32_t ParseHAlign(const std::string& text);
int32_t ParseVAlign(const std::string& text);
int32_t ParseStartPosition(const std::string& text);
// True only for "True" in any case.
bool ParseBoolean(const std::string& text);
bool EqualsNoCase(const std::string& a, const std::string& b);

enum KVAnchorFlags : int32_t {
    kAnchorNone = 0,
    kAnchorLeft = 1,
    kAnchorTop = 2,
    kAnchorRight = 4,
    kAnchorBottom = 8,
};

class KVProperty {
public:
    virtual ~KVProperty() = default;
    std::string GetName() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    virtual void Parse(const std::string& /*text*/) {}

private:
    std::string m_name;
};

template <typename T>
class KVValueProperty : public KVProperty {
public:
    KVValueProperty() = default;
    explicit KVValueProperty(T initial) : value(initial) {}
    T value{};
};

class KVStringProperty : public KVValueProperty<std::wstring> {
public:
    using KVValueProperty::KVValueProperty;
    void Parse(const std::string& text) override;
};

class KVIntegerProperty : public KVValueProperty<int32_t> {
public:
    using KVValueProperty::KVValueProperty;
    void Parse(const std::string& text) override;
};

class KVBooleanProperty : public KVValueProperty<bool> {
public:
    using KVValueProperty::KVValueProperty;
    void Parse(const std::string& text) override { value = ParseBoolean(text); }
};

class KVColorProperty : public KVValueProperty<uint32_t> {
public:
    using KVValueProperty::KVValueProperty;
    void Parse(const std::string& text) override { value = ParseColor(text); }
};

class KVAnchorProperty : public KVValueProperty<int32_t> {
public:
    using KVValueProperty::KVValueProperty;
    void Parse(const std::string& text) override { value = ParseAnchor(text); }
};

class KVHAlignProperty : public KVValueProperty<int32_t> {
public:
    using KVValueProperty::KVValueProperty;
    void Parse(const std::string& text) override { value = ParseHAlign(text); }
};

class KVVAlignProperty : public KVValueProperty<int32_t> {
public:
    using KVValueProperty::KVValueProperty;
    void Parse(const std::string& text) override { value = ParseVAlign(text); }
};

// Orders property names by length, then without regard to case, so a lookup finds a property
// whose name differs only in letter case.
struct KVPropertyNameLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

} // namespace kv
