// Factories of the text and list widgets: the edit box, the text area, the list box and the combo
// box. The window system registers them right after its built-in factories.
#pragma once

namespace kv {

class KVFactoryRegistry;

// Registers "Edit", "TextArea", "ListBox" and "ComboBox"; a type name already registered keeps
// its first factory.
void RegisterTextWidgetFactories(KVFactoryRegistry& registry);

} // namespace kv
