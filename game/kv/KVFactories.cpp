// The built-in window factories and their instance getters.
#include "kv/KVFactories.h"

#include "kv/KVAnimButton.h"
#include "kv/KVButton.h"
#include "kv/KVCheck.h"
#include "kv/KVComboBox.h"
#include "kv/KVEdit.h"
#include "kv/KVLabel.h"
#include "kv/KVLabelButton.h"
#include "kv/KVListBox.h"
#include "kv/KVPicture.h"
#include "kv/KVProgress.h"
#include "kv/KVScrollBar.h"
#include "kv/KVSlider.h"
#include "kv/KVStackPanel.h"
#include "kv/KVTextArea.h"
#include "kv/KVWndEx.h"

#include <new>

namespace kv {

KVAnimButtonFactory::KVAnimButtonFactory() : KVWindowFactory(L"AnimButton") {}

KVAnimButtonFactory& KVAnimButtonFactory::Instance()
{
    static KVAnimButtonFactory factory;
    return factory;
}

KVWnd* KVAnimButtonFactory::CreateWindow()
{
    return new (std::nothrow) KVAnimButton();
}

KVButtonFactory::KVButtonFactory() : KVWindowFactory(L"Button") {}

KVButtonFactory& KVButtonFactory::Instance()
{
    static KVButtonFactory factory;
    return factory;
}

KVWnd* KVButtonFactory::CreateWindow()
{
    return new (std::nothrow) KVButton();
}

KVCheckFactory::KVCheckFactory() : KVWindowFactory(L"CheckBox") {}

KVCheckFactory& KVCheckFactory::Instance()
{
    static KVCheckFactory factory;
    return factory;
}

KVWnd* KVCheckFactory::CreateWindow()
{
    return new (std::nothrow) KVCheck();
}

KVComboBoxFactory::KVComboBoxFactory() : KVWindowFactory(L"ComboBox") {}

KVComboBoxFactory& KVComboBoxFactory::Instance()
{
    static KVComboBoxFactory factory;
    return factory;
}

KVWnd* KVComboBoxFactory::CreateWindow()
{
    return new (std::nothrow) KVComboBox();
}

KVEditFactory::KVEditFactory() : KVWindowFactory(L"Edit") {}

KVEditFactory& KVEditFactory::Instance()
{
    static KVEditFactory factory;
    return factory;
}

KVWnd* KVEditFactory::CreateWindow()
{
    return new (std::nothrow) KVEdit();
}

KVWndExFactory::KVWndExFactory() : KVWindowFactory(L"Window") {}

KVWndExFactory& KVWndExFactory::Instance()
{
    static KVWndExFactory factory;
    return factory;
}

KVWnd* KVWndExFactory::CreateWindow()
{
    return new (std::nothrow) KVWndEx();
}

KVLabelFactory::KVLabelFactory() : KVWindowFactory(L"Label") {}

KVLabelFactory& KVLabelFactory::Instance()
{
    static KVLabelFactory factory;
    return factory;
}

KVWnd* KVLabelFactory::CreateWindow()
{
    return new (std::nothrow) KVLabel();
}

KVLabelButtonFactory::KVLabelButtonFactory() : KVWindowFactory(L"LabelButton") {}

KVLabelButtonFactory& KVLabelButtonFactory::Instance()
{
    static KVLabelButtonFactory factory;
    return factory;
}

KVWnd* KVLabelButtonFactory::CreateWindow()
{
    return new (std::nothrow) KVLabelButton();
}

KVListSCFactory::KVListSCFactory() : KVWindowFactory(L"ListBox") {}

KVListSCFactory& KVListSCFactory::Instance()
{
    static KVListSCFactory factory;
    return factory;
}

KVWnd* KVListSCFactory::CreateWindow()
{
    return new (std::nothrow) KVListSC();
}

KVPictureFactory::KVPictureFactory() : KVWindowFactory(L"Picture") {}

KVPictureFactory& KVPictureFactory::Instance()
{
    static KVPictureFactory factory;
    return factory;
}

KVWnd* KVPictureFactory::CreateWindow()
{
    return new (std::nothrow) KVPicture();
}

KVProgressFactory::KVProgressFactory() : KVWindowFactory(L"ProgressBar") {}

KVProgressFactory& KVProgressFactory::Instance()
{
    static KVProgressFactory factory;
    return factory;
}

KVWnd* KVProgressFactory::CreateWindow()
{
    return new (std::nothrow) KVProgress();
}

KVScrollBarFactory::KVScrollBarFactory() : KVWindowFactory(L"ScrollBar") {}

KVScrollBarFactory& KVScrollBarFactory::Instance()
{
    static KVScrollBarFactory factory;
    return factory;
}

KVWnd* KVScrollBarFactory::CreateWindow()
{
    return new (std::nothrow) KVScrollBar();
}

KVSliderFactory::KVSliderFactory() : KVWindowFactory(L"Slider") {}

KVSliderFactory& KVSliderFactory::Instance()
{
    static KVSliderFactory factory;
    return factory;
}

KVWnd* KVSliderFactory::CreateWindow()
{
    return new (std::nothrow) KVSlider();
}

KVStackPanelFactory::KVStackPanelFactory() : KVWindowFactory(L"StackPanel") {}

KVStackPanelFactory& KVStackPanelFactory::Instance()
{
    static KVStackPanelFactory factory;
    return factory;
}

KVWnd* KVStackPanelFactory::CreateWindow()
{
    return new (std::nothrow) KVStackPanel();
}

KVTextAreaSCFactory::KVTextAreaSCFactory() : KVWindowFactory(L"TextArea") {}

KVTextAreaSCFactory& KVTextAreaSCFactory::Instance()
{
    static KVTextAreaSCFactory factory;
    return factory;
}

KVWnd* KVTextAreaSCFactory::CreateWindow()
{
    return new (std::nothrow) KVTextAreaSC();
}

} // namespace kv
