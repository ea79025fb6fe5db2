// The built-in window factories, one class per window class, each with one instance made on
// first use by its Instance getter. Their type names are the ones the window classes report.
#pragma once

#include "kv/KVWindowFactory.h"

namespace kv {

// Makes KVAnimButton windows, type name "AnimButton".
class KVAnimButtonFactory final : public KVWindowFactory {
public:
    static KVAnimButtonFactory& Instance();
    KVWnd* CreateWindow() override;

private:
    KVAnimButtonFactory();
};

// Makes KVButton windows, type name "Button".
class KVButtonFactory final : public KVWindowFactory {
public:
    static KVButtonFactory& Instance();
    KVWnd* CreateWindow() override;

private:
    KVButtonFactory();
};

// Makes KVCheck windows, type name "CheckBox".
class KVCheckFactory final : public KVWindowFactory {
public:
    static KVCheckFactory& Instance();
    KVWnd* CreateWindow() override;

private:
    KVCheckFactory();
};

// Makes KVComboBox windows, type name "ComboBox".
class KVComboBoxFactory final : public KVWindowFactory {
public:
    static KVComboBoxFactory& Instance();
    KVWnd* CreateWindow() override;

private:
    KVComboBoxFactory();
};

// Makes KVEdit windows, type name "Edit".
class KVEditFactory final : public KVWindowFactory {
public:
    static KVEditFactory& Instance();
    KVWnd* CreateWindow() override;

private:
    KVEditFactory();
};

// Makes KVWndEx windows, type name "Window".
class KVWndExFactory final : public KVWindowFactory {
public:
    static KVWndExFactory& Instance();
    KVWnd* CreateWindow() override;

private:
    KVWndExFactory();
};

// Makes KVLabel windows, type name "Label".
class KVLabelFactory final : public KVWindowFactory {
public:
    static KVLabelFactory& Instance();
    KVWnd* CreateWindow() override;

private:
    KVLabelFactory();
};

// Makes KVLabelButton windows, type name "LabelButton".
class KVLabelButtonFactory final : public KVWindowFactory {
public:
    static KVLabelButtonFactory& Instance();
    KVWnd* CreateWindow() override;

private:
    KVLabelButtonFactory();
};

// Makes KVListSC windows, type name "ListBox".
class KVListSCFactory final : public KVWindowFactory {
public:
    static KVListSCFactory& Instance();
    KVWnd* CreateWindow() override;

private:
    KVListSCFactory();
};

// Makes KVPicture windows, type name "Picture".
class KVPictureFactory final : public KVWindowFactory {
public:
    static KVPictureFactory& Instance();
    KVWnd* CreateWindow() override;

private:
    KVPictureFactory();
};

// Makes KVProgress windows, type name "ProgressBar".
class KVProgressFactory final : public KVWindowFactory {
public:
    static KVProgressFactory& Instance();
    KVWnd* CreateWindow() override;

private:
    KVProgressFactory();
};

// Makes KVScrollBar windows, type name "ScrollBar".
class KVScrollBarFactory final : public KVWindowFactory {
public:
    static KVScrollBarFactory& Instance();
    KVWnd* CreateWindow() override;

private:
    KVScrollBarFactory();
};

// Makes KVSlider windows, type name "Slider".
class KVSliderFactory final : public KVWindowFactory {
public:
    static KVSliderFactory& Instance();
    KVWnd* CreateWindow() override;

private:
    KVSliderFactory();
};

// Makes KVStackPanel windows, type name "StackPanel".
class KVStackPanelFactory final : public KVWindowFactory {
public:
    static KVStackPanelFactory& Instance();
    KVWnd* CreateWindow() override;

private:
    KVStackPanelFactory();
};

// Makes KVTextAreaSC windows, type name "TextArea".
class KVTextAreaSCFactory final : public KVWindowFactory {
public:
    static KVTextAreaSCFactory& Instance();
    KVWnd* CreateWindow() override;

private:
    KVTextAreaSCFactory();
};

} // namespace kv
