// Label button: builds its inner window through the factory of the nested description's type.
#include "kv/KVLabelButton.h"

#include "kv/KVSystem.h"
#include "kv/KVWindowFactory.h"
#include "kv/KVWndDesc.h"

namespace kv {

void KVLabelButton::ApplyBase(WndBaseStruct* description, KVWnd* parent)
{
    KVButton::ApplyBase(description, parent);
    auto* own = dynamic_cast<LabelButtonBase*>(description);
    KVSystem* system = KVSystem::GetPtr();
    if (!own || !own->label || !system)
        return;
    KVWindowFactory* factory = system->GetRegistry().Find(KVTypeIdToName(own->label->GetType()));
    KVWnd* inner = factory ? factory->CreateWindow() : nullptr;
    if (!inner)
        return;
    // The inner window takes the nested description over; ApplyBase attaches it as a child.
    inner->ApplyBase(TakeSubRecord(own->label), this);
    inner->Create();
    inner->SetPart(true);
    m_inner = inner;
}

} // namespace kv
