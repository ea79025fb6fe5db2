// Window descriptions: the plain records that the layout loader fills from one window element and
// that the window made from it takes over. The type id alone decides which factory builds the
// window. Some values are named properties that the loader sets from elements of the same name.
#pragma once

#include "kv/KVProperty.h"
#include "kv/KVTypes.h"

#include <cstdint>
#include <map>
#include <string>

namespace kv {

enum KVDescType : int32_t {
    kDescWndBase = 0,
    kDescWndEx = 1,
    kDescLabel = 2,
    kDescButton = 3,
    kDescLabelButton = 4,
    kDescAnimButton = 5,
    kDescCheck = 6,
    kDescPicture = 7,
    kDescProgress = 8,
    kDescScrollbar = 9,
    kDescSlider = 10,
    kDescEdit = 11,
    kDescList = 12,
    kDescListSC = 13,
    kDescStackPanel = 14,
    kDescTextArea = 15,
    kDescTextAreaSC = 16,
    kDescCombo = 17,
    kDescCustom = 18,
};

class expandwbsbase {
public:
    static constexpr int32_t kString = 0;
    static constexpr int32_t kInteger = 1;
    virtual ~expandwbsbase() = default;
    virtual int32_t GetType() const = 0;
    std::wstring name;
};

class ExWbsString : public expandwbsbase {
public:
    int32_t GetType() const override { return kString; }
    std::wstring value;
};

class ExWbsInteger : public expandwbsbase {
public:
    int32_t GetType() const override { return kInteger; }
    int32_t value = 0;
};

struct SkinImage {
    std::wstring path;
    KVPoint tex;
    KVRect rect;
};

struct WndBaseStruct {
    WndBaseStruct();
    WndBaseStruct(const WndBaseStruct&) = delete;
    WndBaseStruct& operator=(const WndBaseStruct&) = delete;
    virtual ~WndBaseStruct();
    virtual int32_t GetType() const { return kDescWndBase; }

    // The property registered under the name (any letter case), or null.
    KVProperty* FindProperty(const std::string& name) const;
    // Replaces an expand value of the same name; takes ownership.
    void SetExpand(expandwbsbase* value);

