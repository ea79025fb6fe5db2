// Factories of the text and list widgets.
#include "kv/KVTextWidgetFactories.h"

#include "kv/KVEdit.h"
#include "kv/KVTextArea.h"
#include "kv/KVWindowFactory.h"

namespace kv {

void RegisterTextWidgetFactories(KVFactoryRegistry& registry)
{
    static KVWindowFactoryT<KVEdit> edit(L"Edit");
    static KVWindowFactoryT<KVTextAreaSC> textArea(L"TextArea");
    registry.Register(&edit);
    registry.Register(&textArea);
}

} // namespace kv
