// Window description records: defaults, property registration and ownership.
#include "kv/KVWndDesc.h"

namespace kv {

WndBaseStruct::WndBaseStruct()
{
    Register(dragable, "Dragable");
    Register(anchor, "Anchor");
}

WndBaseStruct::~WndBaseStruct()
{
    for (auto& entry : expandMap)
        delete entry.second;
}

void WndBaseStruct::Register(KVProperty& property, const char* propertyName)
{
    property.SetName(propertyName);
    propertyMap[property.GetName()] = &property;
}

KVProperty* WndBaseStruct::FindProperty(const std::string& propertyName) const
{
    auto it = propertyMap.find(propertyName);
    return it == propertyMap.end() ? nullptr : it->second;
}

void WndBaseStruct::SetExpand(expandwbsbase* value)
{
    auto it = expandMap.find(value->name);
    if (it != expandMap.end()) {
        delete it->second;
        it->second = value;
    } else {
        expandMap.emplace(value->name, value);
    }
}

SkinImage* WndExBase::FindSkin(const std::string& type)
{
    struct Entry {
        const char* name;
        SkinImage WndExBase::*member;
    };
    static const Entry kSkins[] = {
        {"BG", &WndExBase::bg},           {"EDGE_LT", &WndExBase::edgeLT}, {"EDGE_RT", &WndExBase::edgeRT},
        {"EDGE_LB", &WndExBase::edgeLB},  {"EDGE_RB", &WndExBase::edgeRB}, {"FRAME_L", &WndExBase::frameL},
        {"FRAME_R", &WndExBase::frameR},  {"FRAME_T", &WndExBase::frameT}, {"FRAME_B", &WndExBase::frameB},
    };
    for (const Entry& entry : kSkins)
        if (type == entry.name)
            return &(this->*entry.member);
    return nullptr;
}

LabelBase::LabelBase()
{
    Register(fontName, "FontName");
    Register(fontSize, "FontSize");
    Register(color, "Color");
    Register(shadowColor, "ShadowColor");
    Register(outlineColor, "OutlineColor");
    Register(hAlign, "HAlign");
    Register(vAlign, "VAlign");
}

LabelButtonBase::~LabelButtonBase()
{
    delete label;
}

CheckBase::CheckBase()
{
    Register(pushSound, "PushSound");
}

BarBase::~BarBase()
{
    delete buttonLT;
    delete buttonRB;
    delete thumb;
}

EditBase::EditBase()
{
    Register(fontName, "FontName");
    Register(fontSize, "FontSize");
    Register(color, "Color");
    Register(shadowColor, "ShadowColor");
    Register(outlineColor, "OutlineColor");
}

ListSCBase::~ListSCBase()
{
    delete hScrollBar;
    delete vScrollBar;
}

StackPanelBase::StackPanelBase()
{
    Register(hAlign, "HAlign");
    Register(vAlign, "VAlign");
}

TextAreaBase::TextAreaBase()
{
    Register(fontName, "FontName");
    Register(fontSize, "FontSize");
    Register(color, "Color");
    Register(shadowColor, "ShadowColor");
    Register(outlineColor, "OutlineColor");
    Register(editable, "Editable");
}

TextAreaSCBase::~TextAreaSCBase()
{
    delete hScrollBar;
    delete vScrollBar;
}

ComboBase::ComboBase()
{
    Register(normalColor, "NormalColor");
    Register(selectColor, "SelectColor");
    Register(fontName, "FontName");
    Register(fontSize, "FontSize");
}

ComboBase::~ComboBase()
{
    delete button;
    delete textArea;
    delete listArea;
}

} // namespace kv
