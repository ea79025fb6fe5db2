// Readers of layout window elements. Missing attributes read as 0 or empty text and missing
// elements leave the record's defaults: nothing inside a window element is an error.
#include "kv/KVLayoutReaders.h"

#include "kv/KVString.h"

#include <cstdlib>
#include <functional>

namespace kv::layout {

std::string Attr(const TiXmlElement* element, const char* name)
{
    const char* value = element ? element->Attribute(name) : nullptr;
    return value ? value : "";
}

float AttrFloat(const TiXmlElement* element, const char* name)
{
    return ParseLayoutFloat(Attr(element, name));
}

int32_t AttrInt(const TiXmlElement* element, const char* name)
{
    return ParseLayoutInt(Attr(element, name));
}

std::wstring AttrWide(const TiXmlElement* element, const char* name)
{
    return Utf8ToWide(Attr(element, name).c_str());
}

std::wstring Content(const TiXmlElement* element)
{
    const TiXmlNode* first = element ? element->FirstChild() : nullptr;
    return first && first->Value() ? Utf8ToWide(first->Value()) : std::wstring();
}

bool HasContent(const TiXmlElement* element)
{
    return element && element->FirstChild() != nullptr;
}

bool HasChildElement(const TiXmlElement* element, const char* name)
{
    return element && element->FirstChildElement(name) != nullptr;
}

KVRect ReadRect(const TiXmlElement* element)
{
    return {AttrFloat(element, "l"), AttrFloat(element, "r"), AttrFloat(element, "t"), AttrFloat(element, "b")};
}

namespace {

KVPoint ReadPoint(const TiXmlElement* element)
{
    return {AttrFloat(element, "x"), AttrFloat(element, "y")};
}

// Calls fn for each child element with the tag whose "type" attribute is set.
void ForEachTyped(TiXmlElement* element, const char* tag, const std::function<bool(const std::string&, TiXmlElement*)>& fn)
{
    for (TiXmlElement* child = element->FirstChildElement(tag); child; child = child->NextSiblingElement(tag))
        if (!fn(Attr(child, "type"), child))
            return;
}

int32_t ChildVal(TiXmlElement* element, const char* tag)
{
    return AttrInt(element->FirstChildElement(tag), "val");
}

void ReadRectIfPresent(TiXmlElement* element, const char* tag, KVRect& rect)
{
    if (TiXmlElement* child = element->FirstChildElement(tag))
        rect = ReadRect(child);
}

void ReadCommon(TiXmlElement* element, WndBaseStruct& desc)
{
    desc.name = AttrWide(element, "name");
    if (TiXmlElement* pos = element->FirstChildElement("pos"))
        desc.pos = ReadPoint(pos);
    ReadRectIfPresent(element, "rect", desc.rect);
    if (TiXmlElement* start = element->FirstChildElement("StartPosition"))
        desc.startPosition = ParseStartPosition(Attr(start, "val"));
    if (TiXmlElement* esc = element->FirstChildElement("EscKeyAction"))
        desc.escKeyAction = EqualsNoCase(Attr(esc, "val"), "Close") ? 1 : 0;
    for (TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        if (KVProperty* property = desc.FindProperty(child->Value()))
            property->Parse(Attr(child, "val"));
    for (TiXmlElement* expand = element->FirstChildElement("expand"); expand;
         expand = expand->NextSiblingElement("expand")) {
        std::string type = Attr(expand, "type");
        if (type == "STRING") {
            auto* value = new ExWbsString;
            value->name = AttrWide(expand, "name");
            value->value = AttrWide(expand, "val");
            desc.SetExpand(value);
        } else if (type == "INTEGER") {
            auto* value = new ExWbsInteger;
            value->name = AttrWide(expand, "name");
            value->value = AttrInt(expand, "val");
            desc.SetExpand(value);
        }
    }
}

void ReadSkinAssets(TiXmlElement* element, WndExBase& desc)
{
    ForEachTyped(element, "asset", [&](const std::string& type, TiXmlElement* asset) {
        if (SkinImage* skin = desc.FindSkin(type)) {
            skin->path = AttrWide(asset, "path");
            skin->tex = ReadPoint(asset->FirstChildElement("tex"));
            skin->rect = ReadRect(asset->FirstChildElement("rect"));
        }
        return true;
    });
}

void ReadLabelContent(TiXmlElement* element, LabelBase& desc)
{
    desc.text = AttrWide(element->FirstChildElement("label"), "val");
    desc.style = ChildVal(element, "style");
}

void ReadButtonContent(TiXmlElement* element, ButtonBase& desc)
{
    if (!HasChildElement(element, "asset"))
        return;
    ForEachTyped(element, "asset", [&](const std::string& type, TiXmlElement* asset) {
        if (!HasContent(asset))
            return true;
        if (type == "NORMAL")
            desc.normalImage = Content(asset);
        else if (type == "DOWN")
            desc.downImage = Content(asset);
        else if (type == "OVER")
            desc.overImage = Content(asset);
        else if (type == "DISABLE")
            desc.disableImage = Content(asset);
        return true;
    });
    ForEachTyped(element, "snd", [&](const std::string& type, TiXmlElement* sound) {
        if (!HasContent(sound))
            return true;
        if (type == "DOWN")
            desc.downSound = Content(sound);
        else if (type == "OVER")
            desc.overSound = Content(sound);
        return true;
    });
}

// Reads a control element as a complete window element of the given type, replacing the record
// held in the field.
template <typename R>
void ReadControlInto(const char* type, TiXmlElement* control, R*& field)
{
    delete field;
    field = static_cast<R*>(CreateAndRead(type, control));
}

void ReadStateAssets(TiXmlElement* element, AnimButtonBase& desc)
{
    if (!HasChildElement(element, "asset"))
        return;
    // ENTER and LEAVE name their file by the first child of the asset: a child element's tag,
    // or plain text. An empty asset leaves the state unset.
    ForEachTyped(element, "asset", [&](const std::string& type, TiXmlElement* asset) {
        if (type == "ENTER" && HasContent(asset))
            desc.enterState = Content(asset);
        else if (type == "LEAVE" && HasContent(asset))
            desc.leaveState = Content(asset);
        else if (type == "GROUP") {
            if (HasContent(asset)) {
                desc.normalImage = Content(asset);
                desc.isGroup = true;
            }
            return false;
        }
        return true;
    });
}

void ReadCheckContent(TiXmlElement* element, CheckBase& desc)
{
    ForEachTyped(element, "asset", [&](const std::string& type, TiXmlElement* asset) {
        if (type == "NORMAL")
            desc.normalImage = Content(asset);
        else if (type == "CHECK")
            desc.checkImage = Content(asset);
        return true;
    });
}

void ReadPictureContent(TiXmlElement* element, PictureBase& desc)
{
    bool anyAsset = false;
    bool known = false;
    ForEachTyped(element, "asset", [&](const std::string& type, TiXmlElement* asset) {
        anyAsset = true;
        if (type == "STATIC" || type == "ANIMATION") {
            desc.path = Content(asset);
            desc.isStatic = type == "STATIC";
            known = true;
        }
        return true;
    });
    if (anyAsset && !known)
        desc.isStatic = true;
}

void ReadProgressContent(TiXmlElement* element, ProgressBase& desc)
{
    ForEachTyped(element, "asset", [&](const std::string& type, TiXmlElement* asset) {
        if (type == "BAR")
            desc.barImage = Content(asset);
        return true;
    });
    if (TiXmlElement* tex = element->FirstChildElement("tex"))
        desc.tex = ReadPoint(tex);
}

void ReadBarControls(TiXmlElement* element, BarBase& desc, const char* trackTag, KVRect& track)
{
    if (!HasChildElement(element, "control"))
        return;
    desc.horizontal = AttrInt(element, "horizontal") != 0;
    ForEachTyped(element, "control", [&](const std::string& type, TiXmlElement* control) {
        if (type == "BUTTON_LT")
            ReadControlInto("BUTTON", control, desc.buttonLT);
        else if (type == "BUTTON_RB")
            ReadControlInto("BUTTON", control, desc.buttonRB);
        else if (type == "THUMB")
            ReadControlInto("BUTTON", control, desc.thumb);
        return true;
    });
    ReadRectIfPresent(element, trackTag, track);
}

void ReadCaret(TiXmlElement* element, SkinImage& caret)
{
    ForEachTyped(element, "asset", [&](const std::string& type, TiXmlElement* asset) {
        if (type == "CARET") {
            caret.path = AttrWide(asset, "path");
            caret.tex = ReadPoint(asset->FirstChildElement("rpos"));
            caret.rect = ReadRect(asset->FirstChildElement("rect"));
        }
        return true;
    });
}

void ReadEditContent(TiXmlElement* element, EditBase& desc)
{
    ReadSkinAssets(element, desc);
    if (!HasChildElement(element, "asset"))
        return;
    ReadCaret(element, desc.caret);
    ReadRectIfPresent(element, "padding", desc.padding);
    desc.style = ChildVal(element, "style");
    desc.hAlign = ChildVal(element, "halign");
    desc.vAlign = ChildVal(element, "valign");
    std::wstring password = AttrWide(element->FirstChildElement("passwordchar"), "val");
    desc.passwordChar = password.empty() ? 0 : password[0];
}

// Scroll-bar controls of the list and text-area kinds. A scroll bar without controls of its own
// is dropped.
template <typename R>
void ReadScrollBarControls(TiXmlElement* element, R& desc)
{
    ForEachTyped(element, "control", [&](const std::string& type, TiXmlElement* control) {
        ScrollbarBase** field = type == "HSCROLLBAR" ? &desc.hScrollBar
                                : type == "VSCROLLBAR" ? &desc.vScrollBar
                                                       : nullptr;
        if (!field)
            return true;
        if (!HasChildElement(control, "control"))
            return true;
        ReadControlInto("SCROLLBAR", control, *field);
        return true;
    });
}

bool ReadFlag(TiXmlElement* element, const char* tag, const char* attr)
{
    return AttrInt(element->FirstChildElement(tag), attr) != 0;
}

void ReadTextAreaContent(TiXmlElement* element, TextAreaSCBase& desc)
{
    ReadSkinAssets(element, desc);
    ReadCaret(element, desc.caret);
    if (HasChildElement(element, "asset")) {
        ReadRectIfPresent(element, "padding", desc.padding);
        desc.style = ChildVal(element, "style");
        desc.hAlign = ChildVal(element, "halign");
    }
    ReadScrollBarControls(element, desc);
    desc.showAlwaysH = ReadFlag(element, "showalways", "hscroll");
    desc.showAlwaysV = ReadFlag(element, "showalways", "vscroll");
    desc.autoVisibleH = ReadFlag(element, "autovisible", "hscroll");
    desc.autoVisibleV = ReadFlag(element, "autovisible", "vscroll");
    ReadRectIfPresent(element, "autovisiblerect", desc.autoVisibleRect);
}

void ReadListContent(TiXmlElement* element, ListSCBase& desc)
{
    ReadSkinAssets(element, desc);
    ReadRectIfPresent(element, "padding", desc.padding);
    desc.column = ChildVal(element, "column");
    ReadRectIfPresent(element, "itemrect", desc.itemRect);
    desc.selection = ChildVal(element, "selection");
    desc.deselectable = ChildVal(element, "deselectable") != 0;
    desc.rclickAction = ChildVal(element, "rclickaction");
    ReadScrollBarControls(element, desc);
}

void ReadComboContent(TiXmlElement* element, ComboBase& desc)
{
    ForEachTyped(element, "control", [&](const std::string& type, TiXmlElement* control) {
        if (type == "BUTTON")
            ReadControlInto("BUTTON", control, desc.button);
        else if (type == "TEXTAREA")
            ReadControlInto("TEXTAREASC", control, desc.textArea);
        else if (type == "LISTAREA")
            ReadControlInto("LISTSC", control, desc.listArea);
        return true;
    });
}

struct TypeEntry {
    const char* type;
    bool version1Child;
    WndBaseStruct* (*read)(TiXmlElement*);
};

template <typename R, void (*Content)(TiXmlElement*, R&)>
WndBaseStruct* Read(TiXmlElement* element)
{
    auto* desc = new R;
    ReadCommon(element, *desc);
    Content(element, *desc);
    return desc;
}

template <typename R>
void NoContent(TiXmlElement*, R&) {}

void ReadLabelButton(TiXmlElement* element, LabelButtonBase& desc)
{
    ReadButtonContent(element, desc);
    ForEachTyped(element, "control", [&](const std::string& type, TiXmlElement* control) {
        if (type == "LABEL")
            ReadControlInto("LABEL", control, desc.label);
        return true;
    });
}

void ReadAnimButton(TiXmlElement* element, AnimButtonBase& desc)
{
    ReadButtonContent(element, desc);
    ReadStateAssets(element, desc);
}

void ReadScrollbar(TiXmlElement* element, ScrollbarBase& desc)
{
    ReadBarControls(element, desc, "scrollrect", desc.scrollRect);
}

void ReadSlider(TiXmlElement* element, SliderBase& desc)
{
    ReadBarControls(element, desc, "sliderect", desc.slideRect);
}

void ReadCustom(TiXmlElement* element, CustomBase& desc)
{
    desc.typeName = AttrWide(element->FirstChildElement("custom"), "type");
}

const TypeEntry kTypes[] = {
    {"WND", false, Read<WndExBase, NoContent<WndExBase>>},
    {"PANEL", false, Read<WndExBase, NoContent<WndExBase>>},
    {"WNDEX", false, Read<WndExBase, ReadSkinAssets>},
    {"LABEL", true, Read<LabelBase, ReadLabelContent>},
    {"BUTTON", true, Read<ButtonBase, ReadButtonContent>},
    {"LABELBUTTON", true, Read<LabelButtonBase, ReadLabelButton>},
    {"ANIMBUTTON", true, Read<AnimButtonBase, ReadAnimButton>},
    {"CHECK", true, Read<CheckBase, ReadCheckContent>},
    {"PICTURE", true, Read<PictureBase, ReadPictureContent>},
    {"PROGRESS", true, Read<ProgressBase, ReadProgressContent>},
    {"SCROLLBAR", true, Read<ScrollbarBase, ReadScrollbar>},
    {"SLIDER", true, Read<SliderBase, ReadSlider>},
    {"EDIT", true, Read<EditBase, ReadEditContent>},
    {"LIST", true, Read<ListSCBase, ReadListContent>},
    {"LISTSC", true, Read<ListSCBase, ReadListContent>},
    {"STACKPANEL", false, Read<StackPanelBase, NoContent<StackPanelBase>>},
    {"TEXTAREA", true, Read<TextAreaSCBase, ReadTextAreaContent>},
    {"TEXTAREASC", true, Read<TextAreaSCBase, ReadTextAreaContent>},
    {"COMBO", true, Read<ComboBase, ReadComboContent>},
    {"CUSTOM", true, Read<CustomBase, ReadCustom>},
};

const TypeEntry* FindType(const std::string& type)
{
    for (const TypeEntry& entry : kTypes)
        if (type == entry.type)
            return &entry;
    return nullptr;
}

} // namespace

bool IsVersion1ChildType(const std::string& type)
{
    const TypeEntry* entry = FindType(type);
    return entry && entry->version1Child;
}

WndBaseStruct* CreateAndRead(const std::string& type, TiXmlElement* element)
{
    const TypeEntry* entry = FindType(type);
    return entry && element ? entry->read(element) : nullptr;
}

} // namespace kv::layout
