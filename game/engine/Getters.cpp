#include "engine/Getters.h"

#include "engine/InputSystem.h"

InputSystem* GetInputManager()
{
    // Never deleted: the input objects outlive every scene and the shut-down.
    static InputSystem* const instance = new InputSystem();
    return instance;
}
