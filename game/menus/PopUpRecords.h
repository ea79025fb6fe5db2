// The player's play record: the name and ten lifetime counters of the record file, filled once
// when the pop-up opens. Enter, Backspace or Escape close it; it posts nothing.
#pragma once

#include "menus/PopUp.h"

class VanteoPopUp_Records : public VanteoPopUp {
public:
    static constexpr const char* kLayout = "data/records.xml";

    int Open() override;
    void BindEvents() override;
    void Update(float seconds) override;
    void OnOk(kv::EventArgs& args);

private:
    void FillLabels();
};
