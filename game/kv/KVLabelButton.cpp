// Label button: builds its inner window through the factory of the nested description's type.
#include "kv/KVLabelButton.h"

#include "kv/KVWindowFactory.h"
#include "kv/KVWndDesc.h"

namespace kv {

void KVLabelButton::ApplyBase(WndBaseStruct* description, KVWnd* parent)
{
    KVButton::ApplyBase(description, parent);
    auto* own = dynamic_cast<LabelButtonBase*>(description);
    if (!own || !own->label)
        return;
    // The inner window takes the nested description over and is attached as a child.
    if (KVWnd* inner = BuildPartWindow(TakeSubRecord(own->label), this))
        m_inner = inner;
}

} // namespace kv
