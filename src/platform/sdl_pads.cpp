// sdl_pads.cpp -- the SDL backend's game controllers: SDL's game-controller API with its mapping
// database, pads plugged in and out while the game runs, any number at once. Every control
// feeds the engine's PadInput, which turns it into held keys.
#include <string>

#include "platform/data_folder.h"
#include "platform/sdl_backend.h"

namespace {

PadControl ControlOfButton(Uint8 button) {
    switch (button) {
        case SDL_CONTROLLER_BUTTON_A: return PAD_SOUTH;
        case SDL_CONTROLLER_BUTTON_B: return PAD_EAST;
        case SDL_CONTROLLER_BUTTON_X: return PAD_WEST;
        case SDL_CONTROLLER_BUTTON_Y: return PAD_NORTH;
        case SDL_CONTROLLER_BUTTON_BACK: return PAD_BACK;
        case SDL_CONTROLLER_BUTTON_GUIDE: return PAD_GUIDE;
        case SDL_CONTROLLER_BUTTON_START: return PAD_START;
        case SDL_CONTROLLER_BUTTON_LEFTSTICK: return PAD_LEFT_STICK_PRESS;
        case SDL_CONTROLLER_BUTTON_RIGHTSTICK: return PAD_RIGHT_STICK_PRESS;
        case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: return PAD_LEFT_SHOULDER;
        case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: return PAD_RIGHT_SHOULDER;
        case SDL_CONTROLLER_BUTTON_DPAD_UP: return PAD_DPAD_UP;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return PAD_DPAD_DOWN;
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return PAD_DPAD_LEFT;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return PAD_DPAD_RIGHT;
        case SDL_CONTROLLER_BUTTON_MISC1: return PAD_MISC;
        default: return PAD_CONTROL_COUNT;  // paddles and touchpads press nothing
    }
}

}  // namespace

void SdlEngine::OpenPads() {
    // The face buttons go by where they sit, so "South" is the same button on every make.
    SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        System_Log("No game controllers (%s); the keyboard plays alone", SDL_GetError());
        return;
    }
    padsStarted_ = true;
    // SDL knows most pads already; the community's gamecontrollerdb.txt, in the install's data
    // or the player's folder, teaches it more (SDL_GAMECONTROLLERCONFIG is read by SDL itself).
    std::string files[2] = {ShareFolder().empty() ? "" : ShareFolder() + "/gamecontrollerdb.txt",
                            "gamecontrollerdb.txt"};
    for (const std::string& file : files) {
        if (file.empty()) continue;
        if (SDL_RWops* rw = SDL_RWFromFile(file.c_str(), "rb")) {
            int added = SDL_GameControllerAddMappingsFromRW(rw, 1);
            if (added < 0) System_Log("Can't read the pad mappings in %s: %s", file.c_str(), SDL_GetError());
            else System_Log("%d pad mappings read from %s", added, file.c_str());
        }
    }
    // Pads already plugged in arrive as SDL_CONTROLLERDEVICEADDED events, like later ones.
}

void SdlEngine::ClosePads() {
    for (auto& entry : controllers_) SDL_GameControllerClose(entry.second);
    controllers_.clear();
    if (padsStarted_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    padsStarted_ = false;
}

void SdlEngine::OnPadEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_CONTROLLERDEVICEADDED: {
            SDL_GameController* pad = SDL_GameControllerOpen(event.cdevice.which);
            if (pad == nullptr) {
                System_Log("Can't open game controller %d: %s", event.cdevice.which, SDL_GetError());
                break;
            }
            int id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad));
            if (controllers_.count(id) != 0) {
                SDL_GameControllerClose(pad);  // the same pad announced twice keeps one handle
                break;
            }
            controllers_[id] = pad;
            const char* name = SDL_GameControllerName(pad);
            System_Log("Game controller connected: %s", name != nullptr ? name : "(unnamed)");
            break;
        }
        case SDL_CONTROLLERDEVICEREMOVED: {
            int id = event.cdevice.which;
            auto it = controllers_.find(id);
            if (it == controllers_.end()) break;
            const char* name = SDL_GameControllerName(it->second);
            System_Log("Game controller disconnected: %s", name != nullptr ? name : "(unnamed)");
            SDL_GameControllerClose(it->second);
            controllers_.erase(it);
            pad_.RemovePad(id);  // whatever it held is let go
            break;
        }
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP: {
            PadControl control = ControlOfButton(event.cbutton.button);
            if (control == PAD_CONTROL_COUNT) break;
            bool pressed = pad_.SetControl(event.cbutton.which, control,
                                           event.type == SDL_CONTROLLERBUTTONDOWN);
            if (pressed) OnPadPress(control);
            break;
        }
        case SDL_CONTROLLERAXISMOTION: {
            int id = event.caxis.which;
            int value = event.caxis.value;
            switch (event.caxis.axis) {
                case SDL_CONTROLLER_AXIS_LEFTX: pad_.SetStickX(id, value); break;
                case SDL_CONTROLLER_AXIS_LEFTY: pad_.SetStickY(id, value); break;
                case SDL_CONTROLLER_AXIS_TRIGGERLEFT:
                    if (pad_.SetTrigger(id, PAD_LEFT_TRIGGER, value)) OnPadPress(PAD_LEFT_TRIGGER);
                    break;
                case SDL_CONTROLLER_AXIS_TRIGGERRIGHT:
                    if (pad_.SetTrigger(id, PAD_RIGHT_TRIGGER, value)) OnPadPress(PAD_RIGHT_TRIGGER);
                    break;
                default: break;
            }
            break;
        }
        default:
            break;
    }
}

void SdlEngine::OnPadPress(PadControl control) {
    // A pad button given the screenshot key takes a screenshot, as the key does.
    if (pad_.Presses(control, screenshotKey_)) screenshotPending_ = true;
}
