// Get-or-create getters of the game objects that have no singleton base. Each object is made on
// first use and kept for the life of the process.
#pragma once

class InputSystem;

InputSystem* GetInputManager();
