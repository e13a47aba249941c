#pragma once

// The kinds of game object, as the world numbers them and asks the definition library for them.
enum class GameObjectKind : int {
    Plain = 1,
    GroundObject = 2,
    GroundVehicle = 3,
    AirObject = 4,
    Ovni = 5,
};
