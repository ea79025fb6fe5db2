#include "menus/PopUpRecords.h"

#include "data/Options.h"
#include "data/Records.h"

#include <helvane/Log.h>
#include <win32/Text.h>

#include <cstdio>
#include <cstring>

namespace {

// A lifetime counter of the player element; a missing element or attribute reads 0, and a
// negative count (a damaged file) is shown as 0.
int Counter(const char* name)
{
    int value = 0;
    if (!PlayRecord.player || PlayRecord.player->QueryIntAttribute(name, &value) != TIXML_SUCCESS)
        return 0;
    if (value < 0) {
        DFLog(LOG_WARN, L"Records: the counter %hs is negative (%d) and is shown as 0", name, value);
        return 0;
    }
    return value;
}

std::wstring Text(const wchar_t* format, int value)
{
    wchar_t text[32];
    std::swprintf(text, 32, format, value);
    return text;
}

} // namespace

int VanteoPopUp_Records::Open()
{
    if (!OpenLayout(kLayout, L"records_in"))
        return 0;
    FillLabels();
    return 1;
}

void VanteoPopUp_Records::FillLabels()
{
    SetLabel(L"Label_records_name",
             platform::Widen(std::string(GameConfig.playerName, strnlen(GameConfig.playerName, sizeof GameConfig.playerName))));
    const int time = Counter("PlayTime");
    SetLabel(L"Label_records_detail_1", Text(L"%d", Counter("Excute")));
    SetLabel(L"Label_records_detail_2_1", Text(L"%02d", time / 3600));
    SetLabel(L"Label_records_detail_2_2", Text(L"%02d", time % 3600 / 60));
    SetLabel(L"Label_records_detail_2_3", Text(L"%02d", time % 60));
    const std::pair<const wchar_t*, const char*> counters[] = {
        {L"Label_records_detail_3", "BlockClick"}, {L"Label_records_detail_4", "RotationL"},
        {L"Label_records_detail_5", "RotationR"},  {L"Label_records_detail_6", "BlockClear"},
        {L"Label_records_detail_7", "BigStar"},    {L"Label_records_detail_8", "BigStone"},
        {L"Label_records_detail_9", "Chain"},      {L"Label_records_detail_10", "MagicTurn"}};
    for (const auto& [label, counter] : counters)
        SetLabel(label, Text(L"%d", Counter(counter)));
}

void VanteoPopUp_Records::BindEvents()
{
    Bind(L"Anibtn_popup_ok", &VanteoPopUp_Records::OnOk);
}

void VanteoPopUp_Records::OnOk(kv::EventArgs&)
{
    ButtonStep(L"records_out");
}

void VanteoPopUp_Records::Update(float)
{
    if (ClosingDone())
        DestroyWindow();
    if (!IsOpen())
        return;
    if (KeyPressed(kPopUpKeyEnter) || KeyPressed(kPopUpKeyBackspace) || KeyPressed(kPopUpKeyEscape)) {
        kv::EventArgs args;
        OnOk(args);
    }
}
