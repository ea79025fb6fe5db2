// Factories of the text and list widgets.
#include "kv/KVTextWidgetFactories.h"

#include "kv/KVFactories.h"

namespace kv {

void RegisterTextWidgetFactories(KVFactoryRegistry& registry)
{
    registry.Register(&KVEditFactory::Instance());
    registry.Register(&KVTextAreaSCFactory::Instance());
    registry.Register(&KVListSCFactory::Instance());
    registry.Register(&KVComboBoxFactory::Instance());
}

} // namespace kv
