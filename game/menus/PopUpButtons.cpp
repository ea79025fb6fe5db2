#include "menus/PopUpButtons.h"

#include "kv/KVButton.h"
#include "kv/KVWnd.h"

void DisableButton(kv::KVWnd* window)
{
    if (window && window->IsEnabled())
        window->SetEnabled(false);
}

void ResetAndEnableButton(kv::KVWnd* window)
{
    if (!window)
        return;
    if (auto* button = dynamic_cast<kv::KVButton*>(window)) {
        button->state = kv::KVButton::kNormal;
        button->stateLock = false;
        button->ApplyState();
    }
    window->SetEnabled(true);
}
