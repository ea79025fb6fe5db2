// Factories of the text and list widgets.
#include "kv/KVTextWidgetFactories.h"

#include "kv/KVEdit.h"
#include "kv/KVWindowFactory.h"

namespace kv {

void RegisterTextWidgetFactories(KVFactoryRegistry& registry)
{
    static KVWindowFactoryT<KVEdit> edit(L"Edit");
    registry.Register(&edit);
}

} // namespace kv