    std::wstring name;
    KVPoint pos;
    KVRect rect;
    KVBooleanProperty dragable;
    int32_t startPosition = 0;
    int32_t escKeyAction = 0;
    KVAnchorProperty anchor;
    std::map<std::string, KVProperty*, KVPropertyNameLess> propertyMap;
    std::map<std::wstring, expandwbsbase*> expandMap;

protected:
    void Register(KVProperty& property, const char* name);
};

// Sub-records held by pointer fields (a label button's label, a scroll bar's parts...) pass to
// the sub-window a widget builds from them: the widget takes one with TakeSubRecord, which
// clears the field. A record deletes the sub-records still left in it, so nothing leaks when a
// description is never built.
template <typename R>
R* TakeSubRecord(R*& field)
{
    R* record = field;
    field = nullptr;
    return record;
}

struct WndExBase : WndBaseStruct {
    int32_t GetType() const override { return kDescWndEx; }
    SkinImage bg, edgeLT, edgeRT, edgeLB, edgeRB, frameL, frameR, frameT, frameB;
    // The skin piece for an asset type ("BG", "EDGE_LT"...), or null.
    SkinImage* FindSkin(const std::string& type);
};

struct LabelBase : WndBaseStruct {
    LabelBase();
    int32_t GetType() const override { return kDescLabel; }
    std::wstring text;
    KVStringProperty fontName;
    KVIntegerProperty fontSize;
    KVColorProperty color{0xFFFFFFFF};
    KVColorProperty shadowColor;
    KVColorProperty outlineColor;
    int32_t style = 0;
    KVHAlignProperty hAlign;
    KVVAlignProperty vAlign;
};

struct ButtonBase : WndBaseStruct {
    int32_t GetType() const override { return kDescButton; }
    std::wstring normalImage, downImage, overImage, disableImage, downSound, overSound;
};

struct LabelButtonBase : ButtonBase {
    ~LabelButtonBase() override;
    int32_t GetType() const override { return kDescLabelButton; }
    LabelBase* label = nullptr;
};

struct AnimButtonBase : ButtonBase {
    int32_t GetType() const override { return kDescAnimButton; }
    std::wstring enterState, leaveState;
    bool isGroup = false;
};

struct CheckBase : WndBaseStruct {
    CheckBase();
    int32_t GetType() const override { return kDescCheck; }
    std::wstring normalImage, checkImage;
    KVStringProperty pushSound;
};

struct PictureBase : WndBaseStruct {
    int32_t GetType() const override { return kDescPicture; }
    std::wstring path;
    bool isStatic = false;
};

struct ProgressBase : WndBaseStruct {
    int32_t GetType() const override { return kDescProgress; }
    std::wstring barImage;
    KVPoint tex;
};

// What scroll bars and sliders share: the two end buttons, the thumb and the orientation. The
// description owns the three buttons.
struct BarBase : WndBaseStruct {
    ~BarBase() override;
    ButtonBase* buttonLT = nullptr;
    ButtonBase* buttonRB = nullptr;
    ButtonBase* thumb = nullptr;
    bool horizontal = false;
};

struct ScrollbarBase : BarBase {
    int32_t GetType() const override { return kDescScrollbar; }
    KVRect scrollRect;
};

struct SliderBase : BarBase {
    int32_t GetType() const override { return kDescSlider; }
    KVRect slideRect;
};

struct EditBase : WndExBase {
    EditBase();
    int32_t GetType() const override { return kDescEdit; }
    KVStringProperty fontName;
    KVIntegerProperty fontSize;
    KVColorProperty color{0xFFFFFFFF};
    KVColorProperty shadowColor;
    KVColorProperty outlineColor;
    int32_t style = 0;
    int32_t hAlign = 0;
    int32_t vAlign = 0;
    KVRect padding;
    SkinImage caret;
    wchar_t passwordChar = 0;
};

struct ListBase : WndExBase {
    int32_t GetType() const override { return kDescList; }
    KVRect padding;
    int32_t column = 0;
    KVRect itemRect;
    int32_t selection = 0;
    bool deselectable = false;
    int32_t rclickAction = 0;
};

struct ListSCBase : ListBase {
    ~ListSCBase() override;
    int32_t GetType() const override { return kDescListSC; }
    ScrollbarBase* hScrollBar = nullptr;
    ScrollbarBase* vScrollBar = nullptr;
};

struct StackPanelBase : WndBaseStruct {
    StackPanelBase();
    int32_t GetType() const override { return kDescStackPanel; }
    KVHAlignProperty hAlign;
    KVVAlignProperty vAlign;
};

struct TextAreaBase : WndExBase {
    TextAreaBase();
    int32_t GetType() const override { return kDescTextArea; }
    KVStringProperty fontName;
    KVIntegerProperty fontSize;
    KVColorProperty color{0};
    KVColorProperty shadowColor;
    KVColorProperty outlineColor;
    KVRect padding;
    int32_t style = 0;
    int32_t hAlign = 0;
    KVBooleanProperty editable;
    SkinImage caret;
};

struct TextAreaSCBase : TextAreaBase {
    ~TextAreaSCBase() override;
    int32_t GetType() const override { return kDescTextAreaSC; }
    ScrollbarBase* hScrollBar = nullptr;
    ScrollbarBase* vScrollBar = nullptr;
    bool showAlwaysH = false, showAlwaysV = false, autoVisibleH = false, autoVisibleV = false;
    KVRect autoVisibleRect;
};

struct ComboBase : WndBaseStruct {
    ComboBase();
    ~ComboBase() override;
    int32_t GetType() const override { return kDescCombo; }
    ButtonBase* button = nullptr;
    TextAreaSCBase* textArea = nullptr;
    ListSCBase* listArea = nullptr;
    KVColorProperty normalColor{0xFF0000FF};
    KVColorProperty selectColor{0xFFFF0000};
    KVStringProperty fontName;
    KVIntegerProperty fontSize;
};

struct CustomBase : WndBaseStruct {
    int32_t GetType() const override { return kDescCustom; }
    std::wstring typeName;
};

} // namespace kv
