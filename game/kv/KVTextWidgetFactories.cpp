// Factories of the text and list widgets.
#include "kv/KVTextWidgetFactories.h"

#include "kv/KVComboBox.h"
#include "kv/KVEdit.h"
#include "kv/KVListBox.h"
#include "kv/KVTextArea.h"
#include "kv/KVWindowFactory.h"

namespace kv {

void RegisterTextWidgetFactories(KVFactoryRegistry& registry)
{
    static KVWindowFactoryT<KVEdit> edit(L"Edit");
    static KVWindowFactoryT<KVTextAreaSC> textArea(L"TextArea");
    static KVWindowFactoryT<KVListSC> listBox(L"ListBox");
    static KVWindowFactoryT<KVComboBox> comboBox(L"ComboBox");
    registry.Register(&edit);
    registry.Register(&textArea);
    registry.Register(&listBox);
    registry.Register(&comboBox);
}

} // namespace kv
